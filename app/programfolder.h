#pragma once

#include <QString>

namespace app {

// The folder of the program file, with one trailing separator. Tests may
// point it elsewhere so that they do not touch the real settings file.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// The folder, with one trailing separator, that holds the program's data
// file Name: the program's own folder when the file is there (the build
// tree, a portable copy), else the data folder of an installation, found
// from the program's place (bin/../share/rurorodode/). The latter when
// neither holds it, so that messages name where it belongs.
QString DataFolder(const QString &Name);

// True for an installed program: its data is not beside it but in the
// installation's data folder. Such a program's folder is shared by every
// user and is never written, even by one who may.
bool IsInstalled();

// Where saving starts before the user has chosen a folder: the program's
// folder, with one trailing separator, as a portable copy has it; the
// user's home folder for an installed program or one whose folder the
// user may not write, since nothing could be saved there.
QString DefaultSaveFolder();

} // namespace app
