#include "messages.h"

#include "controls/messagebox.h"

namespace app {

namespace {

MessageHook &Hook()
{
    static MessageHook hook;
    return hook;
}

void Show(controls::MessageKind kind, const QString &text)
{
    if (Hook()) {
        Hook()(text);
        return;
    }
    controls::ShowMessageBox(kind, text);
}

} // namespace

void ShowMessage(const QString &text)
{
    Show(controls::MessageKind::mkInformation, text);
}

void ShowError(const QString &text)
{
    Show(controls::MessageKind::mkError, text);
}

MessageHook SetMessageHook(MessageHook hook)
{
    MessageHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace app
