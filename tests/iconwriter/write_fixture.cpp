// Writes a few files for the command-line tests into a folder.

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
    const auto save = [&](const char *name, const Bytes &bytes) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    };
    PeRecipe recipe;
    for (std::uint16_t id = 1; id <= 3; ++id)
        recipe.groups.push_back(
            IconGroup{id, {0x0409}, {MakeImage(DrawPicture(32, 32, id, true), 32)}, {}});
    bool ok = save("three.exe", BuildPe(recipe));
    ok &= save("one.ico", BuildIconFile({MakeImage(DrawPicture(16, 16, 9, false, 4), 4)}));
    ok &= save("notes.txt", Bytes{'h', 'i', '\n'});
    std::filesystem::create_directories(folder / "sub");
    return ok ? 0 : 1;
}
