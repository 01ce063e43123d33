#include "savedialog.h"

#include <QFileInfo>
#include <QMessageBox>

#include <utility>

namespace app {

TSaveDialog::TSaveDialog(QWidget *parent, const QString &Directory, const QString &Filter,
                         TargetFunction Target)
    : QFileDialog(parent, QString(), Directory, Filter), Target(std::move(Target))
{
    setAcceptMode(QFileDialog::AcceptSave);
    setOption(QFileDialog::DontUseNativeDialog);
    // The toolkit's own question names the typed file; ours names the one
    // that is written.
    setOption(QFileDialog::DontConfirmOverwrite);
}

int TSaveDialog::Type() const
{
    return static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
}

void TSaveDialog::accept()
{
    const QStringList files = selectedFiles();
    // A folder typed in the name box is opened, not saved to.
    if (files.isEmpty() || !Target || QFileInfo(files.first()).isDir()) {
        QFileDialog::accept();
        return;
    }
    const QFileInfo target(Target(files.first(), Type()));
    if (target.exists() || target.isSymLink()) {
        const QMessageBox::StandardButton answer = QMessageBox::warning(
            this, windowTitle(),
            tr("%1 already exists.\nDo you want to replace it?").arg(target.fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    QFileDialog::accept();
}

} // namespace app
