#pragma once
// The line rules of a multi-line text box (the names lists, the monster list,
// the record memo): its lines are the text between line breaks, in order. An
// empty last line after a final break is not a line, so a list loaded with N
// names and saved unchanged has N lines; asking for a line beyond the last
// gives an empty line rather than an error.
//
// A text box is read only through memoText: the document's own characters,
// each block break as "\n". QPlainTextEdit::toPlainText() is no way to read
// game text, since it turns a no-break space (the byte 0xA0) into a space.

#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace wright::ui {

QStringList memoLines(const QString& text);
int memoLineCount(const QString& text);
QString memoLine(const QString& text, int index);

// The memo's text as its document holds it, every character as it is and
// each line break as "\n".
QString memoText(const QPlainTextEdit* memo);

QStringList memoLines(const QPlainTextEdit* memo);
int memoLineCount(const QPlainTextEdit* memo);
QString memoLine(const QPlainTextEdit* memo, int index);

// Sets the memo's text to the lines, each ended by a line break, as a list
// filled one appended line at a time shows them.
void setMemoLines(QPlainTextEdit* memo, const QStringList& lines);

}  // namespace wright::ui
