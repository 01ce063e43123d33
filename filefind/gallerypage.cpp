#include "gallerypage.h"

#include "efcreateerror.h"
#include "hffile.h"
#include "nametext.h"
#include "platform/filewrite.h"

#include <cstdint>
#include <span>

#include <sys/stat.h>

namespace filefind {

namespace {

// Text for HTML, inside elements or quoted attributes. Characters beyond
// ASCII become references, so the page reads the same in any code page.
std::string Escaped(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (std::size_t at = 0; at < Text.size();) {
        const char32_t c = NextCharacter(Text, at);
        switch (c) {
        case U'&':
            out += "&amp;";
            break;
        case U'<':
            out += "&lt;";
            break;
        case U'>':
            out += "&gt;";
            break;
        case U'"':
            out += "&quot;";
            break;
        case U'\'':
            out += "&#39;";
            break;
        default:
            if (c < 0x20 || c > 0x7E)
                out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ';';
            else
                out += char(c);
        }
    }
    return out;
}

// A file: URL of the full path with every byte a URL cannot carry
// percent-encoded, ready for a quoted attribute. Bytes that are not UTF-8
// are encoded as they are, so the link leads to the very file.
std::string FileUrl(std::string_view Path)
{
    // A drive letter, should a name look like one, stays in the path.
    const bool drive = Path.size() > 1 && Path[1] == ':' && Path[0] != '/';
    std::string url = drive || Path.starts_with('/') ? "file://" : "file:";
    if (drive)
        url += '/';
    constexpr std::string_view kKept = "-._~!$&'()*+,;=:@/[]";
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : Path) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
            kKept.find(c) != std::string_view::npos) {
            url += c;
        } else {
            url += '%';
            url += kHex[b >> 4];
            url += kHex[b & 0x0F];
        }
    }
    return Escaped(url);
}

std::string CannotCreate(const std::string &Name)
{
    return "Cannot create file \"" + Name + "\"";
}

} // namespace

std::string GalleryPageName(const std::string &Folder)
{
    const std::size_t slash = Folder.rfind('/');
    const std::string last = slash == std::string::npos ? Folder : Folder.substr(slash + 1);
    return Folder + "/IconList_" + last + ".html";
}

std::vector<std::string> GalleryPageLines(const std::string &Folder,
                                          const std::vector<std::string> &Entries)
{
    const std::string home(kGalleryHomePage);
    std::vector<std::string> lines;
    lines.reserve(Entries.size() + 5);
    lines.push_back("<html><head><title>" + Escaped(Folder) +
                    "</title><meta name=\"generator\" content=\"List generated with Rurorodode - " +
                    home + "\"></head>");
    lines.push_back("<body text=\"#000000\" bgcolor=\"#FFFFFF\" link=\"#FF0000\" "
                    "alink=\"#FF0000\" vlink=\"#FF0000\">");
    lines.push_back("<body>");
    for (const std::string &entry : Entries) {
        const std::string url = FileUrl(entry);
        lines.push_back("<a href=\"" + url + "\" target=\"_blank\"><img src=\"" + url +
                        "\" width=\"50\" height=\"50\" border=\"0\" alt=\"" + Escaped(entry) +
                        "\"></a>");
    }
    lines.push_back("<div align=\"center\"><h3>Created with Rurorodode  - <a href=\"" + home +
                    "\" target=\"_blank\">Visit Vuderiru for Tools, Themes & "
                    "more</a><br><br></h3></div>");
    lines.push_back("</body></html>");
    return lines;
}

bool WriteGalleryPage(const std::string &D, THFFile &HFind,
                      const std::function<void(const std::string &)> &ShowMessage)
{
    HFind.SetPath(D);
    const std::vector<std::string> &entries = HFind.Find();
    if (entries.empty()) {
        if (ShowMessage)
            ShowMessage("I don't find *.bmp or *.jpg pictures in the gallery");
        return false;
    }
    std::string page;
    for (const std::string &line : GalleryPageLines(D, entries))
        page += line + "\r\n";

    const std::string name = GalleryPageName(D);
    // Whole or not at all, and on the disk before it is reported as written.
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t *>(page.data()),
                                              page.size());
    if (name.find('\0') != std::string::npos ||
        platform::WriteWholeFile(name, std::span(&bytes, 1)) != platform::WriteResult::Ok)
        throw EFCreateError(CannotCreate(name));
    return true;
}

bool WriteFolderGallery(const std::string &Folder,
                        const std::function<void(const std::string &)> &ShowMessage)
{
    // A missing folder would leave the finder in the current one; say at once
    // what saving the page there would say.
    struct stat info
    {
    };
    if (Folder.empty() || Folder.find('\0') != std::string::npos ||
        ::stat(Folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw EFCreateError(CannotCreate(GalleryPageName(Folder)));
    THFFile finder;
    finder.SetFileAttr({ffaAnyFile});
    finder.SetInSubFolders(false);
    finder.SetFileMask("*.BMP");
    finder.SetIncFileSize(false);
    finder.SetIncFileDate(false);
    return WriteGalleryPage(Folder, finder, ShowMessage);
}

} // namespace filefind
