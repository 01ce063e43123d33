#include "hintrouter.h"

#include "controls/windowstyle.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>

namespace app {

THintRouter::THintRouter(QObject *parent) : QObject(parent) {}

void THintRouter::SetHint(QWidget *widget, const QString &hint)
{
    controls::SetHint(widget, hint);
}

QString THintRouter::HintOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        const QString hint = controls::HintOf(w);
        if (!hint.isEmpty())
            return hint;
    }
    return {};
}

QString THintRouter::LongHint(const QString &hint)
{
    return controls::LongHint(hint);
}

void THintRouter::Update(QWidget *under)
{
    const QString hint = LongHint(HintOf(under));
    if (hint == Current)
        return;
    Current = hint;
    emit OnHint(Current);
}

bool THintRouter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverMove:
        if (watched->isWidgetType())
            Update(QApplication::widgetAt(QCursor::pos()));
        break;
    case QEvent::ToolTip:
        // The main window's hints go to the status line only; other
        // windows (the about box) show theirs as tips.
        if (watched->isWidgetType() && parent() &&
            static_cast<QWidget *>(watched)->window() == parent())
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
