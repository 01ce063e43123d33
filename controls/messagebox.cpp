#include "controls/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace controls {

void ShowMessageBox(MessageKind kind, const QString &text, QWidget *owner)
{
    QMessageBox box(kind == MessageKind::mkError ? QMessageBox::Critical : QMessageBox::Information,
                    QApplication::applicationName(), text, QMessageBox::Ok,
                    owner ? owner : QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace controls
