#include "app/bitmaptoregion.h"
#include "skinart.h"
#include "skinlayout.h"

#include <QImage>
#include <QRegion>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// Pictures are written as rows of letters, one per pixel.
QRgb ColourOf(char c)
{
    switch (c) {
    case 'W':
        return qRgb(255, 255, 255);
    case 'B':
        return qRgb(0, 0, 0);
    case 'R':
        return qRgb(255, 0, 0);
    case 'G':
        return qRgb(0, 255, 0);
    case 'b': // white but for the last bit of blue
        return qRgb(255, 255, 254);
    case 'g': // white but for the last bit of green
        return qRgb(255, 254, 255);
    default:
        ADD_FAILURE() << "no colour for " << c;
        return 0;
    }
}

QImage Draw(const std::vector<std::string> &rows, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()),
                 QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(
                x, y, ColourOf(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    return image.convertToFormat(format);
}

// The region as rows: '#' inside, '.' outside, over the given size.
std::vector<std::string> Rows(const QRegion &region, int w, int h)
{
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x)
            row += region.contains(QPoint(x, y)) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

struct Case
{
    const char *name;
    std::vector<std::string> picture;
    std::vector<std::string> region;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class Masks : public ::testing::TestWithParam<Case>
{
};

TEST_P(Masks, KeyColourRunsAreCutOut)
{
    const Case &c = GetParam();
    QImage bitmap = Draw(c.picture);
    const QRegion region = app::BitmapToRegion(bitmap);
    EXPECT_EQ(Rows(region, bitmap.width() + 1, bitmap.height() + 1), c.region);
}

// Every expected region is one pixel wider and taller than its picture:
// nothing may leak past the right or bottom edge.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    BitmapToRegion, Masks,
    ::testing::Values(
        Case{"WhiteTopLeftKeepsBlack",
             {"WWWW",
              "WBBW",
              "WBBW",
              "WWWW"},
             {".....",
              ".##..",
              ".##..",
              ".....",
              "....."}},
        Case{"BlackTopLeftMakesBlackTheKey",
             {"BBWB",
              "BWWB",
              "WWWW"},
             {"..#..",
              ".##..",
              "####.",
              "....."}},
        Case{"RowStartingAndEndingWithKeyLosesBoth",
             {"WRRRW",
              "WWRWW",
              "RRRRR"},
             {".###..",
              "..#...",
              "#####.",
              "......"}},
        Case{"FullKeyRowRemovesTheRow",
             {"WBBW",
              "WWWW",
              "BBBB"},
             {".##..",
              ".....",
              "####.",
              "....."}},
        Case{"OnePixelRunRemovesExactlyThatPixel",
             {"WGGG",
              "GWGW",
              "GGWG"},
             {".###.",
              "#.#..",
              "##.#.",
              "....."}},
        Case{"AllThreeBytesMustMatch",
             {"WbgW",
              "gWWb"},
             {".##..",
              "#..#.",
              "....."}},
        Case{"KeyIsReadFromRowZeroOnly",
             {"WR",
              "RW",
              "RR"},
             {".#.",
              "#..",
              "##.",
              "..."}},
        Case{"WholePictureOfKeyColourLeavesNothing",
             {"RRR",
              "RRR"},
             {"....",
              "....",
              "...."}}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });
// clang-format on

TEST(BitmapToRegion, ConvertsThePictureTo24Bits)
{
    for (const QImage::Format format : {QImage::Format_Mono, QImage::Format_Indexed8,
                                        QImage::Format_RGB32, QImage::Format_ARGB32}) {
        QImage bitmap = Draw({"WBW", "BBB"}, format);
        const QRegion region = app::BitmapToRegion(bitmap);
        EXPECT_EQ(bitmap.format(), QImage::Format_RGB888) << format;
        EXPECT_EQ(bitmap.depth(), 24) << format;
        EXPECT_EQ(Rows(region, 3, 2), (std::vector<std::string>{".#.", "###"})) << format;
    }
}

TEST(BitmapToRegion, EmptyPictureGivesEmptyRegion)
{
    QImage bitmap;
    EXPECT_TRUE(app::BitmapToRegion(bitmap).isEmpty());
}

class WindowMask : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Mask = QImage(QString::fromLatin1(skinart::kShapeMask));
        ASSERT_FALSE(Mask.isNull()) << skinart::kShapeMask;
    }
    QImage Mask;
};

TEST_F(WindowMask, IsA550By408MonochromePictureWithWhiteOutside)
{
    EXPECT_EQ(Mask.size(), QSize(550, 408));
    EXPECT_EQ(Mask.depth(), 1);
    EXPECT_EQ(Mask.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(WindowMask, RegionHoldsEveryControl)
{
    QImage bitmap = Mask;
    const QRegion region = app::BitmapToRegion(bitmap);
    // Every control must receive the mouse and show; children of a panel lie
    // within their panel.
    for (const skinart::ControlRect &c : skinart::kControls)
        EXPECT_EQ(region.intersected(c.rect), QRegion(c.rect)) << c.name;
}

TEST_F(WindowMask, RegionIsExactlyTheBlackPixels)
{
    QImage bitmap = Mask;
    const QRegion region = app::BitmapToRegion(bitmap);
    EXPECT_TRUE(QRect(0, 0, 550, 408).contains(region.boundingRect()));
    int wrong = 0;
    int inside = 0;
    for (int y = 0; y < Mask.height(); ++y)
        for (int x = 0; x < Mask.width(); ++x) {
            const bool black = (Mask.pixel(x, y) & 0xFFFFFFu) == 0;
            inside += black;
            if (region.contains(QPoint(x, y)) != black)
                ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    // A shape, not a sliver: most of the 550 x 408 rectangle.
    EXPECT_GT(inside, 550 * 408 * 3 / 4);
}

} // namespace
