#include "skinart.h"

namespace skinart {

namespace {

// The close button's normal face is a JPEG, the others PNG pictures.
constexpr const char *kFaces[kButtonCount][3] = {
    {":/skin/close.jpg", ":/skin/close_up.png", ":/skin/close_down.png"},
    {":/skin/help.png", ":/skin/help_up.png", ":/skin/help_down.png"},
    {":/skin/about.png", ":/skin/about_up.png", ":/skin/about_down.png"},
    {":/skin/saveall.png", ":/skin/saveall_up.png", ":/skin/saveall_down.png"},
    {":/skin/saveicon.png", ":/skin/saveicon_up.png", ":/skin/saveicon_down.png"},
};

} // namespace

const char *ButtonFace(int button, Face face)
{
    const int f = static_cast<int>(face);
    if (button < 0 || button >= kButtonCount || f < 0 || f > 2)
        return nullptr;
    return kFaces[button][f];
}

const char *ButtonCaption(int button)
{
    constexpr const char *kCaptions[kButtonCount] = {"Close", "Help", "About", "Save all",
                                                     "Save icon"};
    if (button < 0 || button >= kButtonCount)
        return nullptr;
    return kCaptions[button];
}

const char *DialogGlyphFile(DialogGlyph glyph)
{
    switch (glyph) {
    case DialogGlyph::Exit:
        return ":/skin/glyph_exit.png";
    case DialogGlyph::Tick:
        return ":/skin/glyph_tick.png";
    case DialogGlyph::OpenFolder:
        return ":/skin/glyph_open.png";
    case DialogGlyph::ClosedFolder:
        return ":/skin/glyph_closed.png";
    }
    return nullptr;
}

} // namespace skinart
