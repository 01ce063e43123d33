# The pictures makeskin draws, relative to this folder: the one list of them.
# The skin pictures are embedded in the program (resources/CMakeLists.txt),
# the theme icons installed for the desktop (dist/); the artwork check
# (tools/makeskin) compares each with what makeskin draws today.
set(RURORODODE_SKIN_PICTURES
    skin/IF_SHAPE.bmp
    skin/skin.png
    skin/tile.bmp
    skin/logo.png
    skin/rurorodode.ico
    skin/rurorodode.png
    skin/close.jpg
    skin/close_up.png
    skin/close_down.png
    skin/help.png
    skin/help_up.png
    skin/help_down.png
    skin/about.png
    skin/about_up.png
    skin/about_down.png
    skin/saveall.png
    skin/saveall_up.png
    skin/saveall_down.png
    skin/saveicon.png
    skin/saveicon_up.png
    skin/saveicon_down.png
    skin/glyph_exit.png
    skin/glyph_tick.png
    skin/glyph_open.png
    skin/glyph_closed.png
    skin/abouttop.png
    skin/BACKGND.bmp
    skin/factsglyph.png
    skin/closeglyph.png
)
set(RURORODODE_THEME_ICON_SIZES 16 32 48 64 128 256)
set(RURORODODE_THEME_ICONS)
foreach(size IN LISTS RURORODODE_THEME_ICON_SIZES)
    list(APPEND RURORODODE_THEME_ICONS icons/hicolor/${size}x${size}/apps/rurorodode.png)
endforeach()
