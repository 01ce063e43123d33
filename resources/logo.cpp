#include "logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace skinart {

namespace {

constexpr qreal kDesignWidth = 128;
constexpr qreal kDesignHeight = 39;

// The word as an outline fitted into box. Outlines rather than text so the
// logo keeps its proportions at any scale.
QPainterPath Word(const QString &text, const QFont &font, const QRectF &box)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(path);
}

} // namespace

void PaintLogo(QPainter &painter, const QRectF &target)
{
    if (target.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kDesignWidth, target.height() / kDesignHeight);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    font.setBold(true);
    font.setItalic(true);
    const QPainterPath word = Word(QStringLiteral("Rurorodode"), font, {3, 2, 122, 22});

    // Swoosh under the word: a lens-shaped band thinning towards both ends.
    QPainterPath swoosh;
    swoosh.moveTo(4, 31);
    swoosh.cubicTo(40, 23.5, 92, 24, 126, 27.5);
    swoosh.cubicTo(92, 26.5, 44, 27.5, 4, 31);
    QLinearGradient swooshFill(0, 0, kDesignWidth, 0);
    swooshFill.setColorAt(0, QColor(0x00, 0xFF, 0x00));
    swooshFill.setColorAt(0.6, QColor(0x00, 0xFF, 0xFF));
    swooshFill.setColorAt(1, QColor(0x00, 0xFF, 0xFF, 0));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawPath(word.translated(1.6, 1.6));
    painter.setBrush(swooshFill);
    painter.drawPath(swoosh);

    QLinearGradient face(0, 2, 0, 24);
    face.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    face.setColorAt(0.45, QColor(0x00, 0xFF, 0xFF));
    face.setColorAt(1, QColor(0x00, 0x80, 0xC0));
    painter.setPen(QPen(QColor(0x00, 0x00, 0x50), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(face);
    painter.drawPath(word);

    // What the program does, small, tucked under the right of the swoosh.
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(100);
    small.setBold(true);
    small.setLetterSpacing(QFont::PercentageSpacing, 118);
    const QPainterPath tag = Word(QStringLiteral("ICON EXTRACTOR"), small, {52, 30.5, 72, 6});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
    painter.drawPath(tag);

    painter.restore();
}

} // namespace skinart
