#pragma once

// Captions keep the places their windows give them. Where our faces draw a
// caption wider than its place, the caption's font is made smaller until it
// fits, instead of moving or widening the control.

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>

namespace skinart {

// Below this the text is no longer legible; it stays at this size.
inline constexpr int kSmallestCaptionPixels = 7;

// The font's height in pixels, whichever way it was given.
inline int FontPixels(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return qRound(font.pointSizeF() * 96.0 / 72.0);
}

// Whether text drawn in font fits room: on one line (its advance within the
// width), or word-wrapped in the width and within the height.
inline bool TextFits(const QFont &font, const QString &text, QSize room, bool wrap)
{
    const QFontMetrics metrics(font);
    if (!wrap)
        return metrics.horizontalAdvance(text) <= room.width();
    const QRect laid =
        metrics.boundingRect(QRect(0, 0, room.width(), 1 << 16), Qt::TextWordWrap, text);
    return laid.width() <= room.width() && laid.height() <= room.height();
}

// font, a pixel smaller at a time until the text fits room (the font itself
// when the text fits already).
inline QFont FitFont(QFont font, const QString &text, QSize room, bool wrap = false)
{
    int pixels = FontPixels(font);
    while (pixels > kSmallestCaptionPixels && !TextFits(font, text, room, wrap))
        font.setPixelSize(--pixels);
    return font;
}

} // namespace skinart
