// Writes bitmaps with names that HTML and URLs treat specially into a folder
// whose own name is as awkward, writes the gallery page for it, and writes a
// checker page beside the folder that loads the gallery in a frame and
// reports what a browser made of it.
//
// Usage: make_gallery WORKDIR   (prints the checker page's path)

#include "filefind/gallerypage.h"

#include "fixtures.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

struct Bitmap
{
    QString name;
    int width;
    bool listed;
};

// A JavaScript string literal that survives any name, "</script>" included.
QString JsString(const QString &Text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : Text) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
            u == u'.' || u == u'_' || u == u'-' || u == u' ')
            out += c;
        else
            out += QString::asprintf("\\u%04x", unsigned(u));
    }
    return out + u'"';
}

bool WriteFile(const QString &Path, const QByteArray &Bytes)
{
    QFile file(Path);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size() && file.flush();
}

const char *const kChecker = R"(
function fileUrl(p) { return 'file://' + p.split('/').map(encodeURIComponent).join('/'); }
function pathOf(u) {
  var x = new URL(u);
  if (x.protocol !== 'file:' || x.search !== '' || x.hash !== '') return null;
  return decodeURIComponent(x.pathname);
}
function report(faults) {
  document.getElementById('out').textContent = faults.length
      ? 'GALLERY-' + 'CHECK-FAILED\n' + faults.join('\n')
      : 'GALLERY-' + 'CHECK-PASSED ' + expected.length + ' pictures';
}
function check(frame) {
  var faults = [];
  var doc = frame.contentDocument;
  if (!doc || !doc.body) { report(['the page did not load']); return; }
  if (doc.title !== folder) faults.push('title: ' + doc.title);
  var tags = {HTML:1, HEAD:1, TITLE:1, META:1, BODY:1, A:1, IMG:1, DIV:1, H3:1, BR:1};
  var attrs = {name:1, content:1, text:1, bgcolor:1, link:1, alink:1, vlink:1, href:1,
               target:1, src:1, width:1, height:1, border:1, alt:1, align:1};
  var all = doc.getElementsByTagName('*');
  for (var i = 0; i < all.length; ++i) {
    if (!tags[all[i].tagName]) faults.push('unexpected element ' + all[i].tagName);
    for (var j = 0; j < all[i].attributes.length; ++j)
      if (!attrs[all[i].attributes[j].name])
        faults.push('unexpected attribute ' + all[i].attributes[j].name);
  }
  if (doc.getElementsByTagName('meta').length !== 1) faults.push('meta count');
  if (doc.getElementsByTagName('a').length !== expected.length + 1) faults.push('link count');
  var imgs = doc.images;
  if (imgs.length !== expected.length)
    faults.push('images: ' + imgs.length + ' for ' + expected.length + ' bitmaps');
  var seen = {};
  for (var k = 0; k < imgs.length; ++k) {
    var img = imgs[k], e = null;
    for (var m = 0; m < expected.length; ++m) if (expected[m].path === img.alt) e = expected[m];
    if (!e) { faults.push('alt names no bitmap: ' + img.alt); continue; }
    if (seen[e.path]) faults.push('listed twice: ' + e.path);
    seen[e.path] = true;
    if (img.naturalWidth !== e.width)
      faults.push('not loaded: ' + e.path + ' (' + img.naturalWidth + ' for ' + e.width + ')');
    if (pathOf(img.src) !== e.path) faults.push('src: ' + img.src);
    var a = img.parentElement;
    if (!a || a.tagName !== 'A' || pathOf(a.href) !== e.path) faults.push('href of ' + e.path);
  }
  report(faults);
}
var frame = document.createElement('iframe');
frame.onload = function () { try { check(frame); } catch (x) { report(['exception ' + x]); } };
frame.src = fileUrl(page);
document.body.appendChild(frame);
)";

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gallery WORKDIR\n");
        return 2;
    }
    const QString work = QDir(QFile::decodeName(argv[1])).absolutePath();
    const QString folder = work + QString::fromUtf8("/gal & <i>'\"#%?\xc3\xa9");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make the folder\n");
        return 1;
    }
    const std::vector<Bitmap> bitmaps = {
        {"plain.bmp", 3, true},
        {"with space.bmp", 5, true},
        {"hash#frag.bmp", 7, true},
        {"percent%41.bmp", 9, true},
        {"%2e%2e%2fup.bmp", 11, true},
        {"question?q=1.bmp", 13, true},
        {"single'quote.bmp", 15, true},
        {"double\"quote.bmp", 17, true},
        {"amp&amp;lt.bmp", 19, true},
        {"lt<b>bold<i>.bmp", 21, true},
        {"\"><img src=x onerror=document.title='injected'>.bmp", 23, true},
        {QString::fromUtf8("\xc3\xa9lan \xc3\xb1 \xd0\x96 \xe6\xbc\xa2.bmp"), 25, true},
        {".hidden.BMP", 27, true},
        {"UPPER.BMP", 29, true},
        {"notes.txt", 31, false},
    };
    QString expected;
    int seed = 1;
    for (const Bitmap &b : bitmaps) {
        const fixtures::Bytes bmp =
            fixtures::BuildBmp(fixtures::DrawPicture(b.width, 4, seed++, false), 24);
        const QString path = folder + u'/' + b.name;
        if (!WriteFile(path, QByteArray(reinterpret_cast<const char *>(bmp.data()),
                                        qsizetype(bmp.size())))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        if (b.listed)
            expected += QStringLiteral("{path: %1, width: %2},\n").arg(JsString(path)).arg(b.width);
    }

    try {
        bool said = false;
        if (!filefind::WriteFolderGallery(QFile::encodeName(folder).toStdString(),
                                          [&](const std::string &m) {
                                              std::fprintf(stderr, "%s\n", m.c_str());
                                              said = true;
                                          }) ||
            said)
            return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    const QString checker = work + "/checker.html";
    const QString html =
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                       "<pre id=\"out\">GALLERY-CHECK-PENDING</pre><script>\n") +
        "var folder = " + JsString(folder) + ";\n" + "var page = " +
        JsString(QFile::decodeName(QByteArray::fromStdString(
            filefind::GalleryPageName(QFile::encodeName(folder).toStdString())))) +
        ";\n" + "var expected = [\n" + expected + "];\n" + QString::fromUtf8(kChecker) +
        "</script></body></html>\n";
    if (!WriteFile(checker, html.toUtf8())) {
        std::fprintf(stderr, "cannot write the checker\n");
        return 1;
    }
    std::printf("%s\n", QFile::encodeName(checker).constData());
    return 0;
}
