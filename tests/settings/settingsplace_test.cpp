// Where the settings file goes: beside a program whose folder can be
// written, else in the user's configuration folder.

#include "settings/einifileerror.h"
#include "settings/settingsplace.h"
#include "settingstest.h"
#include "unprivileged.h"

#include <sys/stat.h>

namespace {

struct HomeRow
{
    const char *name;
    const char *xdg;
    const char *home;
    const char *expected;
};

class ConfigHomeRows : public testing::TestWithParam<HomeRow>
{
};

TEST_P(ConfigHomeRows, FollowsTheBaseDirectoryRules)
{
    const HomeRow &row = GetParam();
    EXPECT_EQ(settings::ConfigHomeFrom(row.xdg, row.home), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConfigHomeRows,
    testing::Values(HomeRow{"absolute xdg", "/srv/cfg", "/home/u", "/srv/cfg"},
                    HomeRow{"xdg trailing slashes", "/srv/cfg//", "/home/u", "/srv/cfg"},
                    HomeRow{"relative xdg ignored", "cfg", "/home/u", "/home/u/.config"},
                    HomeRow{"dot xdg ignored", "./cfg", "/home/u", "/home/u/.config"},
                    HomeRow{"empty xdg ignored", "", "/home/u", "/home/u/.config"},
                    HomeRow{"no xdg", nullptr, "/home/u/", "/home/u/.config"},
                    HomeRow{"root home", nullptr, "/", "/.config"},
                    HomeRow{"non-ASCII home", nullptr, "/home/j\xc3\xb6rg",
                            "/home/j\xc3\xb6rg/.config"}),
    RowName());

// A missing or relative home is taken from the password database.
TEST(ConfigHome, RelativeOrMissingHomeComesFromThePasswordDatabase)
{
    for (const char *home : {static_cast<const char *>(nullptr), "", "home/u"}) {
        const std::string found = settings::ConfigHomeFrom(nullptr, home);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), '/') << found;
        EXPECT_TRUE(found.ends_with("/.config")) << found;
        EXPECT_EQ(found.find("home/u"), std::string::npos) << found;
    }
}

// Everything below runs as a user without special rights, in a folder that
// user owns, so that read-only folders are read-only.
class SettingsPlaceTest : public SettingsTest
{
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        fs::permissions(Folder, fs::perms::all);
    }

    // Runs check as the unprivileged user with Program, Config and the
    // expected own file named; check returns what it found wrong.
    void Check(const std::function<std::string(const std::string &Program,
                                               const std::string &Config)> &check)
    {
        const std::string program = (Folder / "program").string() + "/";
        const std::string config = (Folder / "config").string();
        const std::string faults = fixtures::AsUnprivilegedUser([&] {
            std::error_code error;
            fs::create_directories(program, error);
            return error ? "cannot make the program folder" : check(program, config);
        });
        EXPECT_EQ(faults, "");
    }
};

std::string Expect(bool good, const std::string &what)
{
    return good ? std::string() : what + "; ";
}

std::string ReadKey(const std::string &ini, std::string &raised)
{
    std::string value;
    try {
        settings::ReadIniString(ini, "Locations", "LastDir", "/", value);
    } catch (const settings::EIniFileError &e) {
        raised = e.what();
    }
    return value;
}

TEST_F(SettingsPlaceTest, WritableProgramFolderKeepsTheFileBesideIt)
{
    Check([](const std::string &program, const std::string &config) {
        const std::string ini = settings::SettingsFileName(program, config);
        return Expect(ini == program + "Rurorodode.ini", "not beside: " + ini) +
               Expect(!fs::exists(config), "the configuration folder was made");
    });
}

// An installed program never writes its own folder, even where it may.
TEST_F(SettingsPlaceTest, InstalledProgramUsesTheConfigurationFolder)
{
    Check([](const std::string &program, const std::string &config) {
        const std::string ini = settings::SettingsFileName(program, config, true);
        return Expect(ini == config + "/rurorodode/Rurorodode.ini", "wrong place: " + ini) +
               Expect(fs::is_directory(config + "/rurorodode"), "folder not made");
    });
}

TEST_F(SettingsPlaceTest, ReadOnlyProgramFolderMovesToTheConfigurationFolder)
{
    Check([](const std::string &program, const std::string &config) {
        ::chmod(program.c_str(), 0555);
        const std::string ini = settings::SettingsFileName(program, config);
        const std::string own = config + "/rurorodode";
        struct stat st
        {
        };
        const bool made = ::stat(own.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        std::string faults = Expect(ini == own + "/Rurorodode.ini", "wrong place: " + ini) +
                             Expect(made && (st.st_mode & 0777) == 0700, "folder not made 0700");
        // The file works there: written, then read back.
        settings::WriteIniString(ini, "Locations", "LastDir", "/kept here");
        std::string raised;
        faults += Expect(ReadKey(ini, raised) == "/kept here" && raised.empty(), "not kept");
        faults += Expect(!fs::exists(program + "Rurorodode.ini"), "written beside");
        // A second start finds the same file.
        faults += Expect(settings::SettingsFileName(program, config) == ini, "moved again");
        return faults;
    });
}

// Neither place writable: the user's file all the same, and the messages
// name it; what is stored there is read and never lost.
TEST_F(SettingsPlaceTest, NeitherPlaceWritableGivesClearErrorsAndLosesNothing)
{
    Check([](const std::string &program, const std::string &config) {
        ::chmod(program.c_str(), 0555);
        std::string faults;
        // A configuration folder that cannot be entered.
        fs::create_directories(config);
        ::chmod(config.c_str(), 0555);
        const std::string own = config + "/rurorodode/";
        std::string ini = settings::SettingsFileName(program, config);
        std::string raised;
        faults += Expect(ini == own + "Rurorodode.ini", "wrong place: " + ini);
        faults += Expect(ReadKey(ini, raised) == "/" && raised == "Could not create " + own,
                         "read-only home: " + raised);

        // A file where the program's folder should be.
        ::chmod(config.c_str(), 0755);
        std::ofstream(config + "/rurorodode") << "mine";
        ini = settings::SettingsFileName(program, config);
        raised.clear();
        faults += Expect(ReadKey(ini, raised) == "/" && raised == "Could not create " + own,
                         "folder is a file: " + raised);
        faults += Expect(ReadAll(config + "/rurorodode") == "mine", "the file was touched");

        // Settings in a folder that has become read-only: read, and the
        // write refused with the old content kept.
        fs::remove(config + "/rurorodode");
        fs::create_directories(own);
        WriteAll(own + "Rurorodode.ini", "[Locations]\nLastDir=/old\n");
        ::chmod((own + "Rurorodode.ini").c_str(), 0444);
        ::chmod(own.c_str(), 0555);
        ini = settings::SettingsFileName(program, config);
        raised.clear();
        faults += Expect(ReadKey(ini, raised) == "/old", "stored folder not read");
        try {
            settings::WriteIniString(ini, "Locations", "LastDir", "/new");
        } catch (const settings::EIniFileError &e) {
            raised = e.what();
        }
        faults += Expect(raised == "Unable to write to " + ini, "write: " + raised);
        faults += Expect(ReadAll(ini) == "[Locations]\nLastDir=/old\n", "settings lost");
        ::chmod(own.c_str(), 0755);
        return faults;
    });
}

// No home at all: beside the program, as a portable copy would be.
TEST_F(SettingsPlaceTest, NoHomeStaysBesideTheProgram)
{
    Check([](const std::string &program, const std::string &) {
        ::chmod(program.c_str(), 0555);
        const std::string ini = settings::SettingsFileName(program, "");
        const std::string relative = settings::SettingsFileName(program, "cfg");
        return Expect(ini == program + "Rurorodode.ini", "no home: " + ini) +
               Expect(relative == ini, "relative home: " + relative);
    });
}

} // namespace
