#include "ui/memo_lines.h"

#include <QPlainTextEdit>

namespace wright::ui {

QStringList memoLines(const QString& text) {
    if (text.isEmpty()) return {};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int memoLineCount(const QString& text) {
    return static_cast<int>(memoLines(text).size());
}

QString memoLine(const QString& text, int index) {
    const QStringList lines = memoLines(text);
    if (index < 0 || index >= lines.size()) return {};
    return lines.at(index);
}

QStringList memoLines(const QPlainTextEdit* memo) {
    return memoLines(memo->toPlainText());
}

int memoLineCount(const QPlainTextEdit* memo) {
    return memoLineCount(memo->toPlainText());
}

QString memoLine(const QPlainTextEdit* memo, int index) {
    return memoLine(memo->toPlainText(), index);
}

void setMemoLines(QPlainTextEdit* memo, const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += u'\n';
    }
    memo->setPlainText(text);
}

}  // namespace wright::ui
