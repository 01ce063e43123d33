#include "platform/bytesource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

// Small reads are served from a cached page and large ones go straight to
// the file: either way every read must return exactly the file's bytes, and
// a read past the end must fail without touching the buffer's meaning.
TEST(FileSource, ReadsMatchTheFileAtEveryOffset)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("rurorodode-source-" + std::to_string(::getpid()));
    std::vector<std::uint8_t> content(3 * 4096 + 123);
    std::mt19937 random(7);
    for (auto &b : content)
        b = static_cast<std::uint8_t>(random());
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }
    platform::FileSource file;
    ASSERT_TRUE(file.Open(path.string()));
    ASSERT_EQ(file.Size(), content.size());

    std::vector<std::uint8_t> buffer;
    for (int i = 0; i < 5000; ++i) {
        const std::size_t n = random() % 3 == 0 ? random() % 6000 : random() % 64;
        const std::size_t offset = random() % (content.size() + 10);
        buffer.assign(n, 0);
        const bool inside = n <= content.size() && offset <= content.size() - n;
        ASSERT_EQ(file.ReadAt(offset, buffer), inside) << offset << "+" << n;
        if (inside) {
            ASSERT_TRUE(std::equal(buffer.begin(), buffer.end(),
                                   content.begin() + static_cast<long>(offset)))
                << offset << "+" << n;
        }
    }
    std::filesystem::remove(path);
}
