// The credits control drawn offscreen: where each line lands after a known
// number of ticks, in which colour and size, and how the roll ends or wraps.

#include "about/moviescroll.h"
#include "qttestsupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <QtTest>

using about::TFont;
using about::TMovieScroll;

namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kRed(0xFF, 0x00, 0x00);

QFont Crisp(QFont font)
{
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont Points(int points, bool bold = false)
{
    QFont font = TMovieScroll().DefaultFont().Font;
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// Metrics as a 96-dpi picture sees them.
QFontMetrics Metrics(const QFont &font)
{
    static QImage probe(1, 1, QImage::Format_RGB32);
    return QFontMetrics(Crisp(font), &probe);
}

// The pixels of one colour in a frame, as a mask.
QImage Mask(const QImage &frame, const QColor &colour)
{
    const QImage img = frame.convertToFormat(QImage::Format_RGB32);
    QImage mask(img.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF))
                mask.setPixel(x, y, 0xFFFFFFFF);
    return mask;
}

// The text alone, in white on black, its top-left corner at the point: what
// the frame must show there.
QImage Ink(const QString &text, const QFont &font, QPoint topLeft, QSize size = {200, 100})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setFont(Crisp(font));
    p.setPen(Qt::white);
    p.drawText(topLeft.x(), topLeft.y() + p.fontMetrics().ascent(), text);
    return img;
}

// Ink of several pieces together.
QImage Union(const QList<QImage> &parts)
{
    QImage out = parts.first();
    for (const QImage &part : parts) {
        QPainter p(&out);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(0, 0, part);
    }
    return out;
}

QRect Box(const QImage &mask)
{
    QRect box;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            if ((mask.pixel(x, y) & 0xFFFFFF) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

void Tick(TMovieScroll &movie, int n)
{
    for (int i = 0; i < n; ++i)
        movie.TimerTick();
}

} // namespace

class MovieScrollTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::UseProgramFonts(); }

    void defaultControl()
    {
        TMovieScroll movie;
        QCOMPARE(movie.size(), QSize(200, 100));
        QCOMPARE(movie.TextTop(), 101);
        QCOMPARE(movie.BackColor(), QColor(Qt::black));
        QCOMPARE(movie.DefaultFont().Color, kWhite);
        QCOMPARE(movie.DefaultFont().Font.pointSize(), 9);
        QCOMPARE(movie.DefaultFont().Font.family(), QStringLiteral("Courier New"));
        QVERIFY(!movie.Loop());
        QCOMPARE(movie.CompleteText(), QStringLiteral("The End"));
        QCOMPARE(movie.TimerInterval(), 40);
        QVERIFY(movie.Shadow());
        QCOMPARE(movie.ShadowColor(), kGrey);
        QCOMPARE(movie.ShadowOffset(), 2);
        auto *timer = movie.findChild<QTimer *>();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 40);
        QVERIFY(movie.testAttribute(Qt::WA_OpaquePaintEvent));

        movie.SetScrollText({QStringLiteral("Hello")});
        Tick(movie, 40);
        QCOMPARE(movie.TextTop(), 61);
        const QImage frame = movie.Frame();
        QCOMPARE(Mask(frame, kWhite), Ink("Hello", Points(9), {1, 61}));
        // The shadow sits 2 pixels right and down; its far edges show.
        const QRect text = Box(Mask(frame, kWhite));
        const QRect shadow = Box(Mask(frame, kGrey));
        QCOMPARE(shadow.bottomRight(), text.bottomRight() + QPoint(2, 2));
        // Everything else is background.
        int other = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const QRgb c = frame.pixel(x, y) & 0xFFFFFF;
                other += c != 0 && c != 0xFFFFFF && c != 0x808080;
            }
        QCOMPARE(other, 0);
        // What reaches the screen is that frame.
        const QImage shown = movie.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, frame);
    }

    void markup_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QImage>("expected");
        const int top = 41; // after 60 ticks
        const int h9 = Metrics(Points(9)).height();
        QTest::newRow("bold tag mid-line")
            << QStringList{"ab[b]cd"} << Ink("abcd", Points(9, true), {1, top});
        QTest::newRow("capitalised tag not known")
            << QStringList{"[Center]Hi"} << Ink("Hi", Points(9), {1, top});
        QTest::newRow("stray closing bracket vanishes")
            << QStringList{"a]b"} << Ink("ab", Points(9), {1, top});
        QTest::newRow("bracket inside a tag dropped")
            << QStringList{"[si[ze=14]X"} << Ink("X", Points(14), {1, top});
        QTest::newRow("size not a number")
            << QStringList{"[size=abc]X", "Y"}
            << Union({Ink("X", Points(9), {1, top}), Ink("Y", Points(9), {1, top + h9})});
        QTest::newRow("empty size") << QStringList{"[size=]X"} << Ink("X", Points(9), {1, top});
        QTest::newRow("hex size") << QStringList{"[size=$E]X"} << Ink("X", Points(14), {1, top});
        QTest::newRow("size zero ignored")
            << QStringList{"[size=0]X", "Y"}
            << Union({Ink("X", Points(9), {1, top}), Ink("Y", Points(9), {1, top + h9})});
        QTest::newRow("negative size ignored")
            << QStringList{"[size=-20]X", "Y"}
            << Union({Ink("X", Points(9), {1, top}), Ink("Y", Points(9), {1, top + h9})});
        QTest::newRow("empty line takes a line")
            << QStringList{"A", "", "B"}
            << Union({Ink("A", Points(9), {1, top}), Ink("B", Points(9), {1, top + 2 * h9})});
        const int h30 = Metrics(Points(30)).height();
        QTest::newRow("tag-only line in its own size")
            << QStringList{"A", "[size=30]", "B"}
            << Union({Ink("A", Points(9), {1, top}), Ink("B", Points(9), {1, top + h9 + h30})});
        QTest::newRow("line ending inside a tag")
            << QStringList{"ab[cd", "ef]gh", "ij"}
            << Union({Ink("ab", Points(9), {1, top}), Ink("gh", Points(9), {1, top + h9}),
                      Ink("ij", Points(9), {1, top + 2 * h9})});
        QFont italic = Points(9);
        italic.setItalic(true);
        italic.setUnderline(true);
        QTest::newRow("italic and underline")
            << QStringList{"[i]x[u]y"} << Ink("xy", italic, {1, top});
        QFont serif = Points(9);
        serif.setFamily("Liberation Serif");
        QTest::newRow("font tag") << QStringList{"[font=Liberation Serif]Hg"}
                                  << Ink("Hg", serif, {1, top});
    }

    void markup()
    {
        QFETCH(QStringList, lines);
        QFETCH(QImage, expected);
        TMovieScroll movie;
        movie.SetShadow(false);
        movie.SetScrollText(lines);
        Tick(movie, 60);
        QCOMPARE(Mask(movie.Frame(), kWhite), expected);
    }

    void centredRedLine()
    {
        TMovieScroll movie;
        movie.SetShadow(false);
        movie.SetScrollText({"[center][size=14][color=255]Word", "Next"});
        Tick(movie, 60);
        const int width = Metrics(Points(14)).horizontalAdvance("Word");
        QCOMPARE(Mask(movie.Frame(), kRed), Ink("Word", Points(14), {(200 - width) / 2, 41}));
        const int h14 = Metrics(Points(14)).height();
        QCOMPARE(Mask(movie.Frame(), kWhite), Ink("Next", Points(9), {1, 41 + h14}));
        QVERIFY(Box(Mask(movie.Frame(), kRed)).left() > 50);
    }

    void colourValues_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("decimal blue") << "color=16711680" << QColor(0, 0, 255);
        QTest::newRow("hex green") << "color=$00FF00" << QColor(0, 255, 0);
        QTest::newRow("0x aqua") << "color=0xFFFF00" << QColor(0, 255, 255);
        QTest::newRow("not a number, default") << "color=red" << kWhite;
    }

    void colourValues()
    {
        QFETCH(QString, tag);
        QFETCH(QColor, colour);
        TMovieScroll movie;
        movie.SetShadow(false);
        movie.SetScrollText({"[" + tag + "]M"});
        Tick(movie, 60);
        QCOMPARE(Mask(movie.Frame(), colour), Ink("M", Points(9), {1, 41}));
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "12" << true << 12;
        QTest::newRow("leading blanks") << "  12" << true << 12;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("minus") << "-7" << true << -7;
        QTest::newRow("dollar") << "$FF" << true << 255;
        QTest::newRow("x") << "xff" << true << 255;
        QTest::newRow("X") << "X1f" << true << 31;
        QTest::newRow("0x") << "0x1F" << true << 31;
        QTest::newRow("0X") << "0X10" << true << 16;
        QTest::newRow("negative hex") << "-$10" << true << -16;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("top of range") << "2147483647" << true << 2147483647;
        QTest::newRow("bottom of range") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("all 32 bits in hex") << "$FFFFFFFF" << true << -1;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("prefix alone") << "0x" << false << 0;
        QTest::newRow("dollar alone") << "$" << false << 0;
        QTest::newRow("trailing blank") << "12 " << false << 0;
        QTest::newRow("inner blank") << "1 2" << false << 0;
        QTest::newRow("hex digits in decimal") << "1F" << false << 0;
        QTest::newRow("too big") << "2147483648" << false << 0;
        QTest::newRow("too big hex") << "$100000000" << false << 0;
        QTest::newRow("word") << "red" << false << 0;
    }

    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const auto got = TMovieScroll::StrToInt(text);
        QCOMPARE(got.has_value(), ok);
        if (ok)
            QCOMPARE(*got, value);
    }

    void leftRightChars()
    {
        QCOMPARE(TMovieScroll::LeftChars("size=14", 5), QStringLiteral("size="));
        QCOMPARE(TMovieScroll::LeftChars("ab", 5), QStringLiteral("ab"));
        QCOMPARE(TMovieScroll::LeftChars("ab", 0), QString());
        QCOMPARE(TMovieScroll::RightChars("size=14", 2), QStringLiteral("14"));
        QCOMPARE(TMovieScroll::RightChars("ab", 9), QStringLiteral("ab"));
        QCOMPARE(TMovieScroll::RightChars("ab", 0), QString());
    }

    void endFrameWithLoopOff_data()
    {
        // The control's own font; the closing caption ignores its style.
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::newRow("plain") << false << false << false;
        QTest::newRow("italic") << true << false << false;
        QTest::newRow("underlined") << false << true << false;
        QTest::newRow("italic, underlined, struck out") << true << true << true;
    }

    void endFrameWithLoopOff()
    {
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        TMovieScroll movie;
        TFont styled = movie.DefaultFont();
        styled.Font.setItalic(italic);
        styled.Font.setUnderline(underline);
        styled.Font.setStrikeOut(strikeOut);
        movie.SetDefaultFont(styled);
        movie.SetShadow(false);
        movie.SetScrollText({"A", "B"});
        // Ends once height + TextTop + 2 heights < 0.
        const int h = Metrics(styled.Font).height();
        const int ticks = 101 + 3 * h + 1;
        Tick(movie, ticks - 1);
        QVERIFY(movie.TimerActive());
        QVERIFY(Box(Mask(movie.Frame(), kWhite)).isEmpty());
        Tick(movie, 1);
        QVERIFY(!movie.TimerActive());
        const QFont end = Points(20, true);
        const QFontMetrics m = Metrics(end);
        const QImage closing = Ink(
            "The End", end, {(200 - m.horizontalAdvance("The End")) / 2, (100 - m.height()) / 2});
        QCOMPARE(Mask(movie.Frame(), kWhite), closing);
        // Every later frame is the same.
        movie.Paint();
        QCOMPARE(Mask(movie.Frame(), kWhite), closing);
    }

    void wrapsWithLoopOn()
    {
        TMovieScroll movie;
        movie.SetShadow(false);
        movie.SetLoop(true);
        movie.SetScrollText({"A", "B"});
        const int h = Metrics(Points(9)).height();
        const int ticks = 101 + 3 * h + 1;
        Tick(movie, ticks - 1);
        QCOMPARE(movie.TextTop(), 101 - (ticks - 1));
        Tick(movie, 1);
        QCOMPARE(movie.TextTop(), 101);
        QVERIFY(movie.TimerActive());
        // Straight back in from the bottom edge.
        Tick(movie, 1 + h);
        QCOMPARE(Mask(movie.Frame(), kWhite), Ink("A", Points(9), {1, 100 - h}));
        Tick(movie, 50);
        QCOMPARE(Mask(movie.Frame(), kWhite),
                 Union({Ink("A", Points(9), {1, 50 - h}), Ink("B", Points(9), {1, 50})}));
    }

    void emptyTextNeverEnds()
    {
        TMovieScroll movie;
        movie.SetBackColor(QColor(0, 0, 0x80));
        Tick(movie, 1000);
        QVERIFY(movie.TimerActive());
        QCOMPARE(Box(Mask(movie.Frame(), QColor(0, 0, 0x80))), QRect(0, 0, 200, 100));
    }

    void speedChange()
    {
        TMovieScroll movie;
        auto *timer = movie.findChild<QTimer *>();
        movie.SetTimerInterval(10);
        QCOMPARE(timer->interval(), 10);
        QVERIFY(timer->isActive());
        movie.SetTimerInterval(10);
        QCOMPARE(movie.TimerInterval(), 10);
        // A stopped control is not restarted by a new speed.
        movie.SetScrollText({"x"});
        Tick(movie, 200);
        QVERIFY(!timer->isActive());
        movie.SetTimerInterval(25);
        QCOMPARE(timer->interval(), 25);
        QVERIFY(!timer->isActive());
    }

    void restartsOnMoveAndResize()
    {
        QWidget parent;
        parent.resize(400, 300);
        auto *movie = new TMovieScroll(&parent);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        movie->findChild<QTimer *>()->stop();
        Tick(*movie, 30);
        QCOMPARE(movie->TextTop(), 71);
        movie->move(10, 10);
        QCOMPARE(movie->TextTop(), 101);
        Tick(*movie, 30);
        movie->resize(250, 120);
        QCOMPARE(movie->TextTop(), 121);
        QCOMPARE(movie->Frame().size(), QSize(250, 120));

        // A control whose size changed unseen restarts at its next frame.
        TMovieScroll hidden;
        Tick(hidden, 30);
        hidden.setAttribute(Qt::WA_DontShowOnScreen);
        hidden.resize(120, 60);
        QCoreApplication::removePostedEvents(&hidden);
        hidden.TimerTick();
        QCOMPARE(hidden.Frame().size(), QSize(120, 60));
    }

    void propertiesShowAtNextTick()
    {
        TMovieScroll movie;
        movie.SetScrollText({"Z"});
        Tick(movie, 40);
        movie.SetBackColor(QColor(0, 0x80, 0));
        movie.SetShadowColor(QColor(0xFF, 0, 0xFF));
        QVERIFY(Mask(movie.Frame(), QColor(0, 0x80, 0)).isNull() ||
                Box(Mask(movie.Frame(), QColor(0, 0x80, 0))).isEmpty());
        Tick(movie, 1);
        QVERIFY(!Box(Mask(movie.Frame(), QColor(0, 0x80, 0))).isEmpty());
        QVERIFY(!Box(Mask(movie.Frame(), QColor(0xFF, 0, 0xFF))).isEmpty());
        TFont font{Points(12), QColor(0xFF, 0xFF, 0)};
        movie.SetDefaultFont(font);
        font.Color = Qt::blue; // copied in, not shared
        Tick(movie, 1);
        QCOMPARE(Mask(movie.Frame(), QColor(0xFF, 0xFF, 0)),
                 Ink("Z", Points(12), {1, movie.TextTop()}));
    }
};

QTEST_MAIN(MovieScrollTest)
#include "moviescroll_test.moc"
