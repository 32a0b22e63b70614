#include "ui/log_panel.h"

#include "ui/memo_lines.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace wright::ui {

LogPanel::LogPanel(QPlainTextEdit* edit) : edit_(edit), hasLines_(!edit->document()->isEmpty()) {}

void LogPanel::appendLine(const QString& line) {
    // A cursor rather than appendPlainText: an empty first line must stay a line.
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    if (hasLines_) cursor.insertBlock();
    cursor.insertText(line);
    hasLines_ = true;
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum());
}

void LogPanel::clear() {
    edit_->clear();
    hasLines_ = false;
}

QStringList LogPanel::lines() const {
    return memoLines(edit_);
}

}  // namespace wright::ui
