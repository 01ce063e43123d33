#include "windowstyle.h"

#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace controls {

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
    QFont::insertSubstitution(QString::fromLatin1(kSansFace), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QString::fromLatin1(kSerifFace), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QString::fromLatin1(kMonoFace), QStringLiteral("Liberation Mono"));
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

void SetGround(QWidget *widget, const QColor &ground)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, ground);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget *widget, const QColor &text)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, text);
    widget->setPalette(p);
}

} // namespace controls
