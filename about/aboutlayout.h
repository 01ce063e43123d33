#pragma once

// Where the about window's controls sit: the one table the window builds
// from and its tests read. Places are in the parent's client pixels; the
// parent is the window except where a comment says otherwise.

#include "controlplaces.h"

#include <QPoint>
#include <QSize>

#include <array>

namespace about {

inline constexpr QSize kAboutClientSize(292, 378);
inline constexpr QPoint kAboutDesignPosition(321, 185);

inline constexpr std::array<skinart::ControlRect, 23> kAboutControls{{
    {"Image1", {0, 0, 292, 193}},          {"ProgramIcon2", {19, 20, 32, 32}},
    {"ProductName", {127, 32, 51, 19}},    {"LblVersion", {106, 53, 44, 15}},
    {"VersNo", {154, 53, 45, 16}},         {"ReleaseLbl", {82, 70, 43, 15}},
    {"Release", {129, 70, 43, 15}},        {"BuildL", {64, 92, 30, 15}},
    {"Build", {99, 91, 30, 15}},           {"LblCopyRight_Text", {41, 112, 55, 15}},
    {"LblCopyright", {105, 112, 11, 16}},  {"Copyright", {118, 112, 55, 15}},
    {"Bevel1", {5, 151, 279, 2}},          {"Panel2", {5, 159, 282, 131}},
    {"Panel1", {8, 5, 258, 123}},   // in Panel2
    {"Comments", {0, 0, 258, 350}}, // in Panel1, which shows a part of it
    {"Lblexplaindrag", {8, 291, 190, 14}}, {"LblTextURL", {7, 313, 288, 26}},
    {"LblHomepage", {8, 347, 108, 15}},    {"LblMail", {128, 347, 46, 15}},
    {"SpeedButton2", {184, 342, 49, 29}},  {"SpeedButton1", {238, 341, 45, 30}},
    {"Panel3", {238, 26, 50, 111}},
}};

inline QRect AboutPlaceOf(const char *name)
{
    return skinart::PlaceIn(kAboutControls, name);
}

// Once the window is active (FormActivate), Panel2 stands this far from the
// left edge, and Panel1 and Comments are Panel2's width less the margin:
// 264 wide with the places above. A collapsed Panel2 keeps them unseen.
inline constexpr int kCommentsPanelLeft = 4;
inline constexpr int kCommentsRightMargin = 18;

// The clock in Panel3: a column each for hours, minutes and seconds, a row
// for each bit weight from 1 down to 32, and a header over each column.
// kClockLabel gives the number of the label ("Label<n>") at each column
// and row; -1 where the hours have no 32.
inline constexpr int kClockColumns = 3;
inline constexpr int kClockRows = 6;
inline constexpr int kClockLabel[kClockColumns][kClockRows] = {
    {4, 3, 2, 1, 0, -1}, {15, 9, 8, 7, 6, 5}, {16, 14, 13, 12, 11, 10}};
inline constexpr int kClockLefts[kClockColumns] = {3, 19, 35};
inline constexpr int kClockHeaderLefts[kClockColumns] = {5, 20, 39};
inline constexpr int kClockHeaderLabel = 17; // Label17 ... Label19
inline constexpr QSize kClockCell(12, 15);

inline constexpr QRect ClockBitRect(int column, int row)
{
    return {kClockLefts[column], 15 + 16 * row, kClockCell.width(), kClockCell.height()};
}

inline constexpr QRect ClockHeaderRect(int column)
{
    return {kClockHeaderLefts[column], 0, kClockCell.width(), kClockCell.height()};
}

} // namespace about
