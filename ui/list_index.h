#pragma once
// A list box, unlike a memo, refuses an index beyond its last entry: the
// access raises ListIndexError, whose message names the index. Escaping a
// handler, it reaches the application's error dialog.

#include <QString>

#include <stdexcept>

class QListWidget;

namespace wright::ui {

class ListIndexError : public std::out_of_range {
public:
    explicit ListIndexError(int index);
    int index() const { return index_; }

private:
    int index_;
};

QString listItemText(const QListWidget* list, int index);
void setListItemText(QListWidget* list, int index, const QString& text);

}  // namespace wright::ui
