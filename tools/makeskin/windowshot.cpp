// Grabs the main window, drawn offscreen, into a picture for the README and
// the desktop's software centre: the window as it opens on a program folder
// in a Wine prefix, with the program's own icon file chosen and previewed,
// cut to the window's shape.
//
//     QT_QPA_PLATFORM=offscreen windowshot OUT.png
//
// Everything shown lies in a temporary folder made for the picture, and
// the program folder is another one, so no settings of the user are read
// or written.

#include "controls/windowstyle.h"
#include "main_window.h"
#include "programfolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A home, with a Wine prefix, around the folder shown, so that the folder
// tree shows what a user of Wine sees rather than whatever else the
// temporary folder holds.
bool MakeHome(const QDir &root, const QString &shown)
{
    const char *const folders[] = {
        ".wine/dosdevices",
        ".wine/drive_c/ProgramData",
        ".wine/drive_c/Program Files/Common Files",
        ".wine/drive_c/Program Files/Internet Explorer",
        ".wine/drive_c/Program Files/Windows Media Player",
        ".wine/drive_c/Program Files/Windows NT",
        ".wine/drive_c/Program Files (x86)",
        ".wine/drive_c/users/Public",
        ".wine/drive_c/windows/system32",
        "Desktop",
        "Documents",
        "Downloads",
        "Music",
        "Pictures",
        "Videos",
    };
    for (const char *folder : folders)
        if (!root.mkpath(QString::fromLatin1(folder)))
            return false;
    return root.mkpath(shown);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: windowshot OUT.png\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Rurorodode"));
    // The faces the windows name, as the program substitutes them.
    controls::SubstituteFonts();

    QTemporaryDir programFolder;
    QTemporaryDir root;
    const QString shown = QStringLiteral(".wine/drive_c/Program Files/Rurorodode");
    if (!programFolder.isValid() || !root.isValid() || !MakeHome(QDir(root.path()), shown)) {
        std::fprintf(stderr, "windowshot: cannot make a temporary folder\n");
        return 1;
    }
    const QString icon = QDir(root.filePath(shown)).filePath(QStringLiteral("rurorodode.ico"));
    if (!QFile::copy(QStringLiteral(":/skin/rurorodode.ico"), icon)) {
        std::fprintf(stderr, "windowshot: cannot write %s\n", qPrintable(icon));
        return 1;
    }
    app::SetProgramFolder(programFolder.path());
    app::SetStartPath(icon);

    QImage shot;
    {
        app::TForm1 form;
        form.show();
        // Let the folder be listed and the preview drawn.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 1000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        shot = form.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        // Outside the window's shape the desktop shows through; the
        // picture ends where the shape does.
        const QRegion shape = form.mask();
        if (!shape.isEmpty()) {
            QImage cut(shot.size(), QImage::Format_ARGB32);
            cut.fill(Qt::transparent);
            QPainter painter(&cut);
            painter.setClipRegion(shape);
            painter.drawImage(0, 0, shot);
            painter.end();
            shot = cut.copy(shape.boundingRect());
        }
    }
    if (!shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "windowshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
