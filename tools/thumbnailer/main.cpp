// rurorodode-thumbnailer: the first icon of a program, library, icon or
// cursor file as a PNG thumbnail, called by file managers once per file
// (freedesktop.org thumbnailer: -s SIZE INPUT OUTPUT). It starts fast: the
// icon reader and libpng, nothing else.

#include "iconwriter/pngwrite.h"
#include "platform/filewrite.h"
#include "platform/icon.h"
#include "platform/iconimage.h"
#include "platform/le.h"
#include "platform/scaleicon.h"
#include "platform/wholeicon.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <numeric>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char *kUsage = "usage: rurorodode-thumbnailer -s SIZE INPUT OUTPUT\n";

constexpr const char *kHelp =
    "Writes the first icon of INPUT (a Windows program or library, an icon,\n"
    "cursor or animated cursor file) to OUTPUT as a PNG picture with\n"
    "transparency, for file managers' thumbnails. OUTPUT is written where it\n"
    "is: a file that exists there is overwritten, not replaced.\n"
    "\n"
    "  -s, --size SIZE  the size wanted, in pixels: the smallest image at least\n"
    "                   SIZE wide or high, scaled down to fit SIZE; when no\n"
    "                   image is that large, the largest, as it is\n"
    "  -h, --help       show this help and exit\n"
    "      --version    show the version and exit\n"
    "\n"
    "Exit status: 0 when the thumbnail was written, 1 when INPUT has no usable\n"
    "icon or OUTPUT cannot be written (nothing is written then), 2 for wrong\n"
    "arguments.\n";

constexpr int kFailed = 1;
constexpr int kWrongArguments = 2;

// Images decoded at most, as the preview does: one damaged image must not
// hide the others, a file of damaged images must not keep us busy.
constexpr std::size_t kMaxTries = 4;
// Pixels decoded at most, all tries together. Finding a large image
// damaged costs as much as decoding a good one, so after the first try only
// images that fit what is left are tried: one icon of the largest size, or
// a few of the sizes real icons have.
constexpr std::uint64_t kMaxDecodedPixels =
    std::uint64_t{platform::limits::kMaxIconSide} * platform::limits::kMaxIconSide;

int WrongArguments(const std::string &problem)
{
    std::fprintf(stderr, "rurorodode-thumbnailer: %s\n%s", problem.c_str(), kUsage);
    return kWrongArguments;
}

int Failed(const std::string &path, const std::string &problem)
{
    std::fprintf(stderr, "rurorodode-thumbnailer: %s: %s\n", path.c_str(), problem.c_str());
    return kFailed;
}

bool ParseSize(std::string_view text, int &size)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc{} && end == text.data() + text.size() && size > 0;
}

int LongerSide(const platform::StoredImage &image)
{
    return std::max(image.width, image.height);
}

// The images in the order worth trying for a thumbnail of size: those at
// least size on their longer side, smallest first (they are scaled down),
// then the others, largest first (taken as they are). Of images the same
// size, more bits first; ties keep the stored order.
std::vector<std::size_t> TryOrder(const std::vector<platform::StoredImage> &images, int size)
{
    std::vector<std::size_t> order(images.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int sideA = LongerSide(images[a]), sideB = LongerSide(images[b]);
        const bool reachesA = sideA >= size, reachesB = sideB >= size;
        if (reachesA != reachesB)
            return reachesA;
        if (sideA != sideB)
            return reachesA ? sideA < sideB : sideA > sideB;
        return images[a].bits > images[b].bits;
    });
    return order;
}

// The first image in that order that decodes, within the limits above.
platform::Icon DecodeBest(const std::vector<platform::StoredImage> &images, int size)
{
    std::size_t tries = 0;
    std::uint64_t pixels = 0;
    for (const std::size_t i : TryOrder(images, size)) {
        const std::uint64_t cost = std::uint64_t(images[i].width) * std::uint64_t(images[i].height);
        if (tries > 0 && pixels + cost > kMaxDecodedPixels)
            continue;
        pixels += cost;
        platform::Icon picture = platform::DecodeIconImage(images[i].data);
        if (!picture.IsNull() || ++tries == kMaxTries)
            return picture;
    }
    return {};
}

// Scaled down, keeping its shape, until the longer side is size.
platform::Icon FitInside(platform::Icon picture, int size)
{
    const long long longer = std::max(picture.Width(), picture.Height());
    if (longer <= size)
        return picture;
    const auto fit = [&](int side) {
        return std::max(1, static_cast<int>((2LL * side * size + longer) / (2 * longer)));
    };
    return platform::ScaleIcon(picture, fit(picture.Width()), fit(picture.Height()));
}

int Run(int argc, char **argv)
{
    int size = 0;
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "-h" || argument == "--help")) {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : kFailed;
        } else if (options && argument == "--version") {
            std::puts("rurorodode-thumbnailer " RURORODODE_VERSION);
            return std::fflush(stdout) == 0 ? 0 : kFailed;
        } else if (options &&
                   (argument == "-s" || argument == "--size" || argument.starts_with("--size="))) {
            std::string_view text;
            if (argument.starts_with("--size="))
                text = argument.substr(7);
            else if (++i < argc)
                text = argv[i];
            else
                return WrongArguments(std::string(argument) + " needs a size");
            if (!ParseSize(text, size))
                return WrongArguments(
                    "the size must be a whole number of pixels, 1 or more, not \"" +
                    std::string(text) + "\"");
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            return WrongArguments("unknown option " + std::string(argument));
        } else {
            files.emplace_back(argument);
        }
    }
    if (size == 0)
        return WrongArguments("the size (-s SIZE) is missing");
    if (files.size() != 2)
        return WrongArguments("an INPUT and an OUTPUT file are needed");
    const std::string &input = files[0];
    const std::string &output = files[1];

    // Everything is made in memory first: a failure up to the write leaves
    // OUTPUT as it was.
    platform::IconFileReader reader;
    if (!reader.Open(input))
        return Failed(input, reader.OpenError());
    platform::WholeIcon icon;
    const platform::WholeIconResult read = reader.Read(0, icon);
    if (read == platform::WholeIconResult::NoIcon)
        return Failed(input, "no icon found in it");
    if (read != platform::WholeIconResult::Ok)
        return Failed(input, "its icon has no usable image");
    const platform::Icon picture = FitInside(DecodeBest(icon.images, size), size);
    if (picture.IsNull())
        return Failed(input, "no image of its icon can be decoded");
    std::vector<std::uint8_t> png;
    std::string error;
    if (!EncodeIconPng(picture, png, error))
        return Failed(input, error);
    const std::span<const std::uint8_t> blocks[] = {png};
    int reason = 0;
    if (platform::WriteIntoFile(output, blocks, &reason) != platform::WriteResult::Ok)
        return Failed(output, "cannot write the thumbnail: " + platform::WriteErrorText(reason));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception &e) {
        // Only running out of memory throws; the file is to blame.
        std::fprintf(stderr, "rurorodode-thumbnailer: %s\n", e.what());
        return kFailed;
    }
}
