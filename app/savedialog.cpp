#include "savedialog.h"

#include "iconwriter/saveformats.h"

#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>
#include <utility>

namespace app {

namespace {

QStringList FileTypes()
{
    QStringList types;
    for (const iconwriter::SaveFormatRow &row : iconwriter::SaveFormats())
        types.append(
            QString::fromUtf8(row.filter.data(), static_cast<qsizetype>(row.filter.size())));
    return types;
}

} // namespace

TSaveDialog::TSaveDialog(QWidget *parent, const QString &Directory, TargetFunction Target)
    : QFileDialog(parent, QString(), Directory), Target(std::move(Target))
{
    setNameFilters(FileTypes());
    setAcceptMode(QFileDialog::AcceptSave);
    setOption(QFileDialog::DontUseNativeDialog);
    // The toolkit's own question names the typed file; ours names the one
    // that is written.
    setOption(QFileDialog::DontConfirmOverwrite);
}

int TSaveDialog::Type() const
{
    const auto formats = iconwriter::SaveFormats();
    const qsizetype at = nameFilters().indexOf(selectedNameFilter());
    return at >= 0 && static_cast<std::size_t>(at) < formats.size()
               ? formats[static_cast<std::size_t>(at)].code
               : 0;
}

void TSaveDialog::accept()
{
    const QStringList files = selectedFiles();
    // A folder typed in the name box is opened, not saved to.
    if (files.isEmpty() || !Target || QFileInfo(files.first()).isDir()) {
        QFileDialog::accept();
        return;
    }
    // Of several files, the question names the first that is there.
    const QStringList targets = Target(files.first(), Type());
    const auto there = std::find_if(targets.begin(), targets.end(), [](const QString &file) {
        const QFileInfo info(file);
        return info.exists() || info.isSymLink();
    });
    if (there != targets.end()) {
        const QFileInfo target(*there);
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
