#pragma once

// An INI file with the platform's profile semantics: section and key names
// compare without regard to (ASCII) case and surrounding blanks, the first
// matching section and, in it, the first matching key count, and every line
// the program does not change is written back byte for byte (comments,
// blank lines, unknown sections, garbage, CRLF or LF endings).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// A value is read into a buffer of 2048 characters.
inline constexpr std::size_t MaxValueLength = 2047;

class TIniFile
{
public:
    // Reads the whole file now. A missing file reads as empty; one that
    // cannot be read in full (no rights, a folder or device of that name,
    // over 16 MiB) reads as empty too, and refuses UpdateFile so that its
    // content is never replaced by what little we know of it.
    explicit TIniFile(std::string FileName);

    const std::string &FileName() const { return FFileName; }
    bool Readable() const { return FReadable; }
    // The text UpdateFile writes.
    std::string Text() const;

    // The key's value: blanks around it dropped, one pair of matching outer
    // quotes removed, cut at a NUL and to MaxValueLength bytes (never inside
    // a UTF-8 sequence). An empty value is the empty string; Default comes
    // back only when the key is absent.
    std::string ReadString(std::string_view Section, std::string_view Key,
                           std::string_view Default) const;

    // Removes every line of the key from the section, so that no shadowed
    // duplicate comes back. Returns whether there was one.
    bool DeleteKey(std::string_view Section, std::string_view Key);

    // Sets the key. An existing line is rewritten where it stands; a new key
    // goes after the last key of its section, a new section at the end of
    // the file. Throws EIniFileError ("Unable to write to " and the file
    // name) for a name or value a line cannot hold: an empty name, a line
    // break or NUL anywhere, "]" in a section, "=" in a key or a key that
    // would read as a section or comment.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);

    // Replaces the file with Text(): a new file beside it is written and
    // renamed over it, so a failure leaves the old one whole. Throws
    // EIniFileError ("Unable to write to " and the file name).
    void UpdateFile() const;

private:
    enum class LineKind
    {
        lkOther,
        lkSection,
        lkKey,
    };
    struct Line
    {
        std::string Text; // as in the file, line end included
        LineKind Kind = LineKind::lkOther;
        std::string Name; // of the section or key, blanks dropped
    };
    struct Range
    {
        std::size_t Begin; // first line after the section's header
        std::size_t End;
    };

    static Line Classify(std::string Text, bool First);
    bool FindSection(std::string_view Section, std::size_t &Header, Range &Body) const;
    void Insert(std::size_t At, std::string Content);
    [[noreturn]] void Refuse() const;

    std::string FFileName;
    bool FReadable = true;
    std::string FLineEnd = "\n";
    std::vector<Line> FLines;
};

} // namespace settings
