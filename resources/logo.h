#pragma once

class QPainter;
class QRectF;

namespace skinart {

// Draws the "Rurorodode" logo filling target (designed at 128 x 39; other
// sizes scale it). The ground is left untouched. Turn on antialiasing first
// for a smooth result.
void PaintLogo(QPainter &painter, const QRectF &target);

} // namespace skinart
