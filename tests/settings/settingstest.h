#pragma once

#include "settings/inistuff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A fresh folder per test, and the messages the helpers show.
class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info->name();
        std::replace(name.begin(), name.end(), '/', '-'); // rows of a table
        Folder = fs::temp_directory_path() /
                 ("rurorodode-settings-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        Ini = (Folder / "Rurorodode.ini").string();
        settings::SetMessageHandler([this](const std::string &text) { Messages.push_back(text); });
    }
    void TearDown() override
    {
        settings::SetMessageHandler({});
        std::error_code ignored;
        fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Folder, ignored);
    }

    fs::path Folder;
    std::string Ini;
    std::vector<std::string> Messages;
};

// Test names from the rows' descriptions.
struct RowName
{
    template <typename Row> std::string operator()(const testing::TestParamInfo<Row> &info) const
    {
        std::string name = info.param.name;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    }
};
