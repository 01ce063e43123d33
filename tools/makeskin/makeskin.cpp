// Draws the windows' skin artwork and writes the pictures the program
// embeds, checking each against what the windows need of it.
//
//     makeskin SKIN_DIR
//
// The desktop's theme icons go to SKIN_DIR/../icons, as they lie beside the
// skin in the source tree.

#include "aboutart.h"
#include "buttonfaces.h"
#include "controls/windowstyle.h"
#include "dialogglyphs.h"
#include "iconwriter/icontofile.h"
#include "logo.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "skinart.h"
#include "skinlayout.h"
#include "skinpicture.h"
#include "windowicon.h"
#include "windowshape.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>
#include <exception>
#include <stdexcept>

using controls::kKey;
using namespace skinart;

namespace {

[[noreturn]] void Fail(const QString &what)
{
    throw std::runtime_error(what.toStdString());
}

QString FileOf(const char *resource)
{
    return QString::fromLatin1(resource).section(QLatin1Char('/'), -1);
}

void Save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        Fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read back %1").arg(path));
    return file.readAll();
}

unsigned Le16(const QByteArray &b, int at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

// What the window relies on, read back from the files as written.
void Verify(const QDir &dir, const QImage &iconDrawing)
{
    const auto expect = [](bool ok, const QString &what) {
        if (!ok)
            Fail(what);
    };
    {
        const QString path = dir.filePath(FileOf(kShapeMask));
        const QByteArray bytes = ReadAll(path);
        expect(bytes.startsWith("BM") && Le16(bytes, 28) == 1, path + " is not a 1-bit bitmap");
        const QImage mask(path);
        expect(mask.size() == kShapeSize, path + " has the wrong size");
        expect((mask.pixel(0, 0) & 0xFFFFFF) == 0xFFFFFF, path + ": top-left pixel not white");
    }
    {
        const QString path = dir.filePath(FileOf(kSkin));
        const QByteArray bytes = ReadAll(path);
        // PNG header: bit depth 8, colour type 3 (palette).
        expect(bytes.size() > 26 && bytes[24] == 8 && bytes[25] == 3,
               path + " is not an 8-bit palette picture");
        const QImage skin(path);
        expect(skin.size() == kSkinSize, path + " has the wrong size");
        const QRgb key = skin.pixel(0, skin.height() - 1);
        expect((key & 0xFFFFFF) == (kKey.rgb() & 0xFFFFFF), path + ": key colour is not magenta");
        int keys = 0;
        for (const QRgb c : skin.colorTable())
            keys += (c & 0xFFFFFF) == (key & 0xFFFFFF);
        expect(keys == 1, path + ": the key colour must be a single entry");
    }
    {
        const QString path = dir.filePath(FileOf(kBackgroundTile));
        const QByteArray bytes = ReadAll(path);
        expect(bytes.startsWith("BM") && Le16(bytes, 28) == 24, path + " is not 24-bit");
        expect(QImage(path).size() == QSize(kTileSize, kTileSize), path + " has the wrong size");
    }
    for (int b = 0; b < kButtonCount; ++b)
        for (const Face f : {Face::Normal, Face::Hover, Face::Pressed}) {
            const QString path = dir.filePath(FileOf(ButtonFace(b, f)));
            expect(QImage(path).size() == kFaceSize, path + " is missing or the wrong size");
        }
    for (int g = 0; g < kDialogGlyphCount; ++g) {
        const QString path = dir.filePath(FileOf(DialogGlyphFile(static_cast<DialogGlyph>(g))));
        const QImage glyph(path);
        expect(glyph.size() == QSize(16, 16) && glyph.hasAlphaChannel(),
               path + " is not a 16 x 16 picture with a transparent ground");
    }
    {
        const QString path = dir.filePath(FileOf(kWindowIcon));
        const QByteArray bytes = ReadAll(path);
        // One image, 32 x 32 at 4 bits per pixel with 16 colours, in the
        // writer's layout: the entry holds the bit count where the colour
        // count would be; 40 + 64 header and table, 512 colour, 128 mask bytes.
        expect(bytes.size() == 766 && Le16(bytes, 4) == 1 &&
                   static_cast<unsigned char>(bytes[6]) == 32 &&
                   static_cast<unsigned char>(bytes[7]) == 32 && Le16(bytes, 8) == 4 &&
                   Le16(bytes, 22 + 14) == 4 && Le16(bytes, 22 + 32) == 16,
               path + " is not a 32 x 32, 16-colour icon");
        const platform::MemorySource source(
            std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())));
        const platform::Icon icon = platform::ExtractIcon(source, 0);
        expect(icon.Width() == 32 && icon.Height() == 32, path + " does not read back");
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb want = iconDrawing.pixel(x, y);
                const bool clear = qAlpha(want) == 0;
                if (icon.MaskBit(x, y) != clear ||
                    (!clear && (icon.Pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF)))
                    ++wrong;
            }
        expect(wrong == 0,
               path + QStringLiteral(" differs from the drawing in %1 pixels").arg(wrong));
    }
}

// Draws every picture, writes it into skinDir and checks the files.
void Run(const QString &skinDir)
{
    if (!QImageWriter::supportedImageFormats().contains("jpg"))
        Fail(QStringLiteral("no JPEG writer: the close button's face is a JPEG"));
    const QDir dir(skinDir);
    if (!QDir().mkpath(dir.path()))
        Fail(QStringLiteral("cannot make %1").arg(dir.path()));

    const Shape outer = OuterShape();
    const Shape window = Minus(outer, Rasterize(VentHoles(), kShapeSize));
    CheckControls(window);
    Save(MaskImage(window), dir.filePath(FileOf(kShapeMask)), "BMP");

    const QImage tile = BackgroundTile();
    Save(tile, dir.filePath(FileOf(kBackgroundTile)), "BMP");

    // The skin is one row taller than the mask; that row lies outside.
    const auto skinHigh = [](Shape s) {
        s.h = kSkinSize.height();
        s.in.resize(static_cast<std::size_t>(s.w) * static_cast<std::size_t>(s.h));
        return s;
    };
    const QImage skin = SkinPicture(SkinArt(skinHigh(outer)), skinHigh(window), tile);
    Save(skin, dir.filePath(FileOf(kSkin)), "PNG");

    for (int b = 0; b < kButtonCount; ++b)
        for (const Face f : {Face::Normal, Face::Hover, Face::Pressed}) {
            const QImage img = ButtonFaceImage(b, f);
            const QString path = dir.filePath(FileOf(ButtonFace(b, f)));
            if (path.endsWith(QLatin1String(".jpg")))
                Save(img, path, "JPEG", 95);
            else
                Save(img, path, "PNG");
        }

    for (int g = 0; g < kDialogGlyphCount; ++g) {
        const auto glyph = static_cast<DialogGlyph>(g);
        Save(DialogGlyphImage(glyph), dir.filePath(FileOf(DialogGlyphFile(glyph))), "PNG");
    }

    const QImage icon = WindowIcon();
    const QString iconPath = dir.filePath(FileOf(kWindowIcon));
    const std::int32_t written = iconwriter::WriteIconFile(
        QFile::encodeName(iconPath).toStdString(), ToPlatformIcon(icon), iconwriter::cdColours16);
    if (written != iconwriter::wrWritten)
        Fail(QStringLiteral("cannot write %1: %2")
                 .arg(iconPath, QString::fromLatin1(iconwriter::WriteResultText(written))));
    Save(icon, dir.filePath(FileOf(kWindowIconPicture)), "PNG");
    // The same picture for the desktop's icon theme, beside the skin.
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder =
            dir.filePath(QStringLiteral("../icons/hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder))
            Fail(QStringLiteral("cannot make %1").arg(folder));
        const QImage themed = WindowIconAt(size);
        if (themed.size() != QSize(size, size) || (size == 32 && themed != icon))
            Fail(QStringLiteral("the %1 pixel theme icon is not the window icon").arg(size));
        Save(themed, QDir(folder).filePath(QStringLiteral("rurorodode.png")), "PNG");
    }

    QImage logo(128, 39, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    {
        QPainter p(&logo);
        p.setRenderHint(QPainter::Antialiasing);
        PaintLogo(p, QRectF(logo.rect()));
    }
    Save(logo, dir.filePath(FileOf(kLogoPicture)), "PNG");
    WriteAboutArt(dir.path());

    Verify(dir, icon);
}

} // namespace

int main(int argc, char **argv)
{
    // Nothing is shown; fonts are all this needs of a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeskin SKIN_DIR\n");
        return 2;
    }
    try {
        Run(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "makeskin: %s\n", e.what());
        return 1;
    }
    return 0;
}
