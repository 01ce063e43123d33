// The destination dialog: its folder reaching the main window, New, the
// gallery box, Start and Close, Browse, the choices kept between showings
// and the tiled background.

#include "dialogs/pathdialog.h"
#include "dialogs/radiogroup.h"
#include "dialogs/seldirform.h"
#include "dialogs/seldirlayout.h"
#include "qttestsupport.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

#include <unistd.h>

using dialogs::TPathDialog;
using dialogs::TRadioGroup;
using dialogs::TSelDirForm;
using testsupport::Child;

namespace {

// The main window's side of the dialog.
struct Owner
{
    QStringList saveDirs; // every SaveDir write, in order
    QStringList errors;
    QList<int> formats;
    QString SaveDir() const { return saveDirs.isEmpty() ? QString() : saveDirs.last(); }

    std::unique_ptr<TSelDirForm> Make(const QString &programFolder)
    {
        auto form = std::make_unique<TSelDirForm>([this](const QString &dir) { saveDirs << dir; },
                                                  programFolder);
        form->OnSaveFormat = [this](int code) { formats << code; };
        form->OnError = [this](const QString &text) { errors << text; };
        return form;
    }
};

// Runs fn once the modal dialog is up.
void WhenShown(QDialog *dialog, std::function<void()> fn)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, dialog, fn] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        fn();
    });
    timer->start();
}

} // namespace

class SelDirFormTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveAsChoices();
    void init();
    void creation();
    void dirNameWritesThrough();
    void newFolder_data();
    void newFolder();
    void newPressedTwice();
    void galleryBoxRule();
    void startAndClose_data();
    void startAndClose();
    void enterAndEscapePressNothing();
    void browse();
    void choicesKeptBetweenShowings();
    void tiledBackground();

private:
    std::unique_ptr<QTemporaryDir> Temp;
    QString Base; // with a trailing separator, as the program folder comes
};

void SelDirFormTest::initTestCase()
{
    testsupport::UseProgramFonts();
}

void SelDirFormTest::init()
{
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    Base = Temp->path() + QLatin1Char('/');
}

void SelDirFormTest::creation()
{
    Owner owner;
    auto form = owner.Make(Base);
    QCOMPARE(form->DirName(), Base);
    QCOMPARE(Child<QLabel>(*form, "Panel1")->text(), Base);
    QCOMPARE(owner.saveDirs, QStringList({Base}));
    QCOMPARE(form->windowTitle(),
             QStringLiteral("Select the directory where you intend to save the Icons"));
    QCOMPARE(form->size(), dialogs::kSelDirClientSize);
    QCOMPARE(controls::HintOf(form.get()), QStringLiteral("Press Button to create new Directory"));
    QCOMPARE(Child<QToolButton>(*form, "BtnNewDir")->text(), QStringLiteral("   New"));
    QVERIFY(controls::HintOf(Child<QToolButton>(*form, "BtnNewDir")).isEmpty());
    QCOMPARE(Child<QLineEdit>(*form, "Edit1")->text(), QStringLiteral("Icons"));
    for (QToolButton *b :
         {Child<QToolButton>(*form, "BtnCancel"), Child<QToolButton>(*form, "BtnOk"),
          Child<QToolButton>(*form, "BtnSelDir"), Child<QToolButton>(*form, "BtnNewDir")}) {
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QCOMPARE(b->icon().pixmap(16, 16).size(), QSize(16, 16)); // the glyph is embedded
    }

    // Without a folder given, the running program's folder.
    Owner other;
    auto plain = other.Make(QString());
    QCOMPARE(plain->DirName(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));

    // First showing: ICO, the gallery box enabled but cleared.
    QVERIFY(Child<QCheckBox>(*form, "CbxHTML")->isChecked());
    form->show();
    QCOMPARE(Child<TRadioGroup>(*form, "RadioGroup1")->ItemIndex(), 0);
    QVERIFY(Child<QCheckBox>(*form, "CbxHTML")->isEnabled());
    QVERIFY(!Child<QCheckBox>(*form, "CbxHTML")->isChecked());
}

// The Save-as group offers the three whole-icon formats after BMP; it grew
// downward and every other control kept its place, and no item's text is
// cut off.
void SelDirFormTest::saveAsChoices()
{
    Owner owner;
    auto form = owner.Make(Base);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QStringList items = {QStringLiteral("ICO"), QStringLiteral("CUR"),
                               QStringLiteral("BMP"), QStringLiteral("Icon, all sizes"),
                               QStringLiteral("PNG"), QStringLiteral("PNG, by size")};
    QCOMPARE(Child<TRadioGroup>(*form, "RadioGroup1")->Count(), int(items.size()));
    const QRect group = Child<TRadioGroup>(*form, "RadioGroup1")->geometry();
    QCOMPARE(group.topLeft(), dialogs::SelDirPlaceOf("RadioGroup1").topLeft());
    QVERIFY(group.height() >= 77 + 3 * dialogs::kSaveAsItemHeight);
    QVERIFY(group.bottom() < form->height());
    int lastTop = -1;
    for (int i = 0; i < items.size(); ++i) {
        QRadioButton *button = Child<TRadioGroup>(*form, "RadioGroup1")->Button(i);
        QCOMPARE(button->text(), items[i]);
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(items[i]));
        QVERIFY(button->geometry().top() > lastTop); // one column, in order
        lastTop = button->geometry().top();
    }
    // Every control at its place in the dialog's table, inside the dialog,
    // clear of the grown group, and its caption whole.
    for (const skinart::ControlRect &c : dialogs::kSelDirControls) {
        auto *widget = Child<QWidget>(*form, c.name);
        QVERIFY2(widget, c.name);
        QCOMPARE(widget->geometry(), c.rect);
        QVERIFY2(form->rect().contains(widget->geometry()), c.name);
        if (widget != Child<QWidget>(*form, "RadioGroup1"))
            QVERIFY2(!widget->geometry().intersects(group), c.name);
        // Fixed captions; the folder panel shows whatever folder is chosen.
        // A button shows its glyph, a gap and its caption.
        if (auto *button = qobject_cast<QToolButton *>(widget))
            QVERIFY2(button->iconSize().width() + 4 +
                             button->fontMetrics().horizontalAdvance(button->text()) <=
                         button->width(),
                     c.name);
        else if (qobject_cast<QLabel *>(widget) && widget->objectName() != "Panel1")
            QVERIFY2(widget->sizeHint().width() <= widget->width(), c.name);
    }
    // Places the design pins.
    QCOMPARE(Child<QToolButton>(*form, "BtnOk")->geometry(), QRect(409, 98, 65, 25));
    QCOMPARE(Child<QLabel>(*form, "Panel1")->geometry(), QRect(24, 32, 377, 18));
    QCOMPARE(TSelDirForm::GalleryFormat(2), true);
    QCOMPARE(TSelDirForm::GalleryFormat(4), true);
    QCOMPARE(TSelDirForm::GalleryFormat(5), true);
    for (const int item : {-1, 0, 1, 3, 6})
        QCOMPARE(TSelDirForm::GalleryFormat(item), false);
}

void SelDirFormTest::dirNameWritesThrough()
{
    Owner owner;
    auto form = owner.Make(Base);
    QString panelAtWrite;
    form->OnDirChange = [&](const QString &dir) {
        panelAtWrite = Child<QLabel>(*form, "Panel1")->text();
        owner.saveDirs << dir;
    };
    const QString odd = QStringLiteral("/no such/<b>bold</b> & 100% #1/");
    form->SetDirName(odd);
    QCOMPARE(form->DirName(), odd);
    QCOMPARE(Child<QLabel>(*form, "Panel1")->text(), odd);
    QCOMPARE(panelAtWrite, odd); // the panel shows it before the main window hears of it
    QCOMPARE(owner.SaveDir(), odd);
    // The same value again still reaches the main window.
    form->SetDirName(odd);
    QCOMPARE(owner.saveDirs.size(), 3);
}

void SelDirFormTest::newFolder_data()
{
    QTest::addColumn<QString>("current"); // relative to Base; "-" = not there
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("chosen"); // relative to Base
    QTest::addColumn<bool>("created");
    QTest::addColumn<bool>("fails");

    QTest::newRow("default name") << ""
                                  << "Icons"
                                  << "Icons" << true << false;
    QTest::newRow("spaces kept") << ""
                                 << " my icons "
                                 << " my icons " << true << false;
    QTest::newRow("quotes") << ""
                            << "it's \"here\""
                            << "it's \"here\"" << true << false;
    QTest::newRow("hash and percent") << ""
                                      << "#1 at 100%"
                                      << "#1 at 100%" << true << false;
    QTest::newRow("non-ASCII") << ""
                               << "Bilder ÄÖÜ 图标"
                               << "Bilder ÄÖÜ 图标" << true << false;
    QTest::newRow("leading dot") << ""
                                 << ".icons"
                                 << ".icons" << true << false;
    QTest::newRow("no trailing separator") << "sub"
                                           << "Icons"
                                           << "sub/Icons" << true << false;
    QTest::newRow("empty name") << ""
                                << ""
                                << "" << false << false;
    QTest::newRow("already there") << ""
                                   << "sub"
                                   << "sub" << false << false;
    QTest::newRow("current folder missing") << "-"
                                            << "Icons"
                                            << "-/Icons" << false << false;
    QTest::newRow("current is a file") << "file"
                                       << "Icons"
                                       << "file/Icons" << false << false;
    QTest::newRow("nested name") << ""
                                 << "x/y"
                                 << "x/y" << false << true;
    QTest::newRow("target is a file") << ""
                                      << "file"
                                      << "file" << false << true;
    QTest::newRow("read-only folder") << "ro"
                                      << "Icons"
                                      << "ro/Icons" << false << true;
}

void SelDirFormTest::newFolder()
{
    QFETCH(QString, current);
    QFETCH(QString, name);
    QFETCH(QString, chosen);
    QFETCH(bool, created);
    QFETCH(bool, fails);
    if (current == QLatin1String("ro") && ::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");

    QVERIFY(QDir(Base).mkdir(QStringLiteral("sub")));
    QVERIFY(QDir(Base).mkdir(QStringLiteral("ro")));
    QVERIFY(QFile::setPermissions(Base + QStringLiteral("ro"),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QFile file(Base + QStringLiteral("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    Owner owner;
    auto form = owner.Make(Base);
    // "sub" and "-" name the folder without a trailing separator.
    const QString dirName = current.isEmpty() ? Base : Base + current;
    form->SetDirName(dirName);
    Child<QLineEdit>(*form, "Edit1")->setText(name);
    const QString target = (current.isEmpty() ? Base : Base + current + QLatin1Char('/')) + name;
    const bool existedBefore = QFileInfo(target).exists();

    QTest::mouseClick(Child<QToolButton>(*form, "BtnNewDir"), Qt::LeftButton);

    QFile::setPermissions(Base + QStringLiteral("ro"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (fails) {
        QCOMPARE(owner.errors, QStringList({QStringLiteral("Cannot create ") + target}));
        QCOMPARE(form->DirName(), dirName);
        QCOMPARE(Child<QLabel>(*form, "Panel1")->text(), dirName);
        QCOMPARE(owner.SaveDir(), dirName);
        QVERIFY(!QFileInfo(target).isDir());
        return;
    }
    QVERIFY(owner.errors.isEmpty());
    QCOMPARE(form->DirName(), Base + chosen);
    QCOMPARE(form->DirName(), target);
    QCOMPARE(Child<QLabel>(*form, "Panel1")->text(), target);
    QCOMPARE(owner.SaveDir(), target);
    QCOMPARE(!existedBefore && QFileInfo(target).isDir(), created);
    if (!created && !existedBefore)
        QVERIFY(!QFileInfo::exists(target));
}

void SelDirFormTest::newPressedTwice()
{
    Owner owner;
    auto form = owner.Make(Base);
    Child<QToolButton>(*form, "BtnNewDir")->click();
    Child<QToolButton>(*form, "BtnNewDir")->click();
    QVERIFY(QFileInfo(Base + QStringLiteral("Icons/Icons")).isDir());
    QCOMPARE(owner.SaveDir(), Base + QStringLiteral("Icons/Icons"));
}

void SelDirFormTest::galleryBoxRule()
{
    Owner owner;
    auto form = owner.Make(Base);
    QCheckBox *box = Child<QCheckBox>(*form, "CbxHTML");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(!box->isChecked());

    // BMP enables without checking.
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(2)->click();
    QVERIFY(box->isEnabled());
    QVERIFY(!box->isChecked());
    QVERIFY(!form->GalleryWanted());
    box->setChecked(true);
    // Activation leaves a BMP choice alone.
    form->FormActivate();
    QVERIFY(box->isChecked());
    QVERIFY(form->GalleryWanted());

    // ICO disables without clearing ...
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(0)->click();
    QVERIFY(!box->isEnabled());
    QVERIFY(box->isChecked());

    // ... until the dialog is activated again (here: another window took
    // the focus and gave it back).
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(box->isChecked());
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(!box->isChecked());
    QVERIFY(!box->isEnabled());

    // PNG, like BMP, enables and survives activation; "Icon, all sizes"
    // disables.
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(4)->click();
    QVERIFY(box->isEnabled());
    box->setChecked(true);
    form->FormActivate();
    QVERIFY(box->isChecked());
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(3)->click();
    QVERIFY(!box->isEnabled());
    form->FormActivate();
    QVERIFY(!box->isChecked());
    QVERIFY(!form->GalleryWanted());

    // CUR likewise disables, and a new showing clears.
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(2)->click();
    box->setChecked(true);
    Child<TRadioGroup>(*form, "RadioGroup1")->Button(1)->click();
    QVERIFY(!box->isEnabled());
    form->hide();
    QVERIFY(box->isChecked());
    form->show();
    QVERIFY(!box->isChecked());
}

void SelDirFormTest::startAndClose_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<int>>("formats");
    QTest::addColumn<int>("chosen");
    QTest::newRow("Start ICO") << 0 << "Start" << int(TSelDirForm::mrOk) << QList<int>{1} << 1;
    QTest::newRow("Start CUR") << 1 << "Start" << int(TSelDirForm::mrOk) << QList<int>{2} << 2;
    QTest::newRow("Start BMP") << 2 << "Start" << int(TSelDirForm::mrOk) << QList<int>{3} << 3;
    QTest::newRow("Start icon, all sizes")
        << 3 << "Start" << int(TSelDirForm::mrOk) << QList<int>{4} << 4;
    QTest::newRow("Start PNG") << 4 << "Start" << int(TSelDirForm::mrOk) << QList<int>{5} << 5;
    QTest::newRow("Start PNG, every size")
        << 5 << "Start" << int(TSelDirForm::mrOk) << QList<int>{6} << 6;
    QTest::newRow("Close") << 2 << "Close" << int(TSelDirForm::mrCancel) << QList<int>{} << 3;
    QTest::newRow("close box") << 1 << "box" << int(TSelDirForm::mrCancel) << QList<int>{} << 2;
}

void SelDirFormTest::startAndClose()
{
    QFETCH(int, item);
    QFETCH(QString, press);
    QFETCH(int, result);
    QFETCH(QList<int>, formats);
    QFETCH(int, chosen);

    Owner owner;
    auto form = owner.Make(Base);
    // A single save moved the main window's folder on meanwhile.
    owner.saveDirs << QStringLiteral("/elsewhere/");
    WhenShown(form.get(), [&] {
        Child<TRadioGroup>(*form, "RadioGroup1")->Button(item)->click();
        if (press == QLatin1String("Start"))
            QTest::mouseClick(Child<QToolButton>(*form, "BtnOk"), Qt::LeftButton);
        else if (press == QLatin1String("Close"))
            QTest::mouseClick(Child<QToolButton>(*form, "BtnCancel"), Qt::LeftButton);
        else
            form->close();
    });
    QCOMPARE(form->ShowModal(), result);
    QVERIFY(!form->isVisible());
    QCOMPARE(owner.formats, formats);
    QCOMPARE(owner.SaveDir(), result == TSelDirForm::mrOk ? Base : QStringLiteral("/elsewhere/"));
    QCOMPARE(Child<TRadioGroup>(*form, "RadioGroup1")->ItemIndex(), item);
    // What the main window reads back after the run.
    QCOMPARE(form->ChosenFormat(), chosen);
}

void SelDirFormTest::enterAndEscapePressNothing()
{
    Owner owner;
    auto form = owner.Make(Base);
    bool visibleAfterKeys = false;
    WhenShown(form.get(), [&] {
        QTest::keyClick(form.get(), Qt::Key_Escape);
        QTest::keyClick(form.get(), Qt::Key_Return);
        QTest::keyClick(Child<QLineEdit>(*form, "Edit1"), Qt::Key_Return);
        QTest::keyClick(Child<QLineEdit>(*form, "Edit1"), Qt::Key_Escape);
        visibleAfterKeys = form->isVisible();
        Child<QToolButton>(*form, "BtnCancel")->click();
    });
    QCOMPARE(form->ShowModal(), TSelDirForm::mrCancel);
    QVERIFY(visibleAfterKeys);
    QVERIFY(owner.formats.isEmpty());
}

void SelDirFormTest::browse()
{
    QVERIFY(QDir(Base).mkpath(QStringLiteral("a b/#c")));
    Owner owner;
    auto form = owner.Make(Base);
    dialogs::TPathDialog *pd = Child<TPathDialog>(*form, "pd");

    // Starts at the current folder; the choice comes back without a
    // trailing separator and reaches the main window.
    QString title, start;
    pd->OnShow = [&](QObject *) {
        title = pd->Title();
        start = pd->Directory();
        pd->SetDirectory(Base + QStringLiteral("a b/#c"));
        pd->BrowseHandle()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    };
    Child<QToolButton>(*form, "BtnSelDir")->click();
    QCOMPARE(title, QStringLiteral("Select Directory"));
    QCOMPARE(start, Temp->path());
    QCOMPARE(form->DirName(), Base + QStringLiteral("a b/#c"));
    QCOMPARE(Child<QLabel>(*form, "Panel1")->text(), form->DirName());
    QCOMPARE(owner.SaveDir(), form->DirName());

    // Cancelled: nothing changes.
    const int writes = owner.saveDirs.size();
    pd->OnShow = [&](QObject *) {
        pd->SetDirectory(Base);
        pd->BrowseHandle()->reject();
    };
    Child<QToolButton>(*form, "BtnSelDir")->click();
    QCOMPARE(form->DirName(), Base + QStringLiteral("a b/#c"));
    QCOMPARE(owner.saveDirs.size(), writes);

    // A folder that is not there is not handed on: the picker keeps
    // what it had.
    form->SetDirName(Base + QStringLiteral("gone/"));
    pd->SetDirectory(Base + QStringLiteral("a b"));
    pd->OnShow = [&](QObject *) {
        start = pd->Directory();
        pd->BrowseHandle()->reject();
    };
    Child<QToolButton>(*form, "BtnSelDir")->click();
    QCOMPARE(start, Base + QStringLiteral("a b"));
    QCOMPARE(form->DirName(), Base + QStringLiteral("gone/"));
}

void SelDirFormTest::choicesKeptBetweenShowings()
{
    Owner owner;
    auto form = owner.Make(Base);
    WhenShown(form.get(), [&] {
        Child<TRadioGroup>(*form, "RadioGroup1")->Button(2)->click();
        Child<QCheckBox>(*form, "CbxHTML")->setChecked(true);
        Child<QLineEdit>(*form, "Edit1")->setText(QStringLiteral("Out"));
        Child<QToolButton>(*form, "BtnNewDir")->click();
        Child<QToolButton>(*form, "BtnOk")->click();
    });
    QCOMPARE(form->ShowModal(), TSelDirForm::mrOk);

    int item = -1;
    bool checked = false, enabled = false;
    QString text, panel;
    WhenShown(form.get(), [&] {
        item = Child<TRadioGroup>(*form, "RadioGroup1")->ItemIndex();
        checked = Child<QCheckBox>(*form, "CbxHTML")->isChecked();
        enabled = Child<QCheckBox>(*form, "CbxHTML")->isEnabled();
        text = Child<QLineEdit>(*form, "Edit1")->text();
        panel = Child<QLabel>(*form, "Panel1")->text();
        Child<QToolButton>(*form, "BtnCancel")->click();
    });
    QCOMPARE(form->ShowModal(), TSelDirForm::mrCancel);
    QCOMPARE(item, 2);
    QVERIFY(checked);
    QVERIFY(enabled);
    QCOMPARE(text, QStringLiteral("Out"));
    QCOMPARE(panel, Base + QStringLiteral("Out"));
    // What the main window reads after the run.
    QVERIFY(Child<QCheckBox>(*form, "CbxHTML")->isChecked());
    QCOMPARE(owner.formats, QList<int>{3});
}

void SelDirFormTest::tiledBackground()
{
    Owner owner;
    auto form = owner.Make(Base);
    // Without a picture painting still ends.
    const QImage bare = form->grab().toImage();
    QCOMPARE(bare.size(), dialogs::kSelDirClientSize);

    // A 100 x 50 tile with a different colour in each quarter.
    QImage tile(100, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            tile.setPixel(x, y, qRgb(x < 50 ? 200 : 20, y < 25 ? 200 : 20, 77));
    form->SetBackground(tile);
    QCOMPARE(form->Background().constBits(), tile.constBits()); // shared, not copied
    const QImage shot = form->grab().toImage();
    // Spots where no control lies, in several tiles.
    for (const QPoint p : {QPoint(2, 2), QPoint(160, 60), QPoint(260, 95), QPoint(480, 170),
                           QPoint(140, 160), QPoint(310, 140), QPoint(60, 214), QPoint(300, 190)})
        QCOMPARE(shot.pixel(p) & 0xFFFFFFu, tile.pixel(p.x() % 100, p.y() % 50) & 0xFFFFFFu);
}

QTEST_MAIN(SelDirFormTest)
#include "seldirform_test.moc"
