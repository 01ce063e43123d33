#pragma once

// Where the main window's controls sit, in client pixels. The window places
// its controls from this table, the artwork is drawn around them, and the
// shape must hold every one of them.

#include "controlplaces.h"

#include <QRect>
#include <QSize>

#include <array>

namespace skinart {

inline constexpr QSize kShapeSize(550, 408);
inline constexpr QSize kSkinSize(550, 409);
inline constexpr QSize kWindowSize(719, 528);
inline constexpr QSize kWindowMinimumSize(492, 369);
// Width of the chrome rim round the window's outline.
inline constexpr int kRim = 7;
inline constexpr int kTileSize = 128;
inline constexpr QSize kFaceSize(86, 24);
inline constexpr QSize kIconSize(32, 32);

// Every visible control with a place of its own; children of a panel are
// covered by their panel. The skin picture itself is left out: it spans the
// whole face and the shape cuts it. The status line grows with its text;
// 400 pixels hold the longest hint.
inline constexpr std::array<ControlRect, 21> kControls{{
    {"Image4", {160, 198, 137, 113}},  {"Label2", {327, 312, 104, 13}},
    {"Gauge2", {172, 328, 113, 16}},   {"Gauge1", {20, 328, 113, 16}},
    {"Label4", {18, 313, 102, 13}},    {"Label3", {168, 313, 96, 13}},
    {"Image3", {21, 15, 128, 39}},     {"Label5", {30, 378, 400, 13}},
    {"Bevel1", {442, 312, 82, 67}},    {"Image1", {464, 320, 41, 41}},
    {"Label1", {441, 290, 71, 13}},    {"Label6", {441, 217, 68, 13}},
    {"ImgBtn1", {440, 184, 89, 25}},   {"ImgBtn2", {440, 156, 89, 25}},
    {"ImgBtn3", {440, 128, 89, 25}},   {"ImgBtn4", {440, 100, 89, 25}},
    {"ImgBtn5", {440, 72, 89, 25}},    {"Panel7", {16, 55, 409, 250}},
    {"SpinEdit1", {388, 333, 45, 22}}, {"FilterComboBox1", {221, 32, 204, 21}},
    {"Panel1", {441, 235, 81, 46}},
}};

// The place of the named control; throws std::invalid_argument for a name
// not in kControls.
inline QRect ControlRectOf(const char *name)
{
    return PlaceIn(kControls, name);
}

// The skin picture covers the whole face and a little more; the shape cuts
// it.
inline constexpr QRect kSkinPictureRect(0, 0, 553, 409);

// The colour depth's radio buttons, in Panel1's pixels.
inline constexpr std::array<ControlRect, 2> kColourDepthControls{{
    {"RadioButton1", {4, 6, 70, 17}},
    {"RadioButton2", {4, 24, 68, 17}},
}};

// Button faces top to bottom are ImgBtn5 ... ImgBtn1; button b of
// skinart::ButtonFace is ImgBtn(b + 1).
inline constexpr QRect ButtonRect(int button)
{
    return {440, 184 - 28 * button, 89, 25};
}

} // namespace skinart
