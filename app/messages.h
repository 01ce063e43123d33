#pragma once

#include <QString>

#include <functional>

namespace app {

// Every message the program shows goes through here: a modal box on screen,
// or, when a hook is set (tests), the hook alone.
using MessageHook = std::function<void(const QString &text)>;

// A modal information box with the text.
void ShowMessage(const QString &text);
// The application's standard error box for an error that stopped an operation.
void ShowError(const QString &text);
// Replaces the hook; returns the previous one. An empty hook restores boxes.
MessageHook SetMessageHook(MessageHook hook);

} // namespace app
