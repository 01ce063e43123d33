#include "saveformats.h"

#include "wholeiconfile.h"

#include <array>

namespace iconwriter {

namespace {

constexpr std::array<SaveFormatRow, kSaveFormatCount> kFormats{{
    {sfIcon, "ico", ".ico", "", "Icon File (*.ico)", "ICO",
     "the icon as the preview shows it, 32 x 32, at --depth", SaveSource::Preview, true, "",
     WriteIconPicture, nullptr, nullptr},
    {sfCursor, "cur", ".cur", "", "Cursor File (*.cur)", "CUR", "the same bytes as ico, named .cur",
     SaveSource::Preview, true, "", WriteIconPicture, nullptr, nullptr},
    {sfBitmap, "bmp", ".bmp", "", "Bitmap File (*.bmp)", "BMP",
     "the preview's icon drawn over white, 24 bits", SaveSource::Preview, false, "*.BMP",
     WriteBitmapPicture, nullptr, nullptr},
    {sfIconAllSizes, "ico-all", ".ico", ".cur", "Icon, all sizes (*.ico)", "Icon, all sizes",
     "every image the file stores for the icon, byte for byte,\n"
     "in one .ico (a .cur with hot spots for cursor sources)",
     SaveSource::WholeIcon, false, "", nullptr, WriteAllSizesIcon, nullptr},
    {sfPng, "png", ".png", "", "PNG image (*.png)", "PNG",
     "the icon's largest image (widest, then most bits) as a PNG\n"
     "with alpha; a stored PNG is copied as it is",
     SaveSource::WholeIcon, false, "*.PNG", nullptr, WriteLargestPng, nullptr},
    {sfPngSizes, "png-sizes", ".png", "", "PNG, every size (*.png)", "PNG, by size",
     "every size of the icon as a PNG of its own, NAME-WIDTHxHEIGHT.png\n"
     "(the image with most bits where several share a size)",
     SaveSource::WholeIcon, false, "*.PNG", nullptr, WritePngSizes, PngSizeNames},
}};

} // namespace

std::span<const SaveFormatRow> SaveFormats()
{
    return kFormats;
}

const SaveFormatRow *FindSaveFormat(int Code)
{
    for (const SaveFormatRow &row : kFormats)
        if (row.code == Code)
            return &row;
    return nullptr;
}

const SaveFormatRow *FindSaveFormat(std::string_view Name)
{
    for (const SaveFormatRow &row : kFormats)
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
