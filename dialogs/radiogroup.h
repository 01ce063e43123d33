#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace dialogs {

// A captioned box of radio buttons in one column; ItemIndex is the
// selected item (-1 for none).
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)

public:
    explicit TRadioGroup(const QString &caption, const QStringList &items,
                         QWidget *parent = nullptr);

    int ItemIndex() const;
    // Selects without firing OnClick.
    void SetItemIndex(int Value);
    QRadioButton *Button(int index) const;
    int Count() const;

signals:
    // The user changed the selection.
    void OnClick();

private:
    QButtonGroup *Group = nullptr;
    int Last = -1;
};

} // namespace dialogs
