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
    ParseText();
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
    ParseText();
}

void TMovieScroll::SetCompleteText(const QString &Value)
{
    FCompleteText = Value;
    LayOut();
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
    LayOut();
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
QFont ClosingCaptionFont(const QFont &base)
{
    QFont font(base.family(), 20, QFont::Bold);
    if (!base.families().isEmpty())
        font.setFamilies(base.families());
    return font;
}

} // namespace

void TMovieScroll::ParseText()
{
    // A tag left open at the end of a line carries on into the next.
    bool tagOpen = false;
    Lines.clear();
    Lines.reserve(FScrollText.size());
    for (const QString &text : FScrollText) {
        LineStyle style{FDefaultFont.Font, FDefaultFont.Color, false};
        TLine line;
        line.Visible = ScanLine(text, tagOpen, style);
        line.Font = Crisp(style.Font);
        line.Color = style.Color;
        line.Centre = style.Centre;
        Lines.append(line);
    }
    LayOut();
}

void TMovieScroll::LayOut()
{
    if (Bitmap.isNull())
        return; // nothing is drawn until there is a picture, which lays out again
    // Measured on the picture the frames are drawn into, as drawing sees it.
    QPainter painter(&Bitmap);
    for (TLine &line : Lines) {
        painter.setFont(line.Font);
        const QFontMetrics metrics = painter.fontMetrics();
        line.Left = line.Centre ? (width() - metrics.horizontalAdvance(line.Visible)) / 2 : 1;
        line.Ascent = metrics.ascent();
        // Empty text measures a line of the font all the same.
        line.Height = metrics.height();
    }
    ClosingFont = Crisp(ClosingCaptionFont(FDefaultFont.Font));
    painter.setFont(ClosingFont);
    const QFontMetrics endMetrics = painter.fontMetrics();
    ClosingAt = QPoint((width() - endMetrics.horizontalAdvance(FCompleteText)) / 2,
                       (height() - endMetrics.height()) / 2 + endMetrics.ascent());
}

void TMovieScroll::DrawFrame()
{
    if (Bitmap.size() != size())
        Resize();
    if (Bitmap.isNull())
        return;
    QPainter painter(&Bitmap);
    painter.fillRect(Bitmap.rect(), FBackColor);
    painter.setBackgroundMode(Qt::TransparentMode);

    int lineOffset = 0;
    const qsizetype count = Lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        const TLine &line = Lines[i];
        painter.setFont(line.Font);
        const int y = FTextTop + lineOffset;
        if (FShadow) {
            painter.setPen(FShadowColor);
            painter.drawText(line.Left + FShadowOffset, y + FShadowOffset + line.Ascent,
                             line.Visible);
        }
        painter.setPen(line.Color);
        painter.drawText(line.Left, y + line.Ascent, line.Visible);
        lineOffset += line.Height;

        if (i == count - 1 && line.Height + FTextTop + lineOffset < 0) {
            if (FLoop) {
                FTextTop = height() + 1;
            } else {
                Timer->stop();
                painter.setFont(ClosingFont);
                painter.setPen(FDefaultFont.Color);
                painter.drawText(ClosingAt.x(), ClosingAt.y(), FCompleteText);
            }
        }
    }
}

QString TMovieScroll::VisibleText() const
{
    QStringList lines;
    for (const TLine &line : Lines)
        lines.append(line.Visible);
    return lines.join(QLatin1Char('\n'));
}

} // namespace about
