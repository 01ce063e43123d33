// Writes the seed corpus for the icon reader's fuzz target: one small file of
// every container and image encoding the reader understands.

#include "fixtures.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool Save(const std::filesystem::path &folder, const std::string &name,
          const fixtures::Bytes &bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: make_seeds FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    using namespace fixtures;

    const Picture mono = DrawPicture(16, 16, 1, false, 1);
    const Picture few = DrawPicture(16, 16, 2, false, 4);
    const Picture many = DrawPicture(24, 24, 3, false, 8);
    const Picture rich = DrawPicture(32, 32, 4, true);
    const Picture big = DrawPicture(48, 48, 5, true);

    const std::vector<IconImage> images = {MakeImage(mono, 1), MakeImage(few, 4),
                                           MakeImage(many, 8), MakeImage(rich, 32),
                                           MakeImage(big, 32, true)};
    bool ok = true;
    ok &= Save(folder, "all-depths.ico", BuildIconFile(images));
    ok &= Save(folder, "png.ico", BuildIconFile({MakeImage(big, 32, true)}));
    ok &= Save(folder, "rgb.ico",
               BuildIconFile({MakeImage(DrawPicture(20, 20, 6, false), 24),
                              MakeImage(DrawPicture(20, 20, 7, false), 16)}));
    ok &= Save(folder, "cursor.cur", BuildIconFile({MakeImage(few, 4)}, 2));
    ok &= Save(
        folder, "animated.ani",
        BuildAni({BuildIconFile({MakeImage(few, 4)}, 2), BuildIconFile({MakeImage(mono, 1)}, 2)}));
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        const Picture p = DrawPicture(12, 10, bits, false, bits <= 8 ? bits : 0);
        ok &= Save(folder, "picture-" + std::to_string(bits) + ".bmp", BuildBmp(p, bits));
    }

    IconGroup named{std::u16string(u"MAINICON"),
                    {0x0409, 0x0407},
                    {MakeImage(few, 4), MakeImage(rich, 32)},
                    {}};
    IconGroup numbered{
        std::uint16_t{7}, {0x0409}, {MakeImage(mono, 1), MakeImage(big, 32, true)}, {}};
    IconGroup missing{std::uint16_t{9}, {0x0409}, {MakeImage(many, 8), MakeImage(few, 4)}, {}};
    missing.images[1].data.clear(); // named by the group but not stored
    for (const bool plus : {false, true}) {
        PeRecipe recipe;
        recipe.pe32plus = plus;
        recipe.groups = {named, numbered, missing};
        ok &= Save(folder, plus ? "program64.exe" : "program32.exe", BuildPe(recipe));
    }
    NeRecipe ne;
    ne.groups = {named, numbered};
    ok &= Save(folder, "program16.exe", BuildNe(ne));
    return ok ? 0 : 1;
}
