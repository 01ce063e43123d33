// iconprobe: the program's icon reading from the command line, for checking
// files and for benchmarks.

#include "filefind/folderlisting.h"
#include "filefind/gallerypage.h"
#include "iconwriter/iconextraction.h"
#include "iconwriter/icontofile.h"
#include "iconwriter/saveall.h"
#include "iconwriter/saveicon.h"
#include "pngwrite.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

int Usage()
{
    std::fputs(
        "usage: iconprobe count PATH...\n"
        "       iconprobe extract FILE INDEX OUT.png\n"
        "       iconprobe save FILE INDEX OUT [--format ico|cur|bmp] [--depth 0|1|2|3|4]\n"
        "                (the extension is appended to OUT; defaults: ico, 2)\n"
        "       iconprobe save-all FOLDER DEST [--format ico|cur|bmp] [--depth 2|3] [--mask MASK]\n"
        "                (every icon of the folder's files matching MASK, default *.*,\n"
        "                 named as the window's save-all run names them)\n",
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

bool ParseInt(const std::string &text, int &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

// The icon at FILE INDEX, or a message and a null icon.
iconwriter::IconHandle Load(const std::string &file, const std::string &text)
{
    int index = 0;
    if (!ParseInt(text, index)) {
        std::fprintf(stderr, "iconprobe: not an index: %s\n", text.c_str());
        return {};
    }
    iconwriter::IconHandle icon = iconwriter::ExtractIconHandle(file, index);
    if (icon.IsNull())
        std::fprintf(stderr, "iconprobe: no icon at index %d in %s\n", index, file.c_str());
    return icon;
}

int Extract(int argc, char **argv)
{
    if (argc != 5)
        return Usage();
    const iconwriter::IconHandle icon = Load(argv[2], argv[3]);
    if (icon.IsNull())
        return 1;
    std::string error;
    if (!WriteIconPng(icon, argv[4], error)) {
        std::fprintf(stderr, "iconprobe: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

struct SaveOptions
{
    int format = iconwriter::sfIcon;
    int depth = iconwriter::cdColours256;
    std::string mask = "*.*";
};

// Options from argv[first] on; false on anything unknown.
bool ParseSaveOptions(int argc, char **argv, int first, SaveOptions &options)
{
    for (int i = first; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "--format") {
            if (value == "ico")
                options.format = iconwriter::sfIcon;
            else if (value == "cur")
                options.format = iconwriter::sfCursor;
            else if (value == "bmp")
                options.format = iconwriter::sfBitmap;
            else
                return false;
        } else if (option == "--depth") {
            if (!ParseInt(value, options.depth) || options.depth < 0 || options.depth > 255)
                return false;
        } else if (option == "--mask") {
            options.mask = value;
        } else {
            return false;
        }
    }
    return true;
}

int Save(int argc, char **argv)
{
    SaveOptions options;
    if (argc < 5 || !ParseSaveOptions(argc, argv, 5, options))
        return Usage();
    const int format = options.format;
    const int depth = options.depth;
    const iconwriter::IconHandle icon = Load(argv[2], argv[3]);
    if (icon.IsNull())
        return 1;
    try {
        const iconwriter::SaveOutcome outcome =
            iconwriter::SaveIconAs(argv[4], icon, format, static_cast<std::uint8_t>(depth));
        if (outcome.result != iconwriter::wrWritten) {
            std::fprintf(stderr, "iconprobe: WriteIconFile returned %d (%s) for %s\n",
                         outcome.result, iconwriter::WriteResultText(outcome.result),
                         outcome.path.c_str());
            return 1;
        }
    } catch (const iconwriter::ESaveError &e) {
        std::fprintf(stderr, "iconprobe: %s\n", e.what());
        return 1;
    }
    return 0;
}

// The window's run without a window: errors to stderr, a summary at the end.
class CommandLineRun : public iconwriter::SaveAllEvents
{
public:
    const iconwriter::IconHandle &Preview(iconwriter::IconHandle icon) override
    {
        Current = std::move(icon);
        return Current;
    }
    void Saved(const iconwriter::SaveOutcome &) override { ++Written; }
    void Error(const std::string &message) override
    {
        std::fprintf(stderr, "iconprobe: %s\n", message.c_str());
        ++Errors;
    }

    iconwriter::IconHandle Current;
    int Written = 0;
    int Errors = 0;
};

int SaveAll(int argc, char **argv)
{
    SaveOptions options;
    if (argc < 4 || !ParseSaveOptions(argc, argv, 4, options))
        return Usage();
    std::string folder = argv[2];
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::vector<std::string> names;
    for (const QString &name : filefind::ListFolderFiles(QFile::decodeName(folder.c_str()),
                                                         QString::fromStdString(options.mask)))
        names.push_back(QFile::encodeName(name).toStdString());
    CommandLineRun run;
    iconwriter::SaveAllIcons(folder, names, argv[3], options.format,
                             static_cast<std::uint8_t>(options.depth), run);
    std::printf("%d files, %d written, %d errors\n", static_cast<int>(names.size()), run.Written,
                run.Errors);
    return run.Errors == 0 ? 0 : 1;
}

int Gallery(int argc, char **argv)
{
    if (argc != 3)
        return Usage();
    try {
        bool told = false;
        const bool written =
            filefind::WriteFolderGallery(QFile::decodeName(argv[2]), [&told](const QString &text) {
                std::fprintf(stderr, "iconprobe: %s\n", qPrintable(text));
                told = true;
            });
        return written && !told ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "iconprobe: %s\n", e.what());
        return 1;
    }
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
    if (command == "save")
        return Save(argc, argv);
    if (command == "save-all")
        return SaveAll(argc, argv);
    if (command == "gallery")
        return Gallery(argc, argv);
    return Usage();
}
