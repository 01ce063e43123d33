#include "saveformats.h"

#include "wholeiconfile.h"

namespace iconwriter {

std::span<const SaveFormatRow> SaveFormats()
{
    return kSaveFormats;
}

const SaveFormatRow *FindSaveFormat(int Code)
{
    for (const SaveFormatRow &row : kSaveFormats)
        if (row.code == Code)
            return &row;
    return nullptr;
}

const SaveFormatRow *FindSaveFormat(std::string_view Name)
{
    for (const SaveFormatRow &row : kSaveFormats)
        if (row.name == Name)
            return &row;
    return nullptr;
}

std::string FormatExtension(int Format, bool Cursor)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr)
        return {};
    return std::string(Cursor && !row->cursorExtension.empty() ? row->cursorExtension
                                                               : row->extension);
}

SaveOutcome SaveInFormat(const std::string &Path, int Format, const IconHandle &Icon,
                         std::uint8_t Depth, const WholeIconReader &ReadWhole)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr)
        return {};
    if (row->source == SaveSource::Preview)
        return row->writePreview(Path, Icon, Depth);
    platform::WholeIcon whole;
    const platform::WholeIconResult read = ReadWhole(whole);
    if (read != platform::WholeIconResult::Ok)
        throw ESaveError("Cannot read the icon: " +
                         std::string(platform::WholeIconResultText(read)));
    return SaveWholeIconTo(Path, whole, Format);
}

std::vector<std::string> SaveOutputs(const std::string &Path, int Format,
                                     const platform::WholeIcon &Icon)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr)
        return {};
    if (row->outputs == nullptr)
        return {Path};
    return row->outputs(Path, Icon);
}

} // namespace iconwriter
