#include "fixtures.h"
#include "platform/extracticon.h"
#include "platform/iconimage.h"
#include "platform/wholeicon.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

using namespace fixtures;
using platform::ImageStorage;
using platform::WholeIcon;
using platform::WholeIconResult;
using testsupport::Source;

namespace {

WholeIconResult Read(const Bytes &file, int index, WholeIcon &out)
{
    const auto source = Source(file);
    return platform::ReadWholeIcon(source, index, out);
}

// The images every container below carries: each depth as a DIB, alpha at
// 32 bits, and the large one as PNG, as in today's program files.
std::vector<IconImage> AllKinds()
{
    std::vector<IconImage> images;
    int seed = 1;
    for (const int bits : {1, 4, 8, 24, 32}) {
        const int side = 16 + 8 * (seed % 3);
        images.push_back(
            MakeImage(DrawPicture(side, side, seed, bits == 32, bits <= 8 ? bits : 0), bits));
        ++seed;
    }
    images.push_back(MakeImage(DrawPicture(256, 256, seed++, true), 32, /*png=*/true));
    images.push_back(MakeImage(DrawPicture(48, 48, seed, true), 32, /*png=*/true));
    return images;
}

struct ImageTruth
{
    int width;
    int height;
    int bits;
    bool png;
};

std::vector<ImageTruth> TruthOf(const std::vector<IconImage> &images)
{
    std::vector<ImageTruth> truth;
    for (const IconImage &i : images) {
        const bool png = i.data.size() > 8 && i.data[0] == 0x89;
        truth.push_back({i.dirWidth ? i.dirWidth : 256, i.dirHeight ? i.dirHeight : 256,
                         png ? 32 : i.bitCount, png});
    }
    return truth;
}

struct Container
{
    const char *name;
    std::function<Bytes(const std::vector<IconImage> &)> build;
    bool cursor;
    bool named; // program files name their groups
};

IconGroup Group(std::uint16_t id, std::vector<IconImage> images)
{
    return IconGroup{id, {0x0409}, std::move(images), {}};
}

Bytes Pe(const std::vector<IconImage> &images, bool plus)
{
    PeRecipe recipe;
    recipe.pe32plus = plus;
    recipe.groups = {Group(5, images)};
    return BuildPe(recipe);
}

Bytes Ne(const std::vector<IconImage> &images)
{
    NeRecipe recipe;
    recipe.groups = {Group(5, images)};
    return BuildNe(recipe);
}

std::vector<IconImage> WithHotSpots(std::vector<IconImage> images)
{
    std::uint16_t n = 1;
    for (IconImage &i : images) {
        i.planes = n++;     // hot spot x
        i.bitCount = n + 2; // hot spot y
    }
    return images;
}

class EveryContainer : public testing::TestWithParam<Container>
{
};

} // namespace

// Each container gives back every image in its order, byte for byte, with
// its true size and depth, and the directory fields a reader needs.
TEST_P(EveryContainer, ReadsEveryImageAsStored)
{
    const Container &c = GetParam();
    const std::vector<IconImage> images = c.cursor ? WithHotSpots(AllKinds()) : AllKinds();
    const std::vector<ImageTruth> truth = TruthOf(AllKinds());
    WholeIcon icon;
    ASSERT_EQ(Read(c.build(images), 0, icon), WholeIconResult::Ok);
    EXPECT_EQ(icon.cursor, c.cursor);
    EXPECT_EQ(icon.hasName, c.named);
    EXPECT_EQ(icon.skipped, 0u);
    ASSERT_EQ(icon.images.size(), images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const platform::StoredImage &got = icon.images[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(got.data, images[i].data);
        EXPECT_EQ(got.width, truth[i].width);
        EXPECT_EQ(got.height, truth[i].height);
        EXPECT_EQ(got.bits, truth[i].bits);
        EXPECT_EQ(got.storage, truth[i].png ? ImageStorage::Png : ImageStorage::Bitmap);
        EXPECT_EQ(got.colourCount, images[i].colourCount);
        EXPECT_EQ(got.planes, images[i].planes);
        EXPECT_EQ(got.bitCount, images[i].bitCount);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, EveryContainer,
    testing::Values(
        Container{"pe32", [](const auto &i) { return Pe(i, false); }, false, true},
        Container{"pe32plus", [](const auto &i) { return Pe(i, true); }, false, true},
        Container{"ne", Ne, false, true},
        Container{"ico", [](const auto &i) { return BuildIconFile(i); }, false, false},
        Container{"cur", [](const auto &i) { return BuildIconFile(i, 2); }, true, false},
        Container{"ani",
                  [](const auto &i) {
                      return BuildAni(
                          {BuildIconFile(i, 2),
                           BuildIconFile({MakeImage(DrawPicture(8, 8, 1, false), 24)}, 2)});
                  },
                  true, false}),
    [](const testing::TestParamInfo<Container> &info) { return std::string(info.param.name); });

// A bitmap file is one image: its rows, kept as stored, under the height
// doubled and over a mask that leaves every pixel opaque.
TEST(WholeIcon, BitmapIsOneOpaqueImageAtItsDepth)
{
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        const Picture picture = DrawPicture(20, 12, bits, false, bits <= 8 ? bits : 0);
        WholeIcon icon;
        ASSERT_EQ(Read(BuildBmp(picture, bits), 0, icon), WholeIconResult::Ok);
        ASSERT_EQ(icon.images.size(), 1u);
        const platform::StoredImage &image = icon.images[0];
        EXPECT_EQ(image.width, 20);
        EXPECT_EQ(image.height, 12);
        EXPECT_EQ(image.bits, bits);
        EXPECT_EQ(image.bitCount, bits);
        const platform::Icon decoded = platform::DecodeIconImage(image.data);
        ASSERT_FALSE(decoded.IsNull());
        const int tolerance = bits == 16 ? 8 : 0; // 5 bits a channel at 16
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                ASSERT_FALSE(decoded.MaskBit(x, y)) << x << "," << y;
                const std::uint32_t got = decoded.Pixel(x, y);
                const std::uint32_t want = picture.argb[static_cast<std::size_t>(y * 20 + x)];
                for (const int shift : {0, 8, 16})
                    ASSERT_LE(std::abs(static_cast<int>((got >> shift) & 0xFF) -
                                       static_cast<int>((want >> shift) & 0xFF)),
                              tolerance)
                        << x << "," << y;
                // Opaque where the picture has an alpha byte: icon readers use it.
                if (bits == 32) {
                    ASSERT_EQ(got >> 24, 0xFFu);
                }
            }
        EXPECT_EQ(Read(BuildBmp(picture, bits), 1, icon), WholeIconResult::NoIcon);
    }
}

// The numbering is the count's and the preview's: index i holds the icon
// the extraction shows for i, and -id finds a group by its id.
TEST(WholeIcon, NumberingFollowsTheExtraction)
{
    PeRecipe recipe;
    recipe.groups = {Group(9, {MakeImage(DrawPicture(32, 32, 1, true), 32)}),
                     IconGroup{std::u16string(u"MAINICON"),
                               {0x0409},
                               {MakeImage(DrawPicture(32, 32, 2, true), 32)},
                               {}},
                     Group(3, {MakeImage(DrawPicture(32, 32, 3, true), 32)})};
    for (const bool ne : {false, true}) {
        SCOPED_TRACE(ne);
        NeRecipe neRecipe;
        neRecipe.groups = recipe.groups;
        const Bytes file = ne ? BuildNe(neRecipe) : BuildPe(recipe);
        const auto source = Source(file);
        const int count = platform::CountIcons(source);
        ASSERT_EQ(count, 3);
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            WholeIcon icon;
            ASSERT_EQ(platform::ReadWholeIcon(source, i, icon), WholeIconResult::Ok);
            ASSERT_EQ(icon.images.size(), 1u);
            const platform::Icon shown = platform::ExtractIcon(source, i);
            const platform::Icon stored = platform::DecodeIconImage(icon.images[0].data);
            ASSERT_FALSE(shown.IsNull());
            ASSERT_FALSE(stored.IsNull());
            EXPECT_TRUE(std::equal(shown.Pixels().begin(), shown.Pixels().end(),
                                   stored.Pixels().begin(), stored.Pixels().end()))
                << i;
            ASSERT_TRUE(icon.hasName);
            names.push_back(icon.name.isId ? "#" + std::to_string(icon.name.id) : icon.name.text);
        }
        // The linker's order (names first, then ids ascending) for PE; NE
        // keeps the given one.
        const std::vector<std::string> expected =
            ne ? std::vector<std::string>{"#9", "MAINICON", "#3"}
               : std::vector<std::string>{"MAINICON", "#3", "#9"};
        EXPECT_EQ(names, expected);
        WholeIcon byId;
        ASSERT_EQ(platform::ReadWholeIcon(source, -9, byId), WholeIconResult::Ok);
        EXPECT_EQ(byId.name.id, 9);
        EXPECT_EQ(platform::ReadWholeIcon(source, 3, byId), WholeIconResult::NoIcon);
        EXPECT_EQ(platform::ReadWholeIcon(source, -1, byId), WholeIconResult::NoIcon);
        EXPECT_EQ(platform::ReadWholeIcon(source, -4, byId), WholeIconResult::NoIcon);
    }
}

// Only the group and its images are read, however large the file.
TEST(WholeIcon, ReadsOnlyTheGroupAndItsImages)
{
    PeRecipe recipe;
    recipe.paddingBytes = 8u << 20;
    recipe.groups = {Group(1, {MakeImage(DrawPicture(48, 48, 1, true), 32)}), Group(2, AllKinds())};
    const Bytes file = BuildPe(recipe);
    const auto memory = Source(file);
    const testsupport::CountingSource counting(memory);
    WholeIcon icon;
    ASSERT_EQ(platform::ReadWholeIcon(counting, 1, icon), WholeIconResult::Ok);
    std::uint64_t imageBytes = 0;
    for (const platform::StoredImage &image : icon.images)
        imageBytes += image.data.size();
    EXPECT_LE(counting.BytesRead, imageBytes + 64 * 1024);
}

// A reader asked about every icon of a program reads the resource tree
// once: what it takes grows with the file, not with the square of its
// number of groups.
TEST(WholeIcon, ReaderTakesTheTreeOnce)
{
    PeRecipe recipe;
    const IconImage image = MakeImage(DrawPicture(16, 16, 1, false, 1), 1);
    for (std::uint16_t id = 1; id <= 2000; ++id)
        recipe.groups.push_back(Group(id, {image}));
    const Bytes file = BuildPe(recipe);
    const auto memory = Source(file);
    const testsupport::CountingSource counting(memory);
    platform::IconFileReader reader;
    reader.Open(counting);
    ASSERT_EQ(reader.Count(), 2000);
    for (int i = 0; i < 2000; ++i) {
        WholeIcon icon;
        ASSERT_EQ(reader.Read(i, icon), WholeIconResult::Ok) << i;
        ASSERT_FALSE(reader.Extract(i).IsNull()) << i;
    }
    EXPECT_LT(counting.BytesRead, 3 * file.size());
}

namespace {

struct Damage
{
    const char *name;
    std::function<Bytes()> build;
    WholeIconResult result;
    std::size_t images;  // images kept
    std::size_t skipped; // entries left out
};

const Picture &Good()
{
    static const Picture picture = DrawPicture(32, 32, 7, true);
    return picture;
}

Bytes PeWith(std::vector<IconImage> images, std::vector<std::uint16_t> ids = {})
{
    PeRecipe recipe;
    recipe.groups = {IconGroup{std::uint16_t{1}, {0x0409}, std::move(images), std::move(ids)}};
    return BuildPe(recipe);
}

IconImage TruncatedPng()
{
    IconImage image = MakeImage(DrawPicture(64, 64, 3, true), 32, true);
    image.data.resize(image.data.size() - 20); // the end chunk and part of the data
    return image;
}

IconImage CorruptPng()
{
    IconImage image = MakeImage(DrawPicture(64, 64, 3, true), 32, true);
    image.data[image.data.size() / 2] ^= 0x55; // inside the image data
    return image;
}

std::uint32_t Crc32(const std::uint8_t *bytes, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= bytes[i];
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

// A well-formed header (its checksum fixed up) that claims 65535 x 65535.
IconImage HugePng()
{
    IconImage image = MakeImage(DrawPicture(16, 16, 4, true), 32, true);
    for (const std::size_t at : {16u, 20u}) {
        image.data[at] = 0;
        image.data[at + 1] = 0;
        image.data[at + 2] = 0xFF;
        image.data[at + 3] = 0xFF;
    }
    const std::uint32_t crc = Crc32(image.data.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        image.data[29 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    return image;
}

// A DIB whose header says 64 x 64 but whose rows stop after a few.
IconImage ShortDib()
{
    IconImage image = MakeImage(DrawPicture(64, 64, 5, true), 32);
    image.data.resize(40 + 64 * 4 * 3);
    return image;
}

// An icon file of two images whose second entry says offset and size; the
// first entry's size is firstSize (its image takes 4264 bytes).
Bytes IconFileLying(std::uint32_t offset, std::uint32_t size, std::uint32_t firstSize = 4264)
{
    Bytes file =
        BuildIconFile({MakeImage(Good(), 32), MakeImage(DrawPicture(16, 16, 2, false), 24)});
    for (int i = 0; i < 4; ++i) {
        file[6 + 8 + i] = static_cast<std::uint8_t>(firstSize >> (8 * i));
        file[6 + 16 + 8 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        file[6 + 16 + 12 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
    }
    return file;
}

class DamagedWholeIcon : public testing::TestWithParam<Damage>
{
};

} // namespace

// Bad images are left out and the rest kept; with nothing left, an error.
TEST_P(DamagedWholeIcon, KeepsTheValidPartOrFails)
{
    const Damage &d = GetParam();
    WholeIcon icon;
    EXPECT_EQ(Read(d.build(), 0, icon), d.result);
    EXPECT_EQ(icon.images.size(), d.images);
    EXPECT_EQ(icon.skipped, d.skipped);
    for (const platform::StoredImage &image : icon.images)
        EXPECT_FALSE(platform::DecodeIconImage(image.data).IsNull());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DamagedWholeIcon,
    testing::Values(
        Damage{"missing_image",
               [] {
                   std::vector<IconImage> images = {MakeImage(Good(), 32), MakeImage(Good(), 24)};
                   images[0].data.clear();
                   return PeWith(images);
               },
               WholeIconResult::Ok, 1, 1},
        Damage{"only_missing_images",
               [] {
                   std::vector<IconImage> images = {MakeImage(Good(), 32), TruncatedPng()};
                   images[0].data.clear();
                   return PeWith(images);
               },
               WholeIconResult::NoValidImage, 0, 2},
        Damage{"truncated_png",
               [] {
                   return PeWith({TruncatedPng(), MakeImage(Good(), 32)});
               },
               WholeIconResult::Ok, 1, 1},
        Damage{"corrupt_png",
               [] {
                   return PeWith({CorruptPng(), MakeImage(Good(), 32)});
               },
               WholeIconResult::Ok, 1, 1},
        Damage{"png_claims_65535",
               [] {
                   return PeWith({HugePng(), MakeImage(Good(), 24)});
               },
               WholeIconResult::Ok, 1, 1},
        Damage{"short_dib", [] { return PeWith({ShortDib()}); }, WholeIconResult::NoValidImage, 0,
               1},
        Damage{"one_image_many_times",
               [] {
                   // Five entries, one id: stored once.
                   std::vector<IconImage> images(5, MakeImage(Good(), 32));
                   return PeWith(images, {4, 4, 4, 4, 4});
               },
               WholeIconResult::Ok, 1, 4},
        Damage{"tens_of_thousands_of_entries",
               [] {
                   std::vector<IconImage> images(30000);
                   images[0] = MakeImage(Good(), 32);
                   images[1] = MakeImage(Good(), 24);
                   return PeWith(images);
               },
               WholeIconResult::Ok, 2, 30000 - 2},
        Damage{"ico_offset_past_the_end", [] { return IconFileLying(0xFFFFFFF0u, 100); },
               WholeIconResult::Ok, 1, 1},
        Damage{"ico_size_past_the_end_keeps_a_whole_image",
               [] { return IconFileLying(6 + 32 + 4264, 0x7FFFFFFF); }, WholeIconResult::Ok, 2, 0},
        Damage{"ico_offset_into_the_directory", [] { return IconFileLying(6, 40); },
               WholeIconResult::Ok, 1, 1},
        Damage{"ico_all_entries_one_image", [] { return IconFileLying(6 + 32, 4264); },
               WholeIconResult::Ok, 1, 1},
        // A damaged entry at a good image's offset does not hide that image.
        Damage{"ico_cut_entry_then_whole_one_at_its_offset",
               [] { return IconFileLying(6 + 32, 4264, 100); }, WholeIconResult::Ok, 1, 1}),
    [](const testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });

// An entry that claims another size than its image is kept, and its
// directory fields tell the image's own size and depth.
TEST(WholeIcon, EntryThatLiesAboutItsImageIsCorrected)
{
    IconImage image = MakeImage(DrawPicture(16, 16, 2, false, 4), 4);
    image.dirWidth = 48;
    image.dirHeight = 48;
    image.bitCount = 32;
    WholeIcon icon;
    ASSERT_EQ(Read(PeWith({image}), 0, icon), WholeIconResult::Ok);
    ASSERT_EQ(icon.images.size(), 1u);
    EXPECT_EQ(icon.images[0].width, 16);
    EXPECT_EQ(icon.images[0].bits, 4);
    EXPECT_EQ(icon.images[0].bitCount, 4);
    EXPECT_EQ(icon.images[0].colourCount, 16);
}

// A PNG keeps its own depth (16 bits a channel: 64), and an entry that gives
// none gets the 32 bits any icon reader decodes a PNG to.
TEST(WholeIcon, PngWithoutDepthIsThirtyTwoBitsInItsEntry)
{
    IconImage image = MakeImage(DrawPicture(24, 24, 3, true), 32, true);
    image.data = EncodePng(DrawPicture(24, 24, 3, true), 16);
    image.bitCount = 0;
    WholeIcon icon;
    ASSERT_EQ(Read(BuildIconFile({image}), 0, icon), WholeIconResult::Ok);
    ASSERT_EQ(icon.images.size(), 1u);
    EXPECT_EQ(icon.images[0].bits, 64);
    EXPECT_EQ(icon.images[0].bitCount, 32);
}

TEST(WholeIcon, LargestIsWidestThenDeepestThenFirst)
{
    const auto make = [](int w, int bits) {
        platform::StoredImage s;
        s.width = w;
        s.height = w;
        s.bits = bits;
        return s;
    };
    const std::vector<platform::StoredImage> images = {make(32, 32), make(48, 8), make(48, 32),
                                                       make(16, 32), make(48, 32)};
    EXPECT_EQ(platform::LargestImage(images), 2u);
    const std::vector<platform::StoredImage> one = {make(16, 4)};
    EXPECT_EQ(platform::LargestImage(one), 0u);
}

TEST(WholeIcon, NotAnIconFile)
{
    WholeIcon icon;
    EXPECT_EQ(Read(Bytes{'h', 'e', 'l', 'l', 'o'}, 0, icon), WholeIconResult::NoIcon);
    EXPECT_EQ(Read(Bytes{}, 0, icon), WholeIconResult::NoIcon);
    EXPECT_EQ(platform::ReadWholeIcon(std::string("/nonexistent/file.ico"), 0, icon),
              WholeIconResult::NoFile);
}

// An animated cursor whose first frame is an icon file (type 1) still gives
// a cursor: its images keep their bytes, the hot spot is the corner.
TEST(WholeIcon, AniWithIconFrameIsACursorWithCornerHotSpot)
{
    const std::vector<IconImage> images = {MakeImage(DrawPicture(32, 32, 1, true), 32),
                                           MakeImage(DrawPicture(16, 16, 2, false, 4), 4)};
    WholeIcon icon;
    ASSERT_EQ(Read(BuildAni({BuildIconFile(images, 1)}), 0, icon), WholeIconResult::Ok);
    EXPECT_TRUE(icon.cursor);
    ASSERT_EQ(icon.images.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(icon.images[i].data, images[i].data);
        EXPECT_EQ(icon.images[i].planes, 0);
        EXPECT_EQ(icon.images[i].bitCount, 0);
    }
    // A frame list without a frame is no icon to save.
    EXPECT_EQ(Read(BuildAni({}), 0, icon), WholeIconResult::NoValidImage);
}
