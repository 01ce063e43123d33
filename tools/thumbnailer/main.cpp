// rurorodode-thumbnailer: the first icon of a program, library, icon or
// cursor file as a PNG thumbnail, called by file managers once per file
// (freedesktop.org thumbnailer: -s SIZE INPUT OUTPUT). It starts fast: the
// icon reader and libpng, nothing else.

#include "platform/icon.h"
#include "platform/iconimage.h"
#include "platform/scaleicon.h"
#include "platform/wholeicon.h"
#include "pngwrite.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char *kUsage = "usage: rurorodode-thumbnailer -s SIZE INPUT OUTPUT\n";

int Usage(const char *problem)
{
    std::fprintf(stderr, "rurorodode-thumbnailer: %s\n%s", problem, kUsage);
    return 2;
}

// The images in the order worth trying: those that fit Size before those
// that must be scaled down, larger before smaller, then more bits first.
// Ties keep the stored order.
std::vector<std::size_t> Preference(const std::vector<platform::StoredImage> &images, int Size)
{
    std::vector<std::size_t> order(images.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto side = [&](std::size_t i) { return std::max(images[i].width, images[i].height); };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const bool fitsA = side(a) <= Size, fitsB = side(b) <= Size;
        if (fitsA != fitsB)
            return fitsA;
        if (side(a) != side(b))
            return side(a) > side(b);
        return images[a].bits > images[b].bits;
    });
    return order;
}

} // namespace

int main(int argc, char **argv)
{
    int size = 0;
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "-s" || argument == "--size")) {
            if (++i >= argc)
                return Usage("-s needs a size");
            const std::string_view text = argv[i];
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
            if (error != std::errc{} || end != text.data() + text.size() || size <= 0)
                return Usage("the size must be a whole number of pixels, 1 or more");
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            return Usage("unknown option");
        } else {
            files.emplace_back(argument);
        }
    }
    if (size == 0 || files.size() != 2)
        return Usage("wrong arguments");
    const std::string &input = files[0];
    const std::string &output = files[1];

    platform::WholeIcon icon;
    const platform::WholeIconResult read = platform::ReadWholeIcon(input, 0, icon);
    if (read != platform::WholeIconResult::Ok) {
        std::fprintf(stderr, "rurorodode-thumbnailer: %s: %s\n", input.c_str(),
                     platform::WholeIconResultText(read));
        return 1;
    }
    platform::Icon picture;
    for (const std::size_t i : Preference(icon.images, size)) {
        picture = platform::DecodeIconImage(icon.images[i].data);
        if (!picture.IsNull())
            break;
    }
    if (picture.IsNull()) {
        std::fprintf(stderr, "rurorodode-thumbnailer: %s: no image can be decoded\n",
                     input.c_str());
        return 1;
    }
    const int width = picture.Width(), height = picture.Height();
    if (std::max(width, height) > size) {
        // Fit the longer side to size, keeping the shape.
        const int longer = std::max(width, height);
        const int w = std::max(1, static_cast<int>(static_cast<long long>(width) * size / longer));
        const int h = std::max(1, static_cast<int>(static_cast<long long>(height) * size / longer));
        picture = platform::ScaleIcon(picture, w, h);
    }
    std::string error;
    if (!WriteIconPng(picture, output, error)) {
        std::fprintf(stderr, "rurorodode-thumbnailer: %s: %s\n", output.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
