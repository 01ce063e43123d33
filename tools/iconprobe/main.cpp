// iconprobe: the program's icon reading from the command line, for checking
// files and for benchmarks.

#include "iconwriter/iconextraction.h"
#include "pngwrite.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

int Usage()
{
    std::fputs("usage: iconprobe count PATH...\n"
               "       iconprobe extract FILE INDEX OUT.png\n",
               stderr);
    return 2;
}

// A folder stands for the regular files directly inside it, in name order.
std::vector<std::string> ExpandPaths(int argc, char **argv, int first)
{
    std::vector<std::string> paths;
    for (int i = first; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        std::error_code ec;
        if (!std::filesystem::is_directory(p, ec)) {
            paths.emplace_back(argv[i]);
            continue;
        }
        std::vector<std::string> inside;
        for (std::filesystem::directory_iterator it(p, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code fileEc;
            if (it->is_regular_file(fileEc))
                inside.push_back(it->path().string());
        }
        std::sort(inside.begin(), inside.end());
        paths.insert(paths.end(), inside.begin(), inside.end());
    }
    return paths;
}

int Count(int argc, char **argv)
{
    if (argc < 3)
        return Usage();
    for (const std::string &path : ExpandPaths(argc, argv, 2))
        std::printf("%d\t%s\n", iconwriter::IconCount(path), path.c_str());
    return 0;
}

int Extract(int argc, char **argv)
{
    if (argc != 5)
        return Usage();
    const std::string file = argv[2];
    const std::string text = argv[3];
    int index = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        std::fprintf(stderr, "iconprobe: not an index: %s\n", text.c_str());
        return 2;
    }
    const iconwriter::IconHandle icon = iconwriter::ExtractIconHandle(file, index);
    if (icon.IsNull()) {
        std::fprintf(stderr, "iconprobe: no icon at index %d in %s\n", index, file.c_str());
        return 1;
    }
    std::string error;
    if (!WriteIconPng(icon, argv[4], error)) {
        std::fprintf(stderr, "iconprobe: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "count")
        return Count(argc, argv);
    if (command == "extract")
        return Extract(argc, argv);
    return Usage();
}
