#include "filefind/hffile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace filefind;

// Readable failure output.
static void PrintTo(const QString &Text, std::ostream *Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

namespace {

void Touch(const QString &Path, qint64 Size = 0)
{
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Path.toStdString();
    ASSERT_TRUE(file.resize(Size));
}

// The finder takes and gives the file system's bytes; the tests build
// their paths with Qt.
std::string Bytes(const QString &Path)
{
    return QFile::encodeName(Path).toStdString();
}

QStringList Names(const std::vector<std::string> &Entries)
{
    QStringList out;
    for (const std::string &entry : Entries)
        out.push_back(QFile::decodeName(QByteArray::fromStdString(entry)));
    return out;
}

void MakeDir(const QString &Path)
{
    ASSERT_TRUE(QDir().mkpath(Path)) << Path.toStdString();
}

QStringList Prefixed(const QString &Folder, const QStringList &Names)
{
    QStringList out;
    for (const QString &name : Names)
        out.push_back(Folder + name);
    return out;
}

QStringList FindIn(const QString &Folder, const QString &Mask, TFileAttr Attr, bool Sub = false)
{
    THFFile finder;
    finder.SetPath(Bytes(Folder));
    finder.SetFileMask(Mask.toStdString());
    finder.SetFileAttr(Attr);
    finder.SetInSubFolders(Sub);
    return Names(finder.Find());
}

} // namespace

struct SplitRow
{
    const char *mask;
    QStringList patterns;
};

TEST(SplitMask, CutsAtEveryCharacterThatIsNotALetterStarOrDot)
{
    const std::vector<SplitRow> rows = {
        {"*.BMP", {"*.BMP"}},
        {"*.*", {"*.*"}},
        {"*.*;", {"*.*"}},
        {"*.*;*.bmp", {"*.*", "*.bmp"}},
        {"*.bmp;*.ico", {"*.bmp", "*.ico"}},
        {"*.bmp;*.ico;", {"*.bmp", "*.ico"}},
        {"*.bmp *.ico", {"*.bmp", "*.ico"}},
        {"*.bmp,*.ico", {"*.bmp", "*.ico"}},
        {"*.mp3", {"*.mp", ""}},
        {"a_b.bmp", {"a", "b.bmp"}},
        {"x-y.bmp", {"x", "y.bmp"}},
        {"?.bmp", {"", ".bmp"}},
        {"*.bmp;;*.ico", {"*.bmp", "", "*.ico"}},
        {"\xc3\xa9.bmp", {"", ".bmp"}},
        {"", {""}},
    };
    for (const SplitRow &row : rows)
        EXPECT_EQ(Names(THFFile::SplitMask(row.mask)), row.patterns) << row.mask;
}

TEST(THFFile, StartsInTheCurrentFolderWithNothingChosen)
{
    THFFile finder;
    EXPECT_EQ(finder.Path(), Bytes(QDir::currentPath() + u'/'));
    EXPECT_TRUE(finder.FileAttr().IsEmpty());
    EXPECT_FALSE(finder.InSubFolders());
    EXPECT_FALSE(finder.IncFileSize());
    EXPECT_FALSE(finder.IncFileDate());
    EXPECT_TRUE(finder.FileMask().empty());
    EXPECT_FALSE(finder.ListBox());
}

TEST(THFFile, SetPathTakesOnlyExistingFoldersAndAddsTheSeparator)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path();
    MakeDir(base + "/sub");
    Touch(base + "/file");

    THFFile finder;
    finder.SetPath(Bytes(base + "/sub"));
    EXPECT_EQ(finder.Path(), Bytes(base + "/sub/"));
    finder.SetPath(finder.Path());
    EXPECT_EQ(finder.Path(), Bytes(base + "/sub/"));
    for (const QString &ignored : {QString(), base + "/missing", base + "/file"}) {
        finder.SetPath(Bytes(ignored));
        EXPECT_EQ(finder.Path(), Bytes(base + "/sub/")) << ignored.toStdString();
    }
    finder.SetPath(Bytes(base + "/"));
    EXPECT_EQ(finder.Path(), Bytes(base + "/"));
}

TEST(THFFile, PropertiesAreReachableByName)
{
    THFFile finder;
    EXPECT_TRUE(finder.SetProperty("FileMask", std::string("*.BMP")));
    EXPECT_TRUE(finder.SetProperty("InSubFolders", true));
    EXPECT_TRUE(finder.SetProperty("FileAttr", TFileAttr{ffaAnyFile, ffaHidden}));
    EXPECT_EQ(finder.FileMask(), "*.BMP");
    EXPECT_TRUE(finder.InSubFolders());
    EXPECT_EQ(finder.FileAttr(), (TFileAttr{ffaHidden, ffaAnyFile}));
    EXPECT_EQ(std::get<TFileAttr>(finder.Property("FileAttr").value()).AttributeMask(), 63u);
}

struct AttrRow
{
    TFileAttr attr;
    QStringList names;
};

// Every kind of entry Linux has, each standing for one attribute kind.
TEST(THFFile, AttributeKindsSelectEntries)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + u'/';
    Touch(base + "plain.bmp");
    Touch(base + ".hidden.bmp");
    MakeDir(base + "dir.bmp");
    MakeDir(base + ".hdir.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(base + "pipe.bmp").constData(), 0644), 0);
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(base + "dangling.bmp").constData()), 0);
    ASSERT_EQ(::symlink("dir.bmp", QFile::encodeName(base + "linkdir.bmp").constData()), 0);

    const std::vector<AttrRow> rows = {
        {{}, {}},
        {{ffaVolumeID}, {}},
        {{ffaAnyFile},
         {".hdir.bmp", ".hidden.bmp", "dangling.bmp", "dir.bmp", "linkdir.bmp", "pipe.bmp",
          "plain.bmp"}},
        {{ffaArchive}, {"plain.bmp"}},
        {{ffaDirectory}, {"dir.bmp", "linkdir.bmp"}},
        {{ffaHidden}, {".hidden.bmp"}},
        {{ffaSysFile}, {"dangling.bmp", "pipe.bmp"}},
        {{ffaArchive, ffaHidden}, {".hidden.bmp", "plain.bmp"}},
        {{ffaDirectory, ffaHidden}, {".hdir.bmp", ".hidden.bmp", "dir.bmp", "linkdir.bmp"}},
    };
    for (const AttrRow &row : rows)
        EXPECT_EQ(FindIn(base, "*.*", row.attr), Prefixed(base, row.names))
            << "attribute set " << int(row.attr.Bits());
}

// Read-only means the running user may not write the file. Root may write
// anything, so as root the check runs in a child that has become "nobody".
TEST(THFFile, ReadOnlyIsWhatTheUserMayNotWrite)
{
    char templ[] = "/tmp/hffile-ro-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    const QString base = QString::fromLocal8Bit(templ) + u'/';
    Touch(base + "r.bmp");
    Touch(base + "w.bmp");
    ASSERT_EQ(::chmod(templ, 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(base + "r.bmp").constData(), 0444), 0);
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    if (root) {
        for (const QString &p : {base + "r.bmp", base + "w.bmp"})
            ASSERT_EQ(::chown(QFile::encodeName(p).constData(), kNobody, kNobody), 0);
    }

    const auto check = [&]() -> std::string {
        std::string faults;
        const QStringList readOnly = FindIn(base, "*.bmp", {ffaReadOnly});
        if (readOnly != QStringList{base + "r.bmp"})
            faults += "read-only: " + readOnly.join(u',').toStdString() + "\n";
        const QStringList archive = FindIn(base, "*.bmp", {ffaArchive});
        if (archive != QStringList{base + "r.bmp", base + "w.bmp"})
            faults += "archive: " + archive.join(u',').toStdString() + "\n";
        return faults;
    };

    if (!root) {
        EXPECT_EQ(check(), "");
    } else {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(3);
            const std::string faults = check();
            std::fputs(faults.c_str(), stderr);
            ::_exit(faults.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "child status " << status << " (3: could not become nobody)";
        // Root itself may write r.bmp, so for root it is not read-only.
        EXPECT_EQ(FindIn(base, "*.bmp", {ffaReadOnly}), QStringList{});
    }
    QDir(base).removeRecursively();
}

TEST(THFFile, WalksDepthFirstWithAFoldersFilesBeforeItsSubfolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.path() + "/A/";
    MakeDir(a + "S1/T");
    MakeDir(a + "S2");
    MakeDir(a + ".H");
    Touch(a + "x.bmp");
    Touch(a + "S1/y.bmp");
    Touch(a + "S1/T/z.bmp");
    Touch(a + "S2/w.bmp");
    Touch(a + ".H/h.bmp");
    // A link back up would loop for ever if it were entered.
    ASSERT_EQ(::symlink("..", QFile::encodeName(a + "S2/up").constData()), 0);

    const QStringList expected = {a + "x.bmp", a + "S1/y.bmp", a + "S1/T/z.bmp", a + "S2/w.bmp"};
    EXPECT_EQ(FindIn(a, "*.bmp", {ffaArchive}, true), expected);
    EXPECT_EQ(FindIn(a, "*.bmp", {ffaAnyFile}, true), expected);
    EXPECT_EQ(FindIn(a, "*.bmp", {ffaArchive}, false), QStringList{a + "x.bmp"});
    // Pattern by pattern within each folder.
    EXPECT_EQ(FindIn(a, "y.bmp;x.bmp", {ffaArchive}, true),
              (QStringList{a + "x.bmp", a + "S1/y.bmp"}));
}

TEST(THFFile, MatchesWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + u'/';
    for (const char *name : {"a.BMP", "b.bmp", "c.Bmp", "d.txt", "noext", "x.mp", "x.mp3"})
        Touch(base + name);
    const TFileAttr any{ffaAnyFile};
    EXPECT_EQ(FindIn(base, "*.bmp", any), Prefixed(base, {"a.BMP", "b.bmp", "c.Bmp"}));
    EXPECT_EQ(FindIn(base, "*.BMP;*.bmp", any),
              Prefixed(base, {"a.BMP", "b.bmp", "c.Bmp", "a.BMP", "b.bmp", "c.Bmp"}));
    EXPECT_EQ(FindIn(base, "*.*", any),
              Prefixed(base, {"a.BMP", "b.bmp", "c.Bmp", "d.txt", "noext", "x.mp", "x.mp3"}));
    EXPECT_EQ(FindIn(base, "B*", any), Prefixed(base, {"b.bmp"}));
    // The digit cuts the pattern to "*.mp".
    EXPECT_EQ(FindIn(base, "*.mp3", any), Prefixed(base, {"x.mp"}));
    EXPECT_EQ(FindIn(base, "*.ico", any), QStringList{});
}

struct EntryRow
{
    bool size;
    bool date;
    const char *tail;
};

TEST(THFFile, AppendsSizeAndDateWhenAsked)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + u'/';
    Touch(base + "a.bmp", 1234);
    // An odd second: the entry shows the even second before it.
    const QDateTime when(QDate(2026, 12, 7), QTime(6, 10, 15), Qt::LocalTime);
    const struct timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(base + "a.bmp").constData(), times, 0), 0);

    const std::vector<EntryRow> rows = {
        {false, false, ""},
        {true, false, ",1234 bytes "},
        {false, true, ",07-12-2026  06-10-14"},
        {true, true, ",1234 bytes ,07-12-2026  06-10-14"},
    };
    for (const EntryRow &row : rows) {
        THFFile finder;
        finder.SetPath(Bytes(base));
        finder.SetFileMask("*.BMP");
        finder.SetFileAttr({ffaAnyFile});
        finder.SetIncFileSize(row.size);
        finder.SetIncFileDate(row.date);
        EXPECT_EQ(Names(finder.Find()), QStringList{base + "a.bmp" + row.tail}) << row.tail;
    }
}

TEST(THFFile, SizeIsTheLowThirtyTwoBitsSigned)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + u'/';
    Touch(base + "big.bmp", 0x80000001LL);
    Touch(base + "huge.bmp", 0x100000005LL);
    THFFile finder;
    finder.SetPath(Bytes(base));
    finder.SetFileMask("*.*");
    finder.SetFileAttr({ffaArchive});
    finder.SetIncFileSize(true);
    EXPECT_EQ(Names(finder.Find()),
              (QStringList{base + "big.bmp,-2147483647 bytes ", base + "huge.bmp,5 bytes "}));
}

TEST(THFFile, FindFillsTheListBoxAndKeepsItsOwnList)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + u'/';
    THFFile finder;
    finder.SetPath(Bytes(base));
    finder.SetFileMask("*.BMP");
    finder.SetFileAttr({ffaAnyFile});
    QStringList box{"stale"};
    int calls = 0;
    finder.SetListBox([&](const std::vector<std::string> &items) {
        box = Names(items);
        ++calls;
    });

    const std::vector<std::string> &empty = finder.Find();
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(box, QStringList{});
    EXPECT_EQ(calls, 1);

    Touch(base + "one.bmp");
    const std::vector<std::string> &found = finder.Find();
    EXPECT_EQ(&found, &empty) << "the finder hands out its own list";
    EXPECT_EQ(Names(found), QStringList{base + "one.bmp"});
    EXPECT_EQ(box, Names(found));
    EXPECT_EQ(calls, 2);

    finder.SetListBox({});
    Touch(base + "two.bmp");
    EXPECT_EQ(finder.Find().size(), 2u);
    EXPECT_EQ(box, QStringList{base + "one.bmp"});
}
