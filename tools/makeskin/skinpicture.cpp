#include "skinpicture.h"

#include "controls/windowstyle.h"
#include "platform/palette.h"
#include "skinlayout.h"
#include "windowshape.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

namespace skinart {

using controls::kKey;
using controls::kPlate;
using controls::kSilver;

namespace {

// Repeatable noise from -1 to 1 (xorshift), so that every run writes the
// same pictures.
float NextNoise(std::uint32_t &state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state & 0xFFFFFF) / float(0x7FFFFF) - 1;
}

Shape RectShape(const QRect &r, int grow)
{
    QPainterPath p;
    p.addRect(QRectF(r.adjusted(-grow, -grow, grow, grow)));
    return Rasterize(p, kSkinSize);
}

// A well sunk into the face: a chamfer of width w around the area, then a
// ground inside.
void Well(QImage &art, const Shape &area, int w, const QBrush &ground)
{
    const Shape outer = Grown(area, w);
    Fill(art, outer, ground);
    ShadeBand(art, outer, static_cast<float>(w), Profile::Sunken);
}

// The lens at the top of the tower: a chrome ring round dark glass.
void Lens(QImage &art, QPointF c, qreal r)
{
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    const Shape ring = Rasterize(disc, kSkinSize);
    QRadialGradient glass(c + QPointF(-r * 0.25, -r * 0.3), r * 1.1);
    glass.setColorAt(0, QColor(0x20, 0x40, 0xA0));
    glass.setColorAt(0.45, QColor(0x00, 0x00, 0x80));
    glass.setColorAt(1, QColor(0x00, 0x00, 0x18));
    Fill(art, ring, glass);

    QImage layer(art.size(), QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        // Iris: thin aqua rings, brightest towards the light.
        for (int i = 0; i < 3; ++i) {
            const qreal rr = r * (0.62 - 0.15 * i);
            QConicalGradient sweep(c, 135);
            sweep.setColorAt(0, QColor(0x00, 0xFF, 0xFF, 220));
            sweep.setColorAt(0.5, QColor(0x00, 0x80, 0xC0, 60));
            sweep.setColorAt(1, QColor(0x00, 0xFF, 0xFF, 220));
            p.setPen(QPen(QBrush(sweep), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, rr, rr);
        }
        // The lamp in the middle and a highlight on the glass.
        QRadialGradient lamp(c, r * 0.22);
        lamp.setColorAt(0, QColor(0xE0, 0xFF, 0xE0));
        lamp.setColorAt(0.5, QColor(0x00, 0xFF, 0x00));
        lamp.setColorAt(1, QColor(0x00, 0x80, 0x00, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(lamp);
        p.drawEllipse(c, r * 0.22, r * 0.22);
        QPainterPath glint;
        glint.moveTo(c + QPointF(-r * 0.78, -r * 0.05));
        glint.cubicTo(c + QPointF(-r * 0.8, -r * 0.6), c + QPointF(-r * 0.45, -r * 0.82),
                      c + QPointF(r * 0.05, -r * 0.8));
        glint.cubicTo(c + QPointF(-r * 0.4, -r * 0.6), c + QPointF(-r * 0.62, -r * 0.4),
                      c + QPointF(-r * 0.78, -r * 0.05));
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 150));
        p.drawPath(glint);
    }
    Overlay(art, layer, ring);
    ShadeBand(art, ring, 5, Profile::Bead);
    // The ring's outer side sinks into the tower.
    ShadeBand(art, Grown(ring, 2), 2, Profile::Sunken);
}

// A small lamp in the boss at the bottom right.
void Lamp(QImage &art, QPointF c)
{
    QPainterPath disc;
    disc.addEllipse(c, 6, 6);
    const Shape socket = Rasterize(disc, kSkinSize);
    QRadialGradient glow(c + QPointF(-1.5, -1.5), 6);
    glow.setColorAt(0, QColor(0xF0, 0xFF, 0xF0));
    glow.setColorAt(0.35, QColor(0x00, 0xFF, 0x00));
    glow.setColorAt(1, QColor(0x00, 0x60, 0x00));
    Fill(art, socket, glow);
    ShadeBand(art, Grown(socket, 2), 2, Profile::Sunken);
}

// Screw heads, slotted, lit like the rim.
void Screw(QImage &art, QPointF c, qreal angle)
{
    QPainterPath disc;
    disc.addEllipse(c, 5.5, 5.5);
    const Shape head = Rasterize(disc, kSkinSize);
    Fill(art, head, Chrome(0.7f));
    ShadeBand(art, head, 4, Profile::Bead);
    ShadeBand(art, Grown(head, 1), 1, Profile::Sunken);
    QImage layer(art.size(), QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(c);
        p.rotate(angle);
        p.setPen(QPen(QColor(0x10, 0x14, 0x30), 1.5));
        p.drawLine(QPointF(-4, 0), QPointF(4, 0));
        p.drawLine(QPointF(0, -4), QPointF(0, 4));
    }
    Overlay(art, layer, head);
}

} // namespace

// Dark brushed metal with a faint woven lattice; every filter wraps around
// so that the tile repeats without seams.
QImage BackgroundTile()
{
    constexpr int n = kTileSize;
    std::uint32_t noise = 0x5EED;
    std::vector<float> raw(n * n), brushed(n * n);
    for (float &v : raw)
        v = NextNoise(noise);
    std::array<float, n> rowShift{};
    for (float &v : rowShift)
        v = NextNoise(noise);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float s = 0;
            for (int i = -7; i <= 7; ++i)
                s += raw[PixelIndex(n, (x + i + n) % n, y)];
            brushed[PixelIndex(n, x, y)] =
                s / 15 * 2.2f + rowShift[static_cast<std::size_t>(y)] * 0.6f;
        }
    QImage tile(n, n, QImage::Format_RGB888);
    for (int y = 0; y < n; ++y) {
        uchar *line = tile.scanLine(y);
        for (int x = 0; x < n; ++x) {
            // Diagonal lattice, 16 pixels a cell, as a soft ridge.
            const int u = (x + y) % 16, v = (x - y + n) % 16;
            const float ridge = (u == 0 || v == 0) ? 1.0f : (u == 1 || v == 1) ? -0.6f : 0.0f;
            const float grain =
                brushed[PixelIndex(n, x, y)] * 3.0f + raw[PixelIndex(n, x, y)] * 1.2f;
            const float l = grain + ridge * 3.0f;
            line[3 * x + 0] = static_cast<uchar>(std::clamp(38 + l, 0.0f, 255.0f));
            line[3 * x + 1] = static_cast<uchar>(std::clamp(42 + l, 0.0f, 255.0f));
            line[3 * x + 2] = static_cast<uchar>(std::clamp(66 + l * 1.3f, 0.0f, 255.0f));
        }
    }
    return tile;
}

// The skin with true alpha: transparent where the tiles are to show.
// outer is the outline without the vent slots.
QImage SkinArt(const Shape &outer)
{
    QImage art(kSkinSize, QImage::Format_ARGB32);
    art.fill(Qt::transparent);

    // Behind the logo a soft navy glow lifts it off the face.
    {
        QImage glow(art.size(), QImage::Format_ARGB32);
        glow.fill(Qt::transparent);
        QPainter p(&glow);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient g(QPointF(86, 34), 78);
        g.setColorAt(0, QColor(0x00, 0x00, 0x80, 200));
        g.setColorAt(0.6, QColor(0x00, 0x00, 0x80, 90));
        g.setColorAt(1, QColor(0x00, 0x00, 0x80, 0));
        p.scale(1, 0.42);
        p.translate(0, 34 / 0.42 - 34);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(86, 34), 80, 80);
        p.end();
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x) {
                const QRgb l = glow.pixel(x, y);
                Over(art, x, y, QColor(qRed(l), qGreen(l), qBlue(l)),
                     static_cast<float>(qAlpha(l)) / 255);
            }
    }

    // The browser: folder tree, file list and filter box in one well.
    const Shape browser = Union(RectShape(ControlRectOf("Panel7"), 0),
                                RectShape(ControlRectOf("FilterComboBox1"), 0));
    Well(art, browser, 3, QColor(0x00, 0x00, 0x28));

    // The control column: buttons above, colour depth and preview below.
    Well(art, RectShape(QRect(436, 68, 97, 145), 0), 2, kPlate);
    Well(art, RectShape(QRect(436, 214, 93, 171), 0), 2, kPlate);
    {
        // The preview tray: light, so that dark icons show as well as bright ones.
        const QRect bevel = ControlRectOf("Bevel1");
        QLinearGradient tray(bevel.topLeft(), bevel.bottomLeft());
        tray.setColorAt(0, QColor(0xD8, 0xD8, 0xE0));
        tray.setColorAt(1, QColor(0xA8, 0xA8, 0xB8));
        Fill(art, RectShape(bevel, 0), tray);
    }

    // Progress: slots for the gauges and the number box.
    for (const char *name : {"Gauge1", "Gauge2", "SpinEdit1"})
        Well(art, RectShape(ControlRectOf(name), 0), 2, kSilver);

    // Status line: a dark strip with faint scan lines.
    {
        const QRect strip(26, 375, 404, 19);
        QImage lines(1, 2, QImage::Format_RGB32);
        lines.setPixel(0, 0, qRgb(0x00, 0x00, 0x40));
        lines.setPixel(0, 1, qRgb(0x00, 0x04, 0x4C));
        Well(art, RectShape(strip, 0), 2, QBrush(lines));
    }

    // Chrome rim round the outline; the face bevels down into the vent slots.
    ShadeBand(art, outer, kRim, Profile::Bead);
    Shape everywhere{outer.w, outer.h, std::vector<std::uint8_t>(outer.in.size(), 1)};
    const Shape holes = Rasterize(VentHoles(), kSkinSize);
    ShadeBand(art, Minus(everywhere, holes), 2, Profile::Raised, QColor(0x08, 0x0C, 0x28, 120));

    Lens(art, QPointF(487.5, 36.5), 24);
    Screw(art, QPointF(446.5, 36.5), 30);
    Screw(art, QPointF(528.5, 36.5), -20);
    Lamp(art, QPointF(535.5, 395.5));
    return art;
}

// The skin at 256 colours: partly covered pixels are mixed with the tile
// that will lie beneath them (the tiles start at the window's corner, as
// does the skin), everything else takes the key colour.
QImage SkinPicture(const QImage &art, const Shape &window, const QImage &tile)
{
    const int w = art.width(), h = art.height();
    std::vector<std::uint32_t> colours;
    std::vector<std::size_t> where;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb a = art.pixel(x, y);
            if (!window.Inside(x, y) || qAlpha(a) < 8)
                continue;
            const QRgb t = tile.pixel(x % tile.width(), y % tile.height());
            const int k = qAlpha(a);
            const auto mix = [k](int s, int d) { return (s * k + d * (255 - k) + 127) / 255; };
            colours.push_back(static_cast<std::uint32_t>(
                qRgb(mix(qRed(a), qRed(t)), mix(qGreen(a), qGreen(t)), mix(qBlue(a), qBlue(t))) &
                0xFFFFFF));
            where.push_back(PixelIndex(w, x, y));
        }
    platform::IndexedPicture reduced = platform::ReduceColours(colours, {}, 256);

    // Room for the key: a free entry, or else the one that costs least to
    // give up, its pixels moving to their nearest other entry.
    std::vector<std::uint64_t> uses(256);
    for (const std::uint8_t i : reduced.indices)
        ++uses[i];
    const auto distance = [](std::uint32_t a, std::uint32_t b) {
        const int dr = int((a >> 16) & 255) - int((b >> 16) & 255);
        const int dg = int((a >> 8) & 255) - int((b >> 8) & 255);
        const int db = int(a & 255) - int(b & 255);
        return static_cast<std::uint64_t>(dr * dr + dg * dg + db * db);
    };
    const auto nearestOther = [&](std::size_t e) {
        std::size_t best = e;
        for (std::size_t j = 0; j < 256; ++j)
            if (j != e && uses[j] &&
                (best == e || distance(reduced.table[e], reduced.table[j]) <
                                  distance(reduced.table[e], reduced.table[best])))
                best = j;
        return best;
    };
    std::size_t key = 256;
    for (std::size_t e = 0; e < 256 && key == 256; ++e)
        if (!uses[e])
            key = e;
    if (key == 256) {
        std::uint64_t cheapest = ~std::uint64_t{0};
        for (std::size_t e = 0; e < 256; ++e) {
            const std::uint64_t cost =
                uses[e] * distance(reduced.table[e], reduced.table[nearestOther(e)]);
            if (cost < cheapest)
                cheapest = cost, key = e;
        }
        const auto to = static_cast<std::uint8_t>(nearestOther(key));
        for (std::uint8_t &i : reduced.indices)
            if (i == key)
                i = to;
    }

    QImage skin(w, h, QImage::Format_Indexed8);
    QList<QRgb> table(256);
    for (std::size_t e = 0; e < 256; ++e)
        table[static_cast<qsizetype>(e)] = 0xFF000000u | reduced.table[e];
    table[static_cast<qsizetype>(key)] = kKey.rgb();
    for (std::size_t e = 0; e < 256; ++e)
        if (e != key && (table[static_cast<qsizetype>(e)] & 0xFFFFFF) == (kKey.rgb() & 0xFFFFFF))
            table[static_cast<qsizetype>(e)] ^= 1; // never a second key
    skin.setColorTable(table);
    skin.fill(static_cast<uint>(key));
    for (std::size_t i = 0; i < where.size(); ++i)
        skin.bits()[(where[i] / static_cast<std::size_t>(w)) *
                        static_cast<std::size_t>(skin.bytesPerLine()) +
                    where[i] % static_cast<std::size_t>(w)] = reduced.indices[i];
    return skin;
}

} // namespace skinart
