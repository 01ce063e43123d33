#pragma once

// Light and relief for the skin: bevels and rims shaded from a distance
// field, so that they follow any outline, curves and holes included.

#include <QBrush>
#include <QColor>
#include <QImage>

class QPainterPath;

#include <cstdint>
#include <vector>

namespace skinart {

inline std::size_t PixelIndex(int w, int x, int y)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
}

// A w x h raster of 0/1 cells.
struct Shape
{
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> in;

    bool Inside(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < w && y < h && in[PixelIndex(w, x, y)];
    }
};

// The pixels whose centres a path covers (antialiased coverage of a half
// or more).
Shape Rasterize(const QPainterPath &path, QSize size);
Shape Minus(Shape a, const Shape &b);
Shape Union(Shape a, const Shape &b);

// Grows the shape by r pixels (Euclidean) or shrinks it. Both stop at the
// raster's border (beyond it counts as outside), so shapes that are to grow
// past it are first padded.
Shape Dilate(const Shape &s, float r);
Shape Erode(const Shape &s, float r);
// The shape on a canvas larger by pad on every side, and back.
Shape Padded(const Shape &s, int pad);
Shape Cropped(const Shape &s, int pad);

// The shape grown by a whole number of pixels.
Shape Grown(const Shape &s, int grow);

// How a band along the inside of an outline slopes.
enum class Profile
{
    Bead,   // a rounded rim: faces outward at the outline, inward at its far side
    Raised, // a chamfer facing outward: the edge of a raised plate
    Sunken, // a chamfer facing inward: the wall of a well
};

// Chrome from dark navy through gray and silver to white, for a lighting
// value from 0 (no light) to 1 (highlight).
QColor Chrome(float v);

// Shades the band of the given width inside shape's outline onto art
// (Format_ARGB32, not premultiplied), lit from the top left. The inner side
// of the band is antialiased; the outer side is the outline itself.
// tint mixes a colour into the lit result (alpha = strength).
void ShadeBand(QImage &art, const Shape &shape, float width, Profile profile,
               QColor tint = QColor(0, 0, 0, 0));

// Paints colour with coverage a (0..1) over the art pixel at x, y.
void Over(QImage &art, int x, int y, QColor colour, float a);

// Paints layer (Format_ARGB32, the size of art) over art within the shape.
void Overlay(QImage &art, const QImage &layer, const Shape &within);

// Fills the shape on art with brush.
void Fill(QImage &art, const Shape &within, const QBrush &brush);

} // namespace skinart
