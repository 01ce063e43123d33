#include "fixtures.h"
#include "platform/extracticon.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace fixtures;
using testsupport::Source;

namespace {

Picture Solid(int w, int h, std::uint32_t argb)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.argb.assign(static_cast<std::size_t>(w * h), argb);
    p.mask.assign(static_cast<std::size_t>(w * h), 0);
    return p;
}

// The colour at the centre of an extracted icon, alpha dropped.
std::uint32_t Centre(const platform::Icon &icon)
{
    return icon.Pixel(16, 16) & 0x00FFFFFFu;
}

platform::Icon Extract(const Bytes &file, int index = 0)
{
    const auto source = Source(file);
    return platform::ExtractIcon(source, index);
}

int Count(const Bytes &file)
{
    const auto source = Source(file);
    return platform::CountIcons(source);
}

class DibDepth : public testing::TestWithParam<int>
{
};

} // namespace

// Every stored depth decodes to the picture it was made from, mask included.
TEST_P(DibDepth, IconFileDecodesToThePicture)
{
    const int bits = GetParam();
    const bool alpha = bits == 32;
    const Picture picture = DrawPicture(32, 32, 10 + bits, alpha, bits <= 8 ? bits : 0);
    const Bytes file = BuildIconFile({MakeImage(picture, bits)});
    ASSERT_EQ(Count(file), 1);
    const platform::Icon icon = Extract(file);
    ASSERT_FALSE(icon.IsNull());
    const auto d = testsupport::Compare(icon, picture);
    EXPECT_LE(d.channel, bits == 16 ? 8 : 0); // 5 bits a channel at 16
    EXPECT_EQ(d.maskBits, 0);
    EXPECT_EQ(icon.HasAlpha(), alpha);
}

INSTANTIATE_TEST_SUITE_P(Depths, DibDepth, testing::Values(1, 4, 8, 16, 24, 32));

TEST(IconFile, PngImageGetsItsMaskFromAlpha)
{
    const Picture picture = DrawPicture(32, 32, 3, true);
    const platform::Icon icon = Extract(BuildIconFile({MakeImage(picture, 32, true)}));
    ASSERT_FALSE(icon.IsNull());
    int checked = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t want = picture.argb[static_cast<std::size_t>(y * 32 + x)];
            const std::uint32_t alpha = want >> 24;
            EXPECT_EQ(icon.MaskBit(x, y), alpha < 128) << x << "," << y;
            if (alpha > 0) {
                EXPECT_EQ(icon.Pixel(x, y), want) << x << "," << y;
                ++checked;
            }
        }
    EXPECT_GT(checked, 500);
}

// Which image of a directory is extracted: the platform's distance from
// 32 x 32 at 32 bits, ties to more bits, then to the earlier entry.
TEST(ImageChoice, FollowsThePlatformScore)
{
    struct Case
    {
        const char *name;
        std::vector<IconImage> images;
        std::uint32_t expected;
    };
    auto image = [](int side, int bits, std::uint32_t colour, bool png = false) {
        return MakeImage(Solid(side, side, colour), bits, png);
    };
    IconImage zeroBits = image(32, 32, 0x0000FF);
    zeroBits.bitCount = 0; // the image's own header says 32
    IconImage claims32 = image(32, 4, 0xFF0000);
    claims32.bitCount = 32; // but it is a 4-bit image
    const std::vector<Case> cases = {
        {"48 beats 16 and 256",
         {image(16, 32, 0xFF0000), image(48, 32, 0x00FF00), image(256, 32, 0x0000FF, true)},
         0x00FF00},
        {"48 at 32 bits beats 32 at 8",
         {image(32, 8, 0xFF0000), image(48, 32, 0x00FF00)},
         0x00FF00},
        {"exact size and depth",
         {image(48, 32, 0xFF0000), image(32, 32, 0x00FF00), image(32, 24, 0x0000FF)},
         0x00FF00},
        {"tie goes to more bits", {image(32, 24, 0xFF0000), image(40, 32, 0x00FF00)}, 0x00FF00},
        {"tie goes to the earlier", {image(32, 32, 0xFF0000), image(32, 32, 0x00FF00)}, 0xFF0000},
        {"header depth when the entry says 0", {image(32, 8, 0xFF0000), zeroBits}, 0x0000FF},
        {"header depth when the entry lies", {claims32, image(32, 24, 0x00FF00)}, 0x00FF00},
    };
    for (const Case &c : cases) {
        const platform::Icon icon = Extract(BuildIconFile(c.images));
        ASSERT_FALSE(icon.IsNull()) << c.name;
        EXPECT_EQ(icon.Width(), 32) << c.name;
        EXPECT_EQ(Centre(icon), c.expected) << c.name;
    }
}

TEST(IconFile, OnlyIndexZeroAndAnyDamagedImageIsPassedOver)
{
    const Bytes file = BuildIconFile({MakeImage(Solid(32, 32, 0x123456), 24)});
    EXPECT_TRUE(Extract(file, 1).IsNull());
    EXPECT_TRUE(Extract(file, -1).IsNull());
    EXPECT_TRUE(Extract(file, -3).IsNull());

    // The best image's bytes are garbage: the next best is taken instead.
    IconImage broken = MakeImage(Solid(32, 32, 0xFF0000), 32);
    std::fill(broken.data.begin(), broken.data.end(), 0xEE);
    const platform::Icon icon =
        Extract(BuildIconFile({broken, MakeImage(Solid(16, 16, 0x00FF00), 8)}));
    ASSERT_FALSE(icon.IsNull());
    EXPECT_EQ(Centre(icon), 0x00FF00u);
}

TEST(IconFile, SmallImagesAreEnlargedToTheExtractionSize)
{
    const platform::Icon icon =
        Extract(BuildIconFile({MakeImage(DrawPicture(16, 16, 5, false), 24)}));
    ASSERT_FALSE(icon.IsNull());
    EXPECT_EQ(icon.Width(), platform::kIconSize);
    EXPECT_EQ(icon.Height(), platform::kIconSize);
    // The one-pixel transparent border of the source becomes two pixels.
    EXPECT_TRUE(icon.MaskBit(0, 0));
    EXPECT_TRUE(icon.MaskBit(31, 16));
    EXPECT_FALSE(icon.MaskBit(16, 16));
}

TEST(CursorAndAni, CountOneAndGiveTheFirstFrame)
{
    IconImage frame = MakeImage(Solid(32, 32, 0x336699), 4);
    frame.planes = 3;   // hotspot x
    frame.bitCount = 7; // hotspot y: must not be taken for a depth
    const Bytes cursor = BuildIconFile({frame}, 2);
    EXPECT_EQ(Count(cursor), 1);
    EXPECT_EQ(Centre(Extract(cursor)), 0x336699u);

    const Bytes ani = BuildAni({cursor, BuildIconFile({MakeImage(Solid(32, 32, 0x00FF00), 4)}, 2)});
    EXPECT_EQ(Count(ani), 1);
    const platform::Icon first = Extract(ani);
    ASSERT_FALSE(first.IsNull());
    EXPECT_EQ(Centre(first), 0x336699u);
    EXPECT_TRUE(Extract(ani, 1).IsNull());
}

class BitmapDepth : public testing::TestWithParam<int>
{
};

TEST_P(BitmapDepth, BitmapFileIsOneOpaqueIcon)
{
    const int bits = GetParam();
    Picture picture = DrawPicture(32, 32, bits, false, bits <= 8 ? bits : 0);
    const Bytes file = BuildBmp(picture, bits);
    ASSERT_EQ(Count(file), 1);
    const platform::Icon icon = Extract(file);
    ASSERT_FALSE(icon.IsNull());
    EXPECT_FALSE(icon.HasAlpha());
    std::fill(picture.mask.begin(), picture.mask.end(), 0); // bitmaps are opaque
    const auto d = testsupport::Compare(icon, picture);
    EXPECT_LE(d.channel, bits == 16 ? 8 : 0);
    EXPECT_EQ(d.maskBits, 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapDepth, testing::Values(1, 4, 8, 16, 24, 32));

TEST(BitmapFile, LargePictureIsSampledNotReadWhole)
{
    const Bytes file = BuildBmp(Solid(3000, 2000, 0x0080C0), 24);
    const auto memory = Source(file);
    const testsupport::CountingSource source(memory);
    const platform::Icon icon = platform::ExtractIcon(source, 0);
    ASSERT_FALSE(icon.IsNull());
    EXPECT_EQ(Centre(icon), 0x0080C0u);
    EXPECT_LT(source.BytesRead, file.size() / 5);
}

TEST(Recognition, OtherFilesHoldNoIcons)
{
    const auto text = [](const std::string &s) { return Bytes(s.begin(), s.end()); };
    Bytes rle = BuildBmp(DrawPicture(8, 8, 1, false, 8), 8);
    rle[14 + 16] = 1; // BI_RLE8: not an uncompressed bitmap
    Bytes emptyIco = {0, 0, 1, 0, 0, 0};
    const std::vector<std::pair<const char *, Bytes>> files = {
        {"empty", {}},
        {"text", text("hello, icons\n")},
        {"bare png", EncodePng(DrawPicture(16, 16, 1, true))},
        {"MZ only", text("MZ")},
        {"DOS program",
         [] {
             Bytes b(256, 0);
             b[0] = 'M';
             b[1] = 'Z';
             b[0x3C] = 0x80;
             return b;
         }()},
        {"RLE bitmap", rle},
        {"icon header with no images", emptyIco},
        {"RIFF but not ACON", text("RIFF\x04\0\0\0WAVE")},
    };
    for (const auto &[name, bytes] : files) {
        EXPECT_EQ(Count(bytes), 0) << name;
        EXPECT_TRUE(Extract(bytes).IsNull()) << name;
    }
}
