#pragma once

#include "controls/windowstyle.h"

#include <QColor>
#include <QFont>

namespace about {

// A font as the credits use it: the face, size and style together with the
// colour text is drawn in. Assigning one copies it; nothing is shared.
struct TFont
{
    QFont Font;
    QColor Color;

    bool operator==(const TFont &other) const { return Font == other.Font && Color == other.Color; }
};

// A colour value laid out 0x00BBGGRR, red in the low byte.
inline QColor ColorFromBGR(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// "Courier New" at 9 points in white: what the credits start with.
inline TFont DefaultCreditsFont()
{
    QFont font(QString::fromLatin1(controls::kMonoFace));
    font.setPointSize(9);
    return {font, controls::kWhite};
}

} // namespace about
