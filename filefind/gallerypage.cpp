#include "gallerypage.h"

#include "efcreateerror.h"
#include "hffile.h"
#include "platform/filewrite.h"

#include <QFileInfo>
#include <QUrl>

#include <span>

namespace filefind {

namespace {

// Text for HTML, inside elements or quoted attributes. Characters beyond
// ASCII become references, so the page reads the same in any code page.
QString Escaped(const QString &Text)
{
    QString out;
    out.reserve(Text.size());
    for (const char32_t c : Text.toUcs4()) {
        switch (c) {
        case U'&':
            out += QLatin1String("&amp;");
            break;
        case U'<':
            out += QLatin1String("&lt;");
            break;
        case U'>':
            out += QLatin1String("&gt;");
            break;
        case U'"':
            out += QLatin1String("&quot;");
            break;
        case U'\'':
            out += QLatin1String("&#39;");
            break;
        default:
            if (c < 0x20 || c > 0x7E)
                out += QLatin1String("&#") + QString::number(c) + u';';
            else
                out += QChar(char16_t(c));
        }
    }
    return out;
}

// A file: URL of the full path with every character a URL cannot carry
// percent-encoded, ready for a quoted attribute.
QString FileUrl(const QString &Path)
{
    return Escaped(QUrl::fromLocalFile(Path).toString(QUrl::FullyEncoded));
}

} // namespace

const QString kGalleryHomePage = QStringLiteral("https://www.example.com/vuderiru/");

QString GalleryPageName(const QString &Folder)
{
    const QString last = Folder.mid(Folder.lastIndexOf(u'/') + 1);
    return Folder + QLatin1String("/IconList_") + last + QLatin1String(".html");
}

QStringList GalleryPageLines(const QString &Folder, const QStringList &Entries)
{
    QStringList lines;
    lines.reserve(Entries.size() + 5);
    lines.push_back(QLatin1String("<html><head><title>") + Escaped(Folder) +
                    QLatin1String("</title><meta name=\"generator\" content=\"List generated "
                                  "with Rurorodode - ") +
                    kGalleryHomePage + QLatin1String("\"></head>"));
    lines.push_back(QStringLiteral("<body text=\"#000000\" bgcolor=\"#FFFFFF\" link=\"#FF0000\" "
                                   "alink=\"#FF0000\" vlink=\"#FF0000\">"));
    lines.push_back(QStringLiteral("<body>"));
    for (const QString &entry : Entries) {
        const QString url = FileUrl(entry);
        lines.push_back(QLatin1String("<a href=\"") + url +
                        QLatin1String("\" target=\"_blank\"><img src=\"") + url +
                        QLatin1String("\" width=\"50\" height=\"50\" border=\"0\" alt=\"") +
                        Escaped(entry) + QLatin1String("\"></a>"));
    }
    lines.push_back(
        QLatin1String("<div align=\"center\"><h3>Created with Rurorodode  - <a href=\"") +
        kGalleryHomePage +
        QLatin1String("\" target=\"_blank\">Visit Vuderiru for Tools, Themes & "
                      "more</a><br><br></h3></div>"));
    lines.push_back(QStringLiteral("</body></html>"));
    return lines;
}

bool WriteGalleryPage(const QString &D, THFFile &HFind,
                      const std::function<void(const QString &)> &ShowMessage)
{
    HFind.SetPath(D);
    const QStringList entries = HFind.Find();
    if (entries.isEmpty()) {
        if (ShowMessage)
            ShowMessage(QStringLiteral("I don't find *.bmp or *.jpg pictures in the gallery"));
        return false;
    }
    QByteArray page;
    for (const QString &line : GalleryPageLines(D, entries))
        page += line.toLocal8Bit() + "\r\n";

    const QString name = GalleryPageName(D);
    // Whole or not at all, and on the disk before it is reported as written.
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t *>(page.constData()),
        static_cast<std::size_t>(page.size()));
    if (platform::WriteWholeFile(QFile::encodeName(name).toStdString(), std::span(&bytes, 1)) !=
        platform::WriteResult::Ok)
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\"").arg(name).toStdString());
    return true;
}

bool WriteFolderGallery(const QString &Folder,
                        const std::function<void(const QString &)> &ShowMessage)
{
    // A missing folder would leave the finder in the current one; say at once
    // what saving the page there would say.
    if (!QFileInfo(Folder).isDir())
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\"").arg(GalleryPageName(Folder)).toStdString());
    THFFile finder;
    finder.SetFileAttr({ffaAnyFile});
    finder.SetInSubFolders(false);
    finder.SetFileMask(QStringLiteral("*.BMP"));
    finder.SetIncFileSize(false);
    finder.SetIncFileDate(false);
    return WriteGalleryPage(Folder, finder, ShowMessage);
}

} // namespace filefind
