#pragma once

// Colours and type shared by the skin's pictures.

#include <QColor>
#include <QFont>

namespace skinart {

// The window's own colours.
inline const QColor kGray(0x80, 0x80, 0x80);
inline const QColor kAqua(0x00, 0xFF, 0xFF);
inline const QColor kNavy(0x00, 0x00, 0x80);
inline const QColor kSilver(0xC0, 0xC0, 0xC0);
inline const QColor kLime(0x00, 0xFF, 0x00);
// The skin's see-through colour; nothing else in the skin is this colour.
inline const QColor kKey(0xFF, 0x00, 0xFF);
// Ground of the control column. The button faces are opaque rectangles, so
// their rounded corners are filled with it.
inline const QColor kPlate(0x0C, 0x12, 0x34);

// Width of the chrome rim round the window's outline.
inline constexpr int kRim = 7;

inline QFont SansBold(int pixels)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace skinart
