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
    // Target gives the file a typed name and a type (1 for the first
    // filter) will write.
    using TargetFunction = std::function<QString(const QString &Typed, int Type)>;

    TSaveDialog(QWidget *parent, const QString &Directory, const QString &Filter,
                TargetFunction Target);

    // The chosen filter, 1 for the first.
    int Type() const;

public slots:
    void accept() override;

private:
    TargetFunction Target;
};

} // namespace app
