#include "controls/spinedit.h"
#include "qttestsupport.h"

#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using controls::TSpinEdit;

namespace {

// A box with its bounds set and its text typed in, logging every text it
// reports a change for.
struct Box
{
    TSpinEdit Spin;
    QLineEdit *Edit = Spin.findChild<QLineEdit *>();
    QStringList Changes;

    Box(int min, int max, const QString &typed)
    {
        Spin.SetMinValue(min);
        Spin.SetMaxValue(max);
        Edit->clear();
        QTest::keyClicks(Edit, typed);
        QObject::connect(&Spin, &TSpinEdit::OnChange, &Spin, [this] { Changes << Spin.Text(); });
    }
};

} // namespace

class SpinEditTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::UseProgramFonts(); }
    void valueReadsTypedText_data();
    void valueReadsTypedText();
    void writes_data();
    void writes();
    void snapBackInsideChange();
};

void SpinEditTest::valueReadsTypedText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");

    QTest::newRow("above max, not clamped") << "7" << 0 << 3 << 7;
    QTest::newRow("negative") << "-1" << 0 << 3 << -1;
    QTest::newRow("blanks around") << " 12 " << 0 << 200 << 12;
    QTest::newRow("letters read as min") << "abc" << 0 << 200 << 0;
    QTest::newRow("letters, min 5") << "abc" << 5 << 9 << 5;
    QTest::newRow("empty") << "" << -3 << 9 << -3;
    QTest::newRow("digits then letters") << "12a" << 1 << 9 << 1;
    QTest::newRow("past int") << "2147483648" << 1 << 9 << 1;
}

void SpinEditTest::valueReadsTypedText()
{
    QFETCH(QString, typed);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);

    Box box(min, max, typed);
    QCOMPARE(box.Spin.Text(), typed); // nothing typed is refused or corrected
    QCOMPARE(box.Spin.Value(), value);
    QCOMPARE(box.Spin.Text(), typed);
}

// Written in code, by an arrow or by an arrow key: clamped unless the bounds
// are equal, and a change reported only when the text changes.
void SpinEditTest::writes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("after");

    QTest::newRow("inside") << "0" << 0 << 200 << "=150"
                            << "150";
    QTest::newRow("above max") << "0" << 0 << 3 << "=5"
                               << "3";
    QTest::newRow("below min") << "2" << 0 << 3 << "=-2"
                               << "0";
    QTest::newRow("min = max = 0") << "0" << 0 << 0 << "=1"
                                   << "1";
    QTest::newRow("min = max = 2, below") << "2" << 2 << 2 << "=-7"
                                          << "-7";
    QTest::newRow("same text") << "3" << 0 << 3 << "=3"
                               << "3";
    QTest::newRow("clamped to the same text") << "3" << 0 << 3 << "=8"
                                              << "3";
    QTest::newRow("up arrow") << "4" << 0 << 200 << "up arrow"
                              << "5";
    QTest::newRow("up arrow at max") << "3" << 0 << 3 << "up arrow"
                                     << "3";
    QTest::newRow("up arrow, one icon") << "0" << 0 << 0 << "up arrow"
                                        << "1";
    QTest::newRow("up arrow from letters") << "abc" << 3 << 9 << "up arrow"
                                           << "4";
    QTest::newRow("up arrow from above max") << "7" << 0 << 3 << "up arrow"
                                             << "3";
    QTest::newRow("up arrow at int max") << "2147483647" << 0 << 0 << "up arrow"
                                         << "2147483647";
    QTest::newRow("down arrow") << "4" << 0 << 200 << "down arrow"
                                << "3";
    QTest::newRow("down arrow at min") << "0" << 0 << 3 << "down arrow"
                                       << "0";
    QTest::newRow("Up key") << "4" << 0 << 200 << "Up key"
                            << "5";
    QTest::newRow("Down key, no bounds") << "0" << 0 << 0 << "Down key"
                                         << "-1";
}

void SpinEditTest::writes()
{
    QFETCH(QString, typed);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QString, how);
    QFETCH(QString, after);

    Box box(min, max, typed);
    box.Spin.resize(45, 22);
    box.Spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box.Spin));
    if (how.startsWith('=')) {
        box.Spin.SetValue(how.mid(1).toInt());
    } else if (how.endsWith("arrow")) {
        const auto direction = how.startsWith("up") ? Qt::UpArrow : Qt::DownArrow;
        for (QToolButton *arrow : box.Spin.findChildren<QToolButton *>())
            if (arrow->arrowType() == direction)
                QTest::mouseClick(arrow, Qt::LeftButton);
    } else {
        QTest::keyClick(box.Edit, how.startsWith("Up") ? Qt::Key_Up : Qt::Key_Down);
    }
    QCOMPARE(box.Spin.Text(), after);
    QCOMPARE(box.Changes, after == typed ? QStringList() : QStringList{after});
}

// A file with one icon: the up arrow shows 1, and the change handler writes
// the last good index back from inside the change.
void SpinEditTest::snapBackInsideChange()
{
    Box box(0, 0, "0");
    QObject::connect(&box.Spin, &TSpinEdit::OnChange, &box.Spin, [&box] {
        if (box.Spin.Value() != 0)
            box.Spin.SetValue(0);
    });
    QTest::keyClick(box.Edit, Qt::Key_Up);
    QCOMPARE(box.Changes, QStringList({"1", "0"}));
    QCOMPARE(box.Spin.Text(), QString("0"));
}

QTEST_MAIN(SpinEditTest)
#include "spinedit_test.moc"
