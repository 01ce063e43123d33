#include "controls/einvalidoperation.h"
#include "controls/fillextent.h"
#include "controls/gauge.h"
#include "qttestsupport.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>
#include <numbers>

using controls::TGauge;
using Kind = TGauge::TGaugeKind;
using Border = TGauge::TBorderStyle;

namespace {

constexpr QRgb Black = 0x000000, White = 0xFFFFFF, Red = 0xFF0000, Navy = 0x000080;
constexpr QRgb Silver = 0xC0C0C0, Aqua = 0x00FFFF;

QImage Shot(TGauge &g)
{
    return g.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb At(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

const char *Where(int x, int y)
{
    static QByteArray text;
    text = QByteArray::number(x) + "," + QByteArray::number(y);
    return text.constData();
}

// Sets the range in an order the range checks accept.
void SetRange(TGauge &g, int min, int max)
{
    if (min > g.MaxValue()) {
        g.SetMaxValue(max);
        g.SetMinValue(min);
    } else {
        g.SetMinValue(min);
        g.SetMaxValue(max);
    }
}

// Red on white, navy around, no text: every part of a look told apart.
void Paint(TGauge &g, Kind kind, Border border, QSize size, int percent)
{
    g.resize(size);
    g.SetKind(kind);
    g.SetBorderStyle(border);
    g.SetShowText(false);
    g.SetForeColor(QColor::fromRgb(Red));
    g.SetBackColor(QColor::fromRgb(White));
    g.SetColor(QColor::fromRgb(Navy));
    g.SetProgress(percent);
}

// Lines may be rasterised a pixel to either side of the ideal point.
bool Near(const QImage &image, int x, int y, QRgb colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.rect().contains(x + dx, y + dy) && At(image, x + dx, y + dy) == colour)
                return true;
    return false;
}

bool FrameIsBlack(const QImage &image)
{
    const int w = image.width(), h = image.height();
    for (int x = 0; x < w; ++x)
        if (At(image, x, 0) != Black || At(image, x, h - 1) != Black)
            return false;
    for (int y = 0; y < h; ++y)
        if (At(image, 0, y) != Black || At(image, w - 1, y) != Black)
            return false;
    return true;
}

// The face the main window gives its gauges: 8 points (11 pixels), bold.
QFont MainWindowFont()
{
    return controls::SansFont(11, true);
}

} // namespace

class GaugeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void defaults();
    void values_data();
    void values();
    void rangeErrors_data();
    void rangeErrors();
    void loadingSkipsRangeChecks();
    void repaints_data();
    void repaints();
    void sweepRepaintsOncePerPercent();
    void fillExtent();
    void bars_data();
    void bars();
    void pie_data();
    void pie();
    void needle_data();
    void needle();
    void frame_data();
    void frame();
    void textComplement_data();
    void textComplement();
    void pressesStayOnGauge();
};

void GaugeTest::initTestCase()
{
    testsupport::UseProgramFonts();
}

void GaugeTest::defaults()
{
    TGauge g;
    QCOMPARE(g.size(), QSize(100, 100));
    QCOMPARE(g.property("Kind").value<Kind>(), TGauge::gkHorizontalBar);
    QCOMPARE(g.property("BorderStyle").value<Border>(), TGauge::bsSingle);
    QCOMPARE(g.property("ShowText").toBool(), true);
    QCOMPARE(g.property("ForeColor").value<QColor>(), QColor(Qt::black));
    QCOMPARE(g.property("BackColor").value<QColor>(), QColor(Qt::white));
    QCOMPARE(QList<int>({g.MinValue(), g.MaxValue(), g.Progress(), g.Percentage()}),
             QList<int>({0, 100, 0, 0}));

    // A black frame around white, with "0%" in black (white's complement).
    const QImage image = Shot(g);
    QVERIFY(FrameIsBlack(image));
    int black = 0;
    for (int y = 1; y < 99; ++y)
        for (int x = 1; x < 99; ++x)
            if (At(image, x, y) == Black)
                ++black;
            else
                QVERIFY2(At(image, x, y) == White, Where(x, y));
    QVERIFY(black > 10);
}

void GaugeTest::values_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expectedProgress");
    QTest::addColumn<int>("expectedPercentage");

    const QByteArray progress = "Progress", min = "MinValue", max = "MaxValue";
    QTest::newRow("one third") << 0 << 3 << 0 << progress << 1 << 1 << 33;
    QTest::newRow("two thirds") << 0 << 3 << 0 << progress << 2 << 2 << 66;
    QTest::newRow("offset range") << 10 << 20 << 10 << progress << 19 << 19 << 90;
    QTest::newRow("negative range") << -200 << -100 << -200 << progress << -150 << -150 << 50;
    // Differences that do not fit in 32 bits.
    QTest::newRow("widest range") << INT_MIN << INT_MAX << 0 << progress << -1 << -1 << 49;
    QTest::newRow("near-widest range") << -INT_MAX << INT_MAX << 0 << progress << 0 << 0 << 50;
    QTest::newRow("above range") << 0 << 100 << 50 << progress << 150 << 100 << 100;
    QTest::newRow("below range") << 0 << 100 << 50 << progress << -5 << 0 << 0;
    QTest::newRow("MaxValue below Progress") << 0 << 100 << 60 << max << 40 << 40 << 100;
    QTest::newRow("MinValue above Progress") << 0 << 100 << 20 << min << 30 << 30 << 0;
    QTest::newRow("MinValue to MaxValue") << 0 << 100 << 20 << min << 100 << 100 << 0;
    QTest::newRow("MaxValue to MinValue") << 10 << 100 << 50 << max << 10 << 10 << 0;
}

void GaugeTest::values()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, progress);
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    QFETCH(int, expectedProgress);
    QFETCH(int, expectedPercentage);
    TGauge g;
    SetRange(g, min, max);
    g.SetProgress(progress);
    QVERIFY(g.setProperty(property.constData(), value));
    QCOMPARE(g.Progress(), expectedProgress);
    QCOMPARE(g.Percentage(), expectedPercentage);
}

void GaugeTest::rangeErrors_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("writeMin");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");

    QTest::newRow("MinValue above MaxValue")
        << 0 << 100 << true << 200 << "Value must be between -2147483647 and 99";
    QTest::newRow("MaxValue below MinValue")
        << 0 << 100 << false << -1 << "Value must be between 1 and 2147483647";
    // The bounds say one past the extremes, without wrapping around.
    QTest::newRow("MinValue above lowest MaxValue")
        << INT_MIN << INT_MIN << true << 0 << "Value must be between -2147483647 and -2147483649";
    QTest::newRow("MaxValue below highest MinValue")
        << INT_MAX << INT_MAX << false << 0 << "Value must be between 2147483648 and 2147483647";
}

void GaugeTest::rangeErrors()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(bool, writeMin);
    QFETCH(int, value);
    QFETCH(QString, message);
    TGauge g;
    SetRange(g, min, max);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    const int progress = g.Progress(), paints = g.PaintCount();
    QString raised;
    try {
        writeMin ? g.SetMinValue(value) : g.SetMaxValue(value);
    } catch (const controls::EInvalidOperation &e) {
        raised = e.what();
    }
    QCOMPARE(raised, message);
    QCOMPARE(QList<int>({g.MinValue(), g.MaxValue(), g.Progress(), g.PaintCount()}),
             QList<int>({min, max, progress, paints}));
}

void GaugeTest::loadingSkipsRangeChecks()
{
    TGauge g;
    g.BeginLoad();
    g.SetMinValue(200); // above MaxValue until MaxValue arrives
    g.SetMaxValue(300);
    g.EndLoad();
    QCOMPARE(QList<int>({g.MinValue(), g.MaxValue(), g.Progress()}), QList<int>({200, 300, 200}));
    QVERIFY_THROWS_EXCEPTION(controls::EInvalidOperation, g.SetMinValue(400));
}

void GaugeTest::repaints_data()
{
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");

    const auto v = [](auto value) { return QVariant::fromValue(value); };
    const auto colour = [](QRgb c) { return QVariant::fromValue(QColor::fromRgb(c)); };
    QTest::newRow("Kind") << 100 << 0 << QByteArray("Kind") << v(TGauge::gkPie) << 1;
    QTest::newRow("Kind same") << 100 << 0 << QByteArray("Kind") << v(TGauge::gkHorizontalBar) << 0;
    QTest::newRow("ShowText") << 100 << 0 << QByteArray("ShowText") << v(false) << 1;
    QTest::newRow("ShowText same") << 100 << 0 << QByteArray("ShowText") << v(true) << 0;
    QTest::newRow("BorderStyle") << 100 << 0 << QByteArray("BorderStyle") << v(TGauge::bsNone) << 1;
    QTest::newRow("BorderStyle same")
        << 100 << 0 << QByteArray("BorderStyle") << v(TGauge::bsSingle) << 0;
    QTest::newRow("ForeColor") << 100 << 0 << QByteArray("ForeColor") << colour(Aqua) << 1;
    QTest::newRow("ForeColor same") << 100 << 0 << QByteArray("ForeColor") << colour(Black) << 0;
    QTest::newRow("BackColor") << 100 << 0 << QByteArray("BackColor") << colour(Silver) << 1;
    QTest::newRow("BackColor same") << 100 << 0 << QByteArray("BackColor") << colour(White) << 0;
    QTest::newRow("Color") << 100 << 0 << QByteArray("Color") << colour(Navy) << 1;
    QTest::newRow("MinValue") << 100 << 0 << QByteArray("MinValue") << v(10) << 1;
    QTest::newRow("MinValue same") << 100 << 0 << QByteArray("MinValue") << v(0) << 0;
    QTest::newRow("MaxValue pulls Progress") << 100 << 80 << QByteArray("MaxValue") << v(50) << 1;
    QTest::newRow("MaxValue same") << 100 << 0 << QByteArray("MaxValue") << v(100) << 0;
    QTest::newRow("Progress, new percent") << 100 << 0 << QByteArray("Progress") << v(1) << 1;
    QTest::newRow("Progress, same percent") << 1000 << 0 << QByteArray("Progress") << v(9) << 0;
    QTest::newRow("Progress same") << 100 << 40 << QByteArray("Progress") << v(40) << 0;
    QTest::newRow("Progress clamped to same")
        << 100 << 100 << QByteArray("Progress") << v(150) << 0;
}

void GaugeTest::repaints()
{
    QFETCH(int, max);
    QFETCH(int, progress);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    TGauge g;
    g.SetMaxValue(max);
    g.SetProgress(progress);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QCoreApplication::processEvents();
    const int before = g.PaintCount();

    QVERIFY(g.setProperty(property.constData(), value));
    QCOMPARE(g.PaintCount() - before, expected); // before the write returned
    QCoreApplication::processEvents();
    QCOMPARE(g.PaintCount() - before, expected); // and nothing left for the event loop
}

void GaugeTest::sweepRepaintsOncePerPercent()
{
    TGauge g;
    g.SetMaxValue(10000);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QCoreApplication::processEvents();
    const int before = g.PaintCount();
    for (int i = 1; i <= 10000; ++i)
        g.SetProgress(i);
    QCOMPARE(g.PaintCount() - before, 100);
}

void GaugeTest::fillExtent()
{
    // Where 0.01 rounds below a hundredth the result falls one short.
    QCOMPARE(controls::FillExtent(100, 99), 98);
    QCOMPARE(controls::FillExtent(5, 20), 0);
    QCOMPARE(controls::FillExtent(100, 25), 25);
    QCOMPARE(controls::FillExtent(INT_MAX, INT_MAX), 46116860141324206);

    if constexpr (std::numeric_limits<long double>::digits != 64) {
        QSKIP("long double is not the 80-bit extended format here");
    } else {
        const auto reference = [](int e, int p) {
            return static_cast<qint64>(static_cast<long double>(e) *
                                       (static_cast<long double>(p) * 0.01L));
        };
        int differences = 0;
        for (int e = -50; e <= 3000; ++e)
            for (int p = -10; p <= 110; ++p)
                differences += controls::FillExtent(e, p) != reference(e, p);
        for (const int e : {INT_MIN, -65536, 65535, 1 << 24, INT_MAX})
            for (const int p : {INT_MIN, -99, 1, 33, 99, 1 << 20, INT_MAX})
                differences += controls::FillExtent(e, p) != reference(e, p);
        QCOMPARE(differences, 0);
    }
}

void GaugeTest::bars_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Border>("border");
    QTest::addColumn<int>("length"); // of the gauge along the bar
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("barEnd"); // first pixel past the bar's far end

    const Kind h = TGauge::gkHorizontalBar, v = TGauge::gkVerticalBar;
    const Border framed = TGauge::bsSingle, bare = TGauge::bsNone;
    QTest::newRow("horizontal, 0 % of 100") << h << framed << 101 << 0 << 1;
    QTest::newRow("horizontal, 25 % of 100") << h << framed << 101 << 25 << 25;
    QTest::newRow("horizontal, 99 % of 100") << h << framed << 101 << 99 << 98;
    QTest::newRow("horizontal, 100 % of 100") << h << framed << 101 << 100 << 100;
    QTest::newRow("horizontal, 20 % of 5") << h << framed << 6 << 20 << 1;
    QTest::newRow("horizontal, 33 % of 113") << h << framed << 113 << 33 << 36;
    QTest::newRow("horizontal, 99 % of 113") << h << framed << 113 << 99 << 110;
    QTest::newRow("horizontal, 100 % of 113") << h << framed << 113 << 100 << 112;
    QTest::newRow("horizontal unframed, 99 %") << h << bare << 100 << 99 << 99;
    QTest::newRow("horizontal unframed, 100 %") << h << bare << 100 << 100 << 100;
    // Vertical bars rise from the bottom: barEnd is their top row, less one.
    QTest::newRow("vertical, 0 %") << v << framed << 101 << 0 << 99;
    QTest::newRow("vertical, 25 %") << v << framed << 101 << 25 << 74;
    QTest::newRow("vertical, 99 %") << v << framed << 101 << 99 << 1;
    QTest::newRow("vertical, 100 % reaches the top") << v << framed << 101 << 100 << 0;
    QTest::newRow("vertical, 100 % of 16") << v << framed << 16 << 100 << 0;
    QTest::newRow("vertical unframed, 50 %") << v << bare << 100 << 50 << 49;
    QTest::newRow("vertical unframed, 100 %") << v << bare << 100 << 100 << -1;
}

void GaugeTest::bars()
{
    QFETCH(Kind, kind);
    QFETCH(Border, border);
    QFETCH(int, length);
    QFETCH(int, percent);
    QFETCH(int, barEnd);
    const bool vertical = kind == TGauge::gkVerticalBar;
    TGauge g;
    Paint(g, kind, border, vertical ? QSize(12, length) : QSize(length, 12), percent);
    const QImage image = Shot(g);
    const int edge = border == TGauge::bsSingle ? 1 : 0;
    for (const int across : {edge, 6, 11 - edge}) {
        for (int along = 0; along < length; ++along) {
            const bool inBar = vertical ? along > barEnd : along < barEnd;
            const bool inFrame = along < edge || along >= length - edge;
            const QRgb expected = inFrame ? Black : inBar ? Red : White;
            const int x = vertical ? across : along, y = vertical ? along : across;
            QVERIFY2(At(image, x, y) == expected, Where(x, y));
        }
    }
}

void GaugeTest::pie_data()
{
    QTest::addColumn<int>("percent");
    for (const int p : {0, 1, 10, 25, 33, 50, 66, 75, 99, 100})
        QTest::addRow("%d %%", p) << p;
}

void GaugeTest::pie()
{
    QFETCH(int, percent);
    TGauge g;
    Paint(g, TGauge::gkPie, TGauge::bsSingle, QSize(101, 101), percent);
    const QImage image = Shot(g);
    QCOMPARE(At(image, 3, 3), Navy); // outside the ellipse

    // From twelve o'clock clockwise, 3.6 degrees per percent: sample a
    // circle around the centre, clear of the sector's two edges.
    const double sweep = 3.6 * percent;
    for (int degrees = 5; degrees < 356; degrees += 3) {
        if (std::abs(degrees - sweep) < 5)
            continue;
        const double a = degrees * std::numbers::pi / 180;
        const int x = 50 + qRound(35 * std::sin(a)), y = 50 - qRound(35 * std::cos(a));
        QVERIFY2(At(image, x, y) == (degrees < sweep ? Red : White), Where(x, y));
    }
    if (percent > 2 && percent < 98) { // just either side of twelve o'clock
        QCOMPARE(At(image, 53, 20), Red);
        QCOMPARE(At(image, 47, 20), White);
    }
}

void GaugeTest::needle_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QPoint>("end"); // the needle starts at (50, 49)

    QTest::newRow("10 %") << 10 << QPoint(2, 34);
    QTest::newRow("25 %") << 25 << QPoint(15, 14);
    QTest::newRow("50 %") << 50 << QPoint(50, 0);
    QTest::newRow("75 %") << 75 << QPoint(85, 14);
    QTest::newRow("90 %") << 90 << QPoint(98, 34);
}

void GaugeTest::needle()
{
    QFETCH(int, percent);
    QFETCH(QPoint, end);
    TGauge g;
    Paint(g, TGauge::gkNeedle, TGauge::bsSingle, QSize(101, 51), percent);
    const QImage image = Shot(g);
    QCOMPARE(At(image, 3, 5), Navy); // above the dial's curve

    // Pixel by pixel to its end point (which lies on the rim or the frame).
    const QPoint start(50, 49);
    const QPointF step =
        QPointF(end - start) / std::hypot(end.x() - start.x(), end.y() - start.y());
    for (QPointF p = start + 4 * step; QLineF(p, end).length() >= 2; p += step)
        QVERIFY2(Near(image, qRound(p.x()), qRound(p.y()), Red),
                 Where(qRound(p.x()), qRound(p.y())));
    // The mirrored direction shows the bare dial.
    const QPoint mirror =
        percent == 50 ? QPoint(20, 30) : QPoint(75 - end.x() / 2, (49 + end.y()) / 2);
    QVERIFY(!Near(image, mirror.x(), mirror.y(), Red));

    g.SetProgress(0);
    QVERIFY(!Near(Shot(g), (start.x() + end.x()) / 2, (start.y() + end.y()) / 2, Red));
}

void GaugeTest::frame_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("corner"); // without the frame

    QTest::newRow("text") << TGauge::gkText << QSize(60, 30) << White;
    QTest::newRow("horizontal bar") << TGauge::gkHorizontalBar << QSize(60, 30) << Red;
    QTest::newRow("vertical bar") << TGauge::gkVerticalBar << QSize(60, 30) << Red;
    QTest::newRow("pie") << TGauge::gkPie << QSize(60, 30) << Navy;
    QTest::newRow("needle") << TGauge::gkNeedle << QSize(60, 30) << Navy;
    QTest::newRow("text wider than the gauge") << TGauge::gkText << QSize(20, 9) << QRgb(0);
}

void GaugeTest::frame()
{
    QFETCH(Kind, kind);
    QFETCH(QSize, size);
    QFETCH(QRgb, corner);
    TGauge g;
    g.setFont(MainWindowFont());
    Paint(g, kind, TGauge::bsSingle, size, 100);
    g.SetShowText(true);
    const bool wide = QFontMetrics(g.font()).horizontalAdvance("100%") > size.width() - 2;
    QCOMPARE(wide, corner == 0);
    QVERIFY(FrameIsBlack(Shot(g)));
    if (corner == 0)
        return; // the text covers the corners

    // Without the frame the look reaches the corners (the dial stands on
    // the bottom edge, so the needle's lower corners are the dial's).
    g.SetBorderStyle(TGauge::bsNone);
    const QImage image = Shot(g);
    const int r = size.width() - 1, b = size.height() - 1;
    QCOMPARE(At(image, 0, 0), corner);
    QCOMPARE(At(image, r, 0), corner);
    if (kind != TGauge::gkNeedle) {
        QCOMPARE(At(image, 0, b), corner);
        QCOMPARE(At(image, r, b), corner);
    }
}

void GaugeTest::textComplement_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("overSilver");
    QTest::addColumn<bool>("overAqua");

    QTest::newRow("over silver") << 0 << true << false;
    QTest::newRow("over aqua") << 100 << false << true;
    QTest::newRow("over both") << 50 << true << true;
}

void GaugeTest::textComplement()
{
    QFETCH(int, percent);
    QFETCH(bool, overSilver);
    QFETCH(bool, overAqua);

    // The main window's gauges; the font's colour plays no part.
    TGauge g;
    g.resize(113, 16);
    g.SetBackColor(QColor::fromRgb(Silver));
    g.SetForeColor(QColor::fromRgb(Aqua));
    g.SetColor(QColor::fromRgb(Navy));
    g.setFont(MainWindowFont());
    QPalette palette = g.palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(Navy));
    g.setPalette(palette);
    g.SetProgress(percent);
    g.SetShowText(false);
    const QImage look = Shot(g);
    g.SetShowText(true);
    const QImage shown = Shot(g);

    // White letters XOR-ed over the look, at (112 - width) / 2 across and
    // (15 - height) / 2 down (not offset by the frame), inside the frame.
    QFont plain = MainWindowFont();
    plain.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(plain);
    const QString caption = QString("%1%").arg(percent);
    QImage letters(113, 16, QImage::Format_RGB32);
    letters.fill(Qt::black);
    QPainter painter(&letters);
    painter.setClipRect(1, 1, 111, 14);
    painter.setFont(plain);
    painter.setPen(Qt::white);
    painter.drawText((112 - metrics.horizontalAdvance(caption)) / 2,
                     (15 - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent(), caption);
    painter.end();

    int lettered = 0, darkGrey = 0, red = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 113; ++x) {
            const QRgb under = At(look, x, y), over = At(shown, x, y);
            QVERIFY2(over == (under ^ At(letters, x, y)), Where(x, y));
            lettered += over != under;
            darkGrey += under == Silver && over == 0x3F3F3F;
            red += under == Aqua && over == Red;
        }
    }
    QVERIFY(lettered > 20);
    QCOMPARE(darkGrey > 0, overSilver);
    QCOMPARE(red > 0, overAqua);
}

void GaugeTest::pressesStayOnGauge()
{
    struct Window : QWidget
    {
        int Presses = 0;
        void mousePressEvent(QMouseEvent *) override { ++Presses; }
    } window;
    TGauge gauge(&window);
    QWidget plain(&window); // an ordinary child passes its presses on
    plain.move(150, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(&gauge, Qt::LeftButton);
    QTest::mouseClick(&gauge, Qt::RightButton);
    QCOMPARE(window.Presses, 0);
    QTest::mouseClick(&plain, Qt::LeftButton);
    QCOMPARE(window.Presses, 1);
}

QTEST_MAIN(GaugeTest)
#include "gauge_test.moc"
