#pragma once

#include <QItemSelectionModel>

namespace controls {

// The selection command of a view that always keeps its one selected item,
// as the platform's tree and list boxes do: a click or key that would only
// deselect (Ctrl+click or Ctrl+Space on the selected item) leaves the
// selection alone; anything that selects another item replaces it.
inline QItemSelectionModel::SelectionFlags
KeepOneSelected(QItemSelectionModel::SelectionFlags command, bool isSelected)
{
    if (!(command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
        return command;
    if (isSelected)
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

} // namespace controls
