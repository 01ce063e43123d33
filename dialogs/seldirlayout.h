#pragma once

// Where the destination dialog's controls sit, in client pixels: the one
// table the dialog builds from and its tests read.

#include "controlplaces.h"
#include "iconwriter/saveformats.h"

#include <QPoint>
#include <QSize>

#include <array>

namespace dialogs {

// The Save-as group: each item's height (77 pixels held the first three),
// and the width up to the gallery box. The group grows downward by an item
// for each format beyond the first three, and the dialog with it once the
// room below the group (an item's height) is taken; every other control
// keeps its place.
inline constexpr int kSaveAsItemHeight = 20;
inline constexpr int kSaveAsWidth = 89;
inline constexpr int kSaveAsExtraItems = static_cast<int>(iconwriter::kSaveFormatCount) - 3;

inline constexpr QSize kSelDirClientSize(484, 179 + (kSaveAsExtraItems - 1) * kSaveAsItemHeight);
inline constexpr QPoint kSelDirDesignPosition(345, 153);

inline constexpr std::array<skinart::ControlRect, 11> kSelDirControls{{
    {"BtnCancel", {409, 132, 65, 25}},
    {"BtnOk", {409, 98, 65, 25}},
    {"BtnSelDir", {408, 28, 65, 26}},
    {"BtnNewDir", {408, 64, 65, 26}},
    {"Label1", {291, 51, 111, 13}},
    {"Label2", {145, 15, 256, 13}},
    {"Label3", {136, 120, 247, 13}},
    {"RadioGroup1", {24, 60, kSaveAsWidth, 77 + kSaveAsExtraItems *kSaveAsItemHeight}},
    {"Panel1", {24, 32, 377, 18}},
    {"Edit1", {295, 68, 105, 18}},
    {"CbxHTML", {113, 115, 16, 17}},
}};

inline QRect SelDirPlaceOf(const char *name)
{
    return skinart::PlaceIn(kSelDirControls, name);
}

} // namespace dialogs
