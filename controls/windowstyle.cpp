#include "windowstyle.h"

#include <QPalette>
#include <QRect>
#include <QVariant>
#include <QWidget>

namespace controls {

void Place(QWidget *widget, const char *name, const QRect &place)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(place);
}

void Place(QWidget *widget, const char *name, QRect (*placeOf)(const char *))
{
    Place(widget, name, placeOf(name));
}

void SetHint(QWidget *widget, const QString &hint)
{
    widget->setProperty(kHintProperty, hint);
    widget->setAccessibleDescription(LongHint(hint).trimmed());
}

QString LongHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString HintOf(const QWidget *widget)
{
    return widget->property(kHintProperty).toString();
}

void SubstituteFonts()
{
    QFont::insertSubstitution(QString::fromLatin1(kSansFace), QString::fromLatin1(kSansSubstitute));
    QFont::insertSubstitution(QString::fromLatin1(kSerifFace),
                              QString::fromLatin1(kSerifSubstitute));
    QFont::insertSubstitution(QString::fromLatin1(kMonoFace), QString::fromLatin1(kMonoSubstitute));
}

QFont PixelFont(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont SansFont(int pixels, bool bold)
{
    return PixelFont(QString::fromLatin1(kSansFace), pixels, bold);
}

QFont SerifFont(int pixels, bool bold)
{
    return PixelFont(QString::fromLatin1(kSerifFace), pixels, bold);
}

QFont ArtworkSansBold(int pixels)
{
    return PixelFont(QString::fromLatin1(kSansSubstitute), pixels, true);
}

void SetColours(QWidget *widget, const QColor &ground, const QColor &text, bool fill)
{
    QPalette p = widget->palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, ground);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    widget->setPalette(p);
    widget->setAutoFillBackground(fill);
}

void SetGround(QWidget *widget, const QColor &ground, bool fill)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, ground);
    widget->setPalette(p);
    widget->setAutoFillBackground(fill);
}

void SetTextColour(QWidget *widget, const QColor &text)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, text);
    widget->setPalette(p);
}

void SetTextColours(QWidget *widget, const QColor &text, const QColor &disabled)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    widget->setPalette(p);
}

void SetHighlightColours(QWidget *widget, const QColor &ground, const QColor &text)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Highlight, ground);
    p.setColor(QPalette::HighlightedText, text);
    widget->setPalette(p);
}

} // namespace controls
