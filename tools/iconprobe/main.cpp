// iconprobe: the program's icon reading from the command line, for checking
// files and for benchmarks.

#include "filefind/folderlisting.h"
#include "filefind/gallerypage.h"
#include "iconwriter/iconextraction.h"
#include "iconwriter/icontofile.h"
#include "iconwriter/pngwrite.h"
#include "iconwriter/saveall.h"
#include "iconwriter/saveformats.h"
#include "iconwriter/saveicon.h"
#include "iconwriter/wholeiconfile.h"
#include "platform/utf8.h"
#include "platform/wholeicon.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int Usage(std::FILE *out = stderr)
{
    std::fputs(
        "usage: iconprobe count [-z] PATH...\n"
        "                (-z: each record ends with NUL, the name as it is; otherwise\n"
        "                 with a newline, control characters and \\ in names escaped)\n"
        "       iconprobe extract FILE INDEX OUT.png\n"
        "       iconprobe save FILE INDEX OUT [--format FORMAT] [--depth 0|1|2|3|4]\n"
        "                (the extension is appended to OUT; defaults: ico, 2)\n"
        "       iconprobe save-all FOLDER DEST [--format FORMAT] [--depth 2|3] [--mask MASK]\n"
        "                          [-r [--hidden]]\n"
        "                (every icon of the folder's files matching MASK, default *.*,\n"
        "                 named as the window's save-all run names them; -r: the\n"
        "                 subfolders' too, each under the same folder in DEST, linked\n"
        "                 folders not entered, hidden ones only with --hidden)\n"
        "       iconprobe list [--json] PATH...\n"
        "                (one line per icon of each file: the file, the icon's index,\n"
        "                 its resource name, #id, or - outside program files, and each\n"
        "                 image as WIDTHxHEIGHTxBITS/png or /bitmap, in stored order;\n"
        "                 --json: an array with one object per file)\n"
        "       iconprobe --help | --version\n",
        out);
    // The formats' lines come from the table of save formats.
    const char *lead = "FORMAT: ";
    for (const iconwriter::SaveFormatRow &row : iconwriter::SaveFormats()) {
        std::string help(row.help);
        for (std::size_t at = 0; (at = help.find('\n', at)) != std::string::npos; at += 18)
            help.insert(at + 1, 18, ' ');
        std::fprintf(out, "%s%-9.*s%s\n", lead, static_cast<int>(row.name.size()), row.name.data(),
                     help.c_str());
        lead = "        ";
    }
    std::fputs("Icons are numbered as the count shows them, from 0; a negative INDEX\n"
               "other than -1 names a group by its resource id. A path that cannot be\n"
               "read is an error with the system's reason, not a file without icons.\n",
               out);
    return out == stderr ? 2 : 0;
}

// What cannot be read or written, with the system's reason.
void Refused(const std::string &path, const std::string &reason)
{
    std::fprintf(stderr, "iconprobe: %s: %s\n", path.c_str(), reason.c_str());
}

// Opens path for reading its icons, or says why it cannot.
bool OpenIcons(platform::IconFileReader &reader, const std::string &path)
{
    if (reader.Open(path))
        return true;
    Refused(path, reader.OpenError());
    return false;
}

// A folder that must exist and allow access (R_OK, W_OK, X_OK), looked at
// once before any work, or a message saying why not.
bool UsableFolder(const std::string &path, int access)
{
    struct stat st
    {
    };
    int error = 0;
    if (::stat(path.c_str(), &st) != 0)
        error = errno;
    else if (!S_ISDIR(st.st_mode))
        error = ENOTDIR;
    else if (::access(path.c_str(), access) != 0)
        error = errno;
    if (error != 0)
        Refused(path, std::strerror(error));
    return error == 0;
}

// A folder stands for the regular files directly inside it, in name order.
// A folder that cannot be listed is reported, and failed set.
std::vector<std::string> ExpandPaths(int argc, char **argv, int first, bool &failed)
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
        if (ec) {
            Refused(argv[i], ec.message());
            failed = true;
        }
        std::sort(inside.begin(), inside.end());
        paths.insert(paths.end(), inside.begin(), inside.end());
    }
    return paths;
}

// A name as one line: backslashes and control characters as C escapes
// (\n, \t, \\, \ooo for the other control bytes); other bytes as they are.
std::string EscapedName(const std::string &name)
{
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (byte < 0x20 || byte == 0x7F) {
            const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                  static_cast<char>('0' + ((byte >> 3) & 7)),
                                  static_cast<char>('0' + (byte & 7))};
            out.append(octal, sizeof octal);
        } else
            out += c;
    }
    return out;
}

// count [-z] PATH...: one record per file, "<count><TAB><name>", ended by a
// newline with the name escaped, or with -z by a NUL with the name as is.
// A path that cannot be read gets no record but a message, and the status
// says so once the others are counted.
int Count(int argc, char **argv)
{
    int first = 2;
    const bool nulEnded = argc > first && std::string(argv[first]) == "-z";
    if (nulEnded)
        ++first;
    if (argc <= first)
        return Usage();
    bool failed = false;
    for (const std::string &path : ExpandPaths(argc, argv, first, failed)) {
        platform::IconFileReader reader;
        if (!OpenIcons(reader, path)) {
            failed = true;
            continue;
        }
        const int count = reader.Count();
        if (nulEnded) {
            std::printf("%d\t", count);
            std::fwrite(path.c_str(), 1, path.size() + 1, stdout); // the name and its NUL
        } else {
            std::printf("%d\t%s\n", count, EscapedName(path).c_str());
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return 1;
    return failed ? 1 : 0;
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
    platform::IconFileReader reader;
    if (!OpenIcons(reader, file))
        return {};
    iconwriter::IconHandle icon = reader.Extract(index);
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
    bool recurse = false; // save-all -r: subfolders too
    bool hidden = false;  // and hidden ones
};

// Options from argv[first] on; false on anything unknown.
bool ParseSaveOptions(int argc, char **argv, int first, SaveOptions &options)
{
    for (int i = first; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-r" || option == "--hidden") {
            (option == "-r" ? options.recurse : options.hidden) = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "--format") {
            const iconwriter::SaveFormatRow *row = iconwriter::FindSaveFormat(value);
            if (row == nullptr)
                return false;
            options.format = row->code;
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

// save with a whole-icon format: read from the file again, every image.
int SaveWhole(const std::string &file, const std::string &text, const std::string &out, int format)
{
    int index = 0;
    if (!ParseInt(text, index)) {
        std::fprintf(stderr, "iconprobe: not an index: %s\n", text.c_str());
        return 1;
    }
    if (platform::IconFileReader reader; !OpenIcons(reader, file))
        return 1;
    try {
        iconwriter::SaveWholeIcon(file, index, out, format);
    } catch (const iconwriter::ESaveError &e) {
        std::fprintf(stderr, "iconprobe: %s\n", e.what());
        return 1;
    }
    return 0;
}

int Save(int argc, char **argv)
{
    SaveOptions options;
    if (argc < 5 || !ParseSaveOptions(argc, argv, 5, options))
        return Usage();
    const int format = options.format;
    const int depth = options.depth;
    if (iconwriter::FindSaveFormat(format)->source == iconwriter::SaveSource::WholeIcon)
        return SaveWhole(argv[2], argv[3], argv[4], format);
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
    bool WantsPreview() const override { return false; }
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

// The files of folder that mask matches, as the window's list shows them.
std::vector<std::string> FilesOf(const std::string &folder, const std::string &mask)
{
    return filefind::ListFolderFiles(folder, mask);
}

// The folders a run with -r goes through, as paths relative to folder (""
// for folder itself), each before the ones inside it and in name order.
// Linked folders are not entered, so a loop of links ends; hidden ones only
// with hidden; skip (the destination, when it lies inside) is left out. A
// folder that cannot be read (no right, a path too long) is reported and
// passed over. A walk of its own, not a recursion: folders may be nested
// thousands deep.
std::vector<std::string> FoldersBelow(const std::string &folder, bool hidden,
                                      const std::filesystem::path &skip, int &errors)
{
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    std::vector<std::string> pending{std::string()};
    while (!pending.empty()) {
        const std::string relative = std::move(pending.back());
        pending.pop_back();
        found.push_back(relative);
        const std::string here = relative.empty() ? folder : folder + "/" + relative;
        if (here.size() >= PATH_MAX) {
            // Nothing below can be opened by its name: said once, not entered.
            Refused(here, std::strerror(ENAMETOOLONG));
            ++errors;
            found.pop_back();
            continue;
        }
        std::vector<std::string> inside;
        std::error_code error;
        for (fs::directory_iterator it(here, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (!hidden && name.starts_with('.'))
                continue;
            std::error_code unknown;
            const fs::file_type type = it->symlink_status(unknown).type();
            if (unknown) {
                // Not even its kind can be had (a path too long to look at).
                Refused(it->path().string(), unknown.message());
                ++errors;
                continue;
            }
            std::error_code ignored;
            if (type != fs::file_type::directory || fs::equivalent(it->path(), skip, ignored))
                continue;
            inside.push_back(relative.empty() ? name : relative + "/" + name);
        }
        if (error) {
            Refused(here, error.message());
            ++errors;
            continue;
        }
        // Taken from the back: the first name comes next.
        std::sort(inside.rbegin(), inside.rend());
        for (std::string &next : inside)
            pending.push_back(std::move(next));
    }
    return found;
}

int SaveAll(int argc, char **argv)
{
    SaveOptions options;
    if (argc < 4 || !ParseSaveOptions(argc, argv, 4, options))
        return Usage();
    std::string folder = argv[2];
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::string destination = argv[3];
    // Said once here rather than once for every icon of the run.
    if (!UsableFolder(folder, R_OK | X_OK) || !UsableFolder(destination, W_OK | X_OK))
        return 1;
    CommandLineRun run;
    const std::vector<std::string> folders =
        options.recurse ? FoldersBelow(folder, options.hidden, destination, run.Errors)
                        : std::vector<std::string>{std::string()};
    std::size_t files = 0;
    for (const std::string &relative : folders) {
        const std::string from = relative.empty() ? folder : folder + "/" + relative;
        const std::vector<std::string> names = FilesOf(from, options.mask);
        if (names.empty())
            continue;
        // Each folder's icons under the same folder in the destination.
        const std::string to = relative.empty() ? destination : destination + "/" + relative;
        if (std::error_code error; !relative.empty() && !std::filesystem::is_directory(to) &&
                                   !std::filesystem::create_directories(to, error)) {
            Refused(to, error ? error.message() : "Not a directory");
            ++run.Errors;
            continue;
        }
        iconwriter::SaveAllIcons(from, names, to, options.format,
                                 static_cast<std::uint8_t>(options.depth), run);
        files += names.size();
    }
    std::printf("%zu files, %d written, %d errors\n", files, run.Written, run.Errors);
    return run.Errors == 0 ? 0 : 1;
}

// A JSON string literal; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(const std::string &text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = platform::Utf8CharacterLength(text, at);
        const auto c = static_cast<unsigned char>(text[at]);
        if (n == 0) {
            out += "\\ufffd";
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text, at, n);
        }
        at += n;
    }
    return out + '"';
}

// A field of a text line: tabs, newlines, other control characters and
// backslashes as C escapes, so that one icon stays one line.
std::string TextField(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", byte);
            out += escaped;
        } else
            out += c;
    }
    return out;
}

// How list names an icon: its resource name, #id, or - where it has none.
std::string IconName(const platform::WholeIcon &icon)
{
    if (!icon.hasName)
        return "-";
    if (!icon.name.isId)
        return icon.name.text;
    // Appended, not "#" + ...: GCC 12 warns falsely (-Wrestrict) on that.
    std::string name = "#";
    name += std::to_string(icon.name.id);
    return name;
}

const char *StorageName(const platform::StoredImage &image)
{
    return image.storage == platform::ImageStorage::Png ? "png" : "bitmap";
}

// One line of list: the file, the icon's index and name, and its images.
void PrintIconLine(const std::string &path, int index, const platform::WholeIcon &icon,
                   platform::WholeIconResult result)
{
    std::printf("%s\t%d\t%s\t", TextField(path).c_str(), index, TextField(IconName(icon)).c_str());
    if (result != platform::WholeIconResult::Ok)
        std::printf("error: %s", platform::WholeIconResultText(result));
    for (std::size_t i = 0; i < icon.images.size(); ++i) {
        const platform::StoredImage &image = icon.images[i];
        std::printf("%s%dx%dx%d/%s", i ? " " : "", image.width, image.height, image.bits,
                    StorageName(image));
    }
    std::printf("\n");
}

// The same icon as an object of list --json's array.
void PrintIconJson(int index, const platform::WholeIcon &icon, platform::WholeIconResult result)
{
    std::printf("%s\n  {\"index\": %d, ", index ? "," : "", index);
    if (!icon.hasName)
        std::printf("\"name\": null, ");
    else if (icon.name.isId)
        std::printf("\"id\": %d, ", icon.name.id);
    else
        std::printf("\"name\": %s, ", JsonString(icon.name.text).c_str());
    std::printf("\"cursor\": %s, \"skipped\": %zu, ", icon.cursor ? "true" : "false", icon.skipped);
    if (result != platform::WholeIconResult::Ok)
        std::printf("\"error\": %s, ", JsonString(platform::WholeIconResultText(result)).c_str());
    std::printf("\"images\": [");
    for (std::size_t i = 0; i < icon.images.size(); ++i) {
        const platform::StoredImage &image = icon.images[i];
        std::printf("%s{\"width\": %d, \"height\": %d, \"bits\": %d, \"storage\": "
                    "\"%s\", \"bytes\": %zu}",
                    i ? ", " : "", image.width, image.height, image.bits, StorageName(image),
                    image.data.size());
    }
    std::printf("]}");
}

// Every icon of one file, opened and indexed once for all of them; false
// when the file cannot be read or an icon in it cannot.
bool ListFile(const std::string &path, bool json, bool &firstFile)
{
    platform::IconFileReader reader;
    if (!OpenIcons(reader, path))
        return false;
    const int count = reader.Count();
    if (json) {
        std::printf("%s\n {\"file\": %s, \"count\": %d, \"icons\": [", firstFile ? "" : ",",
                    JsonString(path).c_str(), count);
        firstFile = false;
    }
    bool good = true;
    for (int index = 0; index < count; ++index) {
        platform::WholeIcon icon;
        const platform::WholeIconResult result = reader.Read(index, icon);
        good = good && result == platform::WholeIconResult::Ok;
        if (json)
            PrintIconJson(index, icon, result);
        else
            PrintIconLine(path, index, icon, result);
    }
    if (json)
        std::printf("%s]}", count > 0 ? "\n " : "");
    return good;
}

// list [--json] PATH...: every icon of every file with its images.
int List(int argc, char **argv)
{
    bool json = false;
    std::vector<char *> args(argv, argv + argc);
    args.erase(std::remove_if(args.begin() + 2, args.end(),
                              [&](const char *a) {
                                  const bool flag = std::string(a) == "--json";
                                  json = json || flag;
                                  return flag;
                              }),
               args.end());
    if (args.size() < 3)
        return Usage();
    bool failed = false;
    bool firstFile = true;
    if (json)
        std::printf("[");
    for (const std::string &path :
         ExpandPaths(static_cast<int>(args.size()), args.data(), 2, failed))
        failed = !ListFile(path, json, firstFile) || failed;
    if (json)
        std::printf("\n]\n");
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return 1;
    return failed ? 1 : 0;
}

// gallery FOLDER: the window's gallery page of the folder's bitmaps.
int Gallery(int argc, char **argv)
{
    if (argc != 3)
        return Usage();
    if (!UsableFolder(argv[2], R_OK | W_OK | X_OK))
        return 1;
    try {
        bool told = false;
        const bool written =
            filefind::WriteFolderGallery(argv[2], [&told](const std::string &text) {
                std::fprintf(stderr, "iconprobe: %s\n", text.c_str());
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
    if (command == "list")
        return List(argc, argv);
    if (command == "--help" || command == "-h" || command == "help")
        return Usage(stdout);
    if (command == "--version" && argc == 2) {
        std::printf("iconprobe %s\n", ICONPROBE_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    return Usage();
}
