#include "controls/accessiblecontrols.h"

#include "controls/gauge.h"
#include "controls/imgbtn.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QVariant>
#include <QWidget>

namespace controls {

namespace {

constexpr char kRoleProperty[] = "accessibleRole";
constexpr char kWholeProperty[] = "accessibleWhole";

// A picture button: a push button named by its caption, which a tool presses
// as a click.
class TImgBtnAccessible : public QAccessibleWidget
{
public:
    explicit TImgBtnAccessible(TImgBtn *button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->ButtonDown();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // From the event loop: the click may open a modal window, and the
        // tool that pressed waits for the press to be answered.
        QMetaObject::invokeMethod(Button(), &TImgBtn::Click, Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == pressAction() && !Button()->Shortcut().isEmpty())
            return {Button()->Shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    TImgBtn *Button() const { return static_cast<TImgBtn *>(widget()); }
};

// A gauge: a progress bar whose value is Progress within MinValue..MaxValue.
class TGaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit TGaugeAccessible(TGauge *gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The percentage, as the gauge writes it.
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return QString::number(Gauge()->Percentage()) + QLatin1Char('%');
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return Gauge()->Progress(); }
    // It shows progress; nobody sets it from outside.
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return Gauge()->MaxValue(); }
    QVariant minimumValue() const override { return Gauge()->MinValue(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    TGauge *Gauge() const { return static_cast<TGauge *>(widget()); }
};

// A widget under the role given it; a whole one shows no children.
class TRoleAccessible : public QAccessibleWidget
{
public:
    TRoleAccessible(QWidget *widget, QAccessible::Role role, bool whole)
        : QAccessibleWidget(widget, role), Whole(whole)
    {}

    int childCount() const override { return Whole ? 0 : QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        return Whole ? nullptr : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return Whole ? -1 : QAccessibleWidget::indexOfChild(child);
    }

private:
    bool Whole;
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // Qt asks with the most derived class first: a role given by hand wins.
    if (const QVariant role = widget->property(kRoleProperty); role.isValid())
        return new TRoleAccessible(widget, static_cast<QAccessible::Role>(role.toInt()),
                                   widget->property(kWholeProperty).toBool());
    if (className == QLatin1String(TImgBtn::staticMetaObject.className()))
        return new TImgBtnAccessible(static_cast<TImgBtn *>(widget));
    if (className == QLatin1String(TGauge::staticMetaObject.className()))
        return new TGaugeAccessible(static_cast<TGauge *>(widget));
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleRole(QWidget *widget, QAccessible::Role role, bool whole)
{
    InstallAccessibleControls();
    widget->setProperty(kRoleProperty, static_cast<int>(role));
    widget->setProperty(kWholeProperty, whole);
}

} // namespace controls
