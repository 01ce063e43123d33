#pragma once

// How the program's own controls show themselves to screen readers and
// other assistive tools (through Qt's accessibility; on Linux, the AT-SPI
// bus): the picture button as a push button that a tool can press, the
// gauge as a progress bar with its value, and widgets of ours that Qt would
// only call a "filler" under the role they play.

#include <QAccessible>

class QWidget;

namespace controls {

// Makes Qt ask us for the interfaces of our controls. Done once; each
// control does it when it is made.
void InstallAccessibleControls();

// Gives widget role for assistive tools in place of the one Qt would guess.
// With whole set, the widgets inside it only draw it (the bits of a clock)
// and stay out of the tree; its accessible name then says what it shows.
// To be called before the widget is first asked for.
void SetAccessibleRole(QWidget *widget, QAccessible::Role role, bool whole = false);

} // namespace controls
