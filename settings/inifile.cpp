#include "settings/inifile.h"

#include "platform/filewrite.h"
#include "settings/einifileerror.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace settings {

namespace {

// A settings file is a few lines; anything far larger is not ours to rewrite.
constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;
constexpr std::string_view Blanks = " \t\r";
constexpr std::string_view Bom = "\xEF\xBB\xBF";

enum class ReadResult
{
    rrRead,
    rrMissing,
    rrUnreadable,
};

ReadResult ReadWholeFile(const std::string &Path, std::string &Text)
{
    // Non-blocking so that a FIFO of that name cannot hang the program.
    const int fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::rrMissing
                                                   : ReadResult::rrUnreadable;
    ReadResult result = ReadResult::rrRead;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > MaxFileSize)
        result = ReadResult::rrUnreadable;
    char buffer[16384];
    while (result == ReadResult::rrRead) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        if (n < 0 || Text.size() + static_cast<std::size_t>(n) > MaxFileSize)
            result = ReadResult::rrUnreadable;
        else
            Text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (result != ReadResult::rrRead)
        Text.clear();
    return result;
}

std::string_view Trim(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(Blanks) - first + 1);
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Line names are stored trimmed; the caller's are trimmed here.
bool SameName(std::string_view Stored, std::string_view Wanted)
{
    Wanted = Trim(Wanted);
    if (Stored.size() != Wanted.size())
        return false;
    for (std::size_t i = 0; i < Stored.size(); ++i)
        if (Lower(Stored[i]) != Lower(Wanted[i]))
            return false;
    return true;
}

// A line without its line end.
std::string_view Content(std::string_view Text)
{
    if (!Text.empty() && Text.back() == '\n')
        Text.remove_suffix(1);
    if (!Text.empty() && Text.back() == '\r')
        Text.remove_suffix(1);
    return Text;
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool IsBlank(char c)
{
    return Blanks.find(c) != std::string_view::npos;
}

// Cuts to the buffer's size without splitting a UTF-8 character; bytes that
// are no UTF-8 at all are cut where the limit falls.
std::string_view CutToLimit(std::string_view v)
{
    if (v.size() <= MaxValueLength)
        return v;
    std::size_t at = MaxValueLength;
    std::size_t lead = at;
    while (lead > 0 && at - lead < 3 && (static_cast<unsigned char>(v[lead]) & 0xC0) == 0x80)
        --lead;
    const auto c = static_cast<unsigned char>(v[lead]);
    const std::size_t length = (c & 0xE0) == 0xC0   ? 2
                               : (c & 0xF0) == 0xE0 ? 3
                               : (c & 0xF8) == 0xF0 ? 4
                                                    : 1;
    if (lead < at && lead + length > at)
        at = lead;
    return v.substr(0, at);
}

bool HasAny(std::string_view s, std::string_view chars)
{
    return s.find_first_of(chars) != std::string_view::npos;
}

constexpr std::string_view LineBreaks("\r\n\0", 3);

} // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName))
{
    std::string text;
    FReadable = ReadWholeFile(FFileName, text) != ReadResult::rrUnreadable;
    const std::size_t firstBreak = text.find('\n');
    if (firstBreak != std::string::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        FLineEnd = "\r\n";
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        FLines.push_back(Classify(text.substr(at, next - at), at == 0));
        at = next;
    }
}

TIniFile::Line TIniFile::Classify(std::string Text, bool First)
{
    Line line;
    std::string_view s = Content(Text);
    if (First && s.starts_with(Bom))
        s.remove_prefix(Bom.size());
    s = Trim(s);
    if (s.starts_with('[') && s.find(']') != std::string_view::npos) {
        line.Kind = LineKind::lkSection;
        line.Name = Trim(s.substr(1, s.find(']') - 1));
    } else if (!s.starts_with(';') && s.find('=') != std::string_view::npos) {
        const std::string_view key = Trim(s.substr(0, s.find('=')));
        if (!key.empty()) {
            line.Kind = LineKind::lkKey;
            line.Name = key;
        }
    }
    line.Text = std::move(Text);
    return line;
}

std::string TIniFile::Text() const
{
    std::string text;
    for (const Line &line : FLines)
        text += line.Text;
    return text;
}

bool TIniFile::FindSection(std::string_view Section, std::size_t &Header, Range &Body) const
{
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (FLines[i].Kind != LineKind::lkSection || !SameName(FLines[i].Name, Section))
            continue;
        Header = i;
        Body.Begin = i + 1;
        Body.End = Body.Begin;
        while (Body.End < FLines.size() && FLines[Body.End].Kind != LineKind::lkSection)
            ++Body.End;
        return true;
    }
    return false;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const
{
    std::size_t header = 0;
    Range body{};
    if (FindSection(Section, header, body))
        for (std::size_t i = body.Begin; i < body.End; ++i) {
            const Line &line = FLines[i];
            if (line.Kind != LineKind::lkKey || !SameName(line.Name, Key))
                continue;
            std::string_view value = Content(line.Text);
            value.remove_prefix(value.find('=') + 1);
            value = Trim(value.substr(0, value.find('\0'))); // the platform reads C strings
            if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return std::string(CutToLimit(value));
        }
    return std::string(CutToLimit(Default));
}

bool TIniFile::DeleteKey(std::string_view Section, std::string_view Key)
{
    std::size_t header = 0;
    Range body{};
    if (!FindSection(Section, header, body))
        return false;
    bool deleted = false;
    for (std::size_t i = body.End; i-- > body.Begin;)
        if (FLines[i].Kind == LineKind::lkKey && SameName(FLines[i].Name, Key)) {
            FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(i));
            deleted = true;
        }
    return deleted;
}

void TIniFile::Insert(std::size_t At, std::string Content)
{
    if (At > 0 && !FLines[At - 1].Text.ends_with('\n'))
        FLines[At - 1].Text += FLineEnd; // the file's last line had no line end
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(At),
                  Classify(std::move(Content) + FLineEnd, false));
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value)
{
    const std::string_view section = Trim(Section);
    const std::string_view key = Trim(Key);
    if (section.empty() || HasAny(Section, LineBreaks) || HasAny(section, "]"))
        Refuse();
    if (key.empty() || HasAny(Key, LineBreaks) || HasAny(key, "=") || key.front() == '[' ||
        key.front() == ';')
        Refuse();
    if (HasAny(Value, LineBreaks))
        Refuse();

    // Quotes keep blanks at the ends and outer quotes of the value itself,
    // which a read would otherwise drop.
    std::string entry = std::string(key) + "=";
    if (!Value.empty() &&
        (IsBlank(Value.front()) || IsBlank(Value.back()) ||
         (Value.size() >= 2 && IsQuote(Value.front()) && Value.back() == Value.front())))
        entry.append(1, '"').append(Value).append(1, '"');
    else
        entry += Value;

    std::size_t header = 0;
    Range body{};
    if (!FindSection(Section, header, body)) {
        if (!FLines.empty() && !Trim(Content(FLines.back().Text)).empty())
            Insert(FLines.size(), ""); // a blank line between sections
        std::string title(1, '[');
        title.append(section).append(1, ']');
        Insert(FLines.size(), std::move(title));
        Insert(FLines.size(), std::move(entry));
        return;
    }
    std::size_t at = header + 1;
    for (std::size_t i = body.Begin; i < body.End; ++i) {
        Line &line = FLines[i];
        if (line.Kind != LineKind::lkKey)
            continue;
        if (SameName(line.Name, Key)) {
            const std::string lineEnd = line.Text.substr(Content(line.Text).size());
            line = Classify(std::move(entry) + lineEnd, false);
            return;
        }
        at = i + 1;
    }
    // After the last key, so that blank lines and comments that lead into
    // the next section stay with it.
    Insert(at, std::move(entry));
}

void TIniFile::UpdateFile() const
{
    if (!FReadable)
        Refuse();
    // Through a link to the file it names, so that the link stays a link.
    std::string target = FFileName;
    std::error_code error;
    if (std::filesystem::is_symlink(FFileName, error)) {
        const auto real = std::filesystem::canonical(FFileName, error);
        if (!error)
            target = real.string();
    }
    const std::string text = Text();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t *>(text.data()),
                                              text.size());
    if (platform::WriteWholeFile(target, std::span(&bytes, 1)) != platform::WriteResult::Ok)
        Refuse();
}

void TIniFile::Refuse() const
{
    throw EIniFileError("Unable to write to " + FFileName);
}

} // namespace settings
