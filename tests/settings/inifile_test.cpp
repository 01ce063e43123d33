#include "settings/einifileerror.h"
#include "settings/inifile.h"
#include "settingstest.h"

using settings::TIniFile;
using namespace std::string_literals;

namespace {

const std::string Default = "c:\\";

struct ReadRow
{
    const char *name;
    std::string text;
    std::string expected; // of Locations/LastDir
};

const ReadRow ReadRows[] = {
    {"exact", "[Locations]\nLastDir=/home/a\n", "/home/a"},
    {"names in any case", "[lOCATIONS]\nlastdir=/home/a\n", "/home/a"},
    {"blanks around names and =", "  [ Locations ]\t\n\t LastDir \t= \t/home/a b \t\n",
     "/home/a b"},
    {"crlf", "[Locations]\r\nLastDir=/home/a\r\nX=1\r\n", "/home/a"},
    {"no line end at the end", "[Locations]\nLastDir=/home/a", "/home/a"},
    {"byte order mark", "\xEF\xBB\xBF[Locations]\nLastDir=/home/a\n", "/home/a"},
    {"empty value is not the default", "[Locations]\nLastDir=\n", ""},
    {"blank value is empty", "[Locations]\nLastDir=   \n", ""},
    {"quotes keep blanks", "[Locations]\nLastDir=\" /a \"\n", " /a "},
    {"unmatched quote stays", "[Locations]\nLastDir=\"/a\n", "\"/a"},
    {"= in the value", "[Locations]\nLastDir=/a=b\n", "/a=b"},
    {"first of duplicate keys", "[Locations]\nLastDir=/first\nLASTDIR=/second\n", "/first"},
    {"first of duplicate sections", "[Locations]\nLastDir=/first\n[locations]\nLastDir=/second\n",
     "/first"},
    {"key missing", "[Locations]\nOther=/a\n", Default},
    {"only in another section", "[Other]\nLastDir=/a\n[Locations]\nX=1\n", Default},
    {"only outside any section", "LastDir=/a\n[Locations]\n", Default},
    {"commented out", "[Locations]\n;LastDir=/a\n", Default},
    {"no = sign", "[Locations]\nLastDir\n", Default},
    {"section without ]", "[Locations\nLastDir=/a\n", Default},
    {"empty file", "", Default},
    {"cut at NUL", "[Locations]\nLastDir=/a\0/b\n"s, "/a"},
    {"garbage around", "\x01\xFF\0\r\r\n[\n=\n]]\n[Locations]\n\xFE=\x80\nLastDir=/a\n\xFF\xFE"s,
     "/a"},
};

// Failures name the row, not its bytes.
void PrintTo(const ReadRow &row, std::ostream *os)
{
    *os << row.name;
}

class ReadString : public SettingsTest, public testing::WithParamInterface<ReadRow>
{
};

TEST_P(ReadString, GivesTheFirstMatchOrTheDefault)
{
    WriteAll(Ini, GetParam().text);
    const TIniFile ini(Ini);
    EXPECT_TRUE(ini.Readable());
    EXPECT_EQ(ini.ReadString("Locations", "LastDir", Default), GetParam().expected);
    EXPECT_EQ(ini.Text(), GetParam().text); // parsing alone changes nothing
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadString, testing::ValuesIn(ReadRows), RowName());

// Values come back in a 2048-byte buffer; a cut never splits a character.
TEST_F(SettingsTest, LongValuesAreCutTo2047Bytes)
{
    struct
    {
        std::string stored;
        std::string expected;
    } const rows[] = {
        {std::string(10000, 'x'), std::string(2047, 'x')},
        {std::string(2047, 'y'), std::string(2047, 'y')},
        {std::string(2046, 'z') + "\xC3\xA9", std::string(2046, 'z')},               // é straddles
        {std::string(2045, 'z') + "\xC3\xA9!", std::string(2045, 'z') + "\xC3\xA9"}, // fits
        {std::string(2045, 'z') + "\xE2\x82\xAC", std::string(2045, 'z')}, // € straddles
        {std::string(3000, '\x80'), std::string(2047, '\x80')},            // no UTF-8 at all
    };
    for (const auto &row : rows) {
        WriteAll(Ini, "[Locations]\nLastDir=" + row.stored + "\n");
        EXPECT_EQ(TIniFile(Ini).ReadString("Locations", "LastDir", Default), row.expected)
            << row.stored.size();
    }
    EXPECT_EQ(TIniFile(Ini).ReadString("Locations", "Missing", std::string(5000, 'd')).size(),
              2047u);
}

// The platform's own write: an existing line keeps its place and line end.
TEST_F(SettingsTest, WriteStringRewritesAnExistingLineInPlace)
{
    const std::string before = "; mine\r\n[LOCATIONS]\r\n lastdir = /old\r\nX=1\r\nlastdir=/dup";
    WriteAll(Ini, before);
    TIniFile ini(Ini);
    ini.WriteString("Locations", "LastDir", "/new");
    EXPECT_EQ(ini.Text(), "; mine\r\n[LOCATIONS]\r\nLastDir=/new\r\nX=1\r\nlastdir=/dup");
    EXPECT_EQ(ReadAll(Ini), before); // nothing on disk until UpdateFile
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(Ini), ini.Text());
    EXPECT_TRUE(ini.DeleteKey("locations", "LASTDIR"));
    EXPECT_EQ(ini.Text(), "; mine\r\n[LOCATIONS]\r\nX=1\r\n");
    EXPECT_FALSE(ini.DeleteKey("Locations", "LastDir"));
    EXPECT_FALSE(ini.DeleteKey("Nowhere", "X"));
}

// Names and values a line cannot hold are refused before anything changes.
TEST_F(SettingsTest, WriteStringRefusesWhatALineCannotHold)
{
    struct
    {
        std::string section, key, value;
    } const rows[] = {
        {"", "K", "v"},     {"  ", "K", "v"},          {"A]B", "K", "v"},  {"A\nB", "K", "v"},
        {"S", "", "v"},     {"S", "K=2", "v"},         {"S", "[K]", "v"},  {"S", ";K", "v"},
        {"S", "K\r", "v"},  {"S", "K", "line\nbreak"}, {"S", "K", "cr\r"}, {"S", "K", "nul\0"s},
        {"S\0"s, "K", "v"},
    };
    const std::string before = "[S]\nK=old\n";
    WriteAll(Ini, before);
    for (const auto &row : rows) {
        TIniFile ini(Ini);
        try {
            ini.WriteString(row.section, row.key, row.value);
            ADD_FAILURE() << "accepted [" << row.section << "] " << row.key << "=" << row.value;
        } catch (const settings::EIniFileError &e) {
            EXPECT_EQ(e.what(), "Unable to write to " + Ini);
        }
        EXPECT_EQ(ini.Text(), before);
    }
}

} // namespace
