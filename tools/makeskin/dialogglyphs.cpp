#include "dialogglyphs.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>

namespace skinart {

namespace {

const QColor kGreen(0x00, 0x80, 0x00);
const QColor kDarkGreen(0x00, 0x48, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kFolder(0xF0, 0xC8, 0x30);
const QColor kFolderDark(0xA0, 0x70, 0x00);
const QColor kFolderLight(0xFF, 0xE8, 0x80);

// A green sign with EXIT in yellow capitals.
void ExitSign(QPainter &p)
{
    p.setPen(QPen(kDarkGreen, 1));
    p.setBrush(kGreen);
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 1.5, 1.5);
    // Letters of 3 x 5 pixels, one apart: E X I T.
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    const auto px = [&p](int x, int y, int w = 1, int h = 1) { p.drawRect(x, y, w, h); };
    px(2, 5, 1, 5); // E
    px(3, 5, 2, 1);
    px(3, 7, 1, 1);
    px(3, 9, 2, 1);
    px(6, 5); // X
    px(8, 5);
    px(6, 6);
    px(8, 6);
    px(7, 7);
    px(6, 8);
    px(8, 8);
    px(6, 9);
    px(8, 9);
    px(10, 5, 1, 5); // I
    px(12, 5, 3, 1); // T
    px(13, 6, 1, 4);
}

// A green tick.
void Tick(QPainter &p)
{
    QPainterPath tick;
    tick.moveTo(1.5, 8.5);
    tick.lineTo(4.5, 5.5);
    tick.lineTo(6.5, 8.0);
    tick.lineTo(12.5, 1.5);
    tick.lineTo(15.0, 4.0);
    tick.lineTo(6.5, 14.0);
    tick.closeSubpath();
    p.setPen(QPen(kDarkGreen, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(0x20, 0xC0, 0x20));
    p.drawPath(tick);
}

// The back of a folder with its tab, shared by both folders.
void FolderBack(QPainter &p)
{
    QPainterPath back;
    back.moveTo(0.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.5, 4.5);
    back.lineTo(13.5, 4.5);
    back.lineTo(13.5, 13.5);
    back.lineTo(0.5, 13.5);
    back.closeSubpath();
    p.setPen(QPen(kFolderDark, 1));
    p.setBrush(kFolderDark.lighter(150));
    p.drawPath(back);
}

void ClosedFolder(QPainter &p)
{
    FolderBack(p);
    p.setPen(QPen(kFolderDark, 1));
    p.setBrush(kFolder);
    p.drawRect(QRectF(0.5, 5.5, 13, 8));
    p.setPen(QPen(kFolderLight, 1));
    p.drawLine(QPointF(1.5, 6.5), QPointF(12.5, 6.5));
}

void OpenFolder(QPainter &p)
{
    FolderBack(p);
    // A sheet of paper inside, then the front flap tipped forward.
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 9, 6));
    QPainterPath flap;
    flap.moveTo(3.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(12.5, 13.5);
    flap.lineTo(0.5, 13.5);
    flap.closeSubpath();
    p.setPen(QPen(kFolderDark, 1));
    p.setBrush(kFolder);
    p.drawPath(flap);
    p.setPen(QPen(kFolderLight, 1));
    p.drawLine(QPointF(4.5, 8.5), QPointF(14, 8.5));
}

} // namespace

QImage DialogGlyphImage(DialogGlyph glyph)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case DialogGlyph::Exit:
        ExitSign(p);
        break;
    case DialogGlyph::Tick:
        Tick(p);
        break;
    case DialogGlyph::OpenFolder:
        OpenFolder(p);
        break;
    case DialogGlyph::ClosedFolder:
        ClosedFolder(p);
        break;
    }
    return img;
}

} // namespace skinart
