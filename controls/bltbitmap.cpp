#include "controls/bltbitmap.h"

namespace controls {

namespace {
// The usual system window-frame colour; Qt's palettes have no role for it.
constexpr QRgb WindowFrameColour = qRgb(0, 0, 0);
} // namespace

void TBltBitmap::MakeLike(const QImage &Template)
{
    QImage::operator=(QImage(Template.size(), QImage::Format_RGB32));
    if (!isNull())
        fill(WindowFrameColour);
}

} // namespace controls
