#include "iconpicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace app {

TIconPicture::TIconPicture(QWidget *parent) : QWidget(parent) {}

void TIconPicture::SetIcon(platform::Icon icon)
{
    // No icon after no icon shows nothing new: a save-all run over many
    // files without icons need not repaint for each.
    const bool unchanged = FIcon.IsNull() && icon.IsNull();
    FIcon = std::move(icon); // the old icon is destroyed here
    if (!unchanged)
        repaint();
}

void DrawIcon(QPainter &painter, int x, int y, const platform::Icon &icon)
{
    if (icon.IsNull())
        return;
    const int w = icon.Width();
    const int h = icon.Height();
    if (icon.HasAlpha()) {
        QImage image(w, h, QImage::Format_ARGB32);
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col)
                image.setPixel(col, row, icon.Pixel(col, row));
        painter.drawImage(x, y, image);
        return;
    }
    // AND the mask (white keeps the screen, black clears it), then XOR the
    // colour: transparent stays, opaque shows its colour, a coloured
    // transparent pixel inverts the screen.
    QImage mask(w, h, QImage::Format_RGB32);
    QImage colour(w, h, QImage::Format_RGB32);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            mask.setPixel(col, row, icon.MaskBit(col, row) ? 0xFFFFFFFFu : 0xFF000000u);
            colour.setPixel(col, row,
                            0xFF000000u | (icon.HasColourImage() ? icon.Pixel(col, row) : 0u));
        }
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(x, y, mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(x, y, colour);
    painter.restore();
}

void TIconPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawIcon(painter, (width() - FIcon.Width()) / 2, (height() - FIcon.Height()) / 2, FIcon);
}

void TIconPicture::mousePressEvent(QMouseEvent *event)
{
    event->accept(); // a picture keeps its presses: no window drag from here
}

} // namespace app
