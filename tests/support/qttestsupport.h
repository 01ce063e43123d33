#pragma once

// What every Qt test and benchmark shares: the program's own fonts, so that
// a test draws what the user sees, the lookup of a window's controls by the
// names the window gives them, acting on a modal window once it is up, and
// writing a test file.

#include "controls/windowstyle.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

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

// Writes bytes to path, replacing what is there.
inline void WriteFile(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The direct child of window named name, as a T; null when there is none.
template <typename T> T *Child(const QObject &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

// Runs act on the modal window of type T as soon as the code under test has
// shown it and the window system has activated it (its own event loop runs
// the polling), however slow the machine. Activation comes last because a
// window may act on it, as the destination dialog does: acting earlier races
// with it. A window never reported active is acted on after 5 s; after 20 s
// whatever is modal is closed, so that a test fails instead of hanging.
template <typename T, typename F> void WhenModal(QObject *context, F act)
{
    constexpr int kTick = 20;             // ms
    constexpr int kActivationTries = 250; // 5 s
    constexpr int kModalTries = 1000;     // 20 s
    auto *timer = new QTimer(context);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, context, [timer, tries, act]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        auto *window = qobject_cast<T *>(modal);
        ++*tries;
        if (window && (window->isActiveWindow() || *tries > kActivationTries)) {
            timer->stop();
            timer->deleteLater();
            act(window);
        } else if (*tries > kModalTries) {
            timer->stop();
            timer->deleteLater();
            if (modal)
                modal->close();
        }
    });
    timer->start(kTick);
}

} // namespace testsupport
