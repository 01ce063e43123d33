// Every caption of every window shows whole, with the faces the program
// ships: no label, check box, radio button, box title or button text runs
// under another control or past the edge of its window.

#include "about/aboutbox.h"
#include "controls/filelistbox.h"
#include "controls/shelltreeview.h"
#include "dialogs/pathdialog.h"
#include "dialogs/seldirform.h"
#include "fixtures.h"
#include "hintrouter.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "qttestsupport.h"
#include "settings/inistuff.h"
#include "skinart.h"
#include "tlabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>

using app::TForm1;
using testsupport::WriteFile;

namespace {

// Where a widget draws its caption, in its own coordinates.
struct Caption
{
    QString text;
    QRect rect;
};

// The text's size on screen: its widest line's advance, and a line height
// for each line.
QSize TextSize(const QFontMetrics &metrics, const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return {width, metrics.height() + int(lines.size() - 1) * metrics.lineSpacing()};
}

QRect Aligned(const QWidget *w, Qt::Alignment alignment, QSize size, const QRect &room)
{
    return QStyle::alignedRect(w->layoutDirection(), alignment, size, room);
}

std::optional<Caption> LabelCaption(const QLabel *label)
{
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
        return std::nullopt;
    const QFontMetrics metrics = label->fontMetrics();
    const int margin = label->margin();
    const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    if (label->wordWrap()) {
        // Laid out line by line in the label's width, as the label draws it.
        const QRect laid =
            metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text());
        return Caption{label->text(), laid};
    }
    const QSize size = TextSize(metrics, label->text());
    return Caption{label->text(), Aligned(label, label->alignment(), size, room)};
}

std::optional<Caption> ButtonCaption(const QAbstractButton *button)
{
    const QString text = button->text();
    if (text.isEmpty())
        return std::nullopt;
    const QFontMetrics metrics = button->fontMetrics();
    const QSize size = TextSize(metrics, text);
    QStyle *style = button->style();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (qobject_cast<const QCheckBox *>(button) || qobject_cast<const QRadioButton *>(button)) {
        const bool check = qobject_cast<const QCheckBox *>(button) != nullptr;
        const QRect contents = style->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button);
        return Caption{text, Aligned(button, Qt::AlignLeft | Qt::AlignVCenter, size, contents)};
    }
    if (const auto *tool = qobject_cast<const QToolButton *>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return std::nullopt;
        // The label area inside the frame; beside an icon the text starts
        // after the icon and a 4-pixel gap.
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tool);
        QRect room = tool->rect().adjusted(frame, frame, -frame, -frame);
        Qt::Alignment alignment = Qt::AlignCenter;
        if (tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !tool->icon().isNull()) {
            room.setLeft(room.left() + tool->iconSize().width() + 4);
            alignment = Qt::AlignLeft | Qt::AlignVCenter;
        }
        return Caption{text, Aligned(tool, alignment, size, room)};
    }
    if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        if (!push->icon().isNull())
            room.setLeft(room.left() + push->iconSize().width() + 4);
        return Caption{text, Aligned(push, Qt::AlignCenter, size, room)};
    }
    return std::nullopt;
}

std::optional<Caption> GroupBoxCaption(const QGroupBox *box)
{
    if (box->title().isEmpty())
        return std::nullopt;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QSize size = TextSize(box->fontMetrics(), box->title());
    return Caption{box->title(), Aligned(box, Qt::AlignLeft | Qt::AlignVCenter, size, label)};
}

std::optional<Caption> CaptionOf(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return LabelCaption(label);
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return ButtonCaption(button);
    if (const auto *box = qobject_cast<const QGroupBox *>(w))
        return GroupBoxCaption(box);
    return std::nullopt;
}

QRect InWindow(const QWidget *w, const QRect &rect)
{
    return rect.translated(w->mapTo(w->window(), QPoint(0, 0)));
}

QString NameOf(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// The widgets painted over w inside its window: its own children and, at
// every level up to the window, the siblings that come after it.
QList<const QWidget *> Above(const QWidget *w)
{
    const QWidget *window = w->window();
    QList<const QWidget *> above;
    const auto shown = [window](const QObject *o) -> const QWidget * {
        const auto *widget = qobject_cast<const QWidget *>(o);
        return widget && !widget->isWindow() && widget->isVisibleTo(window) &&
                       !widget->rect().isEmpty()
                   ? widget
                   : nullptr;
    };
    for (const QObject *child : w->children())
        if (const QWidget *c = shown(child))
            above += c;
    for (const QWidget *level = w; level != window; level = level->parentWidget()) {
        bool after = false;
        for (const QObject *sibling : level->parentWidget()->children()) {
            if (sibling == level) {
                after = true;
                continue;
            }
            if (const QWidget *s = after ? shown(sibling) : nullptr)
                above += s;
        }
    }
    return above;
}

// What of each caption of the window does not show: empty when every one
// shows whole. checked counts the captions looked at.
QStringList HiddenCaptions(const QWidget *window, int *checked = nullptr)
{
    QStringList problems;
    const QRegion edge = window->mask().isEmpty() ? QRegion(window->rect()) : window->mask();
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (w->isWindow() || !w->isVisibleTo(window))
            continue;
        const std::optional<Caption> caption = CaptionOf(w);
        if (!caption)
            continue;
        // Inside every parent up to the window; a control whose parent was
        // collapsed to nothing is hidden on purpose.
        QRegion inside(InWindow(w, w->rect()));
        for (const QWidget *p = w->parentWidget(); p != window; p = p->parentWidget())
            inside &= InWindow(p, p->rect());
        if (inside.isEmpty())
            continue;
        if (checked)
            ++*checked;
        const QRect text = InWindow(w, caption->rect);
        QRegion visible = QRegion(text) & inside & edge;
        QStringList covering;
        for (const QWidget *over : Above(w)) {
            const QRect rect = InWindow(over, over->rect());
            if (!visible.intersects(rect))
                continue;
            visible -= rect;
            covering += NameOf(over);
        }
        const QRegion hidden = QRegion(text) - visible;
        if (hidden.isEmpty())
            continue;
        problems += QStringLiteral("%1 \"%2\": %3 pixels wide, %4 showing%5")
                        .arg(NameOf(w), caption->text)
                        .arg(text.width())
                        .arg(text.width() - hidden.boundingRect().width())
                        .arg(covering.isEmpty() ? QString()
                                                : QStringLiteral(", under ") +
                                                      covering.join(QStringLiteral(", ")));
    }
    return problems;
}

// Every hint the windows' controls carry, as the status line shows it.
QStringList HintsOf(const QWidget *window)
{
    QStringList hints;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        const QString hint = app::THintRouter::LongHint(controls::HintOf(w));
        if (!hint.trimmed().isEmpty() && !hints.contains(hint))
            hints += hint;
    }
    return hints;
}

// Runs check on the modal window that opens next, then closes it.
void OnNextModal(QObject *context, const std::function<void(QWidget *)> &check)
{
    QTimer::singleShot(0, context, [check] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        const auto closer = qScopeGuard([modal] { modal->close(); });
        check(modal);
    });
}

} // namespace

class CaptionsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir ProgramDir;
    QTemporaryDir Files;

private slots:
    void initTestCase()
    {
        // The faces the program substitutes for the ones its windows name.
        testsupport::UseProgramFonts();
        QApplication::setWindowIcon(skinart::ProgramIcon()); // as the program does at start
        QVERIFY(QFontInfo(QFont("MS Sans Serif")).family().startsWith("Liberation"));
        app::SetProgramFolder(ProgramDir.path() + "/");
        app::SetMessageHook([](const QString &) {});
        settings::SetMessageHandler([](const std::string &) {});
        WriteFile(Files.path() + "/many.exe", fixtures::SolidColourProgram(12, 0x102030));
    }

    void mainWindow()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int checked = 0;
        QStringList problems = HiddenCaptions(&form, &checked);
        // Five labels (the status line is empty yet) and two radio buttons.
        QVERIFY(checked >= 7);

        // Labels that grow with their text, once it is set: the icon count...
        form.DirTree->SetPath(Files.path());
        form.FileListBox1->SetItemIndex(0);
        QCOMPARE(form.Label1->text(), QStringLiteral("No of Icons: 12"));
        problems += HiddenCaptions(&form);

        // ... and the status line with every hint of every window.
        form.CreateSelDirForm();
        about::TAboutBox about;
        QStringList hints = HintsOf(&form);
        for (const QWidget *other :
             {static_cast<QWidget *>(dialogs::SelDirForm), static_cast<QWidget *>(&about)})
            if (other)
                hints += HintsOf(other);
        QVERIFY(hints.size() > 10);
        for (const QString &hint : std::as_const(hints)) {
            form.DisplayHint(hint);
            // On one line: a hint written on two shows its lines side by side.
            QCOMPARE(form.Label5->text(), QString(hint).replace('\n', ' '));
            for (const QString &problem : HiddenCaptions(&form))
                if (!problems.contains(problem))
                    problems += problem;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    void destinationDialog()
    {
        TForm1 form;
        form.CreateSelDirForm();
        dialogs::TSelDirForm *dialog = dialogs::SelDirForm;
        QVERIFY(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        int checked = 0;
        const QStringList problems = HiddenCaptions(dialog, &checked);
        dialog->hide();
        // Three labels, the folder, four buttons, the group's title and items.
        QVERIFY(checked >= 12);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    void folderPicker()
    {
        TForm1 form;
        form.CreateSelDirForm();
        dialogs::TPathDialog *picker =
            testsupport::Child<dialogs::TPathDialog>(*dialogs::SelDirForm, "pd");
        picker->SetDirectory(Files.path());
        QStringList problems;
        bool inspected = false;
        OnNextModal(this, [&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowExposed(modal));
            int checked = 0;
            problems = HiddenCaptions(modal, &checked);
            // The prompt, the status line and the two buttons.
            QVERIFY(checked >= 2);
            inspected = true;
        });
        picker->Execute();
        QVERIFY(inspected);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    void aboutBox()
    {
        // Opened by the about button, with the texts and settings the main
        // window gives it.
        TForm1 form;
        QStringList problems;
        bool inspected = false;
        OnNextModal(this, [&](QWidget *modal) {
            auto *box = qobject_cast<about::TAboutBox *>(modal);
            QVERIFY(box);
            QVERIFY(QTest::qWaitForWindowExposed(box));
            // The clock caption is set at the first tick.
            box->Timer1Timer();
            // The sign and the word are drawn before it.
            QVERIFY(!box->Copyright->text().contains("Copyright"));
            int checked = 0;
            problems = HiddenCaptions(box, &checked);
            // The version and copyright lines, the links and the clock's 20.
            QVERIFY(checked >= 30);
            inspected = true;
        });
        form.ImgBtn3Click();
        QVERIFY(inspected);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
};

QTEST_MAIN(CaptionsTest)
#include "captions_test.moc"
