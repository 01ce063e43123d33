#include "windowicon.h"

#include "controls/windowstyle.h"
#include "skinlayout.h"

#include <QPainter>

#include <algorithm>

namespace skinart {

using controls::kAqua;
using controls::kGray;
using controls::kLime;
using controls::kNavy;
using controls::kSilver;

// The window icon in the 16 VGA colours, drawn on the pixel grid: a
// program's window full of icons, one of them lifted out and brought
// forward, a lime arrow showing where it came from.
QImage WindowIcon()
{
    const QColor black(0, 0, 0), white(0xFF, 0xFF, 0xFF), red(0xFF, 0, 0), yellow(0xFF, 0xFF, 0),
        blue(0, 0, 0xFF), purple(0x80, 0, 0x80), maroon(0x80, 0, 0);
    QImage icon(kIconSize, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    const auto box = [&](int x0, int y0, int x1, int y1, const QColor &c) {
        p.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)), c);
    };

    // The program: frame, title bar, body, shadow.
    box(2, 3, 23, 22, kGray);
    box(1, 2, 22, 21, black);
    box(2, 3, 21, 5, kNavy);
    box(3, 4, 10, 4, kAqua);
    box(19, 4, 20, 4, kSilver);
    box(2, 6, 21, 6, white);
    box(2, 7, 21, 20, kSilver);
    box(2, 7, 2, 20, white);
    // Its icons, one place left empty.
    const auto tile = [&](int x, int y, const QColor &outer, const QColor &inner) {
        box(x, y, x + 4, y + 4, black);
        box(x + 1, y + 1, x + 3, y + 3, outer);
        box(x + 2, y + 2, x + 2, y + 2, inner);
    };
    tile(4, 8, red, yellow);
    tile(10, 8, blue, kAqua);
    tile(4, 14, kLime, kNavy);
    tile(10, 14, purple, white);
    for (int i = 0; i < 5; ++i) {
        box(16 + i, 8, 16 + i, 8, i % 2 ? kSilver : kGray);
        box(16 + i, 12, 16 + i, 12, i % 2 ? kSilver : kGray);
        box(16, 8 + i, 16, 8 + i, i % 2 ? kSilver : kGray);
        box(20, 8 + i, 20, 8 + i, i % 2 ? kSilver : kGray);
    }

    // The arrow, from the empty place out to the right and down.
    box(21, 10, 27, 11, kLime);
    box(26, 10, 27, 15, kLime);
    box(24, 14, 29, 14, kLime);
    box(25, 15, 28, 15, kLime);

    // The lifted icon, larger and in front, with its shadow.
    box(17, 18, 31, 31, kGray);
    box(16, 17, 30, 30, black);
    box(17, 18, 29, 29, white);
    box(18, 19, 29, 29, kAqua);
    // A gem on it.
    static const char *const gem[] = {
        "....y....", "...yyr...", "..yyyrr..", ".yyyyrrr.", "yyyyyrrrr",
        ".rrrrmmm.", "..rrrmm..", "...rmm...", "....m....",
    };
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const char c = gem[y][x];
            if (c != '.')
                box(19 + x, 20 + y, 19 + x, 20 + y,
                    c == 'y'   ? yellow
                    : c == 'r' ? red
                    : c == 'm' ? maroon
                               : black);
        }
    return icon;
}

QImage WindowIconAt(int Size)
{
    const QImage icon = WindowIcon();
    const int base = icon.width();
    if (Size <= 0)
        return {};
    const int factor = std::max(1, (Size + base - 1) / base);
    // Premultiplied, so that averaging does not bleed the colour of
    // transparent pixels into the edges.
    QImage sharp =
        icon.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(base * factor, base * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (sharp.width() != Size)
        sharp = sharp.scaled(Size, Size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return sharp.convertToFormat(QImage::Format_ARGB32);
}

platform::Icon ToPlatformIcon(const QImage &image)
{
    platform::Icon icon(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const bool clear = qAlpha(c) == 0;
            icon.SetPixel(x, y, clear ? 0u : (0xFF000000u | (c & 0xFFFFFFu)));
            icon.SetMaskBit(x, y, clear);
        }
    return icon;
}

} // namespace skinart
