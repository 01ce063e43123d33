#pragma once

#include "controls/messagebox.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace about {

// What the about window hands to the desktop: message boxes and addresses
// for the browser or the mail program. Tests replace either through a hook.

using MessageKind = controls::MessageKind;

using MessageHook = std::function<void(MessageKind kind, const QString &text)>;
// True when the desktop took the address.
using OpenUrlHook = std::function<bool(const QUrl &url)>;

// A modal box with one OK button. Its lines may end in a line feed and a
// carriage return together, in either order: the pair ends the line once.
void ShowAboutMessage(MessageKind kind, const QString &text);
// The text with every line ending (LF, CR, LF CR or CR LF) written as one LF.
QString OneBreakPerLine(const QString &text);
// Hands the address to the desktop's browser or mail program.
bool OpenDocument(const QUrl &url);

// Each returns the hook it replaces; an empty hook restores the desktop.
MessageHook SetMessageHook(MessageHook hook);
OpenUrlHook SetOpenUrlHook(OpenUrlHook hook);

} // namespace about
