#include "controls/filtercombobox.h"

#include "controls/filelistbox.h"

#include <QSignalBlocker>

namespace controls {

TFilterComboBox::TFilterComboBox(QWidget *parent)
    : QComboBox(parent), FFilter(QStringLiteral("All files (*.*)|*.*"))
{
    setEditable(false);
    Build();
    connect(this, &QComboBox::currentIndexChanged, this, &TFilterComboBox::ChoiceChanged);
}

void TFilterComboBox::SetFilter(const QString &Value)
{
    if (FFilter == Value)
        return;
    FFilter = Value;
    const int before = currentIndex();
    const QString mask = Mask();
    {
        // Emptying the box on the way would hand the list an empty mask.
        const QSignalBlocker blocker(this);
        Build();
    }
    if (currentIndex() != before || Mask() != mask)
        ChoiceChanged();
}

QString TFilterComboBox::Mask() const
{
    return currentData().toString();
}

void TFilterComboBox::SetFileList(TFileListBox *Value)
{
    FFileList = Value;
}

void TFilterComboBox::Build()
{
    clear();
    const QStringList parts = FFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        addItem(parts.at(i), parts.at(i + 1));
    setCurrentIndex(count() > 0 ? 0 : -1);
}

void TFilterComboBox::ChoiceChanged()
{
    if (FFileList && currentIndex() >= 0)
        FFileList->SetMask(Mask());
    emit OnChange();
}

} // namespace controls
