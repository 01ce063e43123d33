#include "saveicon.h"

#include "icontofile.h"
#include "platform/drawicon.h"
#include "platform/filewrite.h"

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

SaveOutcome SaveIconAs(const std::string &Name, const IconHandle &Icon, int Format,
                       std::uint8_t Depth)
{
    SaveOutcome outcome;
    const std::string extension = SaveExtension(Format);
    if (extension.empty())
        return outcome;
    outcome.path = Name + extension;
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
