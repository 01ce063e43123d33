#pragma once

#include "platform/icon.h"

#include <string>

// Writes an icon as an RGBA PNG: alpha from the colour image when it has
// one, otherwise opaque where the mask is clear. False when the file could
// not be written completely (nothing is left behind then).
bool WriteIconPng(const platform::Icon &icon, const std::string &path, std::string &error);
