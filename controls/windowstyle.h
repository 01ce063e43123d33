#pragma once

// How the program's windows dress their controls: the skin's colours and
// the faces they name, the colours they give a control, where a control
// sits and where it keeps its hint. Every window, the artwork generator and
// every test that draws one go through these, so a face or a colour is
// typed in one place.

#include <QColor>
#include <QFont>
#include <QString>

class QRect;
class QWidget;

namespace controls {

// The skin's colours.
inline const QColor kGray(0x80, 0x80, 0x80);
inline const QColor kAqua(0x00, 0xFF, 0xFF);
inline const QColor kNavy(0x00, 0x00, 0x80);
inline const QColor kSilver(0xC0, 0xC0, 0xC0);
inline const QColor kLime(0x00, 0xFF, 0x00);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);
inline const QColor kBlack(0x00, 0x00, 0x00);
inline const QColor kBlue(0x00, 0x00, 0xFF);
inline const QColor kTeal(0x00, 0x80, 0x80);
inline const QColor kGreen(0x00, 0x80, 0x00);
// A disabled caption on the gray face: dimmed, still legible.
inline const QColor kDimmed(0x5F, 0x7F, 0x8F);
// The skin picture's see-through colour; nothing else in the skin is this
// colour.
inline const QColor kKey(0xFF, 0x00, 0xFF);
// Ground of the control column. The button faces are opaque rectangles, so
// their rounded corners are filled with it; the destination dialog shows it
// until its tile arrives.
inline const QColor kPlate(0x0C, 0x12, 0x34);

// Names widget name and puts it at place, its place in its window's table.
void Place(QWidget *widget, const char *name, const QRect &place);
// The same, with the place looked up by placeOf, a window's table lookup
// (such as skinart::ControlRectOf).
void Place(QWidget *widget, const char *name, QRect (*placeOf)(const char *));

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
// The about box's: the version number's heavy serif and the copyright
// sign's face, each falling back to the serif.
inline constexpr char kSerifExtraBoldFace[] = "Times New Roman MT Extra Bold";
inline constexpr char kSymbolFace[] = "Symbol";
// The faces a Linux machine has in their place. The artwork names the sans
// one itself: its generator substitutes nothing.
inline constexpr char kSansSubstitute[] = "Liberation Sans";
inline constexpr char kSerifSubstitute[] = "Liberation Serif";
inline constexpr char kMonoSubstitute[] = "Liberation Mono";
void SubstituteFonts();

// family at a height in pixels (the designs give pixel heights, so the
// screen's resolution does not change them).
QFont PixelFont(const QString &family, int pixels, bool bold);
// The sans face at a height in pixels.
QFont SansFont(int pixels, bool bold);
// The serif face at a height in pixels.
QFont SerifFont(int pixels, bool bold);
// The artwork's captions: the sans face's substitute, bold.
QFont ArtworkSansBold(int pixels);

// Paints widget's ground (window, base and button) in ground and its text
// in text; fill makes the widget paint its ground, else what is behind it
// shows through.
void SetColours(QWidget *widget, const QColor &ground, const QColor &text, bool fill = true);
// Only the window ground; fill as for SetColours.
void SetGround(QWidget *widget, const QColor &ground, bool fill = true);
// Only the window text.
void SetTextColour(QWidget *widget, const QColor &text);
// The window text, and another one while the widget is disabled.
void SetTextColours(QWidget *widget, const QColor &text, const QColor &disabled);
// What a selected item is painted in.
void SetHighlightColours(QWidget *widget, const QColor &ground, const QColor &text);

} // namespace controls
