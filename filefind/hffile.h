#pragma once

#include "tfileattr.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace filefind {

// Lists the entries of one folder (and on request of its subfolders) whose
// names match FileMask and whose attributes match FileAttr. An entry is the
// folder searched, with its trailing "/", followed by the name; with
// IncFileSize ",<size> bytes " follows, with IncFileDate
// ",dd-mm-yyyy  hh-nn-ss" (local time, seconds rounded down to even ones).
//
// Linux has no attribute bits, so an entry's kinds are taken from what the
// file system says:
//   read-only    the user running the program may not write it (access(2)
//                with W_OK; root may write nearly everything, so it rarely
//                sees this kind)
//   hidden       the name begins with "."
//   system       neither a regular file nor a folder: devices, sockets,
//                pipes and links that lead nowhere
//   volume label never
//   directory    a folder (a link to a folder counts as one)
//   archive      every regular file, as files on the original platform
//                normally carry it
// A name is passed over when it carries hidden, system or directory and
// FileAttr does not ask for that kind, and is listed when it then shares a
// kind with FileAttr: [ffaAnyFile] lists every matching name, [ffaArchive]
// alone the visible regular files only.
//
// Patterns are compared without regard to case, "*" is any run of
// characters, "*.*" matches every name. A folder's names come in name order
// (the order of the original platform's enumeration, which Linux does not
// keep), its subfolders' entries follow it depth first. Links to folders are
// listed but not entered, so that a link loop cannot trap the search.
class THFFile
{
public:
    // Stands in for a list box: receives a copy of the results after every
    // search. Below the windows there is no list box, so the window passes a
    // function that fills its own; the finder neither owns nor watches it.
    using TListBox = std::function<void(const std::vector<std::string> &)>;
    // A published property's value: FileAttr, a flag or a text.
    using TPropertyValue = std::variant<bool, std::string, TFileAttr>;

    THFFile();

    TFileAttr FileAttr() const { return FFileAttr; }
    void SetFileAttr(TFileAttr Value) { FFileAttr = Value; }
    bool InSubFolders() const { return FInSubFolders; }
    void SetInSubFolders(bool Value) { FInSubFolders = Value; }
    const std::string &Path() const { return FPath; }
    // Takes Value only when it differs from Path, is not empty and names an
    // existing folder; a "/" is added unless Value ends with one.
    void SetPath(const std::string &Value);
    const std::string &FileMask() const { return FFileMask; }
    void SetFileMask(std::string Value) { FFileMask = std::move(Value); }
    bool IncFileSize() const { return FIncFileSize; }
    void SetIncFileSize(bool Value) { FIncFileSize = Value; }
    bool IncFileDate() const { return FIncFileDate; }
    void SetIncFileDate(bool Value) { FIncFileDate = Value; }
    const TListBox &ListBox() const { return FListBox; }
    void SetListBox(TListBox Value) { FListBox = std::move(Value); }

    // Searches Path and returns the finder's own result list, valid until
    // the next Find. ListBox gets the results also when the search throws.
    const std::vector<std::string> &Find();

    // The published properties (FileAttr, InSubFolders, Path, FileMask,
    // IncFileSize, IncFileDate) by name, for code that sets a finder up
    // from a description. Setting fails for an unknown name or a value of
    // another type; reading an unknown name gives nothing.
    bool SetProperty(std::string_view Name, const TPropertyValue &Value);
    std::optional<TPropertyValue> Property(std::string_view Name) const;

    // The patterns FileMask (UTF-8) is cut into: "*.*" alone stays whole;
    // otherwise every character other than a letter, "*" or "." ends a
    // pattern (so a digit, "_" or "-" cuts one; a character beyond U+FFFF
    // counts twice, as a pair of UTF-16 units), empty patterns included.
    static std::vector<std::string> SplitMask(std::string_view Mask);

private:
    void SearchFolder(const std::string &Folder, unsigned Mask);
    std::string Entry(const std::string &Folder, const std::string &Name, long long Size,
                      long long ModifiedSecs) const;

    std::vector<std::string> FFound;
    std::vector<std::string> FMasks;
    TListBox FListBox;
    bool FIncFileSize = false;
    bool FIncFileDate = false;
    bool FInSubFolders = false;
    TFileAttr FFileAttr;
    std::string FPath;
    std::string FFileMask;
};

} // namespace filefind
