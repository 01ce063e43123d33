#include "about/aboutshell.h"

#include <QApplication>
#include <QDesktopServices>

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

QString OneBreakPerLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r')) {
            out += c;
            continue;
        }
        out += QLatin1Char('\n');
        const QChar pair = c == QLatin1Char('\n') ? QLatin1Char('\r') : QLatin1Char('\n');
        if (i + 1 < text.size() && text[i + 1] == pair)
            ++i;
    }
    return out;
}

void ShowAboutMessage(MessageKind kind, const QString &text)
{
    if (MessageTarget()) {
        MessageTarget()(kind, text);
        return;
    }
    controls::ShowMessageBox(kind, OneBreakPerLine(text));
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
