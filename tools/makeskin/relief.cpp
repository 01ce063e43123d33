#include "relief.h"

#include "distancefield.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace skinart {

namespace {

std::size_t At(int w, int x, int y)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
}

// Distance from each pixel of the shape to the nearest pixel outside it;
// whatever lies beyond the raster's border counts as outside.
std::vector<float> DepthInside(const Shape &s)
{
    const int pad = 1;
    const int w = s.w + 2 * pad, h = s.h + 2 * pad;
    std::vector<std::uint8_t> outside(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 1);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            outside[At(w, x + pad, y + pad)] = s.in[At(s.w, x, y)] ? 0 : 1;
    const std::vector<float> d = DistanceTo(outside, w, h);
    std::vector<float> out(s.in.size());
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            out[At(s.w, x, y)] = d[At(w, x + pad, y + pad)];
    return out;
}

// A 5 x 5 binomial blur: the raw distance field has steps wherever the
// outline is not axis-aligned, which would show as grain in the lighting.
std::vector<float> Smoothed(const std::vector<float> &f, int w, int h)
{
    static constexpr std::array<float, 5> k{1, 4, 6, 4, 1};
    std::vector<float> tmp(f.size()), out(f.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int i = -2; i <= 2; ++i)
                s += k[static_cast<std::size_t>(i + 2)] * f[At(w, std::clamp(x + i, 0, w - 1), y)];
            tmp[At(w, x, y)] = s / 16;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int i = -2; i <= 2; ++i)
                s +=
                    k[static_cast<std::size_t>(i + 2)] * tmp[At(w, x, std::clamp(y + i, 0, h - 1))];
            out[At(w, x, y)] = s / 16;
        }
    return out;
}

} // namespace

Shape Rasterize(const QPainterPath &path, QSize size)
{
    QImage image(size, QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(path, Qt::white);
    }
    Shape s{size.width(), size.height(), {}};
    s.in.resize(static_cast<std::size_t>(s.w) * static_cast<std::size_t>(s.h));
    for (int y = 0; y < s.h; ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < s.w; ++x)
            s.in[At(s.w, x, y)] = line[x] >= 128 ? 1 : 0;
    }
    return s;
}

Shape Minus(Shape a, const Shape &b)
{
    for (std::size_t i = 0; i < a.in.size(); ++i)
        if (b.in[i])
            a.in[i] = 0;
    return a;
}

Shape Union(Shape a, const Shape &b)
{
    for (std::size_t i = 0; i < a.in.size(); ++i)
        a.in[i] |= b.in[i];
    return a;
}

Shape Padded(const Shape &s, int pad)
{
    Shape out{s.w + 2 * pad, s.h + 2 * pad, {}};
    out.in.assign(static_cast<std::size_t>(out.w) * static_cast<std::size_t>(out.h), 0);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            out.in[At(out.w, x + pad, y + pad)] = s.in[At(s.w, x, y)];
    return out;
}

Shape Cropped(const Shape &s, int pad)
{
    Shape out{s.w - 2 * pad, s.h - 2 * pad, {}};
    out.in.resize(static_cast<std::size_t>(out.w) * static_cast<std::size_t>(out.h));
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x)
            out.in[At(out.w, x, y)] = s.in[At(s.w, x + pad, y + pad)];
    return out;
}

Shape Dilate(const Shape &s, float r)
{
    const std::vector<float> d = DistanceTo(s.in, s.w, s.h);
    Shape out{s.w, s.h, std::vector<std::uint8_t>(s.in.size())};
    for (std::size_t i = 0; i < d.size(); ++i)
        out.in[i] = d[i] <= r ? 1 : 0;
    return out;
}

Shape Erode(const Shape &s, float r)
{
    const std::vector<float> d = DepthInside(s);
    Shape out{s.w, s.h, std::vector<std::uint8_t>(s.in.size())};
    for (std::size_t i = 0; i < d.size(); ++i)
        out.in[i] = d[i] > r ? 1 : 0;
    return out;
}

Shape Grown(const Shape &s, int grow)
{
    return grow > 0 ? Dilate(s, static_cast<float>(grow) + 0.01f) : s;
}

QColor Chrome(float v)
{
    struct Stop
    {
        float at;
        int r, g, b;
    };
    static constexpr std::array<Stop, 6> stops{{
        {0.00f, 0x00, 0x00, 0x1C},
        {0.30f, 0x1C, 0x24, 0x50},
        {0.55f, 0x70, 0x78, 0x90},
        {0.75f, 0xC0, 0xC0, 0xC0},
        {0.90f, 0xE8, 0xEC, 0xF4},
        {1.00f, 0xFF, 0xFF, 0xFF},
    }};
    v = std::clamp(v, 0.0f, 1.0f);
    std::size_t i = 1;
    while (i + 1 < stops.size() && v > stops[i].at)
        ++i;
    const Stop &a = stops[i - 1];
    const Stop &b = stops[i];
    const float t = (v - a.at) / (b.at - a.at);
    const auto mix = [t](int p, int q) { return static_cast<int>(std::lround(p + (q - p) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

void Over(QImage &art, int x, int y, QColor colour, float a)
{
    if (a <= 0 || x < 0 || y < 0 || x >= art.width() || y >= art.height())
        return;
    a = std::min(a, 1.0f) * static_cast<float>(colour.alphaF());
    auto *line = reinterpret_cast<QRgb *>(art.scanLine(y));
    const QRgb d = line[x];
    const float da = static_cast<float>(qAlpha(d)) / 255;
    const float oa = a + da * (1 - a);
    if (oa <= 0) {
        line[x] = 0;
        return;
    }
    const auto mix = [&](int s, int t) {
        return static_cast<int>(std::lround((s * a + t * da * (1 - a)) / oa));
    };
    line[x] = qRgba(mix(colour.red(), qRed(d)), mix(colour.green(), qGreen(d)),
                    mix(colour.blue(), qBlue(d)), static_cast<int>(std::lround(oa * 255)));
}

void Overlay(QImage &art, const QImage &layer, const Shape &within)
{
    for (int y = 0; y < within.h && y < art.height(); ++y)
        for (int x = 0; x < within.w && x < art.width(); ++x)
            if (within.Inside(x, y)) {
                const QRgb l = layer.pixel(x, y);
                Over(art, x, y, QColor(qRed(l), qGreen(l), qBlue(l)),
                     static_cast<float>(qAlpha(l)) / 255);
            }
}

void Fill(QImage &art, const Shape &within, const QBrush &brush)
{
    QImage layer(art.size(), QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.fillRect(layer.rect(), brush);
    }
    Overlay(art, layer, within);
}

void ShadeBand(QImage &art, const Shape &shape, float width, Profile profile, QColor tint)
{
    const int w = shape.w;
    const int h = shape.h;
    const std::vector<float> depth = DepthInside(shape);
    const std::vector<float> smooth = Smoothed(depth, w, h);

    // Light from the top left, a little above the face.
    const float lx = -0.55f, ly = -0.65f, lz = 0.75f;
    const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const float hx = lx / ll, hy = ly / ll, hz = lz / ll + 1;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    constexpr float kTilt = 1.05f; // about 60 degrees

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float d = depth[At(w, x, y)];
            if (d <= 0)
                continue;
            const float edge = d - 0.5f; // from pixel centre to the outline
            if (edge > width + 0.5f)
                continue;
            const float gx =
                smooth[At(w, std::min(x + 1, w - 1), y)] - smooth[At(w, std::max(x - 1, 0), y)];
            const float gy =
                smooth[At(w, x, std::min(y + 1, h - 1))] - smooth[At(w, x, std::max(y - 1, 0))];
            const float gl = std::sqrt(gx * gx + gy * gy);
            // Outward direction: against the growth of the depth.
            const float ox = gl > 1e-4f ? -gx / gl : 0;
            const float oy = gl > 1e-4f ? -gy / gl : 0;
            const float t = std::clamp(edge / width, 0.0f, 1.0f);
            float theta = 0;
            switch (profile) {
            case Profile::Bead:
                theta = (1 - 2 * t) * kTilt;
                break;
            case Profile::Raised:
                theta = 0.8f * kTilt;
                break;
            case Profile::Sunken:
                theta = -0.8f * kTilt;
                break;
            }
            const float nx = ox * std::sin(theta), ny = oy * std::sin(theta), nz = std::cos(theta);
            const float diffuse = std::max(0.0f, (nx * lx + ny * ly + nz * lz) / ll);
            const float specular =
                std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 28.0f);
            const float v = 0.04f + 0.78f * diffuse + 0.45f * specular;
            QColor c = Chrome(v);
            if (tint.alpha() > 0) {
                const float m = static_cast<float>(tint.alphaF());
                c = QColor::fromRgbF(c.redF() * (1 - m) + tint.redF() * m,
                                     c.greenF() * (1 - m) + tint.greenF() * m,
                                     c.blueF() * (1 - m) + tint.blueF() * m);
            }
            Over(art, x, y, c, std::clamp(width + 0.5f - edge, 0.0f, 1.0f));
        }
}

} // namespace skinart
