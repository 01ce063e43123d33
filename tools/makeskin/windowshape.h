#pragma once

// The window's outline and the mask picture made from it.

#include "relief.h"

#include <QImage>
#include <QPainterPath>

namespace skinart {

// Vent slots cut through the face.
QPainterPath VentHoles();

// The outline without the vent slots.
Shape OuterShape();

// The mask picture: 1 bit per pixel, white outside, black inside.
QImage MaskImage(const Shape &shape);

// Throws std::runtime_error unless every control lies inside the shape and
// the top-left pixel outside; reports on stderr controls that reach into
// the rim.
void CheckControls(const Shape &shape);

} // namespace skinart
