#pragma once

#include <QFileDialog>

#include <functional>

namespace app {

// The save-file dialog of the single save. The file written is not always
// the name typed (the type's extension may be added), so the question
// before replacing a file is asked here, about the file that will be
// written; answering No leaves the dialog open, as the usual question does.
class TSaveDialog : public QFileDialog
{
    Q_OBJECT

public:
    // Target gives the files a typed name and a type (a save-format code)
    // will write.
    using TargetFunction = std::function<QStringList(const QString &Typed, int Type)>;

    // Offers every save format, in the table's order.
    TSaveDialog(QWidget *parent, const QString &Directory, TargetFunction Target);

    // The save-format code of the chosen file type.
    int Type() const;

public slots:
    void accept() override;

private:
    TargetFunction Target;
};

} // namespace app
