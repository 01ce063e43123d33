// Opening a path: the command line, a path given at start, dropped files
// and folders, and folders on the way that are hidden.

#include "controls/filelistbox.h"
#include "controls/filtercombobox.h"
#include "controls/shelltreeview.h"
#include "fixtures.h"
#include "iconpicture.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "qttestsupport.h"
#include "settings/inistuff.h"
#include "startup.h"
#include "tlabel.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using app::TForm1;
using testsupport::WriteFile;

namespace {

fixtures::Bytes IconFile(std::uint32_t rgb)
{
    return fixtures::BuildIconFile({fixtures::MakeImage(fixtures::SolidPicture(32, rgb), 32)});
}

std::uint32_t PreviewColour(const TForm1 &form)
{
    return form.Image1->Icon().Pixel(16, 16) & 0xFFFFFFu;
}

// A drag and drop of Urls onto the window; whether the window took it.
bool Drop(TForm1 &form, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPointF at(200, 200);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    return drop.isAccepted();
}

} // namespace

class OpenPathTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir ProgramDir;
    QTemporaryDir Files;
    QStringList Messages;
    QString Saved;   // the remembered folder
    QString Special; // a folder whose name has blanks, non-ASCII letters, a dash

    void Remember(const QString &folder)
    {
        settings::WriteIniString(
            QFile::encodeName(ProgramDir.path() + "/Rurorodode.ini").toStdString(), "Locations",
            "LastDir", QFile::encodeName(folder).toStdString());
    }

private slots:
    void initTestCase()
    {
        testsupport::UseProgramFonts();
        app::SetProgramFolder(ProgramDir.path());
        app::SetMessageHook([this](const QString &text) { Messages << text; });
        settings::SetMessageHandler(
            [this](const std::string &text) { Messages << QString::fromStdString(text); });
        Saved = Files.path() + "/saved";
        Special = Files.path() + QString::fromUtf8("/-My Pr\xc3\xb6grams \xe6\x97\xa5");
        QVERIFY(QDir().mkpath(Saved));
        QVERIFY(QDir().mkpath(Special));
        QVERIFY(QDir().mkpath(Files.path() + "/.wine/drive_c/Program Files"));
        QVERIFY(QDir().mkpath(Files.path() + "/.other"));
        QVERIFY(QDir().mkpath(Files.path() + "/plain"));
        WriteFile(Saved + "/saved.exe", fixtures::SolidColourProgram(1, 0x112233));
        WriteFile(Special + "/-tool \xc3\xa9.exe", fixtures::SolidColourProgram(1, 0x405060));
        WriteFile(Special + "/app.ico", IconFile(0x708090));
        WriteFile(Special + "/zz.exe", fixtures::SolidColourProgram(1, 0x102030));
        WriteFile(Special + "/.hidden.exe", fixtures::SolidColourProgram(1, 0x302010));
        WriteFile(Files.path() + "/.wine/drive_c/Program Files/wine.exe",
                  fixtures::SolidColourProgram(1, 0x0A0B0C));
    }
    void init()
    {
        Messages.clear();
        Remember(Saved);
        app::SetStartPath({});
    }
    void cleanupTestCase() { app::SetStartPath({}); }

    // The help file beside the program (build tree, portable copy), else in
    // the installation's data folder found from the program's place.
    void dataFolderFromTheProgramsPlace()
    {
        QTemporaryDir prefix;
        const QString bin = prefix.path() + "/bin/";
        const QString data = prefix.path() + "/share/rurorodode/";
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data));
        const QString help = "Zadore~2.hlp";
        app::SetProgramFolder(bin);
        QCOMPARE(app::DataFolder(help), data); // where it belongs, though missing
        QVERIFY(!app::IsInstalled());
        QCOMPARE(app::DefaultSaveFolder(), bin);
        WriteFile(data + help, {'?', '_'});
        QCOMPARE(app::DataFolder(help), data);
        QVERIFY(app::IsInstalled());
        // An installed program's folder is no place to save into.
        QCOMPARE(app::DefaultSaveFolder(), QDir::homePath() + "/");
        WriteFile(bin + help, {'?', '_'});
        QCOMPARE(app::DataFolder(help), bin);
        QVERIFY(!app::IsInstalled());
        QCOMPARE(app::DefaultSaveFolder(), bin);
        app::SetProgramFolder(ProgramDir.path());
    }

    // What the command line makes of its arguments.
    void parseArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("path");
        const int run = app::CommandLine::Run, help = app::CommandLine::Help,
                  wrong = app::CommandLine::Wrong;
        QTest::newRow("nothing") << QStringList{} << run << "";
        QTest::newRow("a path") << QStringList{"/tmp/x y.exe"} << run << "/tmp/x y.exe";
        QTest::newRow("help") << QStringList{"--help"} << help << "";
        QTest::newRow("short help after a path") << QStringList{"a", "-h"} << help << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << wrong << "";
        QTest::newRow("dash path after --") << QStringList{"--", "-x"} << run << "-x";
        QTest::newRow("help after -- is a path") << QStringList{"--", "--help"} << run << "--help";
        QTest::newRow("a lone dash") << QStringList{"-"} << run << "-";
        QTest::newRow("two paths") << QStringList{"a", "b"} << wrong << "";
        QTest::newRow("dash name that exists") << QStringList{"-exists-"} << run << "-exists-";
    }
    void parseArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, path);
        // Relative names are looked up in the current folder.
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Files.path()));
        WriteFile("-exists-", {'x'});
        std::vector<std::string> list;
        for (const QString &a : arguments)
            list.push_back(a.toStdString());
        const app::CommandLine line = app::ParseArguments(list);
        QFile::remove("-exists-");
        QDir::setCurrent(here);
        QCOMPARE(static_cast<int>(line.action), action);
        if (action == app::CommandLine::Run)
            QCOMPARE(QString::fromStdString(line.path), path);
        QCOMPARE(line.message.empty(), action != app::CommandLine::Wrong);
    }

    // A folder at start: the window opens there, not at the remembered
    // one, and closing remembers it.
    void startsInAFolder()
    {
        app::SetStartPath(Special);
        {
            TForm1 form;
            QVERIFY(Messages.isEmpty());
            QCOMPARE(form.DirTree->Path(), Special);
            QCOMPARE(form.FileListBox1->Directory(), Special);
            QCOMPARE(form.FileListBox1->Items(),
                     (QStringList{QString::fromUtf8("-tool \xc3\xa9.exe"), "zz.exe"}));
        }
        app::SetStartPath({});
        TForm1 again;
        QCOMPARE(again.DirTree->Path(), Special);
    }

    // A file at start: its folder, the file selected and previewed, the
    // filter switched to all files only when its type is not listed.
    void startsWithAFileSelected_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<uint>("colour");
        QTest::newRow("listed type") << "zz.exe"
                                     << "EXE" << 0x102030u;
        QTest::newRow("non-ASCII name with a dash")
            << QString::fromUtf8("-tool \xc3\xa9.exe") << "EXE" << 0x405060u;
        QTest::newRow("type not listed") << "app.ico"
                                         << "all Files" << 0x708090u;
        QTest::newRow("hidden file") << ".hidden.exe"
                                     << "EXE" << 0x302010u;
    }
    void startsWithAFileSelected()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(uint, colour);
        app::SetStartPath(Special + "/" + name);
        TForm1 form;
        QVERIFY2(Messages.isEmpty(), qPrintable(Messages.join('\n')));
        QCOMPARE(form.DirTree->Path(), Special);
        QCOMPARE(form.FilterComboBox1->currentText(), filter);
        QCOMPARE(form.FileListBox1->FileName(), Special + "/" + name);
        QCOMPARE(form.Label1->text(), QString("No of Icons: 1"));
        QCOMPARE(PreviewColour(form), colour);
    }

    // A relative path names a file of the current folder.
    void relativePathAtStart()
    {
        const QString here = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Special));
        app::SetStartPath("zz.exe");
        TForm1 form;
        QDir::setCurrent(here);
        QCOMPARE(form.FileListBox1->FileName(), Special + "/zz.exe");
    }

    // A path that does not exist: the message, then the usual start.
    void missingPathGivesTheMessageAndTheUsualStart()
    {
        const QString missing = Files.path() + "/gone/nothing.exe";
        app::SetStartPath(missing);
        TForm1 form;
        QCOMPARE(Messages, QStringList{"Error setting path: \"" + missing + "\""});
        QCOMPARE(form.DirTree->Path(), Saved);
        QCOMPARE(form.FileListBox1->Directory(), Saved);
    }

    // Files that are not regular or are huge: the folder opens, nothing
    // hangs, and a huge sparse file is read only where it must be.
    void pipesAndHugeFiles()
    {
        const QString fifo = Special + "/pipe.exe";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString huge = Special + "/huge.exe";
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(2) << 30)); // 2 GB of nothing, sparse
        }
        {
            app::SetStartPath(fifo);
            TForm1 form;
            QVERIFY(Messages.isEmpty());
            QCOMPARE(form.DirTree->Path(), Special);
            QCOMPARE(form.FileListBox1->ItemIndex(), -1);

            QVERIFY(form.OpenPath(huge));
            QCOMPARE(form.FileListBox1->FileName(), huge);
            QCOMPARE(form.Label1->text(), QString("No of Icons: 0"));
        }
        QFile::remove(fifo);
        QFile::remove(huge);
    }

    // Dropping a file or a folder opens it; anything else is not taken.
    void dropping()
    {
        TForm1 form;
        QCOMPARE(form.DirTree->Path(), Saved);
        QVERIFY(form.acceptDrops());

        QVERIFY(!Drop(form, {QUrl("https://example.com/setup.exe")}));
        QVERIFY(!Drop(form, {}));
        QCOMPARE(form.DirTree->Path(), Saved);

        QVERIFY(Drop(
            form, {QUrl("https://example.com/x.exe"), QUrl::fromLocalFile(Special + "/app.ico")}));
        QCOMPARE(form.FileListBox1->FileName(), Special + "/app.ico");
        QCOMPARE(PreviewColour(form), 0x708090u);

        QVERIFY(Drop(form, {QUrl::fromLocalFile(Saved)}));
        QCOMPARE(form.DirTree->Path(), Saved);
        QCOMPARE(form.FileListBox1->Directory(), Saved);

        // A local file that went away after the drag began.
        QVERIFY(Drop(form, {QUrl::fromLocalFile(Files.path() + "/went away.exe")}));
        QCOMPARE(Messages,
                 QStringList{"Error setting path: \"" + Files.path() + "/went away.exe\""});
        QCOMPARE(form.DirTree->Path(), Saved);
    }

    // A Wine prefix: a remembered folder, a path at start and a drop all
    // run through hidden folders and are accepted; the tree shows hidden
    // folders only on their way, or all of them after Ctrl+H.
    void hiddenFolders()
    {
        const QString wine = Files.path() + "/.wine/drive_c/Program Files";
        Remember(wine);
        {
            TForm1 form;
            QVERIFY2(Messages.isEmpty(), qPrintable(Messages.join('\n')));
            QCOMPARE(form.DirTree->Path(), wine);
            QCOMPARE(form.FileListBox1->Items(), QStringList{"wine.exe"});
            QVERIFY(!form.DirTree->isRowHidden(form.DirTree->currentIndex().row(),
                                               form.DirTree->currentIndex().parent()));
        }
        Remember(Saved);
        app::SetStartPath(wine + "/wine.exe");
        TForm1 form;
        QCOMPARE(form.FileListBox1->FileName(), wine + "/wine.exe");
        QCOMPARE(PreviewColour(form), 0x0A0B0Cu);
        app::SetStartPath({});

        // Rows of the temporary folder: ".wine" is on the way now.
        form.DirTree->SetPath(Files.path() + "/plain");
        // 1 hidden, 0 shown, -1 not read into the tree at all.
        const auto hidden = [&](const QString &name) {
            auto *model = qobject_cast<QFileSystemModel *>(form.DirTree->model());
            const QModelIndex top = model->index(Files.path());
            for (int row = 0; row < model->rowCount(top); ++row)
                if (model->index(row, 0, top).data().toString() == name)
                    return form.DirTree->isRowHidden(row, top) ? 1 : 0;
            return -1;
        };
        QCOMPARE(hidden("plain"), 0);
        QTRY_COMPARE(hidden(".other"), 1); // once the folder is read
        QCOMPARE(hidden(".wine"), 1);      // no longer on the way

        QTest::keyClick(form.DirTree, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(form.DirTree->ShowsHidden());
        QCOMPARE(hidden(".other"), 0);
        QCOMPARE(hidden(".wine"), 0);
        QCOMPARE(form.DirTree->Path(), Files.path() + "/plain");

        // Hiding again keeps a selected hidden folder in view.
        form.DirTree->SetPath(Files.path() + "/.other");
        QTest::keyClick(form.DirTree, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(!form.DirTree->ShowsHidden());
        QCOMPARE(hidden(".other"), 0);
        QCOMPARE(hidden(".wine"), 1);
        QCOMPARE(form.DirTree->Path(), Files.path() + "/.other");

        QVERIFY(Drop(form, {QUrl::fromLocalFile(wine)}));
        QCOMPARE(form.DirTree->Path(), wine);
        QCOMPARE(hidden(".wine"), 0);
        QCOMPARE(hidden(".other"), 1);
        QVERIFY(Messages.isEmpty());
    }
};

QTEST_MAIN(OpenPathTest)
#include "open_path_test.moc"
