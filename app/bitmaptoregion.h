#pragma once

#include <QRegion>

class QImage;

namespace app {

// The region of a mask picture: every pixel except those of the key colour,
// the colour of the top-left pixel. The picture is converted to 24 bits per
// pixel in place on the way (bitmap keeps that format afterwards).
QRegion BitmapToRegion(QImage &bitmap);

} // namespace app
