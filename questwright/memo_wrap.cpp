#include "questwright/memo_wrap.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <climits>

namespace wright::quest {
namespace {

bool isBlockBreak(QChar c) {
    // The memo's document starts a new block at each of these.
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

}  // namespace

MemoWrap::MemoWrap(const QPlainTextEdit* memo)
    : font_(memo->document()->defaultFont()), option_(memo->document()->defaultTextOption()) {
    // As the plain text layout lays out a block: the width it was given (none
    // means no wrapping), less the document margin on both sides and, when the
    // separators are drawn, the room for their sign.
    // The memo gives its document layout the width of its viewport.
    qreal width = memo->viewport()->width();
    if (memo->lineWrapMode() == QPlainTextEdit::NoWrap || width <= 0) width = qreal(INT_MAX);
    width -= 2 * memo->document()->documentMargin();
    if (option_.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetrics(font_).horizontalAdvance(QChar(0x21B5));
    lineWidth_ = width;
    layout_.setFont(font_);
    layout_.setTextOption(option_);
}

void MemoWrap::wrapBlock(const QString& block, QStringList& out) {
    if (block.isEmpty()) {
        out.append(QString());
        return;
    }
    layout_.setText(block);
    layout_.beginLayout();
    for (;;) {
        QTextLine line = layout_.createLine();
        if (!line.isValid()) break;
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth_);
        out.append(block.mid(line.textStart(), line.textLength()));
    }
    layout_.endLayout();
}

QStringList MemoWrap::lines(const QString& text) {
    QStringList out;
    if (text.isEmpty()) return out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBlockBreak(text.at(i))) continue;
        // The last block after a final break is an empty line the memo does not count.
        if (i == text.size() && start == text.size()) break;
        wrapBlock(text.mid(start, i - start), out);
        start = i + 1;
    }
    return out;
}

QString memoText(const QPlainTextEdit* memo) {
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

}  // namespace wright::quest
