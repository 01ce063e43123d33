#include "platform/bitmap.h"
#include "platform/dibits.h"
#include "platform/palette.h"
#include "platform/systempalette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

using platform::IndexedPicture;

namespace {

std::vector<std::uint32_t> RandomColours(std::size_t distinct, std::size_t pixels, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint32_t> palette(distinct);
    for (auto &c : palette)
        c = random() & 0xFFFFFFu;
    std::vector<std::uint32_t> out(pixels);
    for (std::size_t i = 0; i < pixels; ++i)
        out[i] = palette[i % distinct] | (random() & 0xFF000000u); // alpha must not matter
    return out;
}

// A smooth two-way gradient with a little noise: 1024 distinct colours.
std::vector<std::uint32_t> Gradient(unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = 0; y < 32; ++y)
        for (std::uint32_t x = 0; x < 32; ++x) {
            const std::uint32_t r = std::min<std::uint32_t>(255u, x * 8 + random() % 3);
            const std::uint32_t g = std::min<std::uint32_t>(255u, y * 8 + random() % 3);
            const std::uint32_t b = std::min<std::uint32_t>(255u, (x + y) * 4 + random() % 3);
            out.push_back((r << 16) | (g << 8) | b);
        }
    return out;
}

double Psnr(std::span<const std::uint32_t> pixels, std::span<const std::uint8_t> hidden,
            const IndexedPicture &p)
{
    std::size_t visible = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        visible += hidden.empty() || !hidden[i];
    const double mse =
        static_cast<double>(platform::SquaredError(pixels, hidden, p)) / (3.0 * visible);
    return mse == 0 ? 60.0 : std::min(60.0, 10 * std::log10(255.0 * 255.0 / mse));
}

// The platform's way: every pixel to the nearest entry of the fixed table.
IndexedPicture FixedTable(std::span<const std::uint32_t> pixels, unsigned entries)
{
    const auto table = platform::SystemPalette(entries);
    IndexedPicture out;
    out.table.assign(table.begin(), table.end());
    for (const std::uint32_t p : pixels) {
        int best = 0;
        long bestDistance = -1;
        for (std::size_t i = 0; i < table.size(); ++i) {
            long d = 0;
            for (int s = 0; s < 24; s += 8) {
                const long c =
                    static_cast<long>((p >> s) & 0xFF) - static_cast<long>((table[i] >> s) & 0xFF);
                d += c * c;
            }
            if (bestDistance < 0 || d < bestDistance)
                bestDistance = d, best = static_cast<int>(i);
        }
        out.indices.push_back(static_cast<std::uint8_t>(best));
    }
    return out;
}

} // namespace

// No more colours than entries: every pixel keeps its colour exactly.
TEST(ReduceColours, FewColoursAreKeptExactly)
{
    for (const unsigned entries : {2u, 16u, 256u})
        for (const std::size_t distinct :
             {std::size_t{1}, std::size_t{entries / 2}, std::size_t{entries}}) {
            const auto pixels =
                RandomColours(distinct, 1024, entries + static_cast<unsigned>(distinct));
            const IndexedPicture p = platform::ReduceColours(pixels, {}, entries);
            ASSERT_EQ(p.table.size(), entries);
            ASSERT_EQ(p.indices.size(), pixels.size());
            EXPECT_EQ(platform::SquaredError(pixels, {}, p), 0u)
                << entries << " entries, " << distinct << " colours";
        }
}

// Hidden pixels take entry 0, black, when there is room for it, and spend
// no entry otherwise; visible pixels stay exact either way.
TEST(ReduceColours, HiddenPixelsTakeBlackWhereItCostsNothing)
{
    for (const std::size_t distinct : {std::size_t{15}, std::size_t{16}}) {
        auto pixels = RandomColours(distinct, 256, 3);
        for (auto &p : pixels)
            p |= 0x010101u; // never black
        std::vector<std::uint8_t> hidden(pixels.size(), 0);
        for (std::size_t i = 0; i < hidden.size(); i += 5) {
            hidden[i] = 1;
            pixels[i] = 0x00FF00FFu; // a hidden pixel's stored colour is not a colour to keep
        }
        const IndexedPicture p = platform::ReduceColours(pixels, hidden, 16);
        EXPECT_EQ(platform::SquaredError(pixels, hidden, p), 0u) << distinct;
        const bool room = distinct < 16;
        EXPECT_EQ(p.table[0] == 0u, room) << distinct;
        std::set<std::uint8_t> hiddenIndices;
        for (std::size_t i = 0; i < hidden.size(); i += 5)
            hiddenIndices.insert(p.indices[i]);
        EXPECT_EQ(hiddenIndices.size(), 1u);
        if (room) {
            EXPECT_EQ(*hiddenIndices.begin(), 0);
        }
    }
}

// Many colours: far better than the platform's fixed table, and never worse.
TEST(ReduceColours, AdaptiveTableBeatsTheFixedOne)
{
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const auto gradient = Gradient(seed);
        const auto noise = RandomColours(1024, 1024, seed);
        std::vector<std::uint8_t> border(1024, 0);
        for (std::size_t i = 0; i < 1024; ++i)
            border[i] = (i % 32 == 0 || i < 32) ? 1 : 0;
        for (const auto *pixels : {&gradient, &noise})
            for (const unsigned entries : {256u, 16u, 2u}) {
                const IndexedPicture ours = platform::ReduceColours(*pixels, border, entries);
                const double oursDb = Psnr(*pixels, border, ours);
                const double fixedDb = Psnr(*pixels, border, FixedTable(*pixels, entries));
                EXPECT_GE(oursDb, fixedDb) << "seed " << seed << ", " << entries << " entries";
                if (entries == 256 && pixels == &gradient) {
                    EXPECT_GE(oursDb, fixedDb + 10) << "seed " << seed;
                }
            }
    }
}

// A monochrome bitmap at 1 bit keeps its bits under the table black, white.
TEST(GetDIBits, MonochromeBitmapKeepsItsBits)
{
    platform::Bitmap mask(12, 3, true);
    for (int x = 0; x < 12; x += 3)
        mask.SetPixel(x, 1, 0xFFFFFFu); // white = 1
    std::vector<std::uint8_t> info(48, 0), bits(12, 0xAA);
    info[0] = 40, info[4] = 12, info[8] = 3, info[12] = 1, info[14] = 1;
    ASSERT_EQ(platform::GetDIBits(mask, 3, bits, info), 3);
    EXPECT_EQ(std::vector<std::uint8_t>(info.begin() + 40, info.end()),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}));
    // Bottom row first: rows 0 and 2 are empty, row 1 has bits 0, 3, 6, 9.
    EXPECT_EQ(bits, (std::vector<std::uint8_t>{0, 0, 0, 0, 0x92, 0x40, 0, 0, 0, 0, 0, 0}));

    std::vector<std::uint8_t> tooSmall(8);
    EXPECT_EQ(platform::GetDIBits(mask, 3, tooSmall, info), 0);
    info[4] = 13; // the header does not describe this bitmap
    EXPECT_EQ(platform::GetDIBits(mask, 3, bits, info), 0);
}
