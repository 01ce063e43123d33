// The folder picker: the starting-folder rule, confirming and cancelling,
// the two notifications, errors inside them, the status line and the root.

#include "dialogs/pathdialog.h"
#include "qttestsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <stdexcept>

using dialogs::TPathDialog;

namespace {

// Runs fn inside the browse window's loop as soon as the window is open.
void WhenOpen(TPathDialog &pd, std::function<void(QDialog *)> fn)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, &pd, fn] {
        if (!pd.BrowseHandle())
            return;
        timer->stop();
        timer->deleteLater();
        fn(pd.BrowseHandle());
    });
    timer->start();
}

QAbstractButton *Button(QDialog *window, QDialogButtonBox::StandardButton which)
{
    return window->findChild<QDialogButtonBox *>(QStringLiteral("Buttons"))->button(which);
}

QString Current(QDialog *window)
{
    auto *tree = window->findChild<QTreeView *>(QStringLiteral("Tree"));
    const QModelIndex index = tree->currentIndex();
    return index.isValid() ? index.data(QFileSystemModel::FilePathRole).toString() : QString();
}

} // namespace

class PathDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void directoryRule_data();
    void directoryRule();
    void confirmReturnsTheSelection_data();
    void confirmReturnsTheSelection();
    void cancelKeepsDirectory();
    void emptyDirectoryStartsAtCurrentFolder();
    void selectionNotifications();
    void errorsInEventsKeepBrowsing();
    void errorShownInMessageBox();
    void statusLine();
    void rootItem();
    void startFolderInViewOnceLoaded();

private:
    QTemporaryDir Temp;
    QString Base;
};

void PathDialogTest::initTestCase()
{
    testsupport::UseProgramFonts();
    QVERIFY(Temp.isValid());
    Base = Temp.path();
    QVERIFY(QDir(Base).mkpath(QStringLiteral("a/b")));
}

void PathDialogTest::directoryRule_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("stored");
    QTest::newRow("one separator dropped") << "/tmp/a/"
                                           << "/tmp/a";
    QTest::newRow("only one of two") << "/tmp/a//"
                                     << "/tmp/a/";
    QTest::newRow("none") << "/tmp/a"
                          << "/tmp/a";
    QTest::newRow("root keeps its separator") << "/"
                                              << "/";
    QTest::newRow("existence not tested") << "/no/such/folder/"
                                          << "/no/such/folder";
    QTest::newRow("odd characters") << "/tmp/a b/'q\" #%/Ünï/.hid/"
                                    << "/tmp/a b/'q\" #%/Ünï/.hid";
    QTest::newRow("empty is the current folder") << "" << QDir::currentPath();
}

void PathDialogTest::directoryRule()
{
    QFETCH(QString, written);
    QFETCH(QString, stored);
    TPathDialog pd;
    pd.SetDirectory(written);
    QCOMPARE(pd.Directory(), stored);
    QCOMPARE(pd.BrowseHandle(), nullptr);
}

void PathDialogTest::confirmReturnsTheSelection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("trailing");
    QTest::newRow("plain") << "plain" << true;
    QTest::newRow("spaces") << "with  spaces " << false;
    QTest::newRow("quotes") << "it's \"quoted\"" << true;
    QTest::newRow("hash and percent") << "#1 100%" << false;
    QTest::newRow("non-ASCII") << "Ärger ĳ 日本" << true;
    QTest::newRow("leading dot") << ".hidden" << true;
}

void PathDialogTest::confirmReturnsTheSelection()
{
    QFETCH(QString, name);
    QFETCH(bool, trailing);
    const QString folder = Base + QLatin1Char('/') + name;
    QVERIFY(QDir().mkpath(folder));

    QWidget owner;
    TPathDialog pd(&owner);
    pd.SetDirectory(trailing ? folder + QLatin1Char('/') : folder);
    QString selected, title;
    QWidget *parent = nullptr;
    WhenOpen(pd, [&](QDialog *window) {
        selected = Current(window);
        parent = window->parentWidget();
        Button(window, QDialogButtonBox::Ok)->click();
    });
    QVERIFY(pd.Execute());
    QCOMPARE(selected, folder);
    QCOMPARE(pd.Directory(), folder);
    QCOMPARE(parent, &owner);
    QCOMPARE(pd.BrowseHandle(), nullptr);
}

void PathDialogTest::cancelKeepsDirectory()
{
    TPathDialog pd;
    pd.SetTitle(QStringLiteral("Pick one"));
    pd.SetDirectory(Base + QStringLiteral("/a/"));
    QString prompt;
    WhenOpen(pd, [&](QDialog *window) {
        prompt = window->findChild<QLabel *>(QStringLiteral("Prompt"))->text();
        // Moving the selection and then cancelling changes nothing.
        pd.SetDirectory(Base + QStringLiteral("/a/b"));
        Button(window, QDialogButtonBox::Cancel)->click();
    });
    QVERIFY(!pd.Execute());
    QCOMPARE(prompt, QStringLiteral("Pick one"));
    QCOMPARE(pd.Directory(), Base + QStringLiteral("/a/b"));

    // The window's close box cancels as well.
    WhenOpen(pd, [](QDialog *window) { window->close(); });
    QVERIFY(!pd.Execute());
    QCOMPARE(pd.Directory(), Base + QStringLiteral("/a/b"));
}

void PathDialogTest::emptyDirectoryStartsAtCurrentFolder()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(Base + QStringLiteral("/a")));
    TPathDialog pd;
    QString selected;
    WhenOpen(pd, [&](QDialog *window) {
        selected = Current(window);
        Button(window, QDialogButtonBox::Cancel)->click();
    });
    const bool result = pd.Execute();
    QDir::setCurrent(before);
    QVERIFY(!result);
    QCOMPARE(selected, Base + QStringLiteral("/a"));
    QCOMPARE(pd.Directory(), Base + QStringLiteral("/a"));
}

void PathDialogTest::selectionNotifications()
{
    TPathDialog pd;
    pd.SetDirectory(Base + QStringLiteral("/a"));
    QStringList order, selections;
    QObject *showSender = nullptr, *selectSender = nullptr;
    pd.OnShow = [&](QObject *sender) {
        order << QStringLiteral("show");
        showSender = sender;
    };
    pd.OnSelect = [&](QObject *sender, const QString &path) {
        selections << path;
        selectSender = sender;
    };
    bool okWithoutItem = true, okWithItem = false;
    WhenOpen(pd, [&](QDialog *window) {
        auto *tree = window->findChild<QTreeView *>(QStringLiteral("Tree"));
        order << QStringLiteral("open");
        pd.SetDirectory(Base + QStringLiteral("/a/b/"));
        // No item: no path, and nothing that could be confirmed.
        tree->setCurrentIndex(QModelIndex());
        okWithoutItem = Button(window, QDialogButtonBox::Ok)->isEnabled();
        pd.SetDirectory(Base);
        okWithItem = Button(window, QDialogButtonBox::Ok)->isEnabled();
        Button(window, QDialogButtonBox::Ok)->click();
    });
    QVERIFY(pd.Execute());
    QCOMPARE(order, QStringList({QStringLiteral("show"), QStringLiteral("open")}));
    QCOMPARE(showSender, &pd);
    QCOMPARE(selectSender, &pd);
    QCOMPARE(selections, QStringList({Base + QStringLiteral("/a"), Base + QStringLiteral("/a/b"),
                                      QString(), Base}));
    QVERIFY(!okWithoutItem);
    QVERIFY(okWithItem);
    QCOMPARE(pd.Directory(), Base);
}

void PathDialogTest::errorsInEventsKeepBrowsing()
{
    TPathDialog pd;
    pd.SetDirectory(Base);
    QStringList messages;
    pd.OnMessage = [&](const QString &text) { messages << text; };
    pd.OnShow = [](QObject *) { throw std::runtime_error("show failed"); };
    int selects = 0;
    pd.OnSelect = [&](QObject *, const QString &path) {
        ++selects;
        if (path.endsWith(QLatin1String("/b")))
            throw 42; // not an error with a message: swallowed
        throw std::runtime_error(("cannot use " + path).toStdString());
    };
    bool stillOpen = false;
    WhenOpen(pd, [&](QDialog *window) {
        pd.SetDirectory(Base + QStringLiteral("/a/b"));
        pd.SetDirectory(Base + QStringLiteral("/a"));
        stillOpen = window->isVisible() && pd.BrowseHandle() == window;
        Button(window, QDialogButtonBox::Ok)->click();
    });
    QVERIFY(pd.Execute());
    QVERIFY(stillOpen);
    QCOMPARE(selects, 3);
    QCOMPARE(messages,
             QStringList({QStringLiteral("cannot use ") + Base, QStringLiteral("show failed"),
                          QStringLiteral("cannot use ") + Base + QStringLiteral("/a")}));
    QCOMPARE(pd.Directory(), Base + QStringLiteral("/a"));
}

void PathDialogTest::errorShownInMessageBox()
{
    TPathDialog pd;
    pd.SetDirectory(Base);
    pd.OnShow = [](QObject *) { throw std::runtime_error("Folder is gone"); };
    QString shown;
    bool browsingAfter = false;
    // The box is modal inside the browse window's loop: close it from a timer.
    auto *timer = new QTimer(this);
    timer->setInterval(5);
    connect(timer, &QTimer::timeout, this, [&, timer] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (!shown.isEmpty() && pd.BrowseHandle()) {
            timer->stop();
            browsingAfter = pd.BrowseHandle()->isVisible();
            Button(pd.BrowseHandle(), QDialogButtonBox::Ok)->click();
        }
    });
    timer->start();
    QVERIFY(pd.Execute());
    QCOMPARE(shown, QStringLiteral("Folder is gone"));
    QVERIFY(browsingAfter);
}

void PathDialogTest::statusLine()
{
    TPathDialog pd;
    pd.SetDirectory(Base);
    pd.SetShowStatus(true);
    pd.SetStatusText(QStringLiteral("first"));
    QString atShow, afterWrite;
    pd.OnShow = [&](QObject *) {
        atShow = pd.BrowseHandle()->findChild<QLabel *>(QStringLiteral("Status"))->text();
    };
    WhenOpen(pd, [&](QDialog *window) {
        pd.SetStatusText(QStringLiteral("second"));
        afterWrite = window->findChild<QLabel *>(QStringLiteral("Status"))->text();
        Button(window, QDialogButtonBox::Cancel)->click();
    });
    QVERIFY(!pd.Execute());
    QCOMPARE(atShow, QStringLiteral("first"));
    QCOMPARE(afterWrite, QStringLiteral("second"));

    // Without a status line the text is only stored.
    pd.OnShow = nullptr;
    pd.SetShowStatus(false);
    bool hasStatus = true;
    WhenOpen(pd, [&](QDialog *window) {
        pd.SetStatusText(QStringLiteral("third"));
        hasStatus = window->findChild<QLabel *>(QStringLiteral("Status")) != nullptr;
        Button(window, QDialogButtonBox::Cancel)->click();
    });
    QVERIFY(!pd.Execute());
    QVERIFY(!hasStatus);
    QCOMPARE(pd.StatusText(), QStringLiteral("third"));
}

void PathDialogTest::rootItem()
{
    QCOMPARE(TPathDialog().RootItem(), TPathDialog::riMyComputer);
    QCOMPARE(TPathDialog().RootPath(), QStringLiteral("/"));

    // Rooted at the home folder, a folder outside it cannot be selected; the
    // tree's single top item is the home folder itself.
    const QString before = qEnvironmentVariable("HOME");
    qputenv("HOME", QFile::encodeName(Base + QStringLiteral("/a")));
    TPathDialog pd;
    pd.SetRootItem(TPathDialog::riDesktop);
    pd.SetDirectory(QStringLiteral("/"));
    QString selected, top;
    int topItems = 0;
    WhenOpen(pd, [&](QDialog *window) {
        auto *tree = window->findChild<QTreeView *>(QStringLiteral("Tree"));
        selected = Current(window);
        topItems = tree->model()->rowCount(tree->rootIndex());
        top = tree->model()
                  ->index(0, 0, tree->rootIndex())
                  .data(QFileSystemModel::FilePathRole)
                  .toString();
        pd.SetDirectory(Base + QStringLiteral("/a/b"));
        Button(window, QDialogButtonBox::Ok)->click();
    });
    const bool result = pd.Execute();
    qputenv("HOME", QFile::encodeName(before));
    QVERIFY(result);
    QCOMPARE(topItems, 1);
    QCOMPARE(top, Base + QStringLiteral("/a"));
    QCOMPARE(selected, Base + QStringLiteral("/a"));
    QCOMPARE(pd.Directory(), Base + QStringLiteral("/a/b"));

    // A root that is not there: nothing is shown, nothing changes.
    qputenv("HOME", QFile::encodeName(Base + QStringLiteral("/gone")));
    pd.SetDirectory(Base);
    const bool missing = pd.Execute();
    qputenv("HOME", QFile::encodeName(before));
    QVERIFY(!missing);
    QCOMPARE(pd.Directory(), Base);
}

// The folders load after the window opens; the start folder, last of many,
// is still in view once its neighbours are listed above it.
void PathDialogTest::startFolderInViewOnceLoaded()
{
    const QString many = Base + QStringLiteral("/many");
    for (int i = 0; i < 400; ++i)
        QVERIFY(QDir().mkpath(many + QStringLiteral("/f%1").arg(i, 3, 10, QLatin1Char('0'))));
    QVERIFY(QDir().mkpath(many + QStringLiteral("/zz")));
    TPathDialog pd;
    pd.SetDirectory(many + QStringLiteral("/zz"));
    bool visible = false;
    QString selected;
    WhenOpen(pd, [&](QDialog *window) {
        auto *tree = window->findChild<QTreeView *>(QStringLiteral("Tree"));
        const auto shown = [&] {
            const QModelIndex current = tree->currentIndex();
            return tree->model()->rowCount(current.parent()) == 401 &&
                   tree->viewport()->rect().contains(tree->visualRect(current));
        };
        (void)QTest::qWaitFor(shown, 5000);
        QTest::qWait(300); // a sort still to come would move it again
        visible = shown();
        selected = Current(window);
        window->reject();
    });
    pd.Execute();
    QCOMPARE(selected, many + QStringLiteral("/zz"));
    QVERIFY(visible);
}

QTEST_MAIN(PathDialogTest)
#include "pathdialog_test.moc"
