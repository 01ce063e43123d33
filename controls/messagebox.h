#pragma once

#include <QString>

class QWidget;

namespace controls {

enum class MessageKind
{
    mkInformation,
    mkError,
};

// The one way the windows tell the user something: a modal box with one OK
// button over owner (the active window when none), its text plain (a path is
// shown as it is, never read as markup). Test hooks sit in front of it, not
// beside it.
void ShowMessageBox(MessageKind kind, const QString &text, QWidget *owner = nullptr);

} // namespace controls
