#include "ui/list_index.h"

#include <QListWidget>

#include <string>

namespace wright::ui {

ListIndexError::ListIndexError(int index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")"), index_(index) {}

namespace {
QListWidgetItem* checkedItem(const QListWidget* list, int index) {
    if (index < 0 || index >= list->count()) throw ListIndexError(index);
    return list->item(index);
}
}  // namespace

QString listItemText(const QListWidget* list, int index) {
    return checkedItem(list, index)->text();
}

void setListItemText(QListWidget* list, int index, const QString& text) {
    checkedItem(list, index)->setText(text);
}

}  // namespace wright::ui
