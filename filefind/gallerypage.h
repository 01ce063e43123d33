#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace filefind {

class THFFile;

// The maker's home page, linked from the generator note and the footer.
extern const QString kGalleryHomePage;

// The page's path: Folder unchanged, then "/IconList_", the text after the
// last "/" of Folder (empty when Folder ends with "/") and ".html".
QString GalleryPageName(const QString &Folder);

// The lines of the gallery page for Folder showing Entries (full paths of
// bitmap files), without line ends. Names reach the page only as
// HTML-escaped text or as percent-encoded file: URLs, and everything beyond
// ASCII as character references, so the page is plain ASCII whatever the
// names hold.
QStringList GalleryPageLines(const QString &Folder, const QStringList &Entries);

// Points HFind at Folder, takes the bitmaps it finds and writes the page
// (every line ending in CR LF) into Folder through a temporary file, so that
// an existing page is replaced only by a whole one. With no bitmap found it
// calls ShowMessage with the reason and writes nothing. Returns whether a
// page was written; throws EFCreateError when the page cannot be written.
bool WriteGalleryPage(const QString &D, THFFile &HFind,
                      const std::function<void(const QString &)> &ShowMessage);

// The same for a folder alone, with a finder set up as the main window's:
// mask "*.BMP", [ffaAnyFile], no subfolders, no size, no date.
bool WriteFolderGallery(const QString &Folder,
                        const std::function<void(const QString &)> &ShowMessage);

} // namespace filefind
