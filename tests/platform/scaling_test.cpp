#include "platform/scaleicon.h"

#include <gtest/gtest.h>

using platform::Icon;

namespace {

Icon Filled(int w, int h, std::uint32_t argb)
{
    Icon icon(w, h);
    for (auto &p : icon.Pixels())
        p = argb;
    return icon;
}

} // namespace

TEST(ScaleIcon, UniformPicturesStayUniformBothWays)
{
    for (const int side : {16, 20, 48, 64, 256}) {
        const Icon out = platform::ScaleIcon(Filled(side, side, 0xFF3366CCu), 32, 32);
        ASSERT_EQ(out.Width(), 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                ASSERT_EQ(out.Pixel(x, y), 0xFF3366CCu) << side << " at " << x << "," << y;
                ASSERT_FALSE(out.MaskBit(x, y));
            }
    }
}

// Transparent pixels are black in most icons; shrinking must not pull that
// black into the visible edge.
TEST(ScaleIcon, TransparentPixelsDoNotDarkenEdges)
{
    Icon noAlpha(48, 48);
    Icon withAlpha(48, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const bool inside = x >= 12 && x < 36 && y >= 12 && y < 36;
            noAlpha.SetPixel(x, y, inside ? 0x00FF0000u : 0u);
            noAlpha.SetMaskBit(x, y, !inside);
            withAlpha.SetPixel(x, y, inside ? 0xFFFF0000u : 0u);
            withAlpha.SetMaskBit(x, y, !inside);
        }
    for (const Icon *source : {&noAlpha, &withAlpha}) {
        const Icon out = platform::ScaleIcon(*source, 32, 32);
        EXPECT_EQ(out.HasAlpha(), source->HasAlpha());
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (out.MaskBit(x, y))
                    continue;
                ++opaque;
                EXPECT_EQ(out.Pixel(x, y) & 0x00FFFFFFu, 0xFF0000u) << x << "," << y;
            }
        // 24 of 48 pixels across become 16 of 32.
        EXPECT_NEAR(opaque, 16 * 16, 2 * 16 * 2);
        EXPECT_TRUE(out.MaskBit(0, 0));
        EXPECT_FALSE(out.MaskBit(16, 16));
    }
}

TEST(ScaleIcon, AlphaIsAveragedWithPremultipliedColour)
{
    // Opaque red beside fully transparent green: half-covered red, not brown.
    Icon source(2, 1);
    source.SetPixel(0, 0, 0xFFFF0000u);
    source.SetPixel(1, 0, 0x0000FF00u);
    const Icon out = platform::ScaleIcon(source, 1, 1);
    const std::uint32_t p = out.Pixel(0, 0);
    EXPECT_NEAR(static_cast<int>(p >> 24), 128, 1);
    EXPECT_EQ(p & 0x00FFFFFFu, 0xFF0000u);
}

TEST(ScaleIcon, EnlargingKeepsTheMaskWhereItWas)
{
    Icon source(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            source.SetPixel(x, y, 0x000000FFu);
            source.SetMaskBit(x, y, x < 8);
        }
    const Icon out = platform::ScaleIcon(source, 32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 15; ++x)
            EXPECT_TRUE(out.MaskBit(x, y)) << x << "," << y;
        for (int x = 17; x < 32; ++x) {
            EXPECT_FALSE(out.MaskBit(x, y)) << x << "," << y;
            EXPECT_EQ(out.Pixel(x, y), 0x000000FFu);
        }
    }
}
