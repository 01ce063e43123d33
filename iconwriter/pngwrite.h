#pragma once

#include "platform/icon.h"

#include <cstdint>
#include <string>
#include <vector>

// The program's one PNG encoder, for thumbnails and saved pictures alike.
// Encodes an icon as an RGBA PNG: alpha from the colour image when it has
// one, otherwise opaque where the mask is clear; fully transparent pixels
// carry no colour. False, with the reason in
// error, when the icon is empty or cannot be encoded.
bool EncodeIconPng(const platform::Icon &icon, std::vector<std::uint8_t> &png, std::string &error);

// Writes that PNG to path, whole or not at all (the platform's writer:
// nothing is left behind on failure, and a good file there stays).
bool WriteIconPng(const platform::Icon &icon, const std::string &path, std::string &error);
