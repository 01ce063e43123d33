// Mouse events go through the window system's path (QWindow), so Qt's own
// mouse grab, double-click detection and enter/leave dispatch take part.
#define QTEST_QPA_MOUSE_HANDLING

#include "controls/imgbtn.h"
#include "qttestsupport.h"

#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtTest>

using controls::TImgBtn;
using controls::TWMMouse;

namespace {

// Faces by letter: N Pic, U PicUp, D PicDown, I the Picture first set,
// P and Q written later; - is no face at all.
const QMap<char, QRgb> Colours{{'N', 0x0000FF}, {'U', 0x00FF00}, {'D', 0xFF0000},
                               {'I', 0xFFFF00}, {'P', 0x808000}, {'Q', 0x008080}};

QPixmap Face(char letter)
{
    QPixmap p(40, 20);
    p.fill(QColor::fromRgb(Colours[letter]));
    return p;
}

char Letter(const QImage &image)
{
    return image.isNull() ? '-' : Colours.key(image.pixel(1, 1) & 0xFFFFFF, '-');
}

class Host : public QWidget
{
public:
    int Presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++Presses; }
};

// A window with one button in it and the pointer resting beside it.
struct Bench
{
    Host Window;
    TImgBtn *Button = new TImgBtn(&Window);
    QStringList Events; // each with the face held when it fired
    QList<TWMMouse> Messages;
    QPoint Pointer{10, 80};

    Bench()
    {
        Window.resize(200, 100);
        Button->setGeometry(50, 30, 40, 20);
        Button->SetPic(Face('N'));
        Button->SetPicUp(Face('U'));
        Button->SetPicDown(Face('D'));
        Button->SetPicture(Face('I')); // as loaded with the window
        const auto log = [this](const char *name) {
            return [this, name](const TWMMouse &m) {
                Events << QString("%1:%2").arg(name).arg(Held());
                Messages << m;
            };
        };
        QObject::connect(Button, &TImgBtn::OnMouseEnter, Button, log("enter"));
        QObject::connect(Button, &TImgBtn::OnMouseLeave, Button, log("leave"));
        QObject::connect(Button, &TImgBtn::OnMouseDown, Button, log("down"));
        QObject::connect(Button, &TImgBtn::OnMouseUp, Button, log("up"));
        QObject::connect(Button, &TImgBtn::OnClick, Button,
                         [this] { Events << QString("click:%1").arg(Held()); });
        QObject::connect(Button, &TImgBtn::OnDblClick, Button,
                         [this] { Events << QString("dbl:%1").arg(Held()); });
    }

    char Held() const { return Letter(Button->Picture().toImage()); }
    char Shown() const { return Letter(Button->grab().toImage()); } // on screen

    bool Open()
    {
        Window.show();
        if (!QTest::qWaitForWindowExposed(&Window))
            return false;
        QTest::mouseMove(&Window, Pointer);
        return Shown() == 'I' && Events.isEmpty();
    }

    void Step(const QString &step)
    {
        if (step == "in" || step == "out")
            QTest::mouseMove(&Window, Pointer = step == "in" ? QPoint(70, 40) : QPoint(10, 80));
        else if (step == "press" || step == "rpress")
            QTest::mousePress(&Window, step == "press" ? Qt::LeftButton : Qt::RightButton, {},
                              Pointer);
        else if (step == "release" || step == "rrelease")
            QTest::mouseRelease(&Window, step == "release" ? Qt::LeftButton : Qt::RightButton, {},
                                Pointer);
        else if (step == "dclick")
            QTest::mouseDClick(&Window, Qt::LeftButton, {}, Pointer);
        else if (step == "off")
            Button->SetSupported(false);
        else if (step == "noup")
            Button->SetPicUp(QPixmap());
        else if (step == "setup")
            Button->SetPicUp(Face('P'));
        else if (step == "setpic")
            Button->SetPic(Face('Q'));
        else
            QFAIL(qPrintable("unknown step " + step));
    }
};

} // namespace

class ImgBtnTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::UseProgramFonts(); }
    void states_data();
    void states();
    void messages();
    void picturesAreCopies();
    void clickMayDestroyButton();
    void pressedFaceStaysUnderTheClicksModalWindow();
};

void ImgBtnTest::states_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("faces"); // on screen after each step
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("flags"); // MouseInside, ButtonDown at the end
    QTest::addColumn<int>("windowPresses");

    QTest::newRow("hover") << "in out"
                           << "UN"
                           << "enter:U leave:N"
                           << "00" << 0;
    // The click runs with the pressed face up; then hover face, OnMouseUp.
    QTest::newRow("click") << "in press release"
                           << "UDU"
                           << "enter:U down:D click:D up:U"
                           << "10" << 0;
    QTest::newRow("drag out and back") << "in press out in release"
                                       << "UDNDU"
                                       << "enter:U down:D leave:N enter:D click:D up:U"
                                       << "10" << 0;
    QTest::newRow("drag out, release outside") << "in press out release in"
                                               << "UDNNU"
                                               << "enter:U down:D leave:N up:N enter:U"
                                               << "10" << 0;
    // The second press is no press: no OnMouseDown, the hover face stays.
    QTest::newRow("double click") << "in dclick"
                                  << "UU"
                                  << "enter:U down:D click:D up:U dbl:U up:U"
                                  << "10" << 0;
    QTest::newRow("right button") << "in rpress rrelease out"
                                  << "UUUN"
                                  << "enter:U leave:N"
                                  << "00" << 0;
    QTest::newRow("empty hover face") << "noup in press release"
                                      << "I-D-"
                                      << "enter:- down:D click:D up:-"
                                      << "10" << 0;
    QTest::newRow("face writes") << "in setup setpic press setpic release out"
                                 << "UUQDQPQ"
                                 << "enter:U down:D click:Q up:P leave:Q"
                                 << "00" << 0;
    QTest::newRow("not supported") << "off in press release out"
                                   << "IIIII"
                                   << "click:I"
                                   << "00" << 0;
    QTest::newRow("switched off while held") << "in press off out in release"
                                             << "UDDDDD"
                                             << "enter:U down:D click:D"
                                             << "11" << 0;
    QTest::newRow("press beside the button") << "press release in"
                                             << "IIU"
                                             << "enter:U"
                                             << "10" << 1;
}

void ImgBtnTest::states()
{
    QFETCH(QString, steps);
    QFETCH(QString, faces);
    QFETCH(QString, events);
    QFETCH(QString, flags);
    QFETCH(int, windowPresses);

    Bench bench;
    QVERIFY(bench.Open());
    QString seen;
    for (const QString &step : steps.split(' ')) {
        bench.Step(step);
        seen += bench.Shown();
    }
    QCOMPARE(seen, faces);
    QCOMPARE(bench.Events.join(' '), events);
    QCOMPARE(QString("%1%2").arg(bench.Button->MouseInside()).arg(bench.Button->ButtonDown()),
             flags);
    QCOMPARE(bench.Window.Presses, windowPresses); // the button keeps its own
}

void ImgBtnTest::messages()
{
    Bench bench;
    QVERIFY(bench.Open());
    QTest::mouseMove(&bench.Window, QPoint(60, 35));
    QTest::mousePress(&bench.Window, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 35));
    QTest::mouseMove(&bench.Window, QPoint(5, 90));
    QTest::mouseRelease(&bench.Window, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 90));

    QStringList seen;
    for (const TWMMouse &m : bench.Messages)
        seen << QString("%1 %2 %3,%4").arg(m.Msg, 0, 16).arg(m.Keys).arg(m.XPos).arg(m.YPos);
    // Positions in the button's coordinates; enter and leave carry none.
    QCOMPARE(seen, QStringList({"b013 0 0,0", "201 5 10,5", "b014 0 0,0", "202 8 -45,60"}));
}

void ImgBtnTest::picturesAreCopies()
{
    TImgBtn b;
    QPixmap normal = Face('N'), hover = Face('U'), pressed = Face('D');
    b.SetPic(normal);
    QVERIFY(b.setProperty("PicUp", QVariant::fromValue(hover)));
    b.SetPicDown(pressed);

    // The caller goes on using its own pictures ...
    normal.fill(Qt::black);
    hover.fill(Qt::black);
    QPainter(&pressed).fillRect(pressed.rect(), Qt::black);
    // ... and what the button hands out is a copy as well.
    QPixmap handedOut = b.Pic();
    handedOut.fill(Qt::black);

    QCOMPARE(Letter(b.Pic().toImage()), 'N');
    QCOMPARE(Letter(b.Picture().toImage()), 'N');
    QCOMPARE(Letter(b.property("PicUp").value<QPixmap>().toImage()), 'U');
    QCOMPARE(Letter(b.PicDown().toImage()), 'D');
}

void ImgBtnTest::clickMayDestroyButton()
{
    Bench bench;
    QVERIFY(bench.Open());
    QPointer<TImgBtn> button(bench.Button);
    QObject::connect(bench.Button, &TImgBtn::OnClick, bench.Button, [&] { delete button; });
    for (const char *step : {"in", "press", "release"})
        bench.Step(step);
    QVERIFY(button.isNull());
    QCOMPARE(bench.Events.join(' '), QString("enter:U down:D click:D"));
}

// Qt tells the window beneath a modal one that the pointer has left; the
// button is still held until the release, so its pressed face stays up.
void ImgBtnTest::pressedFaceStaysUnderTheClicksModalWindow()
{
    Bench bench;
    QVERIFY(bench.Open());
    QString underDialog;
    QObject::connect(bench.Button, &TImgBtn::OnClick, bench.Button, [&] {
        QDialog dialog(&bench.Window);
        QTimer::singleShot(100, &dialog, [&] {
            underDialog = QChar(bench.Shown());
            dialog.reject();
        });
        dialog.exec();
    });
    bench.Step("in");
    // Where Qt looks for the pointer when the modal window goes.
    QCursor::setPos(bench.Button->mapToGlobal(bench.Button->rect().center()));
    bench.Step("press");
    bench.Step("release");
    QCOMPARE(underDialog, QString("D"));
    QCOMPARE(bench.Events.join(' '), QString("enter:U down:D click:D up:U"));
    QCOMPARE(bench.Shown(), 'U');
}

QTEST_MAIN(ImgBtnTest)
#include "imgbtn_test.moc"
