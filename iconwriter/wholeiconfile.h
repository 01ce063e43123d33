#pragma once

// Saving a whole icon at full resolution: every image the file stores for
// it in one icon (or cursor) file, byte for byte, or its largest image as a
// PNG picture with full alpha.

#include "iconwriter/saveicon.h"
#include "platform/filewrite.h"
#include "platform/wholeicon.h"

#include <cstdint>
#include <string>
#include <vector>

namespace iconwriter {

// The header and directory of the icon file holding every image of Icon in
// its order: type 2 (a cursor, hot spots kept) when the source is a cursor,
// else 1; each entry's size fields from the image itself (0 for 256 and
// more), its colour count, planes and bit count as the reader found them,
// and the images following the directory one after the other. Icon must
// have at least one image.
std::vector<std::uint8_t> WholeIconDirectory(const platform::WholeIcon &Icon);

// Writes that file (directory, then the images as stored) to Path, whole
// or not at all.
platform::WriteResult WriteWholeIconFile(const std::string &Path, const platform::WholeIcon &Icon);

// The PNG stream of one image: a stored PNG as it is; a DIB decoded with
// its mask and encoded as 8-bit RGBA (alpha from the image when it has any,
// else opaque where the mask is clear). False when the image cannot be
// decoded or encoded.
bool EncodeImagePng(const platform::StoredImage &Image, std::vector<std::uint8_t> &Png);

// The extension a whole-icon format gives: ".ico" for sfIconAllSizes
// (".cur" when the source is a cursor), ".png" for sfPng and sfPngSizes,
// empty otherwise.
std::string WholeIconExtension(int Format, bool Cursor);

// The whole-icon writers, into Path exactly: every image in one icon file;
// the largest image (widest, then most bits, then first) as a PNG; every
// size as a PNG of its own, named after Path less its ".png" with
// "-WIDTHxHEIGHT.png" added, the image with most bits where several share a
// size and the next where that one cannot be converted (PngSizeNames lists
// the names). Each file whole or not at all; ESaveError when nothing can be
// written, or when a name would be longer than a file name may be (then
// before any file is written).
SaveOutcome WriteAllSizesIcon(const std::string &Path, const platform::WholeIcon &Icon);
SaveOutcome WriteLargestPng(const std::string &Path, const platform::WholeIcon &Icon);
SaveOutcome WritePngSizes(const std::string &Path, const platform::WholeIcon &Icon);
std::vector<std::string> PngSizeNames(const std::string &Path, const platform::WholeIcon &Icon);

// Saves Icon under Name plus the format's extension, whatever Name ends
// with, through the format's writer. Throws ESaveError when nothing can be written
// (no image, an image that cannot be converted, a file that cannot be
// created or written); any other format writes nothing.
SaveOutcome SaveWholeIconAs(const std::string &Name, const platform::WholeIcon &Icon, int Format);
// The same, into Path exactly as given.
SaveOutcome SaveWholeIconTo(const std::string &Path, const platform::WholeIcon &Icon, int Format);

// Reads the icon at Index of the file Source (the numbering of the count
// and the preview) and saves it as SaveWholeIconAs does. Throws ESaveError
// also when the icon cannot be read, with the reason.
SaveOutcome SaveWholeIcon(const std::string &Source, int Index, const std::string &Name,
                          int Format);

} // namespace iconwriter
