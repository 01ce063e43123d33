// The main window driven as a user would, offscreen: start-up and settings,
// browsing and preview, hints, closing, dragging.

#include "about/aboutbox.h"
#include "about/aboutboxdlg.h"
#include "about/aboutlayout.h"
#include "controls/filelistbox.h"
#include "controls/filtercombobox.h"
#include "controls/gauge.h"
#include "controls/imgbtn.h"
#include "controls/shelltreeview.h"
#include "controls/spinedit.h"
#include "dialogs/radiogroup.h"
#include "dialogs/seldirform.h"
#include "filefind/hffile.h"
#include "fixtures.h"
#include "helpwindow.h"
#include "hintrouter.h"
#include "iconpicture.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "qttestsupport.h"
#include "settings/inistuff.h"
#include "skinart.h"
#include "tlabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <fstream>
#include <memory>

using app::TForm1;
using testsupport::WriteFile;

namespace {

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir ProgramDir;
    QTemporaryDir Files;
    QStringList Messages;

    QString IniPath() const { return ProgramDir.path() + "/Rurorodode.ini"; }

private slots:
    void initTestCase()
    {
        testsupport::UseProgramFonts();
        QApplication::setWindowIcon(skinart::ProgramIcon()); // as the program does at start
        app::SetProgramFolder(ProgramDir.path());
        app::SetMessageHook([this](const QString &text) { Messages << text; });
        settings::SetMessageHandler(
            [this](const std::string &text) { Messages << QString::fromStdString(text); });
        WriteFile(Files.path() + "/three.exe", fixtures::SolidColourProgram(3, 0x203040));
        WriteFile(Files.path() + "/one.EXE", fixtures::SolidColourProgram(1, 0x203040));
        WriteFile(Files.path() + "/notes.txt", {'h', 'i'});
        WriteFile(Files.path() + "/a-none.exe", {'M', 'Z'});
    }
    void init() { Messages.clear(); }

    // Every control the window shows lies wholly inside the window's shape,
    // where it receives the mouse and is drawn; the skin picture alone spans
    // the whole face and is cut by the shape.
    void everyControlInsideTheShape()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.WindowRegion.isEmpty());
        int checked = 0;
        for (QWidget *w : form.findChildren<QWidget *>()) {
            if (w->isWindow() || !w->isVisibleTo(&form) ||
                w->objectName() == QLatin1String("Image2"))
                continue;
            const QRect at(w->mapTo(&form, QPoint(0, 0)), w->size());
            QVERIFY2(form.WindowRegion.intersected(at) == QRegion(at),
                     qPrintable(QStringLiteral("%1 (%2) at %3,%4 %5x%6")
                                    .arg(w->objectName(), w->metaObject()->className())
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(at.width())
                                    .arg(at.height())));
            ++checked;
        }
        // The table's controls and the panels' children at least.
        QVERIFY(checked >= 25);
    }

    // First run: the settings file appears beside the program, the tree
    // opens at the root; closing stores the folder shown.
    void firstRunCreatesSettingsAndRemembersTheFolder()
    {
        QFile::remove(IniPath());
        {
            TForm1 form;
            QVERIFY(QFile::exists(IniPath()));
            QCOMPARE(form.DirTree->Path(), QString("/"));
            QCOMPARE(form.SaveDir, ProgramDir.path() + "/");
            QVERIFY(Messages.isEmpty());
            form.DirTree->SetPath(Files.path());
        }
        QVERIFY(ReadText(IniPath()).contains("LastDir=" + Files.path()));
        TForm1 again;
        QCOMPARE(again.DirTree->Path(), Files.path());
        QCOMPARE(again.FileListBox1->Directory(), Files.path());
    }

    // A folder that is gone: one error box, then the tree at its top with
    // the top selected and the list at its initial folder; closing stores
    // the top, which opens again without a word.
    void deletedFolderGivesOneErrorAndTheTop()
    {
        const std::string ini = QFile::encodeName(IniPath()).toStdString();
        settings::WriteIniString(ini, "Locations", "LastDir", "/no/such/folder/here");
        {
            TForm1 form;
            QCOMPARE(Messages, QStringList{"Error setting path: \"/no/such/folder/here\""});
            QCOMPARE(form.DirTree->Path(), QString("/"));
            QCOMPARE(form.FileListBox1->Directory(), QString());
            QCOMPARE(form.FileListBox1->Count(), 0);
            form.DirTree->SetPath(Files.path());
            QCOMPARE(form.FileListBox1->Directory(), Files.path());
            form.DirTree->SetPath("/");
        }
        QVERIFY(ReadText(IniPath()).contains("LastDir=/\n") ||
                ReadText(IniPath()).contains("LastDir=/\r\n"));
        Messages.clear();
        TForm1 again;
        QVERIFY(Messages.isEmpty());
        QCOMPARE(again.DirTree->Path(), QString("/"));
        QCOMPARE(again.FileListBox1->Directory(), QString("/"));
    }

    // An empty stored folder (written by older builds) means the top.
    void emptyStoredFolderOpensTheTopQuietly()
    {
        settings::WriteIniString(QFile::encodeName(IniPath()).toStdString(), "Locations", "LastDir",
                                 "");
        TForm1 form;
        QVERIFY(Messages.isEmpty());
        QCOMPARE(form.DirTree->Path(), QString("/"));
        QCOMPARE(form.FileListBox1->Directory(), QString("/"));
    }

    // The index controls follow the selected file: count, range, preview,
    // and snapping back from indices without an icon.
    void browsingAndPreview()
    {
        TForm1 form;
        form.DirTree->SetPath(Files.path());
        QCOMPARE(form.FileListBox1->Items(), (QStringList{"a-none.exe", "one.EXE", "three.exe"}));
        QVERIFY(!form.SpinEdit1->isEnabled());

        form.FileListBox1->SetItemIndex(2);
        QCOMPARE(form.windowTitle(), Files.path() + "/three.exe");
        QCOMPARE(form.Label1->text(), QString("No of Icons: 3"));
        QVERIFY(form.Label1->isEnabled() && form.Label2->isEnabled() &&
                form.SpinEdit1->isEnabled());
        QCOMPARE(form.SpinEdit1->MaxValue(), 2);
        QCOMPARE(form.Image1->Icon().Pixel(16, 16) & 0xFFFFFFu, 0x203040u);

        form.SpinEdit1->SetText("2");
        QCOMPARE(form.LastIconIndex, 2);
        QCOMPARE(form.Image1->Icon().Pixel(16, 16) & 0xFFFFFFu, 0x6090C0u);
        // Indices without an icon snap back to the last good one.
        for (const char *typed : {"5", "-1"}) {
            form.SpinEdit1->SetText(typed);
            QCOMPARE(form.SpinEdit1->Text(), QString("2"));
            QCOMPARE(form.LastIconIndex, 2);
        }
        // Text that is no number reads as the minimum, 0, which has an icon.
        form.SpinEdit1->SetText("abc");
        QCOMPARE(form.SpinEdit1->Text(), QString("abc"));
        QCOMPARE(form.LastIconIndex, 0);

        // One icon: min and max are both 0, so up shows 1 and snaps back.
        form.FileListBox1->SetItemIndex(1);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 1"));
        form.SpinEdit1->SetValue(1);
        QCOMPARE(form.SpinEdit1->Text(), QString("0"));

        // No icons: everything off, the count shown.
        form.FileListBox1->SetItemIndex(0);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 0"));
        QVERIFY(!form.Label1->isEnabled() && !form.Label2->isEnabled() &&
                !form.SpinEdit1->isEnabled());

        // A file removed behind the program's back counts no icons.
        WriteFile(Files.path() + "/zz.exe", fixtures::SolidColourProgram(2, 0x203040));
        form.FileListBox1->SetDirectory("/");
        form.FileListBox1->SetDirectory(Files.path());
        QFile::remove(Files.path() + "/zz.exe");
        form.FileListBox1->SetItemIndex(3);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 0"));

        // A re-read leaves nothing selected but keeps the last count shown.
        form.FileListBox1->SetItemIndex(2); // three.exe
        QCOMPARE(form.Label1->text(), QString("No of Icons: 3"));
        form.FilterComboBox1->setCurrentIndex(6); // all files
        QCOMPARE(form.FileListBox1->Count(), 4);
        QCOMPARE(form.FileListBox1->ItemIndex(), -1);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 3"));
        QVERIFY(!form.SpinEdit1->isEnabled() && !form.Label2->isEnabled());
    }

    // A file without icons keeps the previous preview when it is the
    // list's first entry, and shows the program's icon anywhere else.
    void fileWithoutIconsFirstInTheListKeepsThePreview()
    {
        TForm1 form;
        form.DirTree->SetPath(Files.path());
        form.FilterComboBox1->setCurrentIndex(6); // all files
        QCOMPARE(form.FileListBox1->Items(),
                 (QStringList{"a-none.exe", "notes.txt", "one.EXE", "three.exe"}));
        const std::uint32_t program = form.Image1->Icon().Pixel(16, 16);
        form.FileListBox1->SetItemIndex(2); // one.EXE: its icon
        QCOMPARE(form.Image1->Icon().Pixel(16, 16) & 0xFFFFFFu, 0x203040u);
        form.FileListBox1->SetItemIndex(0); // first, no icons: kept
        QCOMPARE(form.Label1->text(), QString("No of Icons: 0"));
        QCOMPARE(form.Image1->Icon().Pixel(16, 16) & 0xFFFFFFu, 0x203040u);
        form.FileListBox1->SetItemIndex(2);
        form.FileListBox1->SetItemIndex(1); // second, no icons: the program's
        QCOMPARE(form.Image1->Icon().Pixel(16, 16), program);
        QVERIFY(program != (0xFF000000u | 0x203040u));
    }

    // Ctrl+click on the selected entry of the tree or the list leaves it
    // selected, with the caption, count and preview it had.
    void ctrlClickKeepsTheSelection()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(2); // three.exe
        const QRect item = form.FileListBox1->visualRect(form.FileListBox1->model()->index(2, 0));
        QTest::mouseClick(form.FileListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          item.center());
        QCOMPARE(form.FileListBox1->ItemIndex(), 2);
        QCOMPARE(form.windowTitle(), Files.path() + "/three.exe");
        QVERIFY(form.SpinEdit1->isEnabled());
        QTest::keyClick(form.FileListBox1, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(form.FileListBox1->ItemIndex(), 2);

        const QModelIndex folder = form.DirTree->currentIndex();
        QTest::mouseClick(form.DirTree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          form.DirTree->visualRect(folder).center());
        QCOMPARE(form.DirTree->Path(), Files.path());
        QCOMPARE(form.FileListBox1->ItemIndex(), 2);
        // A plain click elsewhere still moves the selection.
        QTest::mouseClick(
            form.FileListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
            form.FileListBox1->visualRect(form.FileListBox1->model()->index(1, 0)).center());
        QCOMPARE(form.FileListBox1->ItemIndex(), 1);
    }

    // A click leaves the clicked button selected, a second click too.
    void radioButtonsKeepTheClickedOne()
    {
        TForm1 form;
        QCOMPARE(form.ColourDepth(), std::uint8_t{2});
        const QList<std::pair<QRadioButton *, std::uint8_t>> clicks = {{form.RadioButton1, 2},
                                                                       {form.RadioButton2, 3},
                                                                       {form.RadioButton2, 3},
                                                                       {form.RadioButton1, 2},
                                                                       {form.RadioButton1, 2}};
        for (const auto &[button, depth] : clicks) {
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(button->isChecked());
            QVERIFY(form.RadioButton1->isChecked() != form.RadioButton2->isChecked());
            QCOMPARE(form.ColourDepth(), depth);
        }
        // The keyboard's Space clicks the focused button the same way.
        form.RadioButton2->setFocus();
        QTest::keyClick(form.RadioButton2, Qt::Key_Space);
        QTest::keyClick(form.RadioButton2, Qt::Key_Space);
        QCOMPARE(form.ColourDepth(), std::uint8_t{3});
    }

    // The file list comes first in the tab order, then the tree, the number
    // box, the filter box and the colour depth.
    void tabOrderFollowsTheBrowsingPanel()
    {
        TForm1 form;
        QList<QWidget *> chain;
        QWidget *w = &form;
        for (int i = 0; i < 200; ++i) {
            w = w->nextInFocusChain();
            if (w == &form)
                break;
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w;
        }
        const auto at = [&chain](QWidget *widget) {
            const QWidget *target = widget->focusProxy() ? widget->focusProxy() : widget;
            return chain.indexOf(const_cast<QWidget *>(target));
        };
        QList<QWidget *> expected = {form.FileListBox1,    form.DirTree,      form.SpinEdit1,
                                     form.FilterComboBox1, form.RadioButton1, form.RadioButton2};
        for (int i = 1; i < expected.size(); ++i) {
            QVERIFY2(at(expected[i - 1]) >= 0 && at(expected[i - 1]) < at(expected[i]),
                     qPrintable(QString("position %1").arg(i)));
        }
    }

    // Moving the mouse over a control puts its hint in the status line; a
    // control without one shows its parent's, a plain label none.
    void hintsReachTheStatusLine()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        struct Row
        {
            QWidget *widget;
            QString status;
        };
        const QList<Row> rows = {
            {form.Gauge1, "No. of icons saved so far."},
            {form.SpinEdit1, " "},
            {form.Label4, ""},
            {form.FileListBox1->viewport(),
             "The file list box displays the files allowed by the filter"},
            {form.ImgBtn1, "Close Rurorodode"},
            {form.Bevel1, "Preview window"},
        };
        for (const Row &row : rows) {
            const QPoint inside =
                row.widget->rect().center() + QPoint(0, row.widget == form.Bevel1 ? 28 : 0);
            QTest::mouseMove(row.widget, inside);
            QTRY_COMPARE(form.Label5->text(), row.status);
        }
        QCOMPARE(app::THintRouter::LongHint("Short|Long one|x"), QString("Long one|x"));
    }

    void helpOpensAtItsContents()
    {
        QFile::copy(QFINDTESTDATA("../../resources/help/Zadore~2.hlp"),
                    ProgramDir.path() + "/Zadore~2.hlp");
        TForm1 form;
        form.ImgBtn2Click();
        QVERIFY(form.HelpWindow() && form.HelpWindow()->isVisible());
        QVERIFY(form.HelpWindow()->Text().contains("Contents"));
    }

    // The single save: the chosen type's extension always appended, the
    // folder remembered, a failure reported with the folder kept.
    void singleSaveWritesTheChosenType()
    {
        TForm1 form;
        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(2); // three.exe
        QTemporaryDir out;
        struct Row
        {
            QString typed;
            int type;
            bool trueColour;
            QString written;
            qint64 size;
        };
        const QList<Row> rows = {
            {"a", 1, false, "a.ico", 2238},     {"b.ico", 2, false, "b.ico.cur", 2238},
            {"B.CUR", 2, false, "B.CUR", 2238}, {"e.", 3, false, "e.bmp", 3126},
            {".ico", 1, false, ".ico", 2238},   {"c", 1, true, "c.ico", 3262},
            {"d", 3, false, "d.bmp", 3126}};
        for (const Row &row : rows) {
            form.RadioButton2->setChecked(row.trueColour);
            form.RadioButton1->setChecked(!row.trueColour);
            form.AskSaveName = [&](QString &file, int &type) {
                file = out.path() + "/" + row.typed;
                type = row.type;
                return true;
            };
            form.ImgBtn5Click();
            QCOMPARE(QFileInfo(out.path() + "/" + row.written).size(), row.size);
            QCOMPARE(form.SaveDir, out.path() + "/");
        }
        form.AskSaveName = [&](QString &file, int &type) {
            file = out.path() + "/missing/e";
            type = 1;
            return true;
        };
        form.ImgBtn5Click();
        QCOMPARE(Messages.size(), 1);
        QVERIFY(Messages.first().contains("missing/e.ico"));
        QCOMPARE(form.SaveDir, out.path() + "/");
        form.AskSaveName = [](QString &, int &) { return false; };
        form.ImgBtn5Click();
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 6); // .ico is hidden
    }

    // The real save dialog: it opens in SaveDir, offers the three types in
    // order, and asks before replacing the file it will write, which is not
    // always the name typed: "old" asks about old.ico and, answered No,
    // leaves the dialog open; "old.ico" asks about old.ico and replaces it.
    void saveDialogStartsInSaveDirAndAsksBeforeOverwriting()
    {
        TForm1 form;
        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(2); // three.exe
        QTemporaryDir out;
        form.SaveDir = out.path() + "/";
        WriteFile(out.path() + "/old.ico", {'x'});
        QString directory;
        QStringList types;
        QStringList questions;
        bool openAfterNo = false;
        testsupport::WhenModal<QFileDialog>(&form, [&](QFileDialog *dialog) {
            directory = dialog->directory().absolutePath();
            types = dialog->nameFilters();
            // Typed into the name box, as a user does (selectFile leaves a
            // name box that has the focus alone).
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name) {
                static_cast<QDialog *>(dialog)->reject(); // fails below
                return;
            }
            // The question comes up inside accept(); answer it there.
            const auto answer = [&](QMessageBox::StandardButton button) {
                testsupport::WhenModal<QMessageBox>(dialog, [&, button](QMessageBox *box) {
                    questions << box->text();
                    box->button(button)->click();
                });
            };
            name->setText(QStringLiteral("old"));
            answer(QMessageBox::No);
            static_cast<QDialog *>(dialog)->accept(); // as the Save button does
            openAfterNo = dialog->isVisible();
            name->setText(QStringLiteral("old.ico"));
            answer(QMessageBox::Yes);
            static_cast<QDialog *>(dialog)->accept();
        });
        form.ImgBtn5Click();
        QCOMPARE(directory, out.path());
        QVERIFY(types.size() >= 3);
        QCOMPARE(types.mid(0, 3),
                 (QStringList{"Icon File (*.ico)", "Cursor File (*.cur)", "Bitmap File (*.bmp)"}));
        QCOMPARE(questions.size(), 2);
        QVERIFY2(questions.first().startsWith("old.ico "), qPrintable(questions.first()));
        QVERIFY(openAfterNo);
        QCOMPARE(QFileInfo(out.path() + "/old.ico").size(), 2238);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"old.ico"});
        QCOMPARE(form.SaveDir, out.path() + "/");
    }

    // PNG by size writes NAME-WxH.png files, not the name typed: the
    // question before replacing names the file of a size that is there.
    void saveDialogAsksAboutTheSizesItWrites()
    {
        TForm1 form;
        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(2); // three.exe, 32 x 32 images
        QTemporaryDir out;
        form.SaveDir = out.path() + "/";
        WriteFile(out.path() + "/t-32x32.png", {'x'});
        QString question;
        testsupport::WhenModal<QFileDialog>(&form, [&](QFileDialog *dialog) {
            dialog->selectNameFilter(QStringLiteral("PNG, every size (*.png)"));
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name) {
                static_cast<QDialog *>(dialog)->reject(); // fails below
                return;
            }
            name->setText(QStringLiteral("t"));
            testsupport::WhenModal<QMessageBox>(dialog, [&](QMessageBox *box) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            });
            static_cast<QDialog *>(dialog)->accept();
            static_cast<QDialog *>(dialog)->reject();
        });
        form.ImgBtn5Click();
        QVERIFY2(question.startsWith("t-32x32.png "), qPrintable(question));
        QCOMPARE(QFileInfo(out.path() + "/t-32x32.png").size(), 1);
    }

    // The two whole-icon types of the single save read the previewed icon
    // again at full resolution: every image in an .ico, the largest as a
    // PNG; the program's own icon when no file is previewed.
    void singleSaveOfWholeIcons()
    {
        TForm1 form;
        QTemporaryDir out;
        int type = 5;
        QString name = "own";
        form.AskSaveName = [&](QString &file, int &chosen) {
            file = out.path() + "/" + name;
            chosen = type;
            return true;
        };
        form.ImgBtn5Click(); // the program's icon, nothing selected yet
        QImage own(out.path() + "/own.png");
        QVERIFY(!own.isNull());
        QVERIFY(own.width() >= 32);

        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(2); // three.exe
        form.SpinEdit1->SetText("2");
        name = "third";
        form.ImgBtn5Click();
        QCOMPARE(form.Image1->Icon().Pixel(16, 16), 0xFF6090C0u);
        const QImage png(out.path() + "/third.png");
        QCOMPARE(png.size(), QSize(32, 32));
        QCOMPARE(png.pixel(16, 16), 0xFF6090C0u);
        type = 4;
        form.ImgBtn5Click();
        const QImage ico(out.path() + "/third.ico");
        QCOMPARE(ico.size(), QSize(32, 32));
        QCOMPARE(ico.pixel(16, 16), 0xFF6090C0u);
        QVERIFY(Messages.isEmpty());
        QCOMPARE(form.SaveDir, out.path() + "/");

        // After a save-all run the preview shows its last icon, and that is
        // what the next single save reads.
        QTemporaryDir all;
        form.SaveAllIcons(all.path(), 5);
        QCOMPARE(QDir(all.path()).entryList(QDir::Files),
                 (QStringList{"one.png", "three0.png", "three1.png", "three2.png"}));
        QCOMPARE(QImage(all.path() + "/three0.png").pixel(16, 16), 0xFF203040u);
        name = "last";
        type = 5;
        form.ImgBtn5Click();
        QCOMPARE(QImage(out.path() + "/last.png").pixel(16, 16), 0xFF6090C0u);
    }

    // A PNG run with the gallery box gives a page of the PNG pictures.
    void pngRunWritesItsGallery()
    {
        TForm1 form;
        form.CreateSelDirForm();
        form.DirTree->SetPath(Files.path());
        QTemporaryDir out;
        dialogs::SelDirForm->SetDirName(out.path() + "/");
        testsupport::Child<dialogs::TRadioGroup>(*dialogs::SelDirForm, "RadioGroup1")
            ->SetItemIndex(4);
        dialogs::SelDirForm->RadioGroup1Click();
        testsupport::Child<QCheckBox>(*dialogs::SelDirForm, "CbxHTML")->setChecked(true);
        form.SaveAllIcons(form.SaveDir, 5);
        QVERIFY2(Messages.isEmpty(), qPrintable(Messages.join('\n')));
        const QString page = ReadText(out.path() + "//IconList_.html");
        QVERIFY(page.contains("three2.png"));
        QVERIFY(!page.contains(".bmp"));
        QCOMPARE(QString::fromStdString(form.HFind->FileMask()), QString("*.BMP"));
    }

    // Gauge2 counts the icons of one file: 1 and 2 of its maximum 2 for
    // three icons, the third step clamped, then back to 0.
    void gauge2StepsThroughTheIconsOfOneFile()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.DirTree->SetPath(Files.path());
        struct Recorder : QObject
        {
            controls::TGauge *Gauge = nullptr;
            QList<int> Seen;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    Seen << Gauge->Progress();
                return false;
            }
        } recorder;
        recorder.Gauge = form.Gauge2;
        form.Gauge2->installEventFilter(&recorder);
        QTemporaryDir out;
        form.SaveAllIcons(out.path(), 1);
        form.Gauge2->removeEventFilter(&recorder);
        // a-none.exe and one.EXE leave it alone; three.exe steps it.
        // The first paint, at 0, may come from the window being shown.
        while (!recorder.Seen.isEmpty() && recorder.Seen.first() == 0)
            recorder.Seen.removeFirst();
        QString seen;
        for (const int v : recorder.Seen)
            seen += QString::number(v) + ' ';
        QVERIFY2(recorder.Seen == (QList<int>{1, 2, 0}), qPrintable(seen));
    }

    // With an empty list the gallery step still runs: the bitmaps already
    // in the folder get their page, or the not-found message comes.
    void emptyListStillRunsTheGalleryStep()
    {
        TForm1 form;
        form.CreateSelDirForm();
        QTemporaryDir empty;
        form.DirTree->SetPath(empty.path());
        QCOMPARE(form.FileListBox1->Count(), 0);
        testsupport::Child<dialogs::TRadioGroup>(*dialogs::SelDirForm, "RadioGroup1")
            ->SetItemIndex(2);
        dialogs::SelDirForm->RadioGroup1Click();
        testsupport::Child<QCheckBox>(*dialogs::SelDirForm, "CbxHTML")->setChecked(true);

        QTemporaryDir out;
        form.SaveDir = out.path();
        form.SaveAllIcons(out.path(), 3);
        QCOMPARE(Messages, QStringList{"I don't find *.bmp or *.jpg pictures in the gallery"});
        QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());

        Messages.clear();
        WriteFile(out.path() + "/kept.BMP", {'B', 'M'});
        form.SaveAllIcons(out.path(), 3);
        QVERIFY(Messages.isEmpty());
        const QString page =
            ReadText(out.path() + "/IconList_" + QDir(out.path()).dirName() + ".html");
        QVERIFY(page.contains("kept.BMP"));
        form.DirTree->SetPath(Files.path()); // the next window opens there
    }

    // Save-all: every icon of every listed file, the gauges moved and back
    // at 0; an unwritable destination reported icon by icon.
    void saveAllStepsTheGaugesAndEndsAtZero()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.DirTree->SetPath(Files.path());
        QTemporaryDir out;
        const int paintsBefore = form.Gauge1->PaintCount();
        form.SaveAllIcons(out.path() + "/", 1);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{"one.ico", "three0.ico", "three1.ico", "three2.ico"}));
        QCOMPARE(form.Gauge1->MaxValue(), form.FileListBox1->Count());
        QCOMPARE(form.Gauge2->MaxValue(), 2);
        QCOMPARE(form.Gauge1->Progress(), 0);
        QCOMPARE(form.Gauge2->Progress(), 0);
        QVERIFY(form.Gauge1->PaintCount() > paintsBefore);
        QVERIFY2(Messages.isEmpty(), qPrintable(Messages.join('\n')));

        form.SaveAllIcons(out.path() + "/nowhere/", 3);
        QCOMPARE(Messages.size(), 4); // one, then three0..three2
        QVERIFY(Messages.first().startsWith("Could not process " + out.path() + "/nowhere//one"));
        QCOMPARE(form.Gauge1->Progress(), 0);
    }

    // Save-all asks the destination dialog first: cancel saves nothing;
    // Start saves into its folder in its format, then the gallery step.
    void saveAllAsksTheDestinationFirst()
    {
        TForm1 form;
        form.CreateSelDirForm();
        form.DirTree->SetPath(Files.path());
        dialogs::TSelDirForm *dialog = dialogs::SelDirForm;
        QVERIFY(dialog);
        QTemporaryDir out;
        dialog->SetDirName(out.path() + "/");
        QCOMPARE(form.SaveDir, out.path() + "/");

        testsupport::WhenModal<dialogs::TSelDirForm>(dialog,
                                                     [](auto *shown) { shown->BtnCancelClick(); });
        form.ImgBtn4Click();
        QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());

        testsupport::Child<dialogs::TRadioGroup>(*dialog, "RadioGroup1")->SetItemIndex(1); // CUR
        // Showing unchecks the gallery box for anything but BMP; tick it
        // while the dialog is open, as a user can before changing the type.
        testsupport::WhenModal<dialogs::TSelDirForm>(dialog, [](auto *shown) {
            testsupport::Child<QCheckBox>(*shown, "CbxHTML")->setChecked(true);
            shown->BtnOkClick();
        });
        form.ImgBtn4Click();
        QCOMPARE(form.SaveFormat, 2);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{"one.cur", "three0.cur", "three1.cur", "three2.cur"}));
        QCOMPARE(
            Messages,
            QStringList{
                "The browser only display BMP files. So currently no gallery with ICO and CUR"});

        // BMP with the gallery box: the bitmaps, then their page.
        Messages.clear();
        QTemporaryDir bitmaps;
        dialog->SetDirName(bitmaps.path() + "/");
        testsupport::Child<dialogs::TRadioGroup>(*dialog, "RadioGroup1")->SetItemIndex(2);
        dialog->RadioGroup1Click();
        testsupport::WhenModal<dialogs::TSelDirForm>(dialog, [](auto *shown) {
            testsupport::Child<QCheckBox>(*shown, "CbxHTML")->setChecked(true);
            shown->BtnOkClick();
        });
        form.ImgBtn4Click();
        QVERIFY(Messages.isEmpty());
        QVERIFY(QFile::exists(bitmaps.path() + "/one.bmp"));
        QVERIFY(ReadText(bitmaps.path() + "//IconList_.html").contains("three2.bmp"));
    }

    // The about button fills the about box and shows it modally, with the
    // program's icon drawn over the top picture.
    void aboutButtonShowsTheAboutBox()
    {
        TForm1 form;
        bool shown = false;
        QImage icon, expected(QString::fromLatin1(skinart::kAboutPicture));
        const QRect iconPlace = about::AboutPlaceOf("ProgramIcon2");
        expected = expected.copy(iconPlace).convertToFormat(QImage::Format_RGB32);
        QPainter(&expected).drawPixmap(0, 0, skinart::ProgramIcon().pixmap(32, 32));
        testsupport::WhenModal<QDialog>(&form, [&](QDialog *modal) {
            shown = true;
            icon = modal->grab().toImage().copy(iconPlace).convertToFormat(QImage::Format_RGB32);
            modal->close();
        });
        form.ImgBtn3Click();
        QVERIFY(shown);
        QCOMPARE(icon, expected);
        QCOMPARE(form.AboutBox->ProductName(), QString("Rurorodode"));
        QCOMPARE(form.AboutBox->Version(), QString("1.0"));
        QVERIFY(
            form.AboutBox->Comments().startsWith("Rurorodode from Vuderiru. \n\r\n\rIf you have"));
        QVERIFY(form.AboutBox->Comments().endsWith("\n\r\n\rThanks!"));
    }

    // The main window's hints only reach its status line; the about box
    // pops up its own, two-line ones on two lines.
    void aboutBoxShowsItsHintsAsTips()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString tip;
        int tipHeight = 0, lineHeight = 1;
        testsupport::WhenModal<QDialog>(&form, [&](QDialog *modal) {
            auto *link = modal->findChild<QLabel *>("LblTextURL");
            QHelpEvent help(QEvent::ToolTip, link->rect().center(),
                            link->mapToGlobal(link->rect().center()));
            QApplication::sendEvent(link, &help);
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *label = qobject_cast<QLabel *>(w);
                    label && w->inherits("QTipLabel") && w->isVisible()) {
                    tip = label->text();
                    tipHeight = label->height();
                    lineHeight = label->fontMetrics().lineSpacing();
                }
            modal->close();
        });
        form.ImgBtn3Click();
        QCOMPARE(tip, about::TAboutBox::kHomePage + "\n" + about::TAboutBox::kThemesPage);
        QVERIFY2(tipHeight >= 2 * lineHeight, qPrintable(QString::number(tipHeight)));
        // Over the main window, nothing pops up.
        form.ImgBtn1->setToolTip("tip");
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), form.ImgBtn1->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(form.ImgBtn1, &help);
        QVERIFY(!QToolTip::isVisible() || QToolTip::text() != "tip");
    }

    // Close collapses the window for a second, then it goes; from the
    // start of the animation the buttons no longer work.
    void closeAnimatesThenCloses()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int asked = 0;
        form.AskSaveName = [&asked](QString &, int &) {
            ++asked;
            return false;
        };
        const QPoint middle = form.ImgBtn5->rect().center();
        QTest::mouseClick(form.ImgBtn5, Qt::LeftButton, {}, middle);
        QCOMPARE(asked, 1);

        form.ImgBtn1Click();
        QVERIFY(form.isVisible());
        QVERIFY(!form.Closed());
        QTest::mouseClick(form.ImgBtn5, Qt::LeftButton, {}, middle);
        QTest::keyClick(form.FileListBox1, Qt::Key_Down);
        QCOMPARE(asked, 1);
        QTRY_VERIFY_WITH_TIMEOUT(form.Closed(), 3000);
        QVERIFY(!form.isVisible());
    }

    // Presses on the bare face or the skin move the window; on an enabled
    // label, a picture, a panel, the bevel or a windowed control, with
    // either button, they do not.
    void onlyTheFaceAndTheSkinStartADrag()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint start = form.pos();
        QTest::mousePress(&form, Qt::RightButton, {}, QPoint(300, 395));
        QTest::mouseMove(&form, QPoint(310, 400));
        QTest::mouseRelease(&form, Qt::RightButton, {}, QPoint(310, 400));
        QCOMPARE(form.pos(), start + QPoint(10, 5));

        QList<std::pair<QWidget *, QPoint>> still = {
            {form.Label4, {5, 5}},
            {form.Panel1, {78, 3}},
            {form.Bevel1, {4, 60}},
            {form.Gauge1, {5, 5}},
            {form.FilterComboBox1, {20, 10}},
            {form.RadioButton1, {5, 8}},
            {form.RadioButton2, {40, 8}},
            {form.FileListBox1->viewport(), {20, 200}},
            {form.DirTree->viewport(), {20, 200}},
        };
        for (QToolButton *arrow : form.SpinEdit1->findChildren<QToolButton *>())
            still.append({arrow, arrow->rect().center()});
        QVERIFY(form.SpinEdit1->findChildren<QToolButton *>().size() >= 2);
        form.SpinEdit1->setEnabled(true);
        for (const auto &[widget, at] : still) {
            for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
                const QPoint before = form.pos();
                QTest::mousePress(widget, button, {}, at);
                QTest::mouseMove(&form, QPoint(320, 410));
                QTest::mouseRelease(widget, button, {}, at);
                QVERIFY2(form.pos() == before, qPrintable(widget->metaObject()->className()));
            }
        }
    }

    // The filter box's drop-down list is drawn as the box is: gray ground,
    // aqua bold text.
    void filterListIsGrayWithAquaText()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.FilterComboBox1->showPopup();
        QAbstractItemView *list = form.FilterComboBox1->view();
        QTRY_VERIFY(list->isVisible());
        QVERIFY(list->font().bold());
        const QImage shot = list->viewport()->grab().toImage();
        form.FilterComboBox1->hidePopup();
        int gray = 0, aqua = 0, white = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y) & 0xFFFFFFu;
                gray += c == 0x808080u;
                aqua += c == 0x00FFFFu;
                white += c == 0xFFFFFFu;
            }
        QVERIFY2(gray > shot.width() * shot.height() / 3, qPrintable(QString::number(gray)));
        QVERIFY(aqua > 20);
        QCOMPARE(white, 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
