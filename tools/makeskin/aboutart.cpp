#include "aboutart.h"

#include "controls/windowstyle.h"
#include "skinart.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace skinart {

using controls::kGray;
using controls::kNavy;
using controls::kSilver;

namespace {

// Its own generator, so the pictures come out the same on every machine.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : State(seed) {}
    // 0 ... 1
    double Next()
    {
        State = State * 1664525u + 1013904223u;
        return double(State >> 8) / double(1u << 24);
    }

private:
    std::uint32_t State;
};

// Smooth noise over a grid that wraps, so the picture tiles.
double Smooth(const std::vector<double> &grid, int cells, double x, double y)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const auto at = [&](int gx, int gy) {
        gx = ((gx % cells) + cells) % cells;
        gy = ((gy % cells) + cells) % cells;
        return grid[std::size_t(gy * cells + gx)];
    };
    const auto ease = [](double t) { return t * t * (3 - 2 * t); };
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * ease(fx);
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * ease(fx);
    return top + (bottom - top) * ease(fy);
}

QString FileOf(const char *resource)
{
    return QString::fromLatin1(resource).section(QLatin1Char('/'), -1);
}

void Check(bool ok, const QString &what)
{
    if (!ok)
        throw std::runtime_error(what.toStdString());
}

void Save(const QImage &image, const QString &path, const char *format)
{
    QImageWriter writer(path, format);
    Check(writer.write(image),
          QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
}

} // namespace

QImage AboutTopPicture()
{
    QImage img(353, 265, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The band: navy over a grey stripe, the whole width.
    p.fillRect(QRect(0, 0, 353, 9), kNavy);
    p.fillRect(QRect(0, 9, 353, 4), kGray);
    p.fillRect(QRect(0, 13, 353, 1), kSilver);
    // The folded corner: a grey sheet turned down over the top left, its
    // underside lighter and a soft shadow beneath.
    QPainterPath shadow;
    shadow.moveTo(0, 14);
    shadow.lineTo(92, 14);
    shadow.lineTo(0, 106);
    shadow.closeSubpath();
    p.fillPath(shadow.translated(3, 3), QColor(0xE4, 0xE4, 0xE4));
    QPainterPath sheet;
    sheet.moveTo(0, 14);
    sheet.lineTo(88, 14);
    sheet.lineTo(0, 102);
    sheet.closeSubpath();
    QLinearGradient shade(0, 14, 44, 58);
    shade.setColorAt(0, QColor(0x9A, 0x9A, 0xA2));
    shade.setColorAt(1, QColor(0xC8, 0xC8, 0xCE));
    p.fillPath(sheet, shade);
    p.setPen(QPen(kGray, 1.2));
    p.drawLine(QPointF(88, 14), QPointF(0, 102));
    return img;
}

QImage AboutStoneTile()
{
    constexpr int kSize = 100;
    Noise noise(0x5701E);
    // Two scales of noise: big stones and grit.
    std::vector<double> coarse(10 * 10), fine(25 * 25);
    for (double &v : coarse)
        v = noise.Next();
    for (double &v : fine)
        v = noise.Next();
    QImage img(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double c = Smooth(coarse, 10, x / 10.0, y / 10.0);
            const double f = Smooth(fine, 25, x / 4.0, y / 4.0);
            const double g = 0.78 + 0.32 * c + 0.16 * (f - 0.5) + 0.06 * (noise.Next() - 0.5);
            const auto channel = [&](int base) {
                return std::clamp(int(std::lround(base * g)), 0, 255);
            };
            img.setPixel(x, y, qRgb(channel(0x6E), channel(0x7C), channel(0x94)));
        }
    return img;
}

QImage FactsGlyph()
{
    QImage art(32, 32, QImage::Format_RGB32);
    art.fill(Qt::white);
    {
        QPainter p(&art);
        // The board with its edge.
        p.fillRect(QRect(2, 4, 28, 24), QColor(0x00, 0x80, 0x00));
        p.setPen(QColor(0x00, 0x40, 0x00));
        p.drawRect(QRect(2, 4, 27, 23));
        // Traces.
        p.setPen(QColor(0x00, 0xFF, 0x00));
        p.drawLine(5, 8, 12, 8);
        p.drawLine(5, 23, 26, 23);
        p.drawLine(26, 8, 26, 23);
        p.drawLine(19, 8, 26, 8);
        p.drawLine(8, 12, 8, 20);
        // A chip with its legs.
        p.fillRect(QRect(12, 11, 10, 9), Qt::black);
        p.setPen(kSilver);
        for (int x = 13; x <= 20; x += 2) {
            p.drawLine(x, 10, x, 10);
            p.drawLine(x, 20, x, 20);
        }
        // Solder pads.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xFF, 0x00));
        for (const QPoint pad : {QPoint(5, 8), QPoint(12, 8), QPoint(19, 8), QPoint(8, 20),
                                 QPoint(5, 23), QPoint(26, 15)})
            p.drawRect(pad.x() - 1, pad.y() - 1, 2, 2);
    }
    // The sixteen colours of the classic palette.
    QList<QRgb> table;
    for (const QRgb c :
         {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u, 0x008080u, 0xC0C0C0u,
          0x808080u, 0xFF0000u, 0x00FF00u, 0xFFFF00u, 0x0000FFu, 0xFF00FFu, 0x00FFFFu, 0xFFFFFFu})
        table.append(0xFF000000u | c);
    return art.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
}

QImage CloseGlyph()
{
    QImage img(43, 29, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(11, 15);
    tick.lineTo(18, 23);
    tick.lineTo(32, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x00, 0x50, 0x00), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(0x20, 0xC0, 0x20), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return img;
}

void WriteAboutArt(const QString &skinDir)
{
    const QDir dir(skinDir);
    const QString top = dir.filePath(FileOf(kAboutPicture));
    const QString tile = dir.filePath(FileOf(kAboutTile));
    const QString facts = dir.filePath(FileOf(kFactsGlyph));
    const QString close = dir.filePath(FileOf(kCloseGlyph));
    Save(AboutTopPicture(), top, "PNG");
    Save(AboutStoneTile(), tile, "BMP");
    Save(FactsGlyph(), facts, "PNG");
    Save(CloseGlyph(), close, "PNG");

    Check(QImage(top).size() == QSize(353, 265), top + " has the wrong size");
    QFile tileFile(tile);
    Check(tileFile.open(QIODevice::ReadOnly), tile + " does not read back");
    const QByteArray head = tileFile.read(30);
    Check(head.size() == 30 && head.startsWith("BM") && head[28] == 24,
          tile + " is not a 24-bit bitmap");
    Check(QImage(tile).size() == QSize(100, 100), tile + " has the wrong size");
    const QImage glyph(facts);
    Check(glyph.size() == QSize(32, 32) && glyph.colorCount() > 0 && glyph.colorCount() <= 16,
          facts + " is not a 32 x 32, 16-colour picture");
    Check(QImage(close).size() == QSize(43, 29), close + " has the wrong size");
}

} // namespace skinart
