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
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
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
        return true; // hints go to the status line only
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
