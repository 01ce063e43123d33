#include "fixtures.h"
#include "platform/extracticon.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace fixtures;
using testsupport::Source;

namespace {

IconImage SolidImage(int side, int bits, std::uint32_t rgb, bool png = false)
{
    Picture p;
    p.width = p.height = side;
    p.argb.assign(static_cast<std::size_t>(side * side), rgb | (bits == 32 ? 0xFF000000u : 0u));
    p.mask.assign(static_cast<std::size_t>(side * side), 0);
    return MakeImage(p, bits, png);
}

IconGroup Group(ResName name, std::uint32_t rgb, std::vector<std::uint16_t> languages = {0x0409})
{
    return IconGroup{
        std::move(name),
        std::move(languages),
        {SolidImage(16, 4, rgb), SolidImage(32, 8, rgb), SolidImage(48, 32, rgb, true)},
        {}};
}

std::uint32_t Colour(const platform::Icon &icon)
{
    return icon.IsNull() ? 0xDEADu : icon.Pixel(16, 16) & 0x00FFFFFFu;
}

// The same groups built as PE32, PE32+ and NE.
enum class Format
{
    Pe32,
    Pe32Plus,
    Ne
};

Bytes Build(Format format, std::vector<IconGroup> groups, bool keepOrder = false)
{
    if (format == Format::Ne) {
        NeRecipe recipe;
        recipe.groups = std::move(groups);
        return BuildNe(recipe);
    }
    PeRecipe recipe;
    recipe.pe32plus = format == Format::Pe32Plus;
    recipe.groups = std::move(groups);
    recipe.keepOrder = keepOrder;
    return BuildPe(recipe);
}

class Executable : public testing::TestWithParam<Format>
{
};

} // namespace

// Named groups first, then ids ascending, as a linker stores them; every
// language of a group counts once; negative indices pick groups by id.
TEST_P(Executable, CountsAndIndexesGroupsInStoredOrder)
{
    const Bytes file =
        Build(GetParam(), {Group(std::uint16_t{5}, 0x500000), Group(u"ZETA", 0x00AA00),
                           Group(std::uint16_t{2}, 0x200000, {0x0409, 0x0407, 0x0411}),
                           Group(u"ALPHA", 0x0000BB)});
    const auto source = Source(file);
    ASSERT_EQ(platform::CountIcons(source), 4);
    // NE files keep the order they were linked in; PE linkers sort.
    const bool sorted = GetParam() != Format::Ne;
    const std::uint32_t expected[] = {sorted ? 0x0000BBu : 0x500000u, 0x00AA00u, 0x200000u,
                                      sorted ? 0x500000u : 0x0000BBu};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Colour(platform::ExtractIcon(source, i)), expected[i]) << "index " << i;
    EXPECT_EQ(Colour(platform::ExtractIcon(source, -2)), 0x200000u);
    EXPECT_EQ(Colour(platform::ExtractIcon(source, -5)), 0x500000u);
    EXPECT_TRUE(platform::ExtractIcon(source, -3).IsNull());
    EXPECT_TRUE(platform::ExtractIcon(source, -1).IsNull());
    EXPECT_TRUE(platform::ExtractIcon(source, 4).IsNull());
}

// A group naming an image that isn't there still counts but gives nothing;
// its neighbours are unaffected.
TEST_P(Executable, GroupNamingAMissingImageGivesNoIcon)
{
    IconGroup broken = Group(std::uint16_t{3}, 0x111111);
    broken.images[1].data.clear(); // named by the group, never stored
    const Bytes file = Build(GetParam(), {Group(std::uint16_t{1}, 0x0000FF), broken});
    const auto source = Source(file);
    ASSERT_EQ(platform::CountIcons(source), 2);
    EXPECT_EQ(Colour(platform::ExtractIcon(source, 0)), 0x0000FFu);
    EXPECT_TRUE(platform::ExtractIcon(source, 1).IsNull());
}

// The image closest to 32 x 32 at 32 bits is taken and scaled.
TEST_P(Executable, ChoosesAndScalesTheImageOfAGroup)
{
    IconGroup g{std::uint16_t{1},
                {0x0409},
                {SolidImage(16, 32, 0xFF0000), SolidImage(48, 32, 0x00FF00),
                 SolidImage(256, 32, 0x0000FF, true)},
                {}};
    g.images[1].bitCount = 0; // the image's own header is read instead
    const Bytes file = Build(GetParam(), {g});
    const platform::Icon icon = platform::ExtractIcon(Source(file), 0);
    ASSERT_FALSE(icon.IsNull());
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(Colour(icon), 0x00FF00u);
}

std::string FormatName(const testing::TestParamInfo<Format> &info)
{
    switch (info.param) {
    case Format::Pe32:
        return "Pe32";
    case Format::Pe32Plus:
        return "Pe32Plus";
    case Format::Ne:
        return "Ne";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Formats, Executable,
                         testing::Values(Format::Pe32, Format::Pe32Plus, Format::Ne), FormatName);

TEST(PeFile, StoredOrderIsNotResorted)
{
    const Bytes file =
        Build(Format::Pe32, {Group(std::uint16_t{9}, 0x090909), Group(std::uint16_t{3}, 0x030303)},
              /*keepOrder=*/true);
    const auto source = Source(file);
    EXPECT_EQ(Colour(platform::ExtractIcon(source, 0)), 0x090909u);
    EXPECT_EQ(Colour(platform::ExtractIcon(source, 1)), 0x030303u);
    EXPECT_EQ(Colour(platform::ExtractIcon(source, -3)), 0x030303u);
}

TEST(PeFile, SectionNameDoesNotMatter)
{
    PeRecipe recipe;
    recipe.sectionName = "UPX1";
    recipe.groups = {Group(std::uint16_t{1}, 0x123456)};
    const Bytes file = BuildPe(recipe);
    EXPECT_EQ(platform::CountIcons(Source(file)), 1);
    EXPECT_EQ(Colour(platform::ExtractIcon(Source(file), 0)), 0x123456u);
}

TEST(PeFile, ProgramWithoutIconsCountsZero)
{
    const Bytes file = Build(Format::Pe32Plus, {});
    EXPECT_EQ(platform::CountIcons(Source(file)), 0);
    EXPECT_TRUE(platform::ExtractIcon(Source(file), 0).IsNull());
}

// Counting and extracting read the headers, the resource tree and the chosen
// image only: a file a hundred megabytes larger costs the same reads.
TEST(PeFile, ReadsDoNotGrowWithTheFileSize)
{
    PeRecipe small;
    small.paddingBytes = 16; // same sections as the large one
    small.groups = {Group(std::uint16_t{1}, 0x010101), Group(std::uint16_t{2}, 0x020202)};
    PeRecipe large = small;
    large.paddingBytes = 100u << 20;
    const Bytes smallFile = BuildPe(small);
    const Bytes largeFile = BuildPe(large);
    ASSERT_GT(largeFile.size(), 100u << 20);

    std::uint64_t read[2][2] = {};
    const Bytes *files[2] = {&smallFile, &largeFile};
    for (int f = 0; f < 2; ++f) {
        const auto memory = Source(*files[f]);
        const testsupport::CountingSource counting(memory);
        EXPECT_EQ(platform::CountIcons(counting), 2);
        read[f][0] = counting.BytesRead;
        EXPECT_EQ(Colour(platform::ExtractIcon(counting, 1)), 0x020202u);
        read[f][1] = counting.BytesRead - read[f][0];
    }
    EXPECT_EQ(read[0][0], read[1][0]);
    EXPECT_EQ(read[0][1], read[1][1]);
    EXPECT_LT(read[1][0], 4096u);
}
