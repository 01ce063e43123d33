#pragma once

// The about window's pictures.

#include <QImage>
#include <QString>

namespace skinart {

// 353 x 265: white, a grey folded corner at the top left and a navy and
// grey band along the top edge.
QImage AboutTopPicture();
// 100 x 100 grey-blue stone that tiles without seams.
QImage AboutStoneTile();
// 32 x 32 in 16 colours: a green circuit board.
QImage FactsGlyph();
// 43 x 29: a green tick on nothing.
QImage CloseGlyph();

// Draws the four into skinDir under the names skinart.h gives them and
// checks them as read back; throws std::runtime_error on failure.
void WriteAboutArt(const QString &skinDir);

} // namespace skinart
