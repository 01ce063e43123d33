#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace app {

// The program's hints. Each control carries its hint in the dynamic property
// controls::kHintProperty ("short|long" or plain text). Watching the mouse
// in every window, the router keeps the current hint: the part after the
// first "|" of the hint of the control under the mouse, the nearest
// parent's when the control has none, empty over no hinted control. Nothing
// pops up over the router's parent, the main window; other windows keep
// their tips.
class THintRouter : public QObject
{
    Q_OBJECT

public:
    explicit THintRouter(QObject *parent = nullptr);

    static void SetHint(QWidget *widget, const QString &hint);
    static QString HintOf(QWidget *widget);
    // What the status line shows for a hint as written.
    static QString LongHint(const QString &hint);

    QString Hint() const { return Current; }
    // Works out the hint for the widget now under the mouse.
    void Update(QWidget *under);

signals:
    void OnHint(const QString &hint);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString Current;
};

} // namespace app
