#include "programfolder.h"

#include <QCoreApplication>

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

} // namespace app
