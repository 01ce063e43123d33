#include "controls/gauge.h"

#include "controls/accessiblecontrols.h"
#include "controls/bltbitmap.h"
#include "controls/einvalidoperation.h"
#include "controls/fillextent.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>

namespace controls {

namespace {

// A rectangle by its edges; right and bottom lie just outside it.
struct Edges
{
    int Left;
    int Top;
    int Right;
    int Bottom;

    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    QRect ToRect() const { return {Left, Top, Right - Left, Bottom - Top}; }
};

std::string RangeMessage(std::int64_t low, std::int64_t high)
{
    char text[80];
    std::snprintf(text, sizeof text, "Value must be between %lld and %lld",
                  static_cast<long long>(low), static_cast<long long>(high));
    return text;
}

int RoundHalfEven(double v)
{
    const double r = std::nearbyint(v); // default rounding mode: nearest, ties to even
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(r);
}

void Fill(QPainter &painter, const Edges &e, const QColor &colour)
{
    if (!e.IsEmpty())
        painter.fillRect(e.ToRect(), colour);
}

// The shapes below take a bounding box by its edges, right and bottom
// outside, the way the gauge's geometry is worked out; Qt's outlines cover
// one pixel more than the rectangle they are given.
QRect OutlineBox(const Edges &e)
{
    return {e.Left, e.Top, e.Right - e.Left - 1, e.Bottom - e.Top - 1};
}

void Ellipse(QPainter &painter, const Edges &e)
{
    if (!e.IsEmpty())
        painter.drawEllipse(OutlineBox(e));
}

// A filled sector drawn counter-clockwise from the ray through Start to the
// ray through End; rays in the same direction give the whole ellipse.
void Pie(QPainter &painter, const Edges &e, QPoint start, QPoint end)
{
    if (e.IsEmpty())
        return;
    const QRect box = OutlineBox(e);
    const QPointF centre = QRectF(box).center();
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    // Qt places arc ends by the ellipse's parametric angle, so a ray's
    // direction is turned into that angle first.
    const auto angle = [&](QPoint p) {
        const double dx = p.x() - centre.x();
        const double dy = centre.y() - p.y();
        return std::atan2(ry > 0 ? dy / ry : dy, rx > 0 ? dx / rx : dx) * 180.0 / std::numbers::pi;
    };
    const double from = angle(start);
    double span = angle(end) - from;
    while (span <= 0)
        span += 360.0;
    painter.drawPie(box, qRound(from * 16), qRound(span * 16));
}

// Dest ^= Source over the colour bits; both images are RGB32 of one size.
void XorOnto(QImage &dest, const QImage &source)
{
    for (int y = 0; y < dest.height(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(dest.scanLine(y));
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < dest.width(); ++x)
            d[x] ^= s[x] & 0x00FFFFFFu;
    }
}

// A pen of width one that, like the canvas lines the geometry was made for,
// leaves out the last point of a line.
QPen ThinPen(const QColor &colour)
{
    QPen pen(colour, 1);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// The colours and frame every kind of gauge is drawn with.
struct Look
{
    QColor Fore;
    QColor Back;
    QColor Face; // the control's own colour, behind the round kinds
    bool Framed;
};

// A bar filling from the left; the extent is a right edge, not a width:
// with a frame the full bar ends exactly at the paint rectangle's right.
void PaintHorizontalBar(QPainter &p, const Edges &paint, const Look &look, int percent)
{
    const int w = paint.Right - paint.Left + 1;
    const int h = paint.Bottom - paint.Top + 1;
    Fill(p, paint, look.Back);
    const auto fill = static_cast<int>(std::clamp<std::int64_t>(FillExtent(w, percent), 0, w));
    if (fill >= 1)
        Fill(p, {paint.Left, paint.Top, fill, h}, look.Fore);
}

// A bar measured up from the paint rectangle's bottom, so that a full bar
// also reaches the top when there is no frame.
void PaintVerticalBar(QPainter &p, const Edges &paint, const Look &look, int percent)
{
    const int w = paint.Right - paint.Left + 1;
    const int h = paint.Bottom - paint.Top + 1;
    Fill(p, paint, look.Back);
    auto fill = FillExtent(h, percent);
    if (fill >= h)
        fill = h - 1;
    if (fill > 0)
        Fill(p, {paint.Left, paint.Bottom - static_cast<int>(fill), w, paint.Bottom}, look.Fore);
}

// The round kinds span one pixel more when framed, reaching the frame's
// inner edge on the right and bottom.
QSize RoundSpan(const Edges &paint, const Look &look)
{
    const int grow = look.Framed ? 1 : 0;
    return {paint.Right - paint.Left + grow, paint.Bottom - paint.Top + grow};
}

// An ellipse with a sector that grows clockwise from twelve o'clock.
void PaintPie(QPainter &p, const Edges &paint, const Look &look, int percent)
{
    const QSize span = RoundSpan(paint, look);
    const int w = span.width();
    const int h = span.height();
    Fill(p, paint, look.Face);
    const Edges box{paint.Left, paint.Top, w, h};
    p.setPen(ThinPen(look.Fore));
    p.setBrush(look.Back);
    Ellipse(p, box);
    if (percent > 0) {
        p.setBrush(look.Fore);
        const int mx = w / 2;
        const int my = h / 2;
        const auto a =
            static_cast<double>(std::numbers::pi_v<long double> * (percent / 50.0L + 0.5L));
        const QPoint start(RoundHalfEven(mx * (1 - std::cos(a))),
                           RoundHalfEven(my * (1 - std::sin(a))));
        Pie(p, box, start, QPoint(mx, 0));
    }
}

// A half dial standing on the bottom edge with a needle from its middle;
// the needle pivots on the control's own middle, frame or not.
void PaintNeedle(QPainter &p, const Edges &paint, const Look &look, int percent, int middle)
{
    const int x = paint.Left;
    const int y = paint.Top;
    const QSize span = RoundSpan(paint, look);
    const int w = span.width();
    const int h = span.height();
    const int bottom = paint.Bottom;
    Fill(p, paint, look.Face);
    p.setPen(ThinPen(look.Fore));
    p.setBrush(look.Back);
    // The upper half of an ellipse twice as tall.
    Pie(p, {x, y, w, 2 * h - 1}, QPoint(x + w, bottom - 1), QPoint(x, bottom - 1));
    p.drawLine(x, bottom, x + w, bottom);
    if (percent > 0) {
        const auto a = static_cast<double>(percent / 100.0L * std::numbers::pi_v<long double>);
        p.drawLine(middle, bottom - 1, RoundHalfEven(middle * (1 - std::cos(a))),
                   RoundHalfEven((bottom - 1) * (1 - std::sin(a))));
    }
}

// White letters XOR-ed on: whatever lies beneath turns into its complement,
// so the text stays readable on any colour. Smoothed edges would XOR into
// stray colours, hence no antialiasing.
void XorPercentText(QImage &image, const Edges &paint, QFont font, int percent)
{
    TBltBitmap text;
    text.MakeLike(image);
    text.fill(Qt::black);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font, &text);
    const QString caption = QString::asprintf("%d%%", percent);
    const int textWidth = metrics.horizontalAdvance(caption);
    const int textHeight = metrics.ascent() + metrics.descent();
    // Centred on the paint rectangle's size but not offset by its corner:
    // with a frame the text sits half a pixel up and left.
    const int tx = (paint.Right - paint.Left + 1 - textWidth) / 2;
    const int ty = (paint.Bottom - paint.Top + 1 - textHeight) / 2;
    QPainter p(&text);
    p.setClipRect(paint.ToRect());
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(tx, ty + metrics.ascent(), caption);
    p.end();
    XorOnto(image, text);
}

} // namespace

TGauge::TGauge(QWidget *parent) : QWidget(parent)
{
    // Every pixel is ours: Qt need not paint the parent behind a repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
    InstallAccessibleControls();
}

void TGauge::SetMinValue(int Value)
{
    if (Value == FMinValue)
        return;
    if (Value > FMaxValue && !Loading)
        throw EInvalidOperation(RangeMessage(-2147483647, std::int64_t{FMaxValue} - 1));
    FMinValue = Value;
    if (FProgress < Value)
        FProgress = Value;
    RepaintNow();
    TellValue();
}

void TGauge::SetMaxValue(int Value)
{
    if (Value == FMaxValue)
        return;
    if (Value < FMinValue && !Loading)
        throw EInvalidOperation(RangeMessage(std::int64_t{FMinValue} + 1, 2147483647));
    FMaxValue = Value;
    if (FProgress > Value)
        FProgress = Value;
    RepaintNow();
    TellValue();
}

void TGauge::SetProgress(int Value)
{
    const int before = Percentage();
    if (Value < FMinValue)
        Value = FMinValue;
    else if (Value > FMaxValue)
        Value = FMaxValue;
    if (Value == FProgress)
        return;
    FProgress = Value;
    // A sweep over many steps costs at most one repaint per percent.
    if (Percentage() != before)
        RepaintNow();
    TellValue();
}

void TGauge::SetKind(TGaugeKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    RepaintNow();
}

void TGauge::SetShowText(bool Value)
{
    if (Value == FShowText)
        return;
    FShowText = Value;
    RepaintNow();
}

void TGauge::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RepaintNow();
}

void TGauge::SetForeColor(const QColor &Value)
{
    if (Value == FForeColor)
        return;
    FForeColor = Value;
    RepaintNow();
}

void TGauge::SetBackColor(const QColor &Value)
{
    if (Value == FBackColor)
        return;
    FBackColor = Value;
    RepaintNow();
}

QColor TGauge::Color() const
{
    return palette().color(QPalette::Window);
}

void TGauge::SetColor(const QColor &Value)
{
    if (Value == Color())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Window, Value);
    setPalette(p);
    RepaintNow();
}

int TGauge::Percentage() const
{
    // In 64 bits the differences cannot overflow, and the truncating
    // division gives what dividing in floating point and truncating gives.
    const std::int64_t span = std::int64_t{FMaxValue} - FMinValue;
    if (span == 0)
        return 0;
    const std::int64_t percent = (std::int64_t{FProgress} - FMinValue) * 100 / span;
    // Only a range left inverted while loading can push it past an int.
    return static_cast<int>(std::clamp<std::int64_t>(percent, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

void TGauge::TellValue()
{
    // Screen readers hear every step, also while a long run keeps the
    // event loop waiting (the event goes out at once).
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, FProgress);
    QAccessible::updateAccessibility(&event);
}

void TGauge::RepaintNow()
{
    // Not update(): a long operation may keep the event loop from running
    // while the gauge is meant to move on screen.
    repaint();
}

void TGauge::paintEvent(QPaintEvent *)
{
    ++Paints;
    const QImage image = Render();
    if (!image.isNull())
        QPainter(this).drawImage(0, 0, image);
}

void TGauge::mousePressEvent(QMouseEvent *event)
{
    // Presses on the gauge are the gauge's; they do not reach the window
    // below (which would start dragging it).
    event->accept();
}

QImage TGauge::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::black);

    Edges paint{0, 0, width(), height()};
    if (FBorderStyle == bsSingle)
        paint = {1, 1, width() - 1, height() - 1};

    // The look goes on a black overlay that is XOR-ed onto the black image,
    // so everything outside the paint rectangle stays black: the frame.
    TBltBitmap overlay;
    overlay.MakeLike(image);
    overlay.fill(Qt::black);
    const int percent = Percentage();
    if (!paint.IsEmpty()) {
        QPainter p(&overlay);
        p.setClipRect(paint.ToRect());
        const Look look{FForeColor, FBackColor, Color(), FBorderStyle == bsSingle};
        switch (FKind) {
        case gkText:
            Fill(p, paint, FBackColor);
            break;
        case gkHorizontalBar:
            PaintHorizontalBar(p, paint, look, percent);
            break;
        case gkVerticalBar:
            PaintVerticalBar(p, paint, look, percent);
            break;
        case gkPie:
            PaintPie(p, paint, look, percent);
            break;
        case gkNeedle:
            PaintNeedle(p, paint, look, percent, width() / 2);
            break;
        }
    }
    XorOnto(image, overlay);

    if (FShowText && !paint.IsEmpty())
        XorPercentText(image, paint, font(), percent);
    return image;
}

} // namespace controls
