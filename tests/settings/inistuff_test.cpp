#include "settings/einifileerror.h"
#include "settings/inifile.h"
#include "settings/inistuff.h"
#include "settingstest.h"

#include <memory>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>

using settings::EIniFileError;
using settings::ReadIniString;
using settings::WriteIniString;
using namespace std::string_literals;

namespace {

const std::string Default = "c:\\";

std::string Read(const std::string &ini, const std::string &section = "Locations",
                 const std::string &key = "LastDir")
{
    std::string value = "unset";
    ReadIniString(ini, section, key, Default, value);
    return value;
}

// The message of the EIniFileError that Body raises, or "" when none.
template <typename Body> std::string Raised(Body body)
{
    try {
        body();
    } catch (const EIniFileError &e) {
        return e.what();
    }
    return {};
}

// Root reads and writes any file whatever its mode, so permission cases
// run as nobody when we are root.
class Unprivileged
{
public:
    Unprivileged() : Root(::geteuid() == 0)
    {
        if (Root && ::seteuid(65534) != 0)
            Root = false, Failed = true;
    }
    ~Unprivileged()
    {
        if (Root)
            (void)::seteuid(0);
    }
    bool Failed = false;

private:
    bool Root;
};

TEST(IniFileNameBeside, OneSeparatorBeforeTheName)
{
    const std::pair<std::string, std::string> rows[] = {
        {"/opt/rurorodode/rurorodode", "/opt/rurorodode/Rurorodode.ini"},
        {"/opt/rurorodode//rurorodode", "/opt/rurorodode/Rurorodode.ini"},
        {"/rurorodode", "/Rurorodode.ini"},
        {"//rurorodode", "/Rurorodode.ini"},
        {"bin/rurorodode", "bin/Rurorodode.ini"},
        {"rurorodode", "Rurorodode.ini"},
    };
    for (const auto &[program, ini] : rows)
        EXPECT_EQ(settings::IniFileNameBeside(program), ini) << program;
}

struct WriteRow
{
    const char *name;
    std::string before;
    std::string value; // of Locations/LastDir
    std::string after;
};

const std::string Long(10000, 'L');

const WriteRow WriteRows[] = {
    {"into an empty file", "", "/home/a", "[Locations]\nLastDir=/home/a\n"},
    {"new section at the end", "; top\n[Other]\nK=v\n", "/home/a",
     "; top\n[Other]\nK=v\n\n[Locations]\nLastDir=/home/a\n"},
    {"new section after a blank line", "[Other]\nK=v\n\n", "/a",
     "[Other]\nK=v\n\n[Locations]\nLastDir=/a\n"},
    {"new section, no line end", "[Other]\r\nK=v", "/a",
     "[Other]\r\nK=v\r\n\r\n[Locations]\r\nLastDir=/a\r\n"},
    {"new key after the last key", "[Locations]\nK=v\n\n; next\n[Other]\nLastDir=/x\n", "/a",
     "[Locations]\nK=v\nLastDir=/a\n\n; next\n[Other]\nLastDir=/x\n"},
    {"new key in an empty section", "[locations]\n[Other]\n", "/a",
     "[locations]\nLastDir=/a\n[Other]\n"},
    {"new key, no line end", "[Locations]\nK=v", "/a", "[Locations]\nK=v\nLastDir=/a\n"},
    {"existing key goes to the end", "[Locations]\nLastDir=/old\nK=v\n; c\n", "/new",
     "[Locations]\nK=v\nLastDir=/new\n; c\n"},
    {"one line for duplicate keys", "[LOCATIONS]\r\nlastdir=/1\r\nK=v\r\n LASTDIR =/2\r\n", "/new",
     "[LOCATIONS]\r\nK=v\r\nLastDir=/new\r\n"},
    {"only the first section", "[Locations]\nK=v\n[Locations]\nLastDir=/2\n", "/new",
     "[Locations]\nK=v\nLastDir=/new\n[Locations]\nLastDir=/2\n"},
    {"keys outside sections stay", "LastDir=/top\n", "/a",
     "LastDir=/top\n\n[Locations]\nLastDir=/a\n"},
    {"empty value", "[Locations]\nLastDir=/old\n", "", "[Locations]\nLastDir=\n"},
    {"blanks kept by quotes", "", " /a ", "[Locations]\nLastDir=\" /a \"\n"},
    {"outer quotes kept by quotes", "", "'/a'", "[Locations]\nLastDir=\"'/a'\"\n"},
    {"inner quotes as they are", "", "/a\"b", "[Locations]\nLastDir=/a\"b\n"},
    {"garbage kept", "\0\xFF\x01\r\n[\n]\x80\n"s, "/a",
     "\0\xFF\x01\r\n[\n]\x80\n\r\n[Locations]\r\nLastDir=/a\r\n"s},
    {"long line replaced", "[Locations]\nLastDir=" + Long + "\n[B]\n", "/a",
     "[Locations]\nLastDir=/a\n[B]\n"},
    {"long value written whole", "", Long, "[Locations]\nLastDir=" + Long + "\n"},
};

// Failures name the row, not its bytes.
void PrintTo(const WriteRow &row, std::ostream *os)
{
    *os << row.name;
}

class WriteString : public SettingsTest, public testing::WithParamInterface<WriteRow>
{
};

TEST_P(WriteString, KeepsEveryOtherByte)
{
    const WriteRow &row = GetParam();
    WriteAll(Ini, row.before);
    WriteIniString(Ini, "Locations", "LastDir", row.value);
    EXPECT_EQ(ReadAll(Ini), row.after);
    EXPECT_EQ(Read(Ini), row.value.substr(0, settings::MaxValueLength));
    EXPECT_TRUE(Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteString, testing::ValuesIn(WriteRows), RowName());

// A 10,000-character line and binary garbage survive writes of other keys.
TEST_F(SettingsTest, WritingOtherKeysKeepsLongLinesAndGarbage)
{
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char &c : garbage)
        c = static_cast<char>(random() % 8 == 0 ? "\0\r\n[]=;"[random() % 7] : random());
    const std::string before = "[Locations]\nLastDir=" + Long + "\n" + garbage;
    WriteAll(Ini, before);
    EXPECT_EQ(Read(Ini), Long.substr(0, 2047));

    WriteIniString(Ini, "Fresh", "Key", "v");
    const std::string after = ReadAll(Ini);
    ASSERT_GE(after.size(), before.size());
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(Read(Ini, "fresh", "KEY"), "v");
    EXPECT_EQ(Read(Ini), Long.substr(0, 2047));
}

TEST_F(SettingsTest, FirstReadCreatesAnEmptyFile)
{
    EXPECT_EQ(Read(Ini), Default);
    EXPECT_TRUE(fs::is_regular_file(Ini));
    EXPECT_EQ(fs::file_size(Ini), 0u);
    EXPECT_TRUE(Messages.empty());
    // A missing file made by a write instead.
    fs::remove(Ini);
    WriteIniString(Ini, "Locations", "LastDir", "/x");
    EXPECT_EQ(ReadAll(Ini), "[Locations]\nLastDir=/x\n");
}

TEST_F(SettingsTest, OnlyTheLastFolderLevelIsCreated)
{
    const std::string oneLevel = (Folder / "new" / "Rurorodode.ini").string();
    EXPECT_EQ(Read(oneLevel), Default);
    EXPECT_TRUE(fs::is_regular_file(oneLevel));

    const std::string deeper = (Folder / "a" / "b").string() + "/";
    std::string value = "unset";
    EXPECT_EQ(Raised([&] { ReadIniString(deeper + "x.ini", "S", "K", Default, value); }),
              "Could not create " + deeper);
    EXPECT_EQ(value, Default);
    EXPECT_EQ(Raised([&] { WriteIniString(deeper + "x.ini", "S", "K", "v"); }),
              "Could not create " + deeper);
    EXPECT_FALSE(fs::exists(Folder / "a"));
    EXPECT_TRUE(Messages.empty());
}

// A folder where the file should be: shown, the default read, the write
// refused, the folder and its content untouched.
TEST_F(SettingsTest, FolderInPlaceOfTheFile)
{
    fs::create_directory(Ini);
    WriteAll(fs::path(Ini) / "inside", "kept");
    EXPECT_EQ(Read(Ini), Default);
    EXPECT_EQ(Messages, std::vector<std::string>{"Could not create " + Ini});
    EXPECT_EQ(Raised([&] { WriteIniString(Ini, "Locations", "LastDir", "/a"); }),
              "Unable to write to " + Ini);
    EXPECT_TRUE(fs::is_directory(Ini));
    EXPECT_EQ(ReadAll(fs::path(Ini) / "inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1);
}

// A file we may not read is never replaced: we would lose what it holds.
TEST_F(SettingsTest, UnreadableFileIsNeverReplaced)
{
    const std::string before = "[Locations]\nLastDir=/kept\n[Other]\nK=v\n";
    WriteAll(Ini, before);
    fs::permissions(Ini, fs::perms::none);
    fs::permissions(Folder, fs::perms::all); // the refusal must not come from the folder
    std::string read, raised;
    {
        Unprivileged user;
        if (user.Failed)
            GTEST_SKIP() << "cannot drop root's rights here";
        read = Read(Ini);
        raised = Raised([&] { WriteIniString(Ini, "Locations", "LastDir", "/new"); });
    }
    fs::permissions(Ini, fs::perms::owner_read);
    EXPECT_EQ(read, Default);
    EXPECT_EQ(raised, "Unable to write to " + Ini);
    EXPECT_EQ(ReadAll(Ini), before);
    EXPECT_TRUE(Messages.empty());
}

// A read-only folder: the file cannot be made, which is shown, not raised.
TEST_F(SettingsTest, ReadOnlyFolder)
{
    fs::permissions(Folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    std::string read, raised;
    {
        Unprivileged user;
        if (user.Failed)
            GTEST_SKIP() << "cannot drop root's rights here";
        read = Read(Ini);
        raised = Raised([&] { WriteIniString(Ini, "Locations", "LastDir", "/new"); });
    }
    EXPECT_EQ(read, Default);
    EXPECT_EQ(raised, "Unable to write to " + Ini);
    EXPECT_EQ(Messages, std::vector<std::string>(2, "Could not create " + Ini));
    EXPECT_TRUE(fs::is_empty(Folder));
}

// A full disk: the old file stays whole and no partial file is left.
TEST_F(SettingsTest, FullDiskKeepsTheOldFile)
{
    const fs::path small = Folder / "small";
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=12k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (not root?)";
    const std::unique_ptr<const char, int (*)(const char *)> unmount(small.c_str(), ::umount);
    const std::string ini = (small / "Rurorodode.ini").string();
    const std::string before = "[Locations]\nLastDir=/old\n[Other]\nK=" + std::string(3000, 'k');
    WriteAll(ini, before);
    EXPECT_EQ(Raised([&] { WriteIniString(ini, "Locations", "LastDir", std::string(9000, 'n')); }),
              "Unable to write to " + ini);
    EXPECT_EQ(ReadAll(ini), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 1);
    // Once the value fits again the write goes through.
    WriteIniString(ini, "Locations", "LastDir", "/new");
    EXPECT_EQ(Read(ini), "/new");
}

// The file's mode and a link to it outlive the rewrite.
TEST_F(SettingsTest, ModeAndLinkKept)
{
    const fs::path real = Folder / "real.ini";
    WriteAll(real, "[Locations]\nLastDir=/old\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, Ini);
    WriteIniString(Ini, "Locations", "LastDir", "/new");
    EXPECT_TRUE(fs::is_symlink(Ini));
    EXPECT_EQ(ReadAll(real), "[Locations]\nLastDir=/new\n");
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(MessageHandler, DefaultWritesToStandardError)
{
    const fs::path folder = fs::temp_directory_path() /
                            ("rurorodode-settings-" + std::to_string(::getpid()) + "-stderr");
    fs::create_directories(folder / "Rurorodode.ini");
    const settings::MessageHandler previous = settings::SetMessageHandler({});
    testing::internal::CaptureStderr();
    settings::CreateIniFile((folder / "Rurorodode.ini").string());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not create " + (folder / "Rurorodode.ini").string() + "\n");
    settings::SetMessageHandler(previous);
    fs::remove_all(folder);
}

} // namespace
