#include "helpwindow.h"

#include "controls/accessiblecontrols.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

THelpWindow::THelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    controls::SetAccessibleRole(this, QAccessible::Window);
    setWindowTitle(tr("Rurorodode Help"));
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
    resize(560, 520);
}

bool THelpWindow::ShowContents(const QString &helpFile)
{
    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        Browser->setPlainText(tr("The help file %1 cannot be opened.").arg(helpFile));
        return false;
    }
    Browser->setHtml(QString::fromUtf8(file.readAll()));
    Browser->scrollToAnchor(QStringLiteral("contents"));
    return true;
}

QString THelpWindow::Text() const
{
    return Browser->toPlainText();
}

} // namespace app
