#include "bitmaptoregion.h"

#include <QImage>

#include <cstring>

namespace app {

QRegion BitmapToRegion(QImage &bitmap)
{
    bitmap.convertTo(QImage::Format_RGB888);
    const int w = bitmap.width();
    const int h = bitmap.height();
    QRegion region(0, 0, w, h);

    // Key-colour runs are cut out of the full rectangle one row at a time;
    // rectangles are right- and bottom-exclusive, so a run from start to
    // x - 1 is QRect(start, y, x - start, 1).
    uchar key[3] = {};
    for (int y = 0; y < h; ++y) {
        const uchar *row = bitmap.constScanLine(y);
        if (y == 0)
            std::memcpy(key, row, 3);
        int start = -1;
        for (int x = 0; x < w; ++x) {
            if (std::memcmp(row + 3 * x, key, 3) == 0) {
                if (start < 0)
                    start = x;
            } else if (start >= 0) {
                region -= QRegion(start, y, x - start, 1);
                start = -1;
            }
        }
        if (start >= 0)
            region -= QRegion(start, y, w - start, 1);
    }
    return region;
}

} // namespace app
