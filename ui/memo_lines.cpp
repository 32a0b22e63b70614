#include "ui/memo_lines.h"

#include <QPlainTextEdit>
#include <QTextDocument>

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

QString memoText(const QPlainTextEdit* memo) {
    // The raw text separates blocks with a paragraph separator. A line
    // separator (Shift+Enter) breaks the line on the screen as well; neither
    // is a character of the game's code pages.
    QString text = memo->document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    return text;
}

QStringList memoLines(const QPlainTextEdit* memo) {
    return memoLines(memoText(memo));
}

int memoLineCount(const QPlainTextEdit* memo) {
    return memoLineCount(memoText(memo));
}

QString memoLine(const QPlainTextEdit* memo, int index) {
    return memoLine(memoText(memo), index);
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
