// Saves whole icons of every kind of source as "Icon, all sizes" and as PNG,
// and writes a checker page that loads each saved file in an <img> and
// reports whether the browser shows it at the size of its largest image.
//
// Usage: make_whole_icon_page WORKDIR   (prints the checker page's path)

#include "fixtures.h"
#include "iconwriter/wholeiconfile.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

struct Source
{
    std::string name; // of the source file
    Bytes bytes;
    int largest; // side of the largest image
};

bool Write(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool Write(const fs::path &path, const Bytes &bytes)
{
    return Write(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<IconImage> Mixed(bool png)
{
    std::vector<IconImage> images = {MakeImage(DrawPicture(16, 16, 1, false, 4), 4),
                                     MakeImage(DrawPicture(32, 32, 2, false, 8), 8),
                                     MakeImage(DrawPicture(48, 48, 3, true), 32),
                                     MakeImage(DrawPicture(24, 24, 4, false), 24)};
    if (png)
        images.push_back(MakeImage(DrawPicture(256, 256, 5, true), 32, /*png=*/true));
    return images;
}

const char *const kChecker = R"(
var faults = [], pending = expected.length;
function done() {
  if (--pending > 0) return;
  document.getElementById('out').textContent = faults.length
      ? 'GALLERY-' + 'CHECK-FAILED\n' + faults.join('\n')
      : 'GALLERY-' + 'CHECK-PASSED ' + expected.length + ' saved icons';
}
expected.forEach(function (e) {
  var img = new Image();
  img.onload = function () {
    if (img.naturalWidth !== e.side || img.naturalHeight !== e.side)
      faults.push(e.file + ': ' + img.naturalWidth + 'x' + img.naturalHeight + ' for ' + e.side);
    done();
  };
  img.onerror = function () { faults.push(e.file + ': did not load'); done(); };
  img.src = e.file;
  document.body.appendChild(img);
});
)";

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_whole_icon_page WORKDIR\n");
        return 2;
    }
    const fs::path work = fs::absolute(argv[1]);
    fs::create_directories(work / "sources");
    fs::create_directories(work / "saved");

    PeRecipe pe;
    pe.groups = {IconGroup{std::uint16_t{1}, {0x0409}, Mixed(true), {}}};
    PeRecipe dibOnly;
    dibOnly.pe32plus = true;
    dibOnly.groups = {IconGroup{std::u16string(u"APP"), {0x0409}, Mixed(false), {}}};
    NeRecipe ne;
    ne.groups = {IconGroup{std::uint16_t{3}, {0x0409}, Mixed(false), {}}};
    std::vector<IconImage> pointer = Mixed(true);
    for (IconImage &i : pointer) {
        i.planes = 3; // hot spot
        i.bitCount = 4;
    }
    const std::vector<Source> sources = {
        {"program.exe", BuildPe(pe), 256},
        {"dibs.exe", BuildPe(dibOnly), 48},
        {"old.exe", BuildNe(ne), 48},
        {"icon.ico", BuildIconFile(Mixed(true)), 256},
        {"mono.ico", BuildIconFile({MakeImage(DrawPicture(32, 32, 6, false, 1), 1)}), 32},
        {"pointer.cur", BuildIconFile(pointer, 2), 256},
        {"animated.ani", BuildAni({BuildIconFile(pointer, 2)}), 256},
        {"picture.bmp", BuildBmp(DrawPicture(40, 40, 7, false), 24), 40},
    };

    std::string expected;
    for (const Source &s : sources) {
        const fs::path source = work / "sources" / s.name;
        if (!Write(source, s.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", source.c_str());
            return 1;
        }
        const std::string base = (work / "saved" / fs::path(s.name).stem()).string();
        for (const int format : {iconwriter::sfIconAllSizes, iconwriter::sfPng}) {
            try {
                const iconwriter::SaveOutcome saved =
                    iconwriter::SaveWholeIcon(source.string(), 0, base, format);
                expected += "{file: 'saved/" + fs::path(saved.path).filename().string() +
                            "', side: " + std::to_string(s.largest) + "},\n";
            } catch (const std::exception &e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 1;
            }
        }
    }
    const fs::path checker = work / "checker.html";
    if (!Write(checker, "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                        "<pre id=\"out\">GALLERY-CHECK-PENDING</pre><script>\nvar expected = [\n" +
                            expected + "];\n" + kChecker + "</script></body></html>\n")) {
        std::fprintf(stderr, "cannot write the checker\n");
        return 1;
    }
    std::printf("%s\n", checker.c_str());
    return 0;
}
