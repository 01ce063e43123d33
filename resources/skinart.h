#pragma once

// The windows' skin artwork: where each picture lives among the program's
// embedded resources (listed in artwork.cmake), and the logo, which is drawn
// as vectors at whatever size it is shown.

#include "logo.h"

#include <QIcon>
#include <QString>

namespace skinart {

// Shape mask, 550 x 408 at 1 bit per pixel: white outside the window.
inline constexpr char kShapeMask[] = ":/skin/IF_SHAPE.bmp";
// Skin picture, 550 x 409 at 256 colours; the colour of its bottom-left
// pixel is see-through.
inline constexpr char kSkin[] = ":/skin/skin.png";
// Background tile, 128 x 128 true colour.
inline constexpr char kBackgroundTile[] = ":/skin/tile.bmp";
// Window icon as an icon file (32 x 32, 16 colours) and as a picture.
inline constexpr char kWindowIcon[] = ":/skin/rurorodode.ico";
inline constexpr char kWindowIconPicture[] = ":/skin/rurorodode.png";
// The program's icon. It is the application's, set at start: every window
// shows it, and the about box draws it beside the program's name.
inline QIcon ProgramIcon()
{
    return QIcon(QString::fromLatin1(kWindowIconPicture));
}
// The logo rendered at its own size, 128 x 39, for where a picture is needed.
inline constexpr char kLogoPicture[] = ":/skin/logo.png";

// The about window's artwork: the top picture (353 x 265 true colour, shown
// cropped), the stone tile "BACKGND" (100 x 100 true colour), and the glyphs
// of the system-facts button (32 x 32, 16 colours) and the close button
// (43 x 29 true colour).
inline constexpr char kAboutPicture[] = ":/skin/abouttop.png";
inline constexpr char kAboutTile[] = ":/skin/BACKGND.bmp";
inline constexpr char kFactsGlyph[] = ":/skin/factsglyph.png";
inline constexpr char kCloseGlyph[] = ":/skin/closeglyph.png";

enum class Face
{
    Normal,  // the button's Pic
    Hover,   // PicUp
    Pressed, // PicDown
};

inline constexpr int kButtonCount = 5;

// Face picture (86 x 24) of a picture button: 0 close, 1 help, 2 about,
// 3 save all, 4 save icon. nullptr for any other button.
const char *ButtonFace(int button, Face face);
// The caption drawn on the button's faces, which is also the name screen
// readers give it. nullptr for any other button.
const char *ButtonCaption(int button);

// The destination dialog's button glyphs, 16 x 16 with a transparent ground.
enum class DialogGlyph
{
    Exit,         // Close: a green sign reading EXIT in yellow
    Tick,         // Start: a green tick
    OpenFolder,   // Browse: an open yellow folder
    ClosedFolder, // New: a closed yellow folder
};

inline constexpr int kDialogGlyphCount = 4;

// Where the glyph lives among the embedded resources.
const char *DialogGlyphFile(DialogGlyph glyph);

} // namespace skinart
