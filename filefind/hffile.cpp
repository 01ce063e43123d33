#include "hffile.h"

#include "folderlisting.h"
#include "nametext.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace filefind {

namespace {

// Kinds that keep a name out of an enumeration which does not ask for them.
constexpr unsigned kSpecialKinds = faHidden | faSysFile | faVolumeID | faDirectory;

struct FolderEntry
{
    SortName name;
    unsigned attributes = 0;
    bool link = false;
    long long size = 0;
    long long modified = 0;
};

// The names of a folder with their kinds, in name order so that a listing
// does not depend on how the file system happens to store the folder.
std::vector<FolderEntry> ReadFolder(const std::string &Folder)
{
    namespace fs = std::filesystem;
    std::vector<FolderEntry> entries;
    std::error_code ec;
    fs::directory_iterator it(fs::path(Folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string raw = it->path().filename().native();
        if (raw.empty() || raw == "." || raw == "..")
            continue;
        const std::string full = Folder + raw;
        FolderEntry entry;
        entry.name = {Utf16(raw), raw};
        if (raw.front() == '.')
            entry.attributes |= faHidden;
        struct stat linkInfo
        {
        };
        entry.link = ::lstat(full.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode);
        struct stat info
        {
        };
        if (::stat(full.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                entry.attributes |= faDirectory;
            else if (S_ISREG(info.st_mode))
                entry.attributes |= faArchive;
            else
                entry.attributes |= faSysFile;
            if (::access(full.c_str(), W_OK) != 0)
                entry.attributes |= faReadOnly;
            entry.size = S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size) : 0;
            entry.modified = static_cast<long long>(info.st_mtime);
        } else {
            entry.attributes |= faSysFile;
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        return NameBefore(a.name, b.name);
    });
    return entries;
}

// What the enumeration asked for Mask returns: names with a special kind
// the mask lacks are passed over, the rest must share a kind with it.
bool Selected(unsigned Attributes, unsigned Mask)
{
    return (Attributes & kSpecialKinds & ~Mask) == 0 && (Attributes & Mask) != 0;
}

// A NUL would cut the name short on its way to the system, naming another
// folder.
bool IsFolder(const std::string &Path)
{
    struct stat info
    {
    };
    return !Path.empty() && Path.find('\0') == std::string::npos &&
           ::stat(Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

THFFile::THFFile()
{
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (!ec)
        SetPath(here.native());
}

void THFFile::SetPath(const std::string &Value)
{
    if (Value == FPath || !IsFolder(Value))
        return;
    FPath = Value.ends_with('/') ? Value : Value + '/';
}

bool THFFile::SetProperty(std::string_view Name, const TPropertyValue &Value)
{
    const bool *flag = std::get_if<bool>(&Value);
    const std::string *text = std::get_if<std::string>(&Value);
    if (const TFileAttr *attr = std::get_if<TFileAttr>(&Value); attr && Name == "FileAttr")
        SetFileAttr(*attr);
    else if (flag && Name == "InSubFolders")
        SetInSubFolders(*flag);
    else if (text && Name == "Path")
        SetPath(*text);
    else if (text && Name == "FileMask")
        SetFileMask(*text);
    else if (flag && Name == "IncFileSize")
        SetIncFileSize(*flag);
    else if (flag && Name == "IncFileDate")
        SetIncFileDate(*flag);
    else
        return false;
    return true;
}

std::optional<THFFile::TPropertyValue> THFFile::Property(std::string_view Name) const
{
    if (Name == "FileAttr")
        return FFileAttr;
    if (Name == "InSubFolders")
        return FInSubFolders;
    if (Name == "Path")
        return FPath;
    if (Name == "FileMask")
        return FFileMask;
    if (Name == "IncFileSize")
        return FIncFileSize;
    if (Name == "IncFileDate")
        return FIncFileDate;
    return std::nullopt;
}

std::vector<std::string> THFFile::SplitMask(std::string_view Mask)
{
    if (Mask == "*.*")
        return {std::string(Mask)};
    // Cut in UTF-16 units, so that a character beyond U+FFFF ends two
    // patterns as it always has; what is kept is ASCII.
    std::u16string mask = Utf16(Mask);
    if (!mask.ends_with(u';'))
        mask += u';';
    std::vector<std::string> patterns;
    std::string pattern;
    for (const char16_t c : mask) {
        const bool inPattern =
            (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'*' || c == u'.';
        if (inPattern) {
            pattern += char(c);
        } else {
            patterns.push_back(std::move(pattern));
            pattern.clear();
        }
    }
    return patterns;
}

const std::vector<std::string> &THFFile::Find()
{
    FMasks = SplitMask(FFileMask);
    FFound.clear();
    try {
        SearchFolder(FPath, FFileAttr.AttributeMask());
    } catch (...) {
        if (FListBox)
            FListBox(FFound);
        throw;
    }
    if (FListBox)
        FListBox(FFound);
    return FFound;
}

void THFFile::SearchFolder(const std::string &Folder, unsigned Mask)
{
    const std::vector<FolderEntry> entries = ReadFolder(Folder);
    for (const std::string &mask : FMasks) {
        // An empty pattern names the folder itself, which the enumeration
        // never returns.
        if (mask.empty())
            continue;
        const bool everything = mask == "*.*";
        const std::u16string pattern = CaseFolded(Utf16(mask));
        for (const FolderEntry &entry : entries) {
            if (!Selected(entry.attributes, Mask))
                continue;
            if (!everything && !MatchesPattern(pattern, entry.name.text))
                continue;
            FFound.push_back(Entry(Folder, entry.name.bytes, entry.size, entry.modified));
        }
    }
    if (!FInSubFolders)
        return;
    for (const FolderEntry &entry : entries) {
        if (Selected(entry.attributes, faDirectory) && (entry.attributes & faDirectory) &&
            !entry.link)
            SearchFolder(Folder + entry.name.bytes + '/', Mask);
    }
}

std::string THFFile::Entry(const std::string &Folder, const std::string &Name, long long Size,
                           long long ModifiedSecs) const
{
    std::string entry = Folder + Name;
    if (FIncFileSize)
        entry += ',' + std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(Size))) +
                 " bytes ";
    if (FIncFileDate) {
        // File dates of the original platform count in steps of two seconds.
        const std::time_t secs = static_cast<std::time_t>(ModifiedSecs);
        std::tm local{};
        if (::localtime_r(&secs, &local) == nullptr)
            local = std::tm{};
        char text[96];
        std::snprintf(text, sizeof text, ",%02d-%02d-%04d  %02d-%02d-%02d", local.tm_mday,
                      local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min,
                      local.tm_sec & ~1);
        entry += text;
    }
    return entry;
}

} // namespace filefind
