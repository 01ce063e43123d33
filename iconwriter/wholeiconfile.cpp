#include "wholeiconfile.h"

#include "iconwriter/pngwrite.h"
#include "iconwriter/saveformats.h"
#include "platform/iconimage.h"

#include <algorithm>
#include <array>
#include <span>

namespace iconwriter {

namespace {

constexpr std::size_t kHeader = 6;
constexpr std::size_t kEntry = 16;

void Put16(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t> &out, std::size_t at, std::uint32_t v)
{
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

std::uint8_t SideByte(int side)
{
    return static_cast<std::uint8_t>(side >= 256 ? 0 : side);
}

// Turns a failed write into the error the save reports.
void Check(const std::string &path, platform::WriteResult result)
{
    switch (result) {
    case platform::WriteResult::Ok:
        return;
    case platform::WriteResult::CreateFailed:
        throw ESaveError("Cannot create file \"" + path + "\"");
    case platform::WriteResult::WriteFailed:
        break;
    }
    throw ESaveError("Cannot write file \"" + path + "\"");
}

} // namespace

std::vector<std::uint8_t> WholeIconDirectory(const platform::WholeIcon &Icon)
{
    const std::size_t count = Icon.images.size();
    std::vector<std::uint8_t> out(kHeader + kEntry * count);
    Put16(out, 0, 0);
    Put16(out, 2, Icon.cursor ? 2 : 1);
    Put16(out, 4, static_cast<std::uint32_t>(count));
    // The reader's limits keep every offset far below 4 GiB.
    std::uint64_t offset = out.size();
    for (std::size_t i = 0; i < count; ++i) {
        const platform::StoredImage &image = Icon.images[i];
        const std::size_t at = kHeader + kEntry * i;
        out[at] = SideByte(image.width);
        out[at + 1] = SideByte(image.height);
        out[at + 2] = image.colourCount;
        out[at + 3] = 0;
        Put16(out, at + 4, image.planes);
        Put16(out, at + 6, image.bitCount);
        Put32(out, at + 8, static_cast<std::uint32_t>(image.data.size()));
        Put32(out, at + 12, static_cast<std::uint32_t>(offset));
        offset += image.data.size();
    }
    return out;
}

platform::WriteResult WriteWholeIconFile(const std::string &Path, const platform::WholeIcon &Icon)
{
    const std::vector<std::uint8_t> directory = WholeIconDirectory(Icon);
    std::vector<std::span<const std::uint8_t>> blocks;
    blocks.reserve(Icon.images.size() + 1);
    blocks.emplace_back(directory);
    for (const platform::StoredImage &image : Icon.images)
        blocks.emplace_back(image.data);
    return platform::WriteWholeFile(Path, blocks);
}

bool EncodeImagePng(const platform::StoredImage &Image, std::vector<std::uint8_t> &Png)
{
    if (Image.storage == platform::ImageStorage::Png) {
        Png = Image.data;
        return true;
    }
    const platform::Icon icon = platform::DecodeIconImage(Image.data);
    if (icon.IsNull() || !icon.HasColourImage())
        return false;
    std::string error;
    return EncodeIconPng(icon, Png, error);
}

std::string WholeIconExtension(int Format, bool Cursor)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr || row->source != SaveSource::WholeIcon)
        return {};
    return FormatExtension(Format, Cursor);
}

SaveOutcome SaveWholeIconAs(const std::string &Name, const platform::WholeIcon &Icon, int Format)
{
    const std::string extension = WholeIconExtension(Format, Icon.cursor);
    if (extension.empty())
        return {};
    return SaveWholeIconTo(Name + extension, Icon, Format);
}

SaveOutcome SaveWholeIconTo(const std::string &Path, const platform::WholeIcon &Icon, int Format)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    if (row == nullptr || row->source != SaveSource::WholeIcon)
        return {};
    if (Icon.images.empty())
        throw ESaveError("There is no icon to save as \"" + Path + "\"");
    return row->writeWhole(Path, Icon);
}

SaveOutcome WriteAllSizesIcon(const std::string &Path, const platform::WholeIcon &Icon)
{
    Check(Path, WriteWholeIconFile(Path, Icon));
    return {Path, 0};
}

namespace {

void WritePng(const std::string &Path, const std::vector<std::uint8_t> &Png)
{
    const std::array<std::span<const std::uint8_t>, 1> blocks = {
        std::span<const std::uint8_t>(Png)};
    Check(Path, platform::WriteWholeFile(Path, blocks));
}

// Each size's images, best first (most bits, then stored first); the sizes
// from the smallest.
std::vector<std::vector<std::size_t>> ImagesBySize(const platform::WholeIcon &Icon)
{
    std::vector<std::size_t> order(Icon.images.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto &images = Icon.images;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const platform::StoredImage &x = images[a], &y = images[b];
        if (x.width != y.width)
            return x.width < y.width;
        if (x.height != y.height)
            return x.height < y.height;
        return x.bits > y.bits;
    });
    std::vector<std::vector<std::size_t>> sizes;
    for (const std::size_t i : order) {
        if (sizes.empty() || images[sizes.back().front()].width != images[i].width ||
            images[sizes.back().front()].height != images[i].height)
            sizes.emplace_back();
        sizes.back().push_back(i);
    }
    return sizes;
}

// Path less a final ".png" in any letter case: the base of the size names.
std::string SizeNameBase(const std::string &Path)
{
    const std::string typed = TypedSaveName(Path, ".png");
    return typed.size() == Path.size() ? Path.substr(0, Path.size() - 4) : Path;
}

std::string SizeName(const std::string &Base, const platform::StoredImage &Image)
{
    return Base + "-" + std::to_string(Image.width) + "x" + std::to_string(Image.height) + ".png";
}

} // namespace

SaveOutcome WriteLargestPng(const std::string &Path, const platform::WholeIcon &Icon)
{
    std::vector<std::uint8_t> png;
    if (!EncodeImagePng(Icon.images[platform::LargestImage(Icon.images)], png))
        throw ESaveError("Cannot convert the icon to \"" + Path + "\"");
    WritePng(Path, png);
    return {Path, 0};
}

std::vector<std::string> PngSizeNames(const std::string &Path, const platform::WholeIcon &Icon)
{
    const std::string base = SizeNameBase(Path);
    std::vector<std::string> names;
    for (const std::vector<std::size_t> &size : ImagesBySize(Icon))
        names.push_back(SizeName(base, Icon.images[size.front()]));
    return names;
}

SaveOutcome WritePngSizes(const std::string &Path, const platform::WholeIcon &Icon)
{
    const std::string base = SizeNameBase(Path);
    const std::vector<std::vector<std::size_t>> sizes = ImagesBySize(Icon);
    // Every name is checked before the first file is written.
    for (const std::vector<std::size_t> &size : sizes) {
        const std::string name = SizeName(base, Icon.images[size.front()]);
        const std::size_t slash = name.rfind('/');
        if (name.size() - (slash == std::string::npos ? 0 : slash + 1) > 255)
            throw ESaveError("The file name is too long: \"" + name + "\"");
    }
    // Each size's picture first, then every file in one go: a save of
    // several files flushes its folder once.
    std::vector<std::vector<std::uint8_t>> pngs;
    std::vector<std::string> names;
    for (const std::vector<std::size_t> &size : sizes) {
        // A damaged image gives way to the next best of its size; a size
        // with none that converts is left out.
        std::vector<std::uint8_t> png;
        const auto good = std::find_if(size.begin(), size.end(), [&](std::size_t i) {
            return EncodeImagePng(Icon.images[i], png);
        });
        if (good == size.end())
            continue;
        names.push_back(SizeName(base, Icon.images[*good]));
        pngs.push_back(std::move(png));
    }
    std::vector<platform::WholeFile> files;
    for (std::size_t i = 0; i < names.size(); ++i)
        files.push_back({names[i], pngs[i]});
    std::size_t failed = 0;
    const platform::WriteResult result = platform::WriteWholeFiles(files, &failed);
    if (result != platform::WriteResult::Ok)
        Check(failed < names.size() ? names[failed] : names.back(), result);
    SaveOutcome outcome;
    if (!names.empty())
        outcome.path = names.front();
    if (outcome.path.empty())
        throw ESaveError("Cannot convert the icon to \"" + SizeName(base, Icon.images.front()) +
                         "\"");
    return outcome;
}

SaveOutcome SaveWholeIcon(const std::string &Source, int Index, const std::string &Name, int Format)
{
    if (WholeIconExtension(Format, false).empty())
        return {};
    platform::WholeIcon icon;
    const platform::WholeIconResult read = platform::ReadWholeIcon(Source, Index, icon);
    if (read != platform::WholeIconResult::Ok)
        throw ESaveError("Cannot read icon " + std::to_string(Index) + " of \"" + Source +
                         "\": " + platform::WholeIconResultText(read));
    return SaveWholeIconAs(Name, icon, Format);
}

} // namespace iconwriter
