#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace app {

namespace {

MessageHook &Hook()
{
    static MessageHook hook;
    return hook;
}

void Show(QMessageBox::Icon icon, const QString &text)
{
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace

void ShowMessage(const QString &text)
{
    Show(QMessageBox::Information, text);
}

void ShowError(const QString &text)
{
    Show(QMessageBox::Critical, text);
}

MessageHook SetMessageHook(MessageHook hook)
{
    MessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace app
