#pragma once

// One place that turns an icon into an output file of a save format, for
// the single save, the save-all run and the command-line companion alike.

#include "iconwriter/iconextraction.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace iconwriter {

// Save-format codes.
enum SaveFormat : int
{
    sfIcon = 1,   // ".ico"
    sfCursor = 2, // ".cur", the same bytes as an icon file
    sfBitmap = 3, // ".bmp", the icon drawn over white
    // The whole icon at full resolution (wholeiconfile.h): every image the
    // file stores, in an ".ico" (".cur" for cursors), and the largest image
    // as ".png".
    sfIconAllSizes = 4,
    sfPng = 5,
    // Every size the icon has as a PNG of its own, NAME-WIDTHxHEIGHT.png.
    sfPngSizes = 6,
};

// A bitmap file that could not be saved.
class ESaveError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct SaveOutcome
{
    std::string path;        // the name with its extension; empty when nothing was made
    std::int32_t result = 0; // WriteIconFile's result for icon and cursor files
};

// The extension of a format of the preview's image (".ico", ".cur",
// ".bmp"), empty for others.
std::string SaveExtension(int Format);

// The writers of the preview's image, into Path exactly: an icon (or
// cursor) file through WriteIconFile at the Depth code, its result reported
// and nothing thrown; a bitmap file of the icon drawn over white in 24 bits,
// which throws ESaveError when the file cannot be written.
SaveOutcome WriteIconPicture(const std::string &Path, const IconHandle &Icon, std::uint8_t Depth);
SaveOutcome WriteBitmapPicture(const std::string &Path, const IconHandle &Icon, std::uint8_t Depth);

// Appends the format's extension to Name, whatever Name already ends with,
// and saves Icon there: icon and cursor files through WriteIconFile at the
// Depth code (its result is reported, nothing is thrown), bitmap files as
// the icon drawn over white in 24 bits (throws ESaveError when the file
// cannot be written). Any other format writes nothing.
SaveOutcome SaveIconAs(const std::string &Name, const IconHandle &Icon, int Format,
                       std::uint8_t Depth);
// The same, into Path exactly as given.
SaveOutcome SaveIconTo(const std::string &Path, const IconHandle &Icon, int Format,
                       std::uint8_t Depth);

// The file a save under a name the user typed writes: Typed with Extension
// added, unless Typed already ends with it in any letter case (A.ICO stays
// A.ICO); a name ending in a dot takes the extension after that dot. An
// empty Extension leaves Typed as it is.
std::string TypedSaveName(const std::string &Typed, const std::string &Extension);

} // namespace iconwriter
