// The about window and its launcher, offscreen: the controls at their
// places, the clock, the comments drag, the links, the facts box, and a
// whole Execute with the credits rolling.

#include "about/aboutbox.h"
#include "about/aboutboxdlg.h"
#include "about/aboutlayout.h"
#include "about/aboutshell.h"
#include "about/moviescroll.h"
#include "platform/systemfacts.h"
#include "qttestsupport.h"
#include "skinart.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace about;
using platform::BuildVersionRecord;
using platform::EncodeVersionRecord;
using platform::TFixedFileInfo;

namespace {

const QColor kNavy(0, 0, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);

QColor Ground(QLabel *label)
{
    return label->palette().color(QPalette::Window);
}

void Press(QWidget *w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
           QPoint at)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class AboutBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::UseProgramFonts();
        QApplication::setWindowIcon(skinart::ProgramIcon()); // as the program does at start
    }

    void cleanup()
    {
        SetMessageHook({});
        SetOpenUrlHook({});
    }

    // Every control sits where the window's table puts it (captions set at
    // run time only widen to show their text whole). Activation then moves
    // the comments' panels, which another test checks.
    void controlsAtTheirPlaces()
    {
        TAboutBox box;
        const auto check = [&](const QString &name, const QRect &place) {
            auto *w = box.findChild<QWidget *>(name);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->pos(), place.topLeft());
            QCOMPARE(w->height(), place.height());
            if (name == "ProductName" || name == "VersNo" || name == "Release" || name == "Build" ||
                name == "Copyright")
                QVERIFY2(w->width() >= place.width(), qPrintable(name));
            else
                QCOMPARE(w->width(), place.width());
        };
        for (const skinart::ControlRect &c : kAboutControls)
            check(QString::fromLatin1(c.name), c.rect);
        for (int column = 0; column < kClockColumns; ++column) {
            check(QStringLiteral("Label%1").arg(kClockHeaderLabel + column),
                  ClockHeaderRect(column));
            for (int row = 0; row < kClockRows; ++row)
                if (kClockLabel[column][row] >= 0)
                    check(QStringLiteral("Label%1").arg(kClockLabel[column][row]),
                          ClockBitRect(column, row));
        }
        // The table names every child that has a place of its own.
        int named = 0;
        for (const QWidget *w : box.findChildren<QWidget *>())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                ++named;
        QCOMPARE(named, static_cast<int>(kAboutControls.size()) + 20);
    }

    // What the user must see of each control, once the window is up: it
    // lies inside the window and inside its parent, no caption is cut, and
    // the places the design pins hold.
    void everyControlVisibleAndWhole()
    {
        TAboutBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        for (QWidget *w : box.findChildren<QWidget *>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") || !w->isVisible())
                continue;
            const QString name = w->objectName();
            const QRect inWindow(w->mapTo(&box, QPoint(0, 0)), w->size());
            const QRect parent = w->parentWidget()->rect();
            if (name == "Comments") // scrolls inside Panel1
                continue;
            auto *text = qobject_cast<QLabel *>(w);
            if (!text || text->text().isEmpty()) {
                QVERIFY2(box.rect().contains(inWindow), qPrintable(name));
                QVERIFY2(parent.contains(w->geometry()), qPrintable(name));
                continue;
            }
            // A caption's label may run past its parent's edge (the mail
            // text does by design, the clock's "S" by a blank margin) as
            // long as its text does not.
            QVERIFY2(parent.contains(w->pos()), qPrintable(name));
            const QSize shown(std::min(text->width(), parent.width() - text->x()),
                              std::min(text->height(), parent.height() - text->y()));
            const QFontMetrics metrics = text->fontMetrics();
            const QSize needed =
                text->wordWrap()
                    ? metrics
                          .boundingRect(QRect(QPoint(0, 0), QSize(shown.width(), 10000)),
                                        Qt::TextWordWrap, text->text())
                          .size()
                    : QSize(metrics.horizontalAdvance(text->text()), metrics.height());
            QVERIFY2(needed.width() <= shown.width() && needed.height() <= shown.height(),
                     qPrintable(QStringLiteral("%1 needs %2 x %3, shows %4 x %5")
                                    .arg(name)
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(shown.width())
                                    .arg(shown.height())));
        }
        // Pinned by the design: the picture at the top and the clock.
        QCOMPARE(box.Image1->geometry(), QRect(0, 0, 292, 193));
        QCOMPARE(box.Panel3->geometry(), QRect(238, 26, 50, 111));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("LblVersion") << "LblVersion"
                                    << "Version";
        QTest::newRow("VersNo") << "VersNo"
                                << "VersNo";
        QTest::newRow("ReleaseLbl") << "ReleaseLbl"
                                    << "Release";
        QTest::newRow("BuildL") << "BuildL"
                                << "Build";
        QTest::newRow("LblCopyRight_Text") << "LblCopyRight_Text"
                                           << "Copyright";
        QTest::newRow("LblCopyright") << "LblCopyright" << QString(QChar(0xA9));
        QTest::newRow("Copyright") << "Copyright"
                                   << "Copyright";
        QTest::newRow("Comments") << "Comments"
                                  << "Comments";
        QTest::newRow("Lblexplaindrag") << "Lblexplaindrag"
                                        << "Left mouse click on text to drag window!";
        QTest::newRow("LblTextURL") << "LblTextURL"
                                    << "Suggestions, Bugs, tired of living? Mail me or visit "
                                       "Vuderiru for Tools, Themes and more!";
        QTest::newRow("LblHomepage") << "LblHomepage"
                                     << "Vuderiru (Themes)";
        QTest::newRow("LblMail") << "LblMail"
                                 << "Mail me!";
        const char *const weights[kClockRows] = {" 1 ", " 2 ", " 4 ", " 8 ", "16", "32"};
        for (int column = 0; column < kClockColumns; ++column)
            for (int row = 0; row < kClockRows; ++row)
                if (kClockLabel[column][row] >= 0) {
                    const QString name = QStringLiteral("Label%1").arg(kClockLabel[column][row]);
                    QTest::newRow(qPrintable(name)) << name << weights[row];
                }
    }

    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        TAboutBox box;
        auto *label = box.findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
    }

    void windowAndHints()
    {
        TAboutBox box;
        QCOMPARE(box.size(), kAboutClientSize);
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QCOMPARE(box.pos(), kAboutDesignPosition);
        QCOMPARE(box.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(controls::HintOf(box.Comments), QStringLiteral("Drag to scroll"));
        QCOMPARE(controls::HintOf(box.SpeedButton2), QStringLiteral("show hardisk preferences"));
        QCOMPARE(controls::HintOf(box.SpeedButton1), QStringLiteral("Close About Box"));
        QCOMPARE(controls::HintOf(box.LblHomepage), TAboutBox::kHomePage);
        QCOMPARE(controls::HintOf(box.LblMail), TAboutBox::kMailAddress);
        QVERIFY(TAboutBox::kHomePage.contains("example.com"));
        QVERIFY(TAboutBox::kMailAddress.endsWith("@example.com"));
        QCOMPARE(box.Labels[17]->text(), QStringLiteral("H"));
        for (int column = 0; column < kClockColumns; ++column)
            QCOMPARE(box.Labels[static_cast<std::size_t>(kClockHeaderLabel + column)]->pos(),
                     ClockHeaderRect(column).topLeft());
        QVERIFY(box.Timer1->isActive());
        QCOMPARE(box.Timer1->interval(), 1000);
        QCOMPARE(box.ProductName->text(),
                 QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        // The build record of this program: 0.1.0.0.
        const TFixedFileInfo own = BuildVersionRecord();
        QCOMPARE(box.Release->text(), QString::number(own[3] >> 16));
        QCOMPARE(box.Build->text(), QString::number(own[3] & 0xFFFF));
        QCOMPARE(TAboutBox::VersionText(),
                 QStringLiteral("%1.%2").arg(own[2] >> 16).arg(own[2] & 0xFFFF));
    }

    void versionOfAFile()
    {
        QTemporaryDir dir;
        TFixedFileInfo v = BuildVersionRecord();
        v[2] = 0x00020000;
        v[3] = 0x00010001;
        QFile f(dir.filePath("prog"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, '\0') + EncodeVersionRecord(v));
        f.close();
        QCOMPARE(TAboutBox::VersionText(f.fileName()), QStringLiteral("2.0"));
        TFixedFileInfo record{};
        TAboutBox::FileInfo(f.fileName(), record);
        QCOMPARE(record[3] >> 16, 1u);
        QCOMPARE(record[3] & 0xFFFF, 1u);
        QCOMPARE(TAboutBox::VersionText(dir.filePath("none")), QStringLiteral("0.0"));
    }

    void clockAt130542()
    {
        TAboutBox box;
        box.SetClock([] { return QTime(13, 5, 42); });
        box.Timer1Timer();
        QVERIFY(box.windowTitle().startsWith(QStringLiteral("Zidazoz settings! Time: ")));
        QCOMPARE(box.HourLabels.size(), 5);
        QCOMPARE(box.MinuteLabels.size(), 6);
        QCOMPARE(box.SecondLabels.size(), 6);
        const auto colours = [](const QList<QLabel *> &labels) {
            QString s;
            for (QLabel *l : labels)
                s += Ground(l) == kSilver ? 'S' : Ground(l) == kNavy ? 'N' : '?';
            return s;
        };
        // Weights 16 8 4 2 1 and 32 16 8 4 2 1.
        QCOMPARE(colours(box.HourLabels), QStringLiteral("NSSNS"));
        QCOMPARE(colours(box.MinuteLabels), QStringLiteral("NNNSNS"));
        QCOMPARE(colours(box.SecondLabels), QStringLiteral("SNSNSN"));
        // By name, as the window describes them.
        QCOMPARE(Ground(box.findChild<QLabel *>("Label1")), kSilver);  // hour 8
        QCOMPARE(Ground(box.findChild<QLabel *>("Label15")), kSilver); // minute 1
        QCOMPARE(Ground(box.findChild<QLabel *>("Label16")), kNavy);   // second 1
        QCOMPARE(Ground(box.findChild<QLabel *>("Label10")), kSilver); // second 32
        box.SetClock([] { return QTime(0, 0, 0); });
        box.Timer1Timer();
        QCOMPARE(colours(box.SecondLabels), QStringLiteral("NNNNNN"));
        box.SetClock([] { return QTime(23, 59, 59); });
        box.Timer1Timer();
        QCOMPARE(colours(box.HourLabels), QStringLiteral("SNSSS"));
        QCOMPARE(colours(box.MinuteLabels), QStringLiteral("SSSNSS"));
    }

    void commentsDragBounds()
    {
        TAboutBox box;
        box.CommentsMouseDown(Qt::LeftButton, 10, 200);
        QCOMPARE(box.DragStartY, 200);
        // Downward from the top: ignored.
        box.CommentsMouseMove(Qt::LeftButton, 10, 201);
        QCOMPARE(box.Comments->y(), 0);
        // Not without the left button.
        box.CommentsMouseMove(Qt::NoButton, 10, 100);
        QCOMPARE(box.Comments->y(), 0);
        box.CommentsMouseMove(Qt::LeftButton, 10, 199);
        QCOMPARE(box.Comments->y(), -1);
        box.CommentsMouseMove(Qt::LeftButton, 10, 200 - 225);
        QCOMPARE(box.Comments->y(), -226);
        // -227 would be the bound itself.
        box.CommentsMouseMove(Qt::LeftButton, 10, 199);
        QCOMPARE(box.Comments->y(), -226);
        box.CommentsMouseMove(Qt::LeftButton, 10, 200 + 225);
        QCOMPARE(box.Comments->y(), -1);
        // A move that would reach 0 stays put; it does not snap.
        box.CommentsMouseMove(Qt::LeftButton, 10, 201);
        QCOMPARE(box.Comments->y(), -1);
        box.CommentsMouseUp(Qt::LeftButton, 10, 201);
        QVERIFY(!QApplication::overrideCursor());

        // Through real events on the text.
        Press(box.Comments, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {5, 50});
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        Press(box.Comments, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {5, 40});
        QCOMPARE(box.Comments->y(), -11);
        Press(box.Comments, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {5, 40});
        QVERIFY(!QApplication::overrideCursor());
    }

    void formActivate()
    {
        TAboutBox box;
        box.FormActivate();
        const int widened = AboutPlaceOf("Panel2").width() - kCommentsRightMargin;
        QCOMPARE(widened, 264);
        QCOMPARE(box.Comments->width(), widened);
        QCOMPARE(box.Panel1->width(), widened);
        QCOMPARE(box.Panel2->x(), kCommentsPanelLeft);
        QCOMPARE(box.Comments->x(), 0);
    }

    void formPaint()
    {
        QImage tile(100, 100, QImage::Format_RGB32);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                tile.setPixel(x, y, qRgb(x * 2, y * 2, 77));
        TAboutBox plain;
        const QImage top = plain.grab().toImage();
        QCOMPARE(plain.Image1->geometry(), AboutPlaceOf("Image1"));
        // The band of the top picture runs along the top edge.
        QCOMPARE(QColor(top.pixel(150, 3)), kNavy);

        TAboutBox tiled;
        tiled.SetUseBackBMP(true);
        tiled.SetBrush(QBrush(QPixmap::fromImage(tile)));
        const QImage shot = tiled.grab().toImage();
        QCOMPARE(tiled.Image1->width(), 0);
        QCOMPARE(shot.pixel(150, 3) & 0xFFFFFF, tile.pixel(50, 3) & 0xFFFFFF);
        QCOMPARE(shot.pixel(10, 130) & 0xFFFFFF, tile.pixel(10, 30) & 0xFFFFFF);

        tiled.SetUseBackBMP(false);
        tiled.grab();
        QCOMPARE(tiled.Image1->geometry(), AboutPlaceOf("Image1"));
    }

    void links()
    {
        QList<QUrl> opened;
        bool accept = true;
        SetOpenUrlHook([&](const QUrl &url) {
            opened += url;
            return accept;
        });
        QList<QPair<MessageKind, QString>> shown;
        SetMessageHook([&](MessageKind kind, const QString &text) { shown += {kind, text}; });
        TAboutBox box;
        box.show();
        QTest::mouseClick(box.LblHomepage, Qt::LeftButton);
        QTest::mouseClick(box.LblMail, Qt::LeftButton);
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QCOMPARE(opened,
                 (QList<QUrl>{QUrl(TAboutBox::kHomePage),
                              QUrl("mailto:" + TAboutBox::kMailAddress + "?subject=" + name)}));
        QVERIFY(shown.isEmpty());
        accept = false;
        box.LblHomepageClick();
        QVERIFY(shown.isEmpty());
        box.LblMailClick();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].first, MessageKind::mkError);
        QCOMPARE(shown[0].second, QStringLiteral("An Error occurred with Mail!"));
    }

    void clockCaptionHasNoZone_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("time");
        QTest::newRow("C") << "C"
                           << "13:05:42";
        QTest::newRow("en_US") << "en_US"
                               << "1:05:42 PM";
        QTest::newRow("en_GB") << "en_GB"
                               << "13:05:42";
        QTest::newRow("de_DE") << "de_DE"
                               << "13:05:42";
        QTest::newRow("fr_FR") << "fr_FR"
                               << "13:05:42";
        // The zone comes first here.
        QTest::newRow("zh_CN") << "zh_CN"
                               << "13:05:42";
    }

    void clockCaptionHasNoZone()
    {
        QFETCH(QString, locale);
        QFETCH(QString, time);
        const QLocale before;
        const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
        QLocale::setDefault(QLocale(locale));
        // The long format itself carries a zone field in these locales.
        QVERIFY(QLocale().timeFormat(QLocale::LongFormat).contains('t'));
        const QString format = LongTimeFormatWithoutZone(QLocale());
        QVERIFY2(!format.contains('t'), qPrintable(format));
        TAboutBox box;
        box.SetClock([] { return QTime(13, 5, 42); });
        box.Timer1Timer();
        // Narrow and no-break spaces read as blanks.
        QString title = box.windowTitle();
        title.replace(QChar(0x202F), ' ').replace(QChar(0x00A0), ' ');
        QCOMPARE(title, QStringLiteral("Zidazoz settings! Time: ") + time);
    }

    void factsBoxShowsSixRows()
    {
        TAboutBox box;
        box.OSName = "Linux";
        box.OSVersion = "6.1   Build : 0";
        box.MemInfo = "Tot: 1 KB     Avl: 1 KB";
        box.DiskInfo1 = "/: 1 MB  /home: 2 MB  ";
        box.DiskInfo2 = "/srv: 3 MB  ";
        QStringList lines;
        int rows = 0;
        QTimer::singleShot(0, this, [&] {
            auto *message = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(message);
            const auto closer = qScopeGuard([message] { message->close(); });
            auto *label = message->findChild<QLabel *>("qt_msgbox_label");
            QVERIFY(label);
            lines = label->text().split('\n');
            // The rows the label lays its text out in, at the width it has.
            const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
            rows = qRound(double(height) / label->fontMetrics().lineSpacing());
        });
        box.SpeedButton2Click();
        QCOMPARE(rows, 6);
        QCOMPARE(lines,
                 (QStringList{"You are probably Running Linux", "Version Info: 6.1   Build : 0",
                              "Free Memory: Tot: 1 KB     Avl: 1 KB",
                              "Free Hard disk Space: ", "/: 1 MB  /home: 2 MB  ", "/srv: 3 MB  "}));
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("LF CR") << "a\n\rb\n\rc"
                               << "a\nb\nc";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\nb";
        QTest::newRow("lone CR and LF") << "a\rb\nc"
                                        << "a\nb\nc";
        QTest::newRow("two pairs make a blank line") << "a\n\r\n\rb"
                                                     << "a\n\nb";
        QTest::newRow("LF LF stays two") << "a\n\nb"
                                         << "a\n\nb";
        QTest::newRow("trailing pair") << "a\n\r"
                                       << "a\n";
    }

    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(OneBreakPerLine(text), shown);
    }

    void factsBox()
    {
        QString text;
        SetMessageHook([&](MessageKind kind, const QString &t) {
            QCOMPARE(kind, MessageKind::mkInformation);
            text = t;
        });
        TAboutBox box;
        box.OSName = "Linux";
        box.OSVersion = "6.1   Build : 0";
        box.MemInfo = "Tot: 1 KB     Avl: 1 KB";
        box.DiskInfo1 = "/: 1 MB  ";
        box.DiskInfo2 = "";
        QTest::mouseClick(box.SpeedButton2, Qt::LeftButton);
        const QStringList lines = text.split("\n\r");
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("You are probably Running Linux"));
        QCOMPARE(lines[3], QStringLiteral("Free Hard disk Space: "));
        QCOMPARE(lines[4], QStringLiteral("/: 1 MB  "));
    }

    void launcherDefaultsAndSpeed_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("read");
        QTest::newRow("0") << 0 << 50;
        QTest::newRow("-5") << -5 << 50;
        QTest::newRow("100") << 100 << 50;
        QTest::newRow("250") << 250 << 50;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("99") << 99 << 99;
        QTest::newRow("40") << 40 << 40;
    }

    void launcherDefaultsAndSpeed()
    {
        QFETCH(int, set);
        QFETCH(int, read);
        TAboutBoxDlg dlg;
        QCOMPARE(dlg.MovieSpeed(), 40);
        QVERIFY(dlg.ProductName().isEmpty() && dlg.Version().isEmpty() &&
                dlg.Copyright().isEmpty() && dlg.Comments().isEmpty() && dlg.MovieText().isEmpty());
        QVERIFY(!dlg.UseBackBMP() && !dlg.UseMovie() && dlg.aShadow());
        QCOMPARE(dlg.BackCol(), QColor(Qt::black));
        QCOMPARE(dlg.AFont().Font.family(), QStringLiteral("Courier New"));
        QCOMPARE(dlg.AFont().Font.pointSize(), 9);
        QCOMPARE(dlg.AFont().Color, QColor(Qt::white));
        dlg.SetMovieSpeed(set);
        QCOMPARE(dlg.MovieSpeed(), read);
        QCOMPARE(dlg.property("MovieSpeed").toInt(), read);
    }

    void executeWithCredits()
    {
        TAboutBoxDlg dlg;
        dlg.SetProductName("Rurorodode");
        dlg.SetVersion("1.0");
        dlg.SetCopyright("(c) 2000 Vuderiru");
        dlg.SetComments("Some comments");
        dlg.SetUseMovie(true);
        dlg.SetMovieSpeed(40);
        dlg.SetBackCol(kNavy);
        QFont courier("Courier New");
        courier.setPixelSize(12);
        dlg.SetAFont({courier, QColor(0, 0xFF, 0xFF)});
        const QStringList credits = TAboutBoxDlg::ProgramCredits();
        QCOMPARE(credits.size(), 23);
        QCOMPARE(credits[8], TAboutBox::kHomePage + ".");
        QCOMPARE(credits[22], QStringLiteral("Cheers!'"));
        dlg.SetMovieText(credits);
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            // Closed however the checks end, so a failure cannot hang the run.
            const auto closer = qScopeGuard([box] { box->close(); });
            auto *movie = box->findChild<TMovieScroll *>();
            QVERIFY(movie);
            QCOMPARE(movie->geometry(), AboutPlaceOf("Panel2"));
            QCOMPARE(box->Panel2->width(), 0);
            QVERIFY(movie->Loop());
            QCOMPARE(movie->TimerInterval(), 40);
            QVERIFY(movie->Shadow());
            QCOMPARE(movie->BackColor(), kNavy);
            QCOMPARE(movie->DefaultFont().Color, QColor(0, 0xFF, 0xFF));
            QCOMPARE(movie->DefaultFont().Font.pixelSize(), 12);
            QCOMPARE(movie->ScrollText(), credits);
            QCOMPARE(movie->ShadowColor(), QColor(0x80, 0x80, 0x80));
            QCOMPARE(movie->CompleteText(), QStringLiteral("The End"));
            QCOMPARE(box->ProductName->text(), QStringLiteral("Rurorodode"));
            QCOMPARE(box->Copyright->text(), QStringLiteral("(c) 2000 Vuderiru"));
            QCOMPARE(box->Comments->text(), QStringLiteral("Some comments"));
            QCOMPARE(box->VersNo->text(), TAboutBox::VersionText());
            QCOMPARE(box->windowTitle(),
                     "About " + QFileInfo(QCoreApplication::applicationFilePath()).fileName());
            QVERIFY(box->DiskInfo1.startsWith("/: "));
            QVERIFY(!box->WindowBrush().texture().isNull());
            QCOMPARE(box->WindowBrush().texture().size(), QSize(100, 100));
            // The credits start below their area whenever the window opens.
            QCOMPARE(movie->TextTop(), 132);
            movie->findChild<QTimer *>()->stop();
            for (int i = 0; i < 100; ++i)
                movie->TimerTick();
            const QImage frame = movie->Frame();
            int aqua = 0;
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x)
                    aqua += (frame.pixel(x, y) & 0xFFFFFF) == 0x00FFFF;
            QVERIFY(aqua > 20);
            QCOMPARE(QColor(frame.pixel(0, 0)), kNavy);
            const QString out = qEnvironmentVariable("ABOUT_SHOT");
            if (!out.isEmpty())
                box->grab().save(out);
            inspected = true;
            QTest::mouseClick(box->SpeedButton1, Qt::LeftButton);
        });
        QVERIFY(!dlg.Execute());
        QVERIFY(inspected);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void executeWithComments()
    {
        TAboutBoxDlg dlg;
        dlg.SetComments("Line one\nLine two");
        dlg.SetUseBackBMP(true);
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            const auto closer = qScopeGuard([box] { box->close(); });
            QVERIFY(!box->findChild<TMovieScroll *>());
            QCOMPARE(box->Panel2->width(), AboutPlaceOf("Panel2").width());
            QVERIFY(box->UseBackBMP());
            QCOMPARE(box->Comments->text(), QStringLiteral("Line one\nLine two"));
            const QString out = qEnvironmentVariable("ABOUT_SHOT2");
            if (!out.isEmpty())
                box->grab().save(out);
            inspected = true;
        });
        QVERIFY(!dlg.Execute());
        QVERIFY(inspected);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "aboutbox_test.moc"
