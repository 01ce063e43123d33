#include "about/aboutshell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

#include <utility>

namespace about {

namespace {

MessageHook &MessageTarget()
{
    static MessageHook hook;
    return hook;
}

OpenUrlHook &OpenTarget()
{
    static OpenUrlHook hook;
    return hook;
}

} // namespace

void ShowAboutMessage(MessageKind kind, const QString &text)
{
    if (MessageTarget()) {
        MessageTarget()(kind, text);
        return;
    }
    QWidget *owner = QApplication::activeWindow();
    if (kind == MessageKind::mkError)
        QMessageBox::critical(owner, QApplication::applicationName(), text);
    else
        QMessageBox::information(owner, QApplication::applicationName(), text);
}

bool OpenDocument(const QUrl &url)
{
    if (OpenTarget())
        return OpenTarget()(url);
    return QDesktopServices::openUrl(url);
}

MessageHook SetMessageHook(MessageHook hook)
{
    return std::exchange(MessageTarget(), std::move(hook));
}

OpenUrlHook SetOpenUrlHook(OpenUrlHook hook)
{
    return std::exchange(OpenTarget(), std::move(hook));
}

} // namespace about
