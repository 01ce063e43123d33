#pragma once

// What every Qt test and benchmark shares: the program's own fonts, so that
// a test draws what the user sees, and the lookup of a window's controls by
// the names the window gives them.

#include "controls/windowstyle.h"

#include <QFontDatabase>
#include <QObject>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace testsupport {

// Puts the program's faces in place, as the program does at start. Stops
// the run when the stand-in faces are missing: every picture would differ.
inline void UseProgramFonts()
{
    if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))) {
        std::fputs("no fonts-liberation; run scripts/setup.sh\n", stderr);
        std::exit(2);
    }
    controls::SubstituteFonts();
}

// The direct child of window named name, as a T; null when there is none.
template <typename T> T *Child(const QObject &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

} // namespace testsupport
