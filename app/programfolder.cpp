#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace app {

namespace {
QString &Override()
{
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder()
{
    QString folder = Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
    while (folder.endsWith(QLatin1Char('/')) && folder.size() > 1)
        folder.chop(1);
    return folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
}

void SetProgramFolder(const QString &folder)
{
    Override() = folder;
}

QString DataFolder(const QString &Name)
{
    const QString program = ProgramFolder();
    if (QFileInfo(program + Name).isFile())
        return program;
    const QString installed = QDir::cleanPath(program + QStringLiteral(RURORODODE_DATA_FROM_BIN));
    return installed == QLatin1String("/") ? installed : installed + QLatin1Char('/');
}

bool IsInstalled()
{
    const QString help = QStringLiteral("Zadore~2.hlp");
    return DataFolder(help) != ProgramFolder() && QFileInfo(DataFolder(help) + help).isFile();
}

QString DefaultSaveFolder()
{
    const QString program = ProgramFolder();
    if (!IsInstalled() && ::access(QFile::encodeName(program).constData(), W_OK) == 0)
        return program;
    const QString home = QDir::homePath();
    return home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/');
}

} // namespace app
