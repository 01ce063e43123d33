#pragma once

#include <QComboBox>
#include <QPointer>

namespace controls {

class TFileListBox;

// A drop-down list of file types built from a filter string of alternating
// descriptions and masks, "EXE|*.exe|All files|*.*": one choice per pair,
// showing the description. A trailing description without a mask is dropped.
//
// Whenever the choice changes, by the user or in code, the linked file list
// (if any) takes the chosen mask.
class TFilterComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(QString Mask READ Mask)

public:
    explicit TFilterComboBox(QWidget *parent = nullptr);

    QString Filter() const { return FFilter; }
    // Rebuilds the choices and selects the first.
    void SetFilter(const QString &Value);
    // The mask of the current choice; empty when there is none.
    QString Mask() const;
    TFileListBox *FileList() const { return FFileList; }
    // The list is not changed until the choice next changes.
    void SetFileList(TFileListBox *Value);

signals:
    // The choice changed (the linked list has already taken its mask).
    void OnChange();

private:
    void Build();
    void ChoiceChanged();

    QString FFilter;
    QPointer<TFileListBox> FFileList;
};

} // namespace controls
