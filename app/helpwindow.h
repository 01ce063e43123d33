#pragma once

#include <QWidget>

class QTextBrowser;

namespace app {

// The program's help viewer: shows a help file (HTML) at its contents page.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget *parent = nullptr);

    // Opens the file at its first page; false (and a message in the window)
    // when it cannot be read.
    bool ShowContents(const QString &helpFile);
    QString Text() const;

private:
    QTextBrowser *Browser = nullptr;
};

} // namespace app
