#include "filefind/efcreateerror.h"
#include "filefind/gallerypage.h"
#include "filefind/hffile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

using namespace filefind;

// Readable failure output.
static void PrintTo(const QString &Text, std::ostream *Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

namespace {

void Touch(const QString &Path)
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Path.toStdString();
    file.write("BM");
}

// The page's functions take and give the file system's bytes; the tests
// build their paths with Qt.
std::string Bytes(const QString &Path)
{
    return QFile::encodeName(Path).toStdString();
}

QString Text(const std::string &Bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(Bytes));
}

QStringList Lines(const std::vector<std::string> &Lines)
{
    QStringList out;
    for (const std::string &line : Lines)
        out.push_back(Text(line));
    return out;
}

std::vector<std::string> Paths(const QStringList &Paths)
{
    std::vector<std::string> out;
    for (const QString &path : Paths)
        out.push_back(Bytes(path));
    return out;
}

QByteArray ReadAll(const QString &Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The main window's finder as its form sets it up.
void SetUpLikeTheForm(THFFile &Finder)
{
    Finder.SetFileAttr({ffaAnyFile});
    Finder.SetInSubFolders(false);
    Finder.SetFileMask("*.BMP");
    Finder.SetIncFileSize(false);
    Finder.SetIncFileDate(false);
}

struct Messages
{
    QStringList shown;
    std::function<void(const std::string &)> Sink()
    {
        return [this](const std::string &m) { shown.push_back(Text(m)); };
    }
};

const QString kNoBitmap = QStringLiteral("I don't find *.bmp or *.jpg pictures in the gallery");

} // namespace

TEST(GalleryPageName, IsTheFolderThenIconListAndItsLastComponent)
{
    const std::vector<std::pair<QString, QString>> rows = {
        {"/out", "/out/IconList_out.html"},
        {"/home/me/My Icons", "/home/me/My Icons/IconList_My Icons.html"},
        {"/out/", "/out//IconList_.html"},
        {"/", "//IconList_.html"},
        {"rel", "rel/IconList_rel.html"},
    };
    for (const auto &[folder, page] : rows)
        EXPECT_EQ(Text(GalleryPageName(Bytes(folder))), page) << folder.toStdString();
}

TEST(GalleryPageLines, PlainFolder)
{
    const QStringList lines =
        Lines(GalleryPageLines("/out", {"/out/notepad0.bmp", "/out/notepad1.bmp"}));
    const QStringList expected = {
        "<html><head><title>/out</title><meta name=\"generator\" content=\"List generated with "
        "Rurorodode - https://www.example.com/vuderiru/\"></head>",
        "<body text=\"#000000\" bgcolor=\"#FFFFFF\" link=\"#FF0000\" alink=\"#FF0000\" "
        "vlink=\"#FF0000\">",
        "<body>",
        "<a href=\"file:///out/notepad0.bmp\" target=\"_blank\"><img "
        "src=\"file:///out/notepad0.bmp\" width=\"50\" height=\"50\" border=\"0\" "
        "alt=\"/out/notepad0.bmp\"></a>",
        "<a href=\"file:///out/notepad1.bmp\" target=\"_blank\"><img "
        "src=\"file:///out/notepad1.bmp\" width=\"50\" height=\"50\" border=\"0\" "
        "alt=\"/out/notepad1.bmp\"></a>",
        "<div align=\"center\"><h3>Created with Rurorodode  - <a "
        "href=\"https://www.example.com/vuderiru/\" target=\"_blank\">Visit Vuderiru for Tools, "
        "Themes & more</a><br><br></h3></div>",
        "</body></html>",
    };
    EXPECT_EQ(lines, expected);
}

TEST(GalleryPageLines, NamesNeverBecomeMarkup)
{
    const QString folder = QString::fromUtf8("/p&q<r>\"s'\xc3\xa9");
    const QString entry = folder + QString::fromUtf8("/a b#c%41?d.bmp");
    const QStringList lines = Lines(GalleryPageLines(Bytes(folder), {Bytes(entry)}));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "<html><head><title>/p&amp;q&lt;r&gt;&quot;s&#39;&#233;</title><meta "
                        "name=\"generator\" content=\"List generated with Rurorodode - "
                        "https://www.example.com/vuderiru/\"></head>");
    const QString url = "file:///p&amp;q%3Cr%3E%22s&#39;%C3%A9/a%20b%23c%2541%3Fd.bmp";
    EXPECT_EQ(lines[3], "<a href=\"" + url + "\" target=\"_blank\"><img src=\"" + url +
                            "\" width=\"50\" height=\"50\" border=\"0\" "
                            "alt=\"/p&amp;q&lt;r&gt;&quot;s&#39;&#233;/a b#c%41?d.bmp\"></a>");
    for (const QString &line : lines)
        for (const QChar c : line)
            EXPECT_LT(c.unicode(), 0x80) << "the page stays ASCII";
}

TEST(WriteGalleryPage, WritesEveryBitmapOfTheFolderWithCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path() + "/out";
    ASSERT_TRUE(QDir().mkpath(d));
    Touch(d + "/notepad0.bmp");
    Touch(d + "/notepad1.BMP");
    Touch(d + "/readme.txt");

    THFFile finder;
    SetUpLikeTheForm(finder);
    Messages messages;
    ASSERT_TRUE(WriteGalleryPage(Bytes(d), finder, messages.Sink()));
    EXPECT_TRUE(messages.shown.isEmpty());

    const QStringList lines =
        Lines(GalleryPageLines(Bytes(d), Paths({d + "/notepad0.bmp", d + "/notepad1.BMP"})));
    ASSERT_EQ(lines.size(), 7);
    const QByteArray expected = (lines.join("\r\n") + "\r\n").toUtf8();
    EXPECT_EQ(ReadAll(d + "/IconList_out.html"), expected);
    EXPECT_EQ(Text(finder.Path()), d + u'/');

    // Written again it replaces the page whole and leaves nothing beside it.
    Touch(d + "/notepad2.bmp");
    ASSERT_TRUE(WriteGalleryPage(Bytes(d), finder, messages.Sink()));
    EXPECT_TRUE(ReadAll(d + "/IconList_out.html").contains("notepad2.bmp"));
    EXPECT_EQ(QDir(d).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"IconList_out.html", "notepad0.bmp", "notepad1.BMP", "notepad2.bmp",
                           "readme.txt"}));
}

TEST(WriteGalleryPage, FolderWithoutBitmapsGetsTheMessageAndNoPage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.path() + "/readme.txt");
    THFFile finder;
    SetUpLikeTheForm(finder);
    Messages messages;
    EXPECT_FALSE(WriteGalleryPage(Bytes(dir.path()), finder, messages.Sink()));
    EXPECT_EQ(messages.shown, QStringList{kNoBitmap});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"readme.txt"});
}

TEST(WriteGalleryPage, FolderEndingInTheSeparatorGivesIconListHtml)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path() + u'/';
    Touch(d + "a.bmp");
    THFFile finder;
    SetUpLikeTheForm(finder);
    ASSERT_TRUE(WriteGalleryPage(Bytes(d), finder, {}));
    const QByteArray page = ReadAll(d + "IconList_.html");
    EXPECT_TRUE(page.startsWith(("<html><head><title>" + d + "</title>").toUtf8()));
    EXPECT_TRUE(page.contains(("alt=\"" + d + "a.bmp\"").toUtf8()));
}

TEST(WriteGalleryPage, HostileFolderNameIsEscaped)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path() + "/a&b<c";
    ASSERT_TRUE(QDir().mkpath(d));
    Touch(d + "/x.bmp");
    THFFile finder;
    SetUpLikeTheForm(finder);
    ASSERT_TRUE(WriteGalleryPage(Bytes(d), finder, {}));
    const QByteArray page = ReadAll(d + "/IconList_a&b<c.html");
    ASSERT_FALSE(page.isEmpty());
    const QByteArray escaped = QString(d).replace("&", "&amp;").replace("<", "&lt;").toUtf8();
    EXPECT_TRUE(page.contains("<title>" + escaped + "</title>"));
    EXPECT_TRUE(page.contains("alt=\"" + escaped + "/x.bmp\""));
    EXPECT_FALSE(page.contains("a&b")) << page.constData();
    EXPECT_FALSE(page.contains("b<c")) << page.constData();
}

TEST(WriteGalleryPage, PageThatCannotBeCreatedThrows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.path() + "/old.bmp");
    THFFile finder;
    SetUpLikeTheForm(finder);
    finder.SetPath(Bytes(dir.path()));
    // The finder keeps its folder for a missing one; the page cannot go there.
    const QString missing = dir.path() + "/gone";
    try {
        WriteGalleryPage(Bytes(missing), finder, {});
        FAIL() << "no exception";
    } catch (const EFCreateError &e) {
        EXPECT_EQ(std::string(e.what()),
                  ("Cannot create file \"" + missing + "/IconList_gone.html\"").toStdString());
    }
    EXPECT_EQ(Text(finder.Path()), dir.path() + u'/');
}

TEST(WriteFolderGallery, WritesTheSamePageAsTheWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    Touch(d + "/b.bmp");
    Touch(d + "/A.Bmp");
    Messages messages;
    ASSERT_TRUE(WriteFolderGallery(Bytes(d), messages.Sink()));
    const QString name = Text(GalleryPageName(Bytes(d)));
    const QByteArray page = ReadAll(name);
    THFFile finder;
    SetUpLikeTheForm(finder);
    ASSERT_TRUE(WriteGalleryPage(Bytes(d), finder, messages.Sink()));
    EXPECT_EQ(ReadAll(name), page);
    EXPECT_TRUE(page.contains("A.Bmp\"></a>\r\n<a href=\"file://"));

    QDir(d).remove(name);
    for (const QString &f : {QString("/b.bmp"), QString("/A.Bmp")})
        QDir(d).remove(d + f);
    EXPECT_FALSE(WriteFolderGallery(Bytes(d), messages.Sink()));
    EXPECT_EQ(messages.shown, QStringList{kNoBitmap});
    EXPECT_THROW(WriteFolderGallery(Bytes(d + "/gone"), {}), EFCreateError);
}
