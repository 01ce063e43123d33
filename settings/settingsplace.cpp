#include "settings/settingsplace.h"

#include "settings/inistuff.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace settings {

namespace {

bool IsAbsolute(const char *Path)
{
    return Path != nullptr && Path[0] == '/';
}

std::string WithoutTrailingSlashes(std::string Path)
{
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    return Path;
}

std::string HomeFromPasswd()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0 || size > 1 << 20)
        size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || !IsAbsolute(found->pw_dir))
        return {};
    return found->pw_dir;
}

// A folder this process may make files in (the effective user decides, as
// it does for the writes that follow).
bool WritableFolder(const std::string &Path)
{
    struct stat st
    {
    };
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::faccessat(AT_FDCWD, Path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Makes Path and its missing parents; failures show in the check after.
void MakeFolders(const std::string &Path)
{
    for (std::size_t slash = Path.find('/', 1);; slash = Path.find('/', slash + 1)) {
        const std::string level = Path.substr(0, slash);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST)
            return;
        if (slash == std::string::npos)
            return;
    }
}

} // namespace

std::string ConfigHomeFrom(const char *XdgConfigHome, const char *Home)
{
    if (IsAbsolute(XdgConfigHome))
        return WithoutTrailingSlashes(XdgConfigHome);
    std::string home = IsAbsolute(Home) ? std::string(Home) : HomeFromPasswd();
    if (home.empty())
        return {};
    home = WithoutTrailingSlashes(home);
    return (home == "/" ? std::string() : home) + "/.config";
}

std::string ConfigHome()
{
    return ConfigHomeFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string SettingsFileName(const std::string &ProgramFolder, const std::string &ConfigHome,
                             bool Installed)
{
    std::string folder = ProgramFolder;
    if (folder.empty())
        folder = "./";
    else if (folder.back() != '/')
        folder += '/';
    const std::string beside = folder + IniFileBaseName;
    if ((!Installed && WritableFolder(folder)) || ConfigHome.empty() || ConfigHome.front() != '/')
        return beside;

    std::string base = WithoutTrailingSlashes(ConfigHome);
    if (base == "/")
        base.clear();
    const std::string own = base + "/rurorodode";
    if (!WritableFolder(own))
        MakeFolders(own);
    return own + "/" + IniFileBaseName;
}

} // namespace settings
