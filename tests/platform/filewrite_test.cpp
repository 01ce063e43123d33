#include "platform/filewrite.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::WriteResult;

namespace {

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

WriteResult Save(const fs::path &path, const std::string &text)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t *>(text.data()),
                                              text.size());
    return platform::WriteWholeFile(path.string(), std::span(&bytes, 1));
}

std::vector<std::string> Entries(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Describe(WriteResult result)
{
    switch (result) {
    case WriteResult::Ok:
        return "Ok";
    case WriteResult::CreateFailed:
        return "CreateFailed";
    case WriteResult::WriteFailed:
        return "WriteFailed";
    }
    return "?";
}

// A fresh folder that "nobody" may enter, removed at the end.
class FileWrite : public testing::Test
{
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/rurorodode-filewrite-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        Folder = templ;
        fs::permissions(Folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    }
    void TearDown() override
    {
        std::error_code ec;
        for (const auto &e : fs::recursive_directory_iterator(Folder, ec))
            if (e.is_directory(ec) && !e.is_symlink(ec))
                fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(Folder, ec);
    }
    // A folder under Folder that the checking user may write.
    fs::path UserFolder(const std::string &name)
    {
        const fs::path folder = Folder / name;
        fs::create_directories(folder);
        if (fixtures::RunsAsNobody()) {
            EXPECT_EQ(::chown(folder.c_str(), fixtures::kNobody, fixtures::kNobody), 0);
        }
        return folder;
    }
    fs::path Folder;
};

} // namespace

// A link is written through: the file it names gets the bytes, the link
// stays a link, and nothing else is left in either folder.
TEST_F(FileWrite, LinksAreWrittenThrough)
{
    fs::create_directories(Folder / "links");
    fs::create_directories(Folder / "files");
    struct Row
    {
        const char *why;
        std::vector<std::pair<std::string, std::string>> links; // link, what it names
        std::string target;                                     // the file that ends up written
        bool targetExists;
    };
    const std::string files = (Folder / "files").string();
    const std::vector<Row> rows = {
        {"absolute link", {{"links/abs.ico", files + "/abs.ico"}}, "files/abs.ico", true},
        {"relative link into another folder",
         {{"links/rel.ico", "../files/rel.ico"}},
         "files/rel.ico",
         true},
        {"link beside its file",
         {{"files/near.ico", "near-target.ico"}},
         "files/near-target.ico",
         true},
        {"chain of three links",
         {{"links/c1", "c2"}, {"links/c2", "../files/c3"}, {"files/c3", "chained.ico"}},
         "files/chained.ico",
         true},
        {"link to a missing file makes that file",
         {{"links/dangling.ico", "../files/made.ico"}},
         "files/made.ico",
         false},
    };
    for (const Row &row : rows) {
        if (row.targetExists)
            WriteText(Folder / row.target, "old bytes, longer than the new ones");
        for (const auto &[link, named] : row.links)
            fs::create_symlink(named, Folder / link);
        const fs::path first = Folder / row.links.front().first;
        EXPECT_EQ(Describe(Save(first, "new")), "Ok") << row.why;
        EXPECT_EQ(ReadText(Folder / row.target), "new") << row.why;
        for (const auto &[link, named] : row.links) {
            EXPECT_TRUE(fs::is_symlink(Folder / link)) << row.why << ": " << link;
            EXPECT_EQ(fs::read_symlink(Folder / link).string(), named) << row.why;
        }
    }
    EXPECT_EQ(Entries(Folder / "links"),
              (std::vector<std::string>{"abs.ico", "c1", "c2", "dangling.ico", "rel.ico"}));
    EXPECT_EQ(Entries(Folder / "files"),
              (std::vector<std::string>{"abs.ico", "c3", "chained.ico", "made.ico",
                                        "near-target.ico", "near.ico", "rel.ico"}));
}

// Links that lead nowhere writable fail to create and change nothing.
TEST_F(FileWrite, LinksThatLeadNowhereFail)
{
    fs::create_symlink("loop-b", Folder / "loop-a");
    fs::create_symlink("loop-a", Folder / "loop-b");
    fs::create_symlink("missing/file.ico", Folder / "into-missing");
    fs::create_directories(Folder / "dir");
    fs::create_symlink("dir", Folder / "to-dir");
    // long0 to long40: one link more than the system follows.
    for (int i = 0; i <= 40; ++i)
        fs::create_symlink("long" + std::to_string(i + 1), Folder / ("long" + std::to_string(i)));
    for (const char *name : {"loop-a", "into-missing", "to-dir", "long0"})
        EXPECT_EQ(Describe(Save(Folder / name, "x")), "CreateFailed") << name;
    EXPECT_FALSE(fs::exists(Folder / "long41"));
    EXPECT_TRUE(fs::is_empty(Folder / "dir"));
    EXPECT_EQ(Entries(Folder).size(), 5u + 41u);
    // From long1 the chain is as long as the system follows: written through.
    WriteText(Folder / "long41", "old");
    EXPECT_EQ(Describe(Save(Folder / "long1", "new")), "Ok");
    EXPECT_EQ(ReadText(Folder / "long41"), "new");
    EXPECT_EQ(Entries(Folder).size(), 5u + 41u + 1u);
}

// A file the user may not write is refused and left as it was, mode and
// bytes, even where the folder would let it be replaced; also through a
// link. A writable file beside it is replaced, and the new file's folder
// is the target's, not the link's.
TEST_F(FileWrite, ReadOnlyFilesAreLeftAlone)
{
    const fs::path user = UserFolder("user");
    const fs::path locked = Folder / "locked"; // the user may not write here
    fs::create_directories(locked);
    for (const char *name : {"ro.ico", "rw.ico"})
        WriteText(user / name, "old");
    ASSERT_EQ(::chmod((user / "ro.ico").c_str(), 0444), 0);
    if (fixtures::RunsAsNobody()) {
        for (const char *name : {"ro.ico", "rw.ico"})
            ASSERT_EQ(::chown((user / name).c_str(), fixtures::kNobody, fixtures::kNobody), 0);
    }
    fs::create_symlink(user / "ro.ico", locked / "to-ro.ico");
    fs::create_symlink(user / "rw.ico", locked / "to-rw.ico");
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);

    const std::string faults = fixtures::AsUnprivilegedUser([&] {
        std::string found;
        const auto expect = [&](const fs::path &path, const std::string &result) {
            const std::string got = Describe(Save(path, "new"));
            if (got != result)
                found += path.filename().string() + ": " + got + ", not " + result + "\n";
        };
        expect(user / "ro.ico", "CreateFailed");
        expect(locked / "to-ro.ico", "CreateFailed");
        if (ReadText(user / "ro.ico") != "old")
            found += "the read-only file was changed\n";
        expect(locked / "to-rw.ico", "Ok");
        if (ReadText(user / "rw.ico") != "new")
            found += "the file behind the link holds \"" + ReadText(user / "rw.ico") + "\"\n";
        WriteText(user / "rw.ico", "old");
        expect(user / "rw.ico", "Ok");
        if (ReadText(user / "rw.ico") != "new")
            found += "the writable file holds \"" + ReadText(user / "rw.ico") + "\"\n";
        return found;
    });
    EXPECT_EQ(faults, "");
    EXPECT_EQ(fs::status(user / "ro.ico").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(Entries(user), (std::vector<std::string>{"ro.ico", "rw.ico"}));
    EXPECT_TRUE(fs::is_symlink(locked / "to-ro.ico"));
    EXPECT_TRUE(fs::is_symlink(locked / "to-rw.ico"));
}

// The longest name the file system takes is written, new and over an old
// file, and nothing else is left; one byte more is refused by the system.
TEST_F(FileWrite, NamesUpToTheSystemLimitWork)
{
    const long longest = ::pathconf(Folder.c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 16);
    const std::string name(static_cast<std::size_t>(longest) - 4, 'n');
    const fs::path path = Folder / (name + ".ico");
    for (const char *content : {"first", "second"}) {
        EXPECT_EQ(Describe(Save(path, content)), "Ok") << content;
        EXPECT_EQ(ReadText(path), content);
    }
    EXPECT_EQ(Entries(Folder), std::vector<std::string>{name + ".ico"});
    EXPECT_EQ(Describe(Save(Folder / (name + ".icon"), "x")), "CreateFailed");
    EXPECT_EQ(Entries(Folder), std::vector<std::string>{name + ".ico"});
}

// A bare name lands in the current folder, and its new file with it.
TEST_F(FileWrite, BareNameIsWrittenInTheCurrentFolder)
{
    const fs::path before = fs::current_path();
    fs::current_path(Folder);
    const WriteResult result = Save("bare.ico", "bytes");
    fs::current_path(before);
    EXPECT_EQ(Describe(result), "Ok");
    EXPECT_EQ(Entries(Folder), std::vector<std::string>{"bare.ico"});
    EXPECT_EQ(ReadText(Folder / "bare.ico"), "bytes");
}

// Saving over another user's file keeps it theirs, with its mode: root
// saving over a user's icon must not leave it root's.
TEST_F(FileWrite, ReplacedFileKeepsOwnerGroupAndMode)
{
    if (!fixtures::RunsAsNobody())
        GTEST_SKIP() << "only root may give a file away";
    const fs::path path = Folder / "owned.ico";
    WriteText(path, "old");
    ASSERT_EQ(::chown(path.c_str(), fixtures::kNobody, fixtures::kNobody), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(Describe(Save(path, "new")), "Ok");
    struct stat after
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, fixtures::kNobody);
    EXPECT_EQ(after.st_gid, fixtures::kNobody);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadText(path), "new");
}

// Where the folder refuses a new file or the rename but the file may be
// written, the file is written in place, as the shell would: a user's file
// in a folder they may not write, and another user's writable file in a
// sticky folder such as /tmp. A new file there is still refused.
TEST_F(FileWrite, FolderThatRefusesReplacingIsWrittenInPlace)
{
    const fs::path locked = Folder / "locked";
    const fs::path sticky = Folder / "sticky";
    fs::create_directories(locked);
    fs::create_directories(sticky);
    WriteText(locked / "mine.ico", "old bytes, longer than the new");
    WriteText(sticky / "theirs.ico", "old");
    ASSERT_EQ(::chmod((sticky / "theirs.ico").c_str(), 0666), 0);
    if (fixtures::RunsAsNobody()) {
        ASSERT_EQ(::chown((locked / "mine.ico").c_str(), fixtures::kNobody, fixtures::kNobody), 0);
        ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
    }
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const std::string faults = fixtures::AsUnprivilegedUser([&] {
        std::string found;
        for (const fs::path &path : {locked / "mine.ico", sticky / "theirs.ico"}) {
            const std::string got = Describe(Save(path, "new"));
            if (got != "Ok" || ReadText(path) != "new")
                found += path.string() + ": " + got + ", holds \"" + ReadText(path) + "\"\n";
        }
        if (Describe(Save(locked / "new.ico", "new")) != "CreateFailed")
            found += "a new file was made in the locked folder\n";
        return found;
    });
    EXPECT_EQ(faults, "");
    EXPECT_EQ(Entries(locked), std::vector<std::string>{"mine.ico"});
}

// A pipe gets every byte, however slowly it is read; a pipe that nobody
// reads fails at once instead of waiting.
TEST_F(FileWrite, PipesGetEveryByteOrFailAtOnce)
{
    const fs::path pipe = Folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(Describe(Save(pipe, "nobody listens")), "CreateFailed");

    const std::string bytes(1 << 20, 'p');
    std::string received;
    std::thread reader([&] {
        std::ifstream in(pipe, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    // The reader must have the pipe open before the write starts.
    WriteResult result = WriteResult::CreateFailed;
    for (int i = 0; i < 500 && result != WriteResult::Ok; ++i) {
        result = Save(pipe, bytes);
        if (result != WriteResult::Ok)
            ::usleep(10000);
    }
    reader.join();
    EXPECT_EQ(Describe(result), "Ok");
    EXPECT_EQ(received.size(), bytes.size());
}
