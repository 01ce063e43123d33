// The picture buttons' keys: each clicks its own button, and only it,
// whichever control of the main window has the keyboard.

#include "controls/filelistbox.h"
#include "controls/filtercombobox.h"
#include "controls/imgbtn.h"
#include "controls/shelltreeview.h"
#include "controls/spinedit.h"
#include "main_window.h"
#include "programfolder.h"
#include "qttestsupport.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class KeysTest : public QObject
{
    Q_OBJECT

private slots:
    void eachKeyClicksItsButtonWhereverTheFocusIs()
    {
        QTemporaryDir programDir;
        app::SetProgramFolder(programDir.path());
        app::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.SpinEdit1->setEnabled(true); // as when a file with icons is chosen
        const QList<controls::TImgBtn *> buttons{form.ImgBtn1, form.ImgBtn2, form.ImgBtn3,
                                                 form.ImgBtn4, form.ImgBtn5};
        std::vector<std::unique_ptr<QSignalSpy>> clicks;
        for (controls::TImgBtn *button : buttons) {
            button->disconnect(&form); // the clicks, not the windows they open
            clicks.push_back(std::make_unique<QSignalSpy>(button, &controls::TImgBtn::OnClick));
        }
        const QList<std::pair<QKeySequence, controls::TImgBtn *>> keys{
            {QKeySequence(Qt::CTRL | Qt::Key_S), form.ImgBtn5},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), form.ImgBtn4},
            {QKeySequence(Qt::Key_F1), form.ImgBtn2},
            {QKeySequence(Qt::CTRL | Qt::Key_Q), form.ImgBtn1}};
        for (QWidget *focus :
             std::initializer_list<QWidget *>{form.FileListBox1, form.DirTree, form.SpinEdit1,
                                              form.FilterComboBox1, form.RadioButton2})
            for (const auto &[key, button] : keys) {
                focus->setFocus();
                QTest::keySequence(QApplication::focusWidget(), key);
                for (qsizetype i = 0; i < buttons.size(); ++i)
                    QVERIFY2(clicks[std::size_t(i)]->count() == (buttons[i] == button ? 1 : 0),
                             qPrintable(key.toString() + " in " + focus->metaObject()->className() +
                                        " clicked " + buttons[i]->objectName()));
                for (auto &spy : clicks)
                    spy->clear();
            }
    }
};

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
