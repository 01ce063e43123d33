#pragma once

// The settings helpers the windows use. Each call opens the file, does its
// one job and closes it again; nothing is cached. Paths are UTF-8 with "/".

#include <functional>
#include <string>

namespace settings {

// The settings file's name beside the program file.
inline constexpr const char *IniFileBaseName = "Rurorodode.ini";

// Where CreateIniFile shows the message it does not raise. The main window
// connects its modal message box; with no handler the text goes to stderr.
// Returns the previous handler; an empty one restores the default.
using MessageHandler = std::function<void(const std::string &Text)>;
MessageHandler SetMessageHandler(MessageHandler Handler);

// The folder of ProgramFilePath with one "/" and IniFileBaseName; a bare
// file name gives the bare IniFileBaseName (the current folder).
std::string IniFileNameBeside(const std::string &ProgramFilePath);

// Makes the last level of the file's folder when it is missing (throws
// EIniFileError "Could not create " and the folder, its "/" included, when
// that fails), then the file, empty, when it is missing (shows "Could not
// create " and the file name when that fails, and goes on).
void CreateIniFile(const std::string &FileName);

// Value := the key of the section, or Default when the file or the key is
// missing or the file cannot be read. A missing file is created first, and
// Value holds Default already should that raise.
void ReadIniString(const std::string &FileName, const std::string &Section, const std::string &Key,
                   const std::string &Default, std::string &Value);

// Replaces the key: every line of it goes and one is written afresh at the
// end of its section (the section at the end of the file when missing),
// all other lines kept byte for byte. A missing file is created first.
// Throws EIniFileError "Unable to write to " and the file name when the
// file cannot be read in full or written; the file is then left as it was.
void WriteIniString(const std::string &FileName, const std::string &Section, const std::string &Key,
                    const std::string &Value);

} // namespace settings
