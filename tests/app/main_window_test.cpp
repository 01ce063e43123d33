// The main window driven as a user would, offscreen: start-up and settings,
// browsing and preview, hints, closing, dragging.

#include "about/aboutboxdlg.h"
#include "controls/filelistbox.h"
#include "controls/filtercombobox.h"
#include "controls/gauge.h"
#include "controls/imgbtn.h"
#include "controls/shelltreeview.h"
#include "controls/spinedit.h"
#include "dialogs/radiogroup.h"
#include "dialogs/seldirform.h"
#include "fixtures.h"
#include "helpwindow.h"
#include "hintrouter.h"
#include "iconpicture.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "settings/inistuff.h"
#include "tlabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>

using app::TForm1;

namespace {

void WriteFile(const QString &path, const fixtures::Bytes &bytes)
{
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

QString ReadText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A program with n icon groups, each a solid colour.
fixtures::Bytes Program(int n)
{
    fixtures::PeRecipe recipe;
    for (int i = 0; i < n; ++i) {
        fixtures::Picture p;
        p.width = p.height = 32;
        p.argb.assign(32 * 32, 0xFF000000u | static_cast<std::uint32_t>(0x203040 * (i + 1)));
        p.mask.assign(32 * 32, 0);
        recipe.groups.push_back(
            {static_cast<std::uint16_t>(i + 1), {0x0409}, {fixtures::MakeImage(p, 32)}, {}});
    }
    return fixtures::BuildPe(recipe);
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
        QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
        app::SetProgramFolder(ProgramDir.path());
        app::SetMessageHook([this](const QString &text) { Messages << text; });
        settings::SetMessageHandler(
            [this](const std::string &text) { Messages << QString::fromStdString(text); });
        WriteFile(Files.path() + "/three.exe", Program(3));
        WriteFile(Files.path() + "/one.EXE", Program(1));
        WriteFile(Files.path() + "/notes.txt", {'h', 'i'});
        WriteFile(Files.path() + "/a-none.exe", {'M', 'Z'});
    }
    void init() { Messages.clear(); }

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

    void deletedFolderGivesOneErrorAndAWorkingWindow()
    {
        std::string unused;
        settings::WriteIniString(QFile::encodeName(IniPath()).toStdString(), "Locations", "LastDir",
                                 "/no/such/folder/here");
        TForm1 form;
        QCOMPARE(Messages, QStringList{"Error setting path: \"/no/such/folder/here\""});
        QVERIFY(form.isEnabled());
        form.DirTree->SetPath(Files.path());
        QCOMPARE(form.FileListBox1->Directory(), Files.path());
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
        WriteFile(Files.path() + "/zz.exe", Program(2));
        form.FileListBox1->SetDirectory("/");
        form.FileListBox1->SetDirectory(Files.path());
        QFile::remove(Files.path() + "/zz.exe");
        form.FileListBox1->SetItemIndex(3);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 0"));

        // All files: the text file is listed and holds no icons.
        form.FilterComboBox1->setCurrentIndex(6);
        QCOMPARE(form.FileListBox1->Count(), 4);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 0")); // kept after a re-read
    }

    void radioButtonsKeepExactlyOne()
    {
        TForm1 form;
        QCOMPARE(form.ColourDepth(), std::uint8_t{2});
        QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
        QVERIFY(form.RadioButton2->isChecked() && !form.RadioButton1->isChecked());
        QCOMPARE(form.ColourDepth(), std::uint8_t{3});
        QTest::mouseClick(form.RadioButton2, Qt::LeftButton); // unchecking it checks the other
        QVERIFY(form.RadioButton1->isChecked() && !form.RadioButton2->isChecked());
    }

    void hintsReachTheStatusLine()
    {
        TForm1 form;
        app::THintRouter router;
        connect(&router, &app::THintRouter::OnHint, &form, &TForm1::DisplayHint);
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
        };
        for (const Row &row : rows) {
            router.Update(row.widget);
            QCOMPARE(form.Label5->text(), row.status);
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
        const QList<Row> rows = {{"a", 1, false, "a.ico", 2238},
                                 {"b.ico", 2, false, "b.ico.cur", 2238},
                                 {"c", 1, true, "c.ico", 3262},
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
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 4);
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
        QVERIFY(Messages.isEmpty());

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

        QTimer::singleShot(0, dialog, [dialog] { dialog->BtnCancelClick(); });
        form.ImgBtn4Click();
        QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());

        dialog->RadioGroup1->SetItemIndex(1); // CUR
        // Showing unchecks the gallery box for anything but BMP; tick it
        // while the dialog is open, as a user can before changing the type.
        QTimer::singleShot(100, dialog, [dialog] {
            dialog->CbxHTML->setChecked(true);
            dialog->BtnOkClick();
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
        dialog->RadioGroup1->SetItemIndex(2);
        dialog->RadioGroup1Click();
        QTimer::singleShot(100, dialog, [dialog] {
            dialog->CbxHTML->setChecked(true);
            dialog->BtnOkClick();
        });
        form.ImgBtn4Click();
        QVERIFY(Messages.isEmpty());
        QVERIFY(QFile::exists(bitmaps.path() + "/one.bmp"));
        QVERIFY(ReadText(bitmaps.path() + "//IconList_.html").contains("three2.bmp"));
    }

    // The about button fills the about box and shows it modally.
    void aboutButtonShowsTheAboutBox()
    {
        TForm1 form;
        bool shown = false;
        QTimer::singleShot(200, &form, [&shown] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown = true;
                modal->close();
            }
        });
        form.ImgBtn3Click();
        QVERIFY(shown);
        QCOMPARE(form.AboutBox->ProductName(), QString("Rurorodode"));
        QCOMPARE(form.AboutBox->Version(), QString("1.0"));
        QVERIFY(
            form.AboutBox->Comments().startsWith("Rurorodode from Vuderiru. \n\r\n\rIf you have"));
        QVERIFY(form.AboutBox->Comments().endsWith("\n\r\n\rThanks!"));
    }

    // Close collapses the window for a second, then it goes.
    void closeAnimatesThenCloses()
    {
        TForm1 form;
        form.show();
        form.ImgBtn1Click();
        QVERIFY(form.isVisible());
        QVERIFY(!form.Closed());
        QTRY_VERIFY_WITH_TIMEOUT(form.Closed(), 3000);
        QVERIFY(!form.isVisible());
    }

    // Presses on the bare face or the skin move the window; on an enabled
    // label or a picture they do not.
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

        const QPoint before = form.pos();
        QTest::mousePress(form.Label4, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(&form, QPoint(320, 410));
        QTest::mouseRelease(form.Label4, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(form.pos(), before);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
