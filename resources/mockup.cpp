#include "mockup.h"

#include "logo.h"
#include "skinlayout.h"
#include "skinstyle.h"

#include <QPainter>
#include <QPolygonF>

namespace skinart {

namespace {

void SunkenFrame(QPainter &p, const QRect &r)
{
    p.setPen(kGray);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void MockGauge(QPainter &p, const QRect &r, int percent)
{
    p.fillRect(r, Qt::black);
    const QRect in = r.adjusted(1, 1, -1, -1);
    p.fillRect(in, kSilver);
    p.fillRect(QRect(in.left(), in.top(), in.width() * percent / 100, in.height()), kAqua);
    p.setPen(kNavy);
    p.setFont(SansBold(11));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("%1%").arg(percent));
}

void MockArrow(QPainter &p, QPointF c, bool down)
{
    QPolygonF tri;
    if (down)
        tri << c + QPointF(-3, -1.5) << c + QPointF(3, -1.5) << c + QPointF(0, 1.5);
    else
        tri << c + QPointF(-3, 1.5) << c + QPointF(3, 1.5) << c + QPointF(0, -1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(tri);
}

} // namespace

QImage Mock(const QImage &tile, const QImage &skin, const Shape &window, const FaceSet &faces,
            const QImage &icon)
{
    QImage face(kWindowSize, QImage::Format_RGB32);
    QPainter p(&face);
    for (int y = 0; y < face.height(); y += tile.height())
        for (int x = 0; x < face.width(); x += tile.width())
            p.drawImage(x, y, tile);
    {
        QImage s = skin.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = s.pixel(0, s.height() - 1);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.pixel(x, y) == key)
                    s.setPixel(x, y, 0);
        p.drawImage(0, 0, s);
    }
    p.setRenderHint(QPainter::Antialiasing);
    PaintLogo(p, QRectF(ControlRectOf("Image3")));
    p.setRenderHint(QPainter::Antialiasing, false);

    const auto label = [&](const char *name, const QString &text, bool enabled = true) {
        p.setFont(SansBold(11));
        const QRect r = ControlRectOf(name);
        if (!enabled) {
            p.setPen(Qt::white);
            p.drawText(r.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
            p.setPen(kGray);
        } else {
            p.setPen(kAqua);
        }
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    label("Label2", QStringLiteral("Select Icon in File"));
    MockGauge(p, ControlRectOf("Gauge2"), 66);
    MockGauge(p, ControlRectOf("Gauge1"), 33);
    label("Label4", QStringLiteral("Overall Progress !"));
    label("Label3", QStringLiteral("Progress in File !"));
    label("Label5", QStringLiteral("The file list box displays the files allowed by the filter"));
    {
        const QRect b = ControlRectOf("Bevel1");
        p.setPen(kGray);
        p.drawRect(b.adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        p.drawRect(b.adjusted(1, 1, -1, -1));
        const QRect i = ControlRectOf("Image1");
        p.drawImage(i.left() + (i.width() - icon.width()) / 2,
                    i.top() + (i.height() - icon.height()) / 2, icon);
    }
    label("Label1", QStringLiteral("No. of Icons"));
    label("Label6", QStringLiteral("Color Depth"));
    for (int b = 0; b < kButtonCount; ++b)
        p.drawImage(ButtonRect(b).topLeft(), faces[static_cast<std::size_t>(b)][b == 3 ? 1 : 0]);

    // Browser panel: tree, splitter, list.
    const QRect panel = ControlRectOf("Panel7");
    p.fillRect(panel, kSilver);
    const QRect tree(panel.left(), panel.top(), 201, 250);
    const QRect list(panel.left() + 204, panel.top(), 205, 250);
    p.fillRect(tree, kGray);
    p.fillRect(list, kGray);
    p.setFont(SansBold(11));
    p.setFont([] {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(11);
        return f;
    }());
    const char *folders[] = {"Desktop",     "  My Computer", "    / (root)", "      usr",
                             "        lib", "        share", "      opt",    "        tools"};
    for (int i = 0; i < 8; ++i) {
        const QRect row(tree.left() + 4, tree.top() + 3 + 17 * i, 190, 16);
        if (i == 7)
            p.fillRect(row.adjusted(-2, 0, 0, 0), kNavy);
        p.setPen(kAqua);
        p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(folders[i]));
    }
    {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(13);
        p.setFont(f);
    }
    const char *files[] = {"calc.exe", "notepad.exe", "paint.exe", "setup.exe", "viewer.exe"};
    for (int i = 0; i < 5; ++i) {
        const QRect row(list.left() + 20, list.top() + 2 + 16 * i, 180, 16);
        if (i == 1)
            p.fillRect(row.adjusted(-2, 0, 0, 0), kNavy);
        p.setPen(kAqua);
        p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(files[i]));
        p.fillRect(QRect(list.left() + 4, row.top() + 3, 10, 10), kSilver);
        p.fillRect(QRect(list.left() + 4, row.top() + 3, 10, 3), kNavy);
    }

    // Filter box.
    const QRect combo = ControlRectOf("FilterComboBox1");
    p.fillRect(combo, kGray);
    SunkenFrame(p, combo.adjusted(0, 0, -1, -1));
    p.setFont(SansBold(11));
    p.setPen(kAqua);
    p.drawText(combo.adjusted(4, 0, -20, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("EXE"));
    p.fillRect(QRect(combo.right() - 17, combo.top() + 2, 16, combo.height() - 4), kSilver);
    p.setRenderHint(QPainter::Antialiasing);
    MockArrow(p, QPointF(combo.right() - 9, combo.center().y() + 1), true);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Number box.
    const QRect spin = ControlRectOf("SpinEdit1");
    p.fillRect(spin, kGray);
    SunkenFrame(p, spin.adjusted(0, 0, -1, -1));
    p.setPen(kAqua);
    p.drawText(spin.adjusted(4, 0, -16, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2"));
    p.fillRect(QRect(spin.right() - 14, spin.top() + 2, 13, spin.height() - 4), kSilver);
    p.setRenderHint(QPainter::Antialiasing);
    MockArrow(p, QPointF(spin.right() - 7.5, spin.top() + 7), false);
    MockArrow(p, QPointF(spin.right() - 7.5, spin.bottom() - 6), true);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Colour depth.
    const QRect depth = ControlRectOf("Panel1");
    p.fillRect(depth, kGray);
    SunkenFrame(p, depth.adjusted(0, 0, -1, -1));
    {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(11);
        p.setFont(f);
    }
    const char *choices[] = {"256 colors", "16 mil col"};
    for (int i = 0; i < 2; ++i) {
        const QPoint at = depth.topLeft() + QPoint(4, 6 + 18 * i);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(at.x() + 0.5, at.y() + 2.5, 11, 11));
        if (i == 0) {
            p.setBrush(Qt::black);
            p.drawEllipse(QRectF(at.x() + 3.5, at.y() + 5.5, 5, 5));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(kAqua);
        p.drawText(QRect(at.x() + 16, at.y(), 60, 17), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(choices[i]));
    }
    p.end();

    // Cut by the shape, on a desktop.
    QImage out(kWindowSize, QImage::Format_RGB32);
    out.fill(QColor(0x00, 0x80, 0x80));
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (window.Inside(x, y))
                out.setPixel(x, y, face.pixel(x, y));
    return out;
}

} // namespace skinart
