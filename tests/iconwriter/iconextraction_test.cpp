#include "fixtures.h"
#include "iconwriter/iconextraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace fixtures;

namespace {

class IconExtraction : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = std::filesystem::temp_directory_path() /
                 ("rurorodode-extract-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    std::string Write(const std::string &name, const Bytes &bytes)
    {
        const auto path = Folder / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path Folder;
};

} // namespace

// What the browsing and save-all code relies on: the count for a file, a
// handle for each index below it, none past it.
TEST_F(IconExtraction, CountThenHandlesByIndex)
{
    PeRecipe recipe;
    for (std::uint16_t id : {4, 8, 15})
        recipe.groups.push_back(
            IconGroup{id, {0x0409}, {MakeImage(DrawPicture(32, 32, id, false, 8), 8)}, {}});
    const std::string exe = Write("three.dll", BuildPe(recipe));
    ASSERT_EQ(iconwriter::IconCount(exe), 3);
    for (const int index : {0, 1, 2}) {
        const iconwriter::IconHandle icon = iconwriter::ExtractIconHandle(exe, index);
        ASSERT_FALSE(icon.IsNull()) << index;
        EXPECT_EQ(icon.Width(), 32);
    }
    EXPECT_TRUE(iconwriter::ExtractIconHandle(exe, 3).IsNull());
    EXPECT_TRUE(iconwriter::ExtractIconHandle(exe, -1).IsNull());
    EXPECT_FALSE(iconwriter::ExtractIconHandle(exe, -15).IsNull());

    const std::string text = Write("readme.exe", Bytes{'n', 'o'});
    EXPECT_EQ(iconwriter::IconCount(text), 0);
    EXPECT_TRUE(iconwriter::ExtractIconHandle(text, 0).IsNull());
}
