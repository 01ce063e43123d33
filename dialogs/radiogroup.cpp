#include "radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dialogs {

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), Group(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->setSpacing(0);
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        Group->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
    connect(Group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == Last)
            return;
        Last = id;
        emit OnClick();
    });
}

int TRadioGroup::ItemIndex() const
{
    return Group->checkedId();
}

void TRadioGroup::SetItemIndex(int Value)
{
    if (Value == ItemIndex())
        return;
    if (QAbstractButton *button = Group->button(Value)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = Group->checkedButton()) {
        Group->setExclusive(false);
        checked->setChecked(false);
        Group->setExclusive(true);
    }
    Last = ItemIndex();
}

QRadioButton *TRadioGroup::Button(int index) const
{
    return qobject_cast<QRadioButton *>(Group->button(index));
}

int TRadioGroup::Count() const
{
    return static_cast<int>(Group->buttons().size());
}

} // namespace dialogs
