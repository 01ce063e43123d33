#pragma once

#include <QImage>

namespace controls {

// Off-screen drawing surface of the gauge: an image that can take the size
// of another and be cleared in one step.
class TBltBitmap : public QImage
{
public:
    TBltBitmap() = default;

    // Takes Template's width and height and fills the whole area with the
    // window-frame colour.
    void MakeLike(const QImage &Template);
};

} // namespace controls
