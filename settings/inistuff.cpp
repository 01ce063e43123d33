#include "settings/inistuff.h"

#include "settings/einifileerror.h"
#include "settings/inifile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace settings {

namespace {

MessageHandler &Handler()
{
    static MessageHandler handler;
    return handler;
}

void ShowMessage(const std::string &Text)
{
    if (Handler())
        Handler()(Text);
    else
        std::fprintf(stderr, "%s\n", Text.c_str());
}

// A folder of that name does not count as the file.
bool FileExists(const std::string &Path)
{
    struct stat st
    {
    };
    return ::stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string &Path)
{
    struct stat st
    {
    };
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

MessageHandler SetMessageHandler(MessageHandler NewHandler)
{
    return std::exchange(Handler(), std::move(NewHandler));
}

std::string IniFileNameBeside(const std::string &ProgramFilePath)
{
    const std::size_t slash = ProgramFilePath.rfind('/');
    if (slash == std::string::npos)
        return IniFileBaseName;
    const std::size_t last = ProgramFilePath.find_last_not_of('/', slash);
    const std::string folder =
        last == std::string::npos ? std::string() : ProgramFilePath.substr(0, last + 1);
    return folder + "/" + IniFileBaseName;
}

void CreateIniFile(const std::string &FileName)
{
    const std::size_t slash = FileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : FileName.substr(0, slash + 1);
    // Only the last level: a missing parent makes this fail, as it should.
    if (!folder.empty() && !DirectoryExists(folder) && ::mkdir(folder.c_str(), 0777) != 0 &&
        !DirectoryExists(folder))
        throw EIniFileError("Could not create " + folder);

    if (FileExists(FileName))
        return;
    // No O_TRUNC: a file that appeared meanwhile keeps its content.
    const int fd =
        ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        ShowMessage("Could not create " + FileName);
        return;
    }
    ::close(fd);
}

void ReadIniString(const std::string &FileName, const std::string &Section, const std::string &Key,
                   const std::string &Default, std::string &Value)
{
    Value = Default;
    if (!FileExists(FileName))
        CreateIniFile(FileName);
    std::string read = TIniFile(FileName).ReadString(Section, Key, Default);
    Value = std::move(read);
}

void WriteIniString(const std::string &FileName, const std::string &Section, const std::string &Key,
                    const std::string &Value)
{
    if (!FileExists(FileName))
        CreateIniFile(FileName);
    TIniFile ini(FileName);
    // Delete first so that the key is written afresh at the end of its
    // section, and in one rewrite so that a failure loses nothing.
    ini.DeleteKey(Section, Key);
    ini.WriteString(Section, Key, Value);
    ini.UpdateFile();
}

} // namespace settings
