#pragma once

#include <QString>

namespace app {

// The folder of the program file, with one trailing separator. Tests may
// point it elsewhere so that they do not touch the real settings file.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

} // namespace app
