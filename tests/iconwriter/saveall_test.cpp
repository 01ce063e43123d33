#include "fixtures.h"
#include "iconwriter/saveall.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

static fixtures::IconGroup IconGroupFor(int i)
{
    return {static_cast<std::uint16_t>(i + 1),
            {0x0409},
            {fixtures::MakeImage(fixtures::DrawPicture(32, 32, i, true), 32)},
            {}};
}

namespace {

fixtures::Bytes Program(int groups)
{
    fixtures::PeRecipe recipe;
    for (int i = 0; i < groups; ++i)
        recipe.groups.push_back(IconGroupFor(i));
    return fixtures::BuildPe(recipe);
}

// Records what a run reports, in order, and keeps the preview's icon.
class Recorder : public iconwriter::SaveAllEvents
{
public:
    void FilesStarting(int count) override { Log.push_back("files " + std::to_string(count)); }
    void FileStarting(const std::string &path) override
    {
        Log.push_back("file " + fs::path(path).filename().string());
    }
    void IconsStarting(int maximum) override { Log.push_back("icons " + std::to_string(maximum)); }
    void IconStarting() override { Log.push_back("icon"); }
    void IconsDone() override { Log.push_back("icons done"); }
    void FilesDone() override { Log.push_back("files done"); }
    const iconwriter::IconHandle &Preview(iconwriter::IconHandle icon) override
    {
        Current = std::move(icon);
        return Current;
    }
    void Saved(const iconwriter::SaveOutcome &o) override
    {
        Log.push_back("saved " + fs::path(o.path).filename().string());
    }
    void Error(const std::string &message) override { Log.push_back(message); }

    std::vector<std::string> Log;
    iconwriter::IconHandle Current;
};

} // namespace

class SaveAll : public testing::Test
{
protected:
    void SetUp() override
    {
        Root = fs::temp_directory_path() / ("rurorodode-saveall-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root / "in");
        fs::create_directories(Root / "out");
    }
    void TearDown() override { fs::remove_all(Root); }
    void Write(const std::string &name, const fixtures::Bytes &bytes)
    {
        std::ofstream out(Root / "in" / name, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    fs::path Root;
};

// Four characters go, not four bytes: a name in UTF-8 never loses part of
// a character, and a byte that is not UTF-8 is a character of its own.
TEST(BaseName, DropsTheLastFourCharacters)
{
    struct Row
    {
        const char *why;
        std::string name;
        std::string base;
    };
    const std::vector<Row> rows = {
        {"plain", "notepad.exe", "notepad"},
        {"plain", "shell32.dll", "shell32"},
        {"exactly four characters", "a.ex", ""},
        {"fewer than four", "abc", "abc"},
        {"empty", "", ""},
        {"two-byte letter in the base",
         "pi\xC3\xB1"
         "ata.exe",
         "pi\xC3\xB1"
         "ata"},
        {"two-byte letters in the extension", "caf\xC3\xA9.\xC3\xA9x\xC3\xA9", "caf\xC3\xA9"},
        {"three-byte characters", "\xE6\x96\x87\xE5\xAD\x97.\xE6\x96\x87\xE5\xAD\x97x",
         "\xE6\x96\x87\xE5\xAD\x97"},
        {"four-byte character at the end", "icon.ex\xF0\x9F\x98\x80", "icon"},
        {"four characters, nine bytes", "\xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80.", ""},
        {"three multi-byte characters stay whole", "\xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80",
         "\xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80"},
        {"Latin-1 bytes count one each",
         "pi\xF1"
         "ata.\xE9xe",
         "pi\xF1"
         "ata"},
        {"stray continuation bytes", "ab\x80\x80\x80\x80", "ab"},
        {"truncated sequence at the end", "name.e\xE6\x96", "name"},
        {"overlong form is not one character", "ab.\xC0\xAFx", "ab"},
        {"encoded surrogate is not one character", "ab\xED\xA0\x80x", "ab"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(iconwriter::BaseName(row.name), row.base) << row.why;
}

// Names, order of events (the gauges' steps), files without icons skipped,
// files of one icon without a number.
TEST_F(SaveAll, NamesAndProgressFollowTheFiles)
{
    Write("three.exe", Program(3));
    Write("one.exe", Program(1));
    Write("none.exe", {'M', 'Z'});
    Write("a.ex", Program(1));
    Recorder run;
    const std::string out = (Root / "out").string();
    iconwriter::SaveAllIcons((Root / "in").string(), {"a.ex", "none.exe", "one.exe", "three.exe"},
                             out, iconwriter::sfIcon, 2, run);
    const std::vector<std::string> expected = {
        "files 4",      "file a.ex",        "saved .ico",     "file none.exe",
        "file one.exe", "saved one.ico",    "file three.exe", "icons 2",
        "icon",         "saved three0.ico", "icon",           "saved three1.ico",
        "icon",         "saved three2.ico", "icons done",     "files done"};
    EXPECT_EQ(run.Log, expected);
    for (const char *name : {".ico", "one.ico", "three0.ico", "three1.ico", "three2.ico"})
        EXPECT_EQ(fs::file_size(Root / "out" / name), 2238u) << name;
}

// A destination that cannot be written: every icon is reported and the
// run still reaches its end.
TEST_F(SaveAll, UnwritableDestinationIsReportedAndTheRunGoesOn)
{
    Write("two.exe", Program(2));
    Write("one.exe", Program(1));
    for (const int format : {iconwriter::sfIcon, iconwriter::sfBitmap}) {
        Recorder run;
        const std::string missing = (Root / "missing").string();
        iconwriter::SaveAllIcons((Root / "in").string(), {"one.exe", "two.exe", "gone.exe"},
                                 missing, format, 3, run);
        const std::vector<std::string> expected = {"files 3",
                                                   "file one.exe",
                                                   "Could not process " + missing + "/one",
                                                   "file two.exe",
                                                   "icons 1",
                                                   "icon",
                                                   "Could not process " + missing + "/two0",
                                                   "icon",
                                                   "Could not process " + missing + "/two1",
                                                   "icons done",
                                                   "file gone.exe",
                                                   "files done"};
        EXPECT_EQ(run.Log, expected) << format;
    }
    EXPECT_FALSE(fs::exists(Root / "missing"));
}

TEST_F(SaveAll, EmptyListReportsNothing)
{
    Recorder run;
    iconwriter::SaveAllIcons((Root / "in").string(), {}, (Root / "out").string(),
                             iconwriter::sfIcon, 2, run);
    EXPECT_TRUE(run.Log.empty());
}
