#pragma once

// The save formats: one row each, read by everything that offers, names or
// writes them (the save dialog's file types, the destination dialog's
// choices, iconprobe's --format and its help, the save-all run, the gallery
// step). A new format is a row here and its writer.

#include "iconwriter/iconextraction.h"
#include "iconwriter/saveicon.h"
#include "iconwriter/wholeiconfile.h"
#include "platform/wholeicon.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iconwriter {

// What a format saves: the icon as the preview shows it, or every image the
// file stores for it, read again from the file.
enum class SaveSource
{
    Preview,
    WholeIcon
};

struct SaveFormatRow
{
    int code;                         // the save-format code
    std::string_view name;            // on the command line: --format NAME
    std::string_view extension;       // what a save adds to its name
    std::string_view cursorExtension; // the same for a cursor's whole icon
    std::string_view filter;          // the save dialog's file type
    std::string_view choice;          // the destination dialog's item
    std::string_view help;            // iconprobe's help, lines after the first indented
    SaveSource source;
    bool depthApplies;            // the colour depth choice changes what it writes
    std::string_view galleryMask; // what a gallery page after a run lists; empty: no gallery
    // Formats of the preview's image: the icon to Path at the depth code.
    SaveOutcome (*writePreview)(const std::string &Path, const IconHandle &Icon,
                                std::uint8_t Depth);
    // Whole-icon formats: the icon to Path (or, for a format of several
    // files, beside it), whole or not at all.
    SaveOutcome (*writeWhole)(const std::string &Path, const platform::WholeIcon &Icon);
    // The files writeWhole makes of Path; nullptr when it makes Path alone.
    std::vector<std::string> (*outputs)(const std::string &Path, const platform::WholeIcon &Icon);
};

// The table. A row's writers are the ones in saveicon.h and wholeiconfile.h.
inline constexpr auto kSaveFormats = std::to_array<SaveFormatRow>({
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
});
inline constexpr std::size_t kSaveFormatCount = kSaveFormats.size();

// Every format, in the order the dialogs offer them: codes 1, 2, 3, ...
std::span<const SaveFormatRow> SaveFormats();
// The row of a code or a command-line name; nullptr for none.
const SaveFormatRow *FindSaveFormat(int Code);
const SaveFormatRow *FindSaveFormat(std::string_view Name);

// The extension a save in Format adds: for whole icons of a cursor, the
// cursor's. Empty for no format.
std::string FormatExtension(int Format, bool Cursor = false);

// Reads the whole icon for a whole-icon save; called only when one is made.
using WholeIconReader = std::function<platform::WholeIconResult(platform::WholeIcon &)>;

// Saves into Path exactly, in Format: a preview format writes Icon at
// Depth (WriteIconFile's result reported in the outcome, as SaveIconTo
// does); a whole-icon format reads the icon through ReadWhole first and
// throws ESaveError, with the reason, when it cannot be read or written.
// Any other code writes nothing.
SaveOutcome SaveInFormat(const std::string &Path, int Format, const IconHandle &Icon,
                         std::uint8_t Depth, const WholeIconReader &ReadWhole);

// The files a save into Path would write: Path, or the files a format of
// several files makes beside it (Icon then tells which sizes there are).
std::vector<std::string> SaveOutputs(const std::string &Path, int Format,
                                     const platform::WholeIcon &Icon);

} // namespace iconwriter
