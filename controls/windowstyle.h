#pragma once

// How the program's windows dress their controls: the faces they name, the
// colours they give a control, and where a control keeps its hint. Every
// window (and every test that draws one) goes through these, so a face or a
// colour rule is changed in one place.

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace controls {

// The dynamic property that holds a control's hint ("short|long" or plain
// text).
inline constexpr char kHintProperty[] = "hint";

// Stores hint as widget's hint; what the status line shows of it is also
// the widget's description for screen readers.
void SetHint(QWidget *widget, const QString &hint);
// What the status line shows of a hint: the part after the first "|", the
// whole hint when there is none.
QString LongHint(const QString &hint);
// The hint widget holds itself; empty for none.
QString HintOf(const QWidget *widget);

// The faces the windows are designed with. A Linux machine has none of
// them, so SubstituteFonts maps each to the metric-compatible Liberation
// face; the program does it once at start, before any window is made.
inline constexpr char kSansFace[] = "MS Sans Serif";
inline constexpr char kSerifFace[] = "Times New Roman";
inline constexpr char kMonoFace[] = "Courier New";
void SubstituteFonts();

// family at a height in pixels (the designs give pixel heights, so the
// screen's resolution does not change them).
QFont PixelFont(const QString &family, int pixels, bool bold);
// The sans face at a height in pixels.
QFont SansFont(int pixels, bool bold);
// The serif face at a height in pixels.
QFont SerifFont(int pixels, bool bold);

// Paints widget's ground (window, base and button) in ground and its text
// in text; fill makes the widget paint its ground, else what is behind it
// shows through.
void SetColours(QWidget *widget, const QColor &ground, const QColor &text, bool fill = true);
// Only the window ground, filled.
void SetGround(QWidget *widget, const QColor &ground);
// Only the window text.
void SetTextColour(QWidget *widget, const QColor &text);

} // namespace controls
