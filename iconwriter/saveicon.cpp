#include "saveicon.h"

#include "icontofile.h"
#include "platform/drawicon.h"
#include "platform/filewrite.h"
#include "saveformats.h"

#include <algorithm>
#include <array>
#include <span>

namespace iconwriter {

std::string SaveExtension(int Format)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr || row->source != SaveSource::Preview)
        return {};
    return std::string(row->extension);
}

std::string TypedSaveName(const std::string &Typed, const std::string &Extension)
{
    if (Extension.empty())
        return Typed;
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (Typed.size() >= Extension.size() &&
        std::equal(Extension.begin(), Extension.end(),
                   Typed.end() - static_cast<std::ptrdiff_t>(Extension.size()),
                   [&](char a, char b) { return fold(a) == fold(b); }))
        return Typed;
    if (!Typed.empty() && Typed.back() == '.' && Extension.front() == '.')
        return Typed + Extension.substr(1);
    return Typed + Extension;
}

SaveOutcome SaveIconAs(const std::string &Name, const IconHandle &Icon, int Format,
                       std::uint8_t Depth)
{
    const std::string extension = SaveExtension(Format);
    if (extension.empty())
        return {};
    return SaveIconTo(Name + extension, Icon, Format, Depth);
}

SaveOutcome SaveIconTo(const std::string &Path, const IconHandle &Icon, int Format,
                       std::uint8_t Depth)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr || row->source != SaveSource::Preview)
        return {};
    return row->writePreview(Path, Icon, Depth);
}

SaveOutcome WriteIconPicture(const std::string &Path, const IconHandle &Icon, std::uint8_t Depth)
{
    return {Path, WriteIconFile(Path, Icon, Depth)};
}

SaveOutcome WriteBitmapPicture(const std::string &Path, const IconHandle &Icon, std::uint8_t)
{
    if (Icon.IsNull())
        throw ESaveError("There is no icon to save as \"" + Path + "\"");
    const std::vector<std::uint8_t> file =
        platform::EncodeBitmapFile(platform::DrawIconOnWhite(Icon));
    const std::array<std::span<const std::uint8_t>, 1> blocks = {
        std::span<const std::uint8_t>(file)};
    switch (platform::WriteWholeFile(Path, blocks)) {
    case platform::WriteResult::Ok:
        break;
    case platform::WriteResult::CreateFailed:
        throw ESaveError("Cannot create file \"" + Path + "\"");
    case platform::WriteResult::WriteFailed:
        throw ESaveError("Cannot write file \"" + Path + "\"");
    }
    return {Path, 0};
}

} // namespace iconwriter
