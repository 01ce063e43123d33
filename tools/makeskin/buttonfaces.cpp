#include "buttonfaces.h"

#include "controls/windowstyle.h"
#include "skinlayout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace skinart {

using controls::kAqua;
using controls::kLime;
using controls::kPlate;
using controls::kSilver;

namespace {

// A floppy disk in a 12 x 12 box at 0, 0.
void Floppy(QPainter &p, const QColor &ink, const QColor &ground)
{
    QPainterPath body;
    body.moveTo(0.5, 0.5);
    body.lineTo(9.5, 0.5);
    body.lineTo(11.5, 2.5);
    body.lineTo(11.5, 11.5);
    body.lineTo(0.5, 11.5);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(body);
    p.setBrush(ground);
    p.drawRect(QRectF(3, 1.5, 5, 3.5)); // shutter
    p.drawRect(QRectF(2.5, 7, 7, 4.5)); // label
    p.setBrush(ink);
    p.drawRect(QRectF(6, 2, 1.5, 2.5));
}

void Glyph(QPainter &p, int button, const QColor &ink, const QColor &ground)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (button) {
    case 0: // close: a cross
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 2), QPointF(10, 10));
        p.drawLine(QPointF(10, 2), QPointF(2, 10));
        break;
    case 1: // help: a question mark in a ring
    case 2: // about: an i in a ring
    {
        p.setPen(QPen(ink, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(6, 6), 5.6, 5.6);
        p.setFont(controls::ArtworkSansBold(10));
        p.drawText(QRectF(0, 0, 12, 12.5), Qt::AlignCenter,
                   QString::fromLatin1(button == 1 ? "?" : "i"));
        break;
    }
    case 3: // save all: a disk in front of another
    {
        p.setPen(QPen(ink, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{QPointF(3.5, 2.5), QPointF(3.5, 0.5), QPointF(11.5, 0.5),
                                 QPointF(13.5, 2.5), QPointF(13.5, 10.5), QPointF(11.5, 10.5)});
        p.translate(0, 2);
        p.scale(10.0 / 12, 10.0 / 12);
        Floppy(p, ink, ground);
        break;
    }
    case 4: // save icon: one disk
        Floppy(p, ink, ground);
        break;
    }
    p.restore();
}

} // namespace

QImage ButtonFaceImage(int button, Face face)
{
    QImage img(kFaceSize, QImage::Format_RGB32);
    img.fill(kPlate);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, kFaceSize.width() - 1, kFaceSize.height() - 1);

    QLinearGradient fill(0, 0, 0, kFaceSize.height());
    QColor border, ink, highlight;
    switch (face) {
    case Face::Normal:
        fill.setColorAt(0, QColor(0x28, 0x38, 0x98));
        fill.setColorAt(0.5, QColor(0x00, 0x00, 0x80));
        fill.setColorAt(1, QColor(0x00, 0x00, 0x58));
        border = QColor(0x80, 0x88, 0xA8);
        ink = kAqua;
        highlight = QColor(0xFF, 0xFF, 0xFF, 90);
        break;
    case Face::Hover:
        fill.setColorAt(0, QColor(0x40, 0x68, 0xE0));
        fill.setColorAt(0.5, QColor(0x10, 0x28, 0xB8));
        fill.setColorAt(1, QColor(0x00, 0x00, 0x80));
        border = kAqua;
        ink = QColor(0xFF, 0xFF, 0xFF);
        highlight = QColor(0xFF, 0xFF, 0xFF, 140);
        break;
    case Face::Pressed:
        fill.setColorAt(0, QColor(0x00, 0x00, 0x40));
        fill.setColorAt(0.6, QColor(0x00, 0x00, 0x78));
        fill.setColorAt(1, QColor(0x18, 0x28, 0x90));
        border = kSilver;
        ink = kLime;
        highlight = QColor(0, 0, 0, 0);
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, 5, 5);
    if (highlight.alpha()) {
        p.setPen(QPen(highlight, 1));
        p.drawLine(QPointF(5, 1.5), QPointF(kFaceSize.width() - 6, 1.5));
    } else {
        p.setPen(QPen(QColor(0, 0, 0, 120), 1));
        p.drawLine(QPointF(5, 1.5), QPointF(kFaceSize.width() - 6, 1.5));
    }

    // A pressed face shows its contents a pixel down and right.
    const QPointF shift = face == Face::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    p.translate(shift);
    p.save();
    p.translate(8, 6);
    Glyph(p, button, ink, QColor(0x00, 0x00, 0x60));
    p.restore();
    p.setFont(controls::ArtworkSansBold(12));
    const QRectF words(22, 0, kFaceSize.width() - 26, kFaceSize.height());
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(words.translated(1, 1), Qt::AlignCenter, QString::fromLatin1(ButtonCaption(button)));
    p.setPen(ink);
    p.drawText(words, Qt::AlignCenter, QString::fromLatin1(ButtonCaption(button)));
    return img;
}

} // namespace skinart
