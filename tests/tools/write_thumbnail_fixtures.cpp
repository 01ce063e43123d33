// Writes program and icon files for the package check's thumbnailer run and
// the thumbnail service test: files with icons of every kind, and files
// named "none*" that have none or are damaged.

#include "fixtures.h"

#include <filesystem>
#include <fstream>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    using namespace fixtures;
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool ok = true;
    const auto save = [&](const char *name, const Bytes &bytes) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        ok &= static_cast<bool>(out);
    };
    const auto images = [](int seed) {
        return std::vector<IconImage>{MakeImage(DrawPicture(16, 16, seed, true), 32),
                                      MakeImage(DrawPicture(32, 32, seed, false, 8), 8),
                                      MakeImage(DrawPicture(48, 48, seed, true), 32),
                                      MakeImage(DrawPicture(256, 256, seed, true), 32, true)};
    };
    PeRecipe pe;
    pe.groups.push_back(IconGroup{std::uint16_t{1}, {0x0409}, images(1), {}});
    pe.groups.push_back(IconGroup{std::uint16_t{2}, {0x0409}, images(2), {}});
    save("program.exe", BuildPe(pe));
    pe.pe32plus = true;
    save("library64.dll", BuildPe(pe));
    NeRecipe ne;
    ne.groups.push_back(IconGroup{
        std::uint16_t{1}, {0x0409}, {MakeImage(DrawPicture(32, 32, 3, false, 4), 4)}, {}});
    save("old16.exe", BuildNe(ne));
    save("icon.ico", BuildIconFile(images(4)));
    const Bytes cursor = BuildIconFile({MakeImage(DrawPicture(32, 32, 5, true), 32)}, 2);
    save("pointer.cur", cursor);
    save("busy.ani", BuildAni({cursor, cursor}));

    save("none.exe", BuildPe(PeRecipe{}));
    save("none-text.exe", Bytes{'M', 'Z', 'h', 'i', '\n'});
    // Headers that name a resource section the file no longer holds.
    Bytes cut = BuildPe(pe);
    cut.resize(1024);
    save("none-cut.dll", cut);
    // 256 images of 1024 pixels in about a megabyte, each a PNG header over
    // the rows of a picture a row shorter: its chunks whole and checksummed,
    // only decoding it nearly to the end shows the damage. A thumbnailer
    // that tried every one would take seconds.
    const auto transparent = [](int rows) {
        const std::size_t n = 1024u * static_cast<std::size_t>(rows);
        return EncodePng({1024, rows, std::vector<std::uint32_t>(n), Bytes(n, 1)});
    };
    constexpr std::ptrdiff_t kHeaderEnd = 8 + 25; // the signature and IHDR
    const Bytes shorter = transparent(1023);
    IconImage damaged{0, 0, 0, 1, 32, transparent(1024)};
    damaged.data.resize(kHeaderEnd);
    damaged.data.insert(damaged.data.end(), shorter.begin() + kHeaderEnd, shorter.end());
    save("none-damaged.ico", BuildIconFile(std::vector<IconImage>(256, damaged)));
    return ok ? 0 : 1;
}
