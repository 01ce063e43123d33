#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace filefind {

class THFFile;

// The maker's home page, linked from the generator note and the footer.
inline constexpr std::string_view kGalleryHomePage = "https://www.example.com/vuderiru/";

// The page's path: Folder unchanged, then "/IconList_", the text after the
// last "/" of Folder (empty when Folder ends with "/") and ".html".
std::string GalleryPageName(const std::string &Folder);

// The lines of the gallery page for Folder showing Entries (full paths of
// bitmap files, the file system's bytes), without line ends. Names reach
// the page only as HTML-escaped text or as percent-encoded file: URLs, and
// everything beyond ASCII as character references (U+FFFD for a byte that
// is not UTF-8), so the page is plain ASCII whatever the names hold.
std::vector<std::string> GalleryPageLines(const std::string &Folder,
                                          const std::vector<std::string> &Entries);

// Points HFind at Folder, takes the bitmaps it finds and writes the page
// (every line ending in CR LF) into Folder through a temporary file, so that
// an existing page is replaced only by a whole one. With no bitmap found it
// calls ShowMessage with the reason and writes nothing. Returns whether a
// page was written; throws EFCreateError when the page cannot be written.
bool WriteGalleryPage(const std::string &D, THFFile &HFind,
                      const std::function<void(const std::string &)> &ShowMessage);

// The same for a folder alone, with a finder set up as the main window's:
// mask "*.BMP", [ffaAnyFile], no subfolders, no size, no date.
bool WriteFolderGallery(const std::string &Folder,
                        const std::function<void(const std::string &)> &ShowMessage);

} // namespace filefind
