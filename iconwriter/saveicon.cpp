#include "saveicon.h"

#include "icontofile.h"
#include "platform/drawicon.h"
#include "platform/filewrite.h"

#include <algorithm>
#include <array>
#include <span>

namespace iconwriter {

std::string SaveExtension(int Format)
{
    switch (Format) {
    case sfIcon:
        return ".ico";
    case sfCursor:
        return ".cur";
    case sfBitmap:
        return ".bmp";
    default:
        return {};
    }
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
    SaveOutcome outcome;
    if (SaveExtension(Format).empty())
        return outcome;
    outcome.path = Path;
    if (Format != sfBitmap) {
        outcome.result = WriteIconFile(outcome.path, Icon, Depth);
        return outcome;
    }
    if (Icon.IsNull())
        throw ESaveError("There is no icon to save as \"" + outcome.path + "\"");
    const std::vector<std::uint8_t> file =
        platform::EncodeBitmapFile(platform::DrawIconOnWhite(Icon));
    const std::array<std::span<const std::uint8_t>, 1> blocks = {
        std::span<const std::uint8_t>(file)};
    switch (platform::WriteWholeFile(outcome.path, blocks)) {
    case platform::WriteResult::Ok:
        break;
    case platform::WriteResult::CreateFailed:
        throw ESaveError("Cannot create file \"" + outcome.path + "\"");
    case platform::WriteResult::WriteFailed:
        throw ESaveError("Cannot write file \"" + outcome.path + "\"");
    }
    return outcome;
}

} // namespace iconwriter
