#include "about/moviescroll.h"

#include "controls/accessiblecontrols.h"

#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <limits>

namespace about {

TMovieScroll::TMovieScroll(QWidget *parent) : QWidget(parent)
{
    // Screen readers get the credits as one text, whatever part is in view.
    controls::SetAccessibleRole(this, QAccessible::StaticText, true);
    // Every pixel is ours each frame: Qt need not clear beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 100);
    Resize();
    Timer = new QTimer(this);
    Timer->setInterval(FTimerInterval);
    connect(Timer, &QTimer::timeout, this, &TMovieScroll::TimerTick);
    Timer->start();
}

void TMovieScroll::SetScrollText(const QStringList &Value)
{
    if (&Value != &FScrollText)
        FScrollText = Value;
    setAccessibleName(VisibleText());
}

void TMovieScroll::SetBackColor(const QColor &Value)
{
    if (Value != FBackColor)
        FBackColor = Value;
}

void TMovieScroll::SetDefaultFont(const TFont &Value)
{
    if (&Value != &FDefaultFont)
        FDefaultFont = Value;
}

void TMovieScroll::SetTimerInterval(int Value)
{
    if (Value == FTimerInterval)
        return;
    FTimerInterval = Value;
    Timer->setInterval(Value);
}

void TMovieScroll::SetShadowColor(const QColor &Value)
{
    if (Value != FShadowColor)
        FShadowColor = Value;
}

bool TMovieScroll::TimerActive() const
{
    return Timer->isActive();
}

QString TMovieScroll::LeftChars(const QString &text, quint16 count)
{
    return text.left(count);
}

QString TMovieScroll::RightChars(const QString &text, quint16 count)
{
    const qsizetype n = std::min<qsizetype>(count, text.size());
    return text.right(n);
}

std::optional<int> TMovieScroll::StrToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') ||
                  text[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    // Hexadecimal covers all 32 bits (a colour may set the top one);
    // decimal stays within the signed range.
    const quint64 limit =
        hex ? 0xFFFFFFFFull : quint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    quint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + quint64(digit);
        if (value > limit)
            return std::nullopt;
    }
    const auto bits = static_cast<quint32>(negative ? 0ull - value : value);
    return static_cast<int>(bits);
}

void TMovieScroll::Resize()
{
    FTextTop = height() + 1;
    Bitmap = QImage(size(), QImage::Format_RGB32);
}

void TMovieScroll::TimerTick()
{
    --FTextTop;
    Paint();
}

void TMovieScroll::Paint()
{
    DrawFrame();
    FrameReady = true;
    repaint();
    FrameReady = false;
}

void TMovieScroll::paintEvent(QPaintEvent *)
{
    if (!FrameReady)
        DrawFrame();
    QPainter painter(this);
    painter.drawImage(0, 0, Bitmap);
}

// Qt also reports placements that change nothing (a hidden control's
// pending one, again at every grab); only real changes restart the text.
// The picture always has the size last taken, so it tells a real change.
void TMovieScroll::resizeEvent(QResizeEvent *event)
{
    if (event->size() != Bitmap.size())
        Resize();
}

void TMovieScroll::moveEvent(QMoveEvent *event)
{
    if (event->pos() != event->oldPos())
        Resize();
}

namespace {

// The line's font and layout as its tags leave them.
struct LineStyle
{
    QFont Font;
    QColor Color;
    bool Centre = false;
};

void ApplyTag(const QString &tag, LineStyle &style)
{
    if (tag == QLatin1String("center")) {
        style.Centre = true;
    } else if (tag == QLatin1String("b")) {
        style.Font.setBold(true);
    } else if (tag == QLatin1String("i")) {
        style.Font.setItalic(true);
    } else if (tag == QLatin1String("u")) {
        style.Font.setUnderline(true);
    } else if (TMovieScroll::LeftChars(tag, 5) == QLatin1String("size=")) {
        // A value that is no number, or no size (zero or below), leaves
        // the size alone.
        const auto points = TMovieScroll::StrToInt(
            TMovieScroll::RightChars(tag, static_cast<quint16>(tag.size() - 5)));
        if (points && *points > 0)
            style.Font.setPointSize(*points);
    } else if (TMovieScroll::LeftChars(tag, 5) == QLatin1String("font=")) {
        style.Font.setFamily(TMovieScroll::RightChars(tag, static_cast<quint16>(tag.size() - 5)));
    } else if (TMovieScroll::LeftChars(tag, 6) == QLatin1String("color=")) {
        const auto colour = TMovieScroll::StrToInt(
            TMovieScroll::RightChars(tag, static_cast<quint16>(tag.size() - 6)));
        if (colour)
            style.Color = ColorFromBGR(static_cast<quint32>(*colour));
    }
}

// What line shows, its tags applied to style. A tag still open at the end
// of the line stays open (tagOpen) into the next.
QString ScanLine(const QString &line, bool &tagOpen, LineStyle &style)
{
    QString visible;
    QString tag;
    for (const QChar c : line) {
        const bool open = c == QLatin1Char('[');
        const bool close = c == QLatin1Char(']');
        if (tagOpen && close) {
            tagOpen = false;
            ApplyTag(tag, style);
            tag.clear();
        }
        if (tagOpen && !open && !close)
            tag += c;
        if (!tagOpen && open)
            tagOpen = true;
        if (!tagOpen && !close && !open)
            visible += c;
    }
    return visible;
}

// Hard-edged letters, as the credits were always drawn: the colours on
// screen are exactly the ones asked for.
QFont Crisp(QFont font)
{
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The closing caption: the credits' face at 20 points, bold and nothing
// else, whatever style the default font carries.
QFont ClosingFont(const QFont &base)
{
    QFont font(base.family(), 20, QFont::Bold);
    if (!base.families().isEmpty())
        font.setFamilies(base.families());
    return font;
}

} // namespace

void TMovieScroll::DrawFrame()
{
    if (Bitmap.size() != size())
        Resize();
    if (Bitmap.isNull())
        return;
    QPainter painter(&Bitmap);
    painter.fillRect(Bitmap.rect(), FBackColor);
    painter.setBackgroundMode(Qt::TransparentMode);

    // These live for the whole frame: a tag left open at the end of a line
    // carries on into the next.
    bool tagOpen = false;
    int lineOffset = 0;

    const qsizetype count = FScrollText.size();
    for (qsizetype i = 0; i < count; ++i) {
        LineStyle style{FDefaultFont.Font, FDefaultFont.Color, false};
        const QString visible = ScanLine(FScrollText[i], tagOpen, style);

        painter.setFont(Crisp(style.Font));
        const QFontMetrics metrics = painter.fontMetrics();
        const int y = FTextTop + lineOffset;
        const int x = style.Centre ? (width() - metrics.horizontalAdvance(visible)) / 2 : 1;
        if (FShadow) {
            painter.setPen(FShadowColor);
            painter.drawText(x + FShadowOffset, y + FShadowOffset + metrics.ascent(), visible);
        }
        painter.setPen(style.Color);
        painter.drawText(x, y + metrics.ascent(), visible);

        // Empty text measures a line of the font all the same.
        const int lineHeight = metrics.height();
        lineOffset += lineHeight;

        if (i == count - 1 && lineHeight + FTextTop + lineOffset < 0) {
            if (FLoop) {
                FTextTop = height() + 1;
            } else {
                Timer->stop();
                painter.setFont(Crisp(ClosingFont(FDefaultFont.Font)));
                const QFontMetrics endMetrics = painter.fontMetrics();
                painter.setPen(FDefaultFont.Color);
                const int ex = (width() - endMetrics.horizontalAdvance(FCompleteText)) / 2;
                const int ey = (height() - endMetrics.height()) / 2;
                painter.drawText(ex, ey + endMetrics.ascent(), FCompleteText);
            }
        }
    }
}

QString TMovieScroll::VisibleText() const
{
    bool tagOpen = false;
    QStringList lines;
    for (const QString &line : FScrollText) {
        LineStyle style{FDefaultFont.Font, FDefaultFont.Color, false};
        lines.append(ScanLine(line, tagOpen, style));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace about
