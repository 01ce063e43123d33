#include "windowshape.h"

#include "skinlayout.h"

#include <QTransform>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace skinart {

// Vent slots in the free space between the per-file gauge, the number box
// and the status line.
QPainterPath VentHoles()
{
    QPainterPath holes;
    for (int i = 0; i < 7; ++i) {
        QPainterPath slot;
        slot.addRoundedRect(QRectF(-1.75, -8.5, 3.5, 17), 1.75, 1.75);
        QTransform t;
        t.translate(302 + 11 * i, 360.5);
        t.rotate(20);
        holes.addPath(t.map(slot));
    }
    return holes;
}

// The outline without its holes: a title block at the top left, a tower at
// the top right for the buttons and the lens, the body between them dipping
// down over the filter box, and a boss at the bottom right for the lamp.
Shape OuterShape()
{
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addRoundedRect(QRectF(3, 3, 214, 120), 24, 24);
    body.addRoundedRect(QRectF(3, 19, 536, 385), 26, 26);
    body.addRoundedRect(QRectF(425, 2, 123, 222), 36, 36);
    body.addEllipse(QPointF(533.5, 393.5), 13.5, 13.5);
    // Fillets where the pieces meet, then soften what is left of the
    // corners; on a larger canvas, so that the border does not cut in.
    constexpr int pad = 20;
    Shape s = Padded(Rasterize(body, kShapeSize), pad);
    s = Erode(Dilate(s, 14), 14);
    s = Dilate(Erode(s, 3), 3);
    return Cropped(s, pad);
}

QImage MaskImage(const Shape &shape)
{
    QImage mask(kShapeSize, QImage::Format_Mono);
    mask.setColorTable({qRgb(0xFF, 0xFF, 0xFF), qRgb(0, 0, 0)});
    // Every byte, the ones that pad each row too: the file keeps them, and
    // the same drawing must give the same bytes. (QImage::fill leaves a
    // 1-bit image's padding as it found it.)
    std::memset(mask.bits(), 0, static_cast<std::size_t>(mask.sizeInBytes()));
    for (int y = 0; y < shape.h; ++y)
        for (int x = 0; x < shape.w; ++x)
            mask.setPixel(x, y, shape.Inside(x, y) ? 1 : 0);
    return mask;
}

// Every control must lie inside the shape; those that reach into the rim
// are reported, as the rim would show through their gaps.
void CheckControls(const Shape &shape)
{
    Shape clear = Erode(shape, kRim);
    for (const ControlRect &c : kControls) {
        int outside = 0, onRim = 0;
        for (int y = c.rect.top(); y <= c.rect.bottom(); ++y)
            for (int x = c.rect.left(); x <= c.rect.right(); ++x) {
                if (!shape.Inside(x, y))
                    ++outside;
                else if (!clear.Inside(x, y))
                    ++onRim;
            }
        if (outside)
            throw std::runtime_error(std::string(c.name) + " has " + std::to_string(outside) +
                                     " pixels outside the shape");
        if (onRim)
            std::fprintf(stderr, "makeskin: note: %s has %d pixels on the rim\n", c.name, onRim);
    }
    if (shape.Inside(0, 0))
        throw std::runtime_error("the top-left pixel must lie outside the shape");
}

} // namespace skinart
