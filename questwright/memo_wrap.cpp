#include "questwright/memo_wrap.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <climits>
#include <cmath>

namespace wright::questwright {
namespace {

bool isBlockBreak(QChar c) {
    // The memo's document starts a new block at each of these.
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// The layout counts in 1/64 pixel and truncates a width given in pixels.
qint64 toFixed(qreal pixels) {
    return static_cast<qint64>(pixels * 64);
}

}  // namespace

MemoWrap::MemoWrap(const QPlainTextEdit* memo)
    : font_(memo->document()->defaultFont()), option_(memo->document()->defaultTextOption()) {
    // As the plain text layout lays out a block: the width it was given (none
    // means no wrapping), less the document margin on both sides and, when the
    // separators are drawn, the room for their sign. The memo gives its
    // document layout the width of its viewport.
    qreal width = memo->viewport()->width();
    if (memo->lineWrapMode() == QPlainTextEdit::NoWrap || width <= 0) width = qreal(INT_MAX);
    width -= 2 * memo->document()->documentMargin();
    if (option_.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetricsF(font_).horizontalAdvance(QChar(0x21B5));
    lineWidth_ = width;
    layout_.setFont(font_);
    layout_.setTextOption(option_);

    // The fast path lays out lines the way QTextLayout does for this one case:
    // spaces hang at the end of a line, a word that does not fit goes to the
    // next line, and a word longer than a whole line is cut where it overflows.
    // Only characters of the 8-bit range with a positive advance and no
    // overhang take it (all of them left-to-right, so an automatic direction
    // is left-to-right); anything else goes through QTextLayout.
    fast_ = QFontInfo(font_).fixedPitch() && option_.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere &&
            !(option_.flags() & (QTextOption::IncludeTrailingSpaces | QTextOption::ShowTabsAndSpaces |
                                 QTextOption::ShowLineAndParagraphSeparators | QTextOption::ShowDocumentTerminator)) &&
            option_.textDirection() != Qt::RightToLeft && lineWidth_ < qreal(INT_MAX / 128);
    if (fast_) {
        lineWidth64_ = toFixed(lineWidth_);
        const QFontMetricsF metrics(font_);
        for (int u = 0; u < 256; ++u) {
            const QChar c(static_cast<char16_t>(u));
            const bool printable = (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u != 0xAD);
            if (!printable || !metrics.inFontUcs4(static_cast<uint>(u))) continue;
            const qreal advance = metrics.horizontalAdvance(c);
            const qreal advance64 = advance * 64;
            if (advance <= 0 || metrics.rightBearing(c) < 0 || advance64 != std::floor(advance64)) continue;
            glyphs_[u] = Glyph{static_cast<qint32>(advance64), true};
        }
    }
}

template <typename WrapBlock>
QStringList MemoWrap::split(const QString& text, WrapBlock wrapBlock) {
    QStringList out;
    if (text.isEmpty()) return out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isBlockBreak(text.at(i))) continue;
        // The last block after a final break is an empty line the memo does not count.
        if (i == text.size() && start == text.size()) break;
        const QString block = text.mid(start, i - start);
        if (block.isEmpty()) {
            out.append(QString());
        } else {
            wrapBlock(block, out);
        }
        start = i + 1;
    }
    return out;
}

QStringList MemoWrap::lines(const QString& text) {
    return split(text, [this](const QString& block, QStringList& out) {
        if (fast_ && isSimple(block)) {
            fastBlock(block, out);
        } else {
            layoutBlock(block, out);
        }
    });
}

QStringList MemoWrap::layoutLines(const QString& text) {
    return split(text, [this](const QString& block, QStringList& out) { layoutBlock(block, out); });
}

void MemoWrap::layoutBlock(const QString& block, QStringList& out) {
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

bool MemoWrap::isSimple(const QString& block) const {
    for (QChar c : block)
        if (c.unicode() > 0xFF || !glyphs_[c.unicode()].simple) return false;
    return true;
}

MemoWrap::LineEnd MemoWrap::fastLine(const QString& block, qsizetype start, bool anywhere) const {
    const qsizetype n = block.size();
    qint64 committed = 0;
    qsizetype committedLength = 0;
    qint64 spaces = 0;
    qsizetype spaceLength = 0;
    qsizetype i = start;
    while (i < n) {
        if (block.at(i) == u' ') {
            // Spaces are held back: they count only when a word follows them
            // on this line, and hang at its end otherwise.
            while (i < n && block.at(i) == u' ') {
                spaces += glyphs_[u' '].advance;
                ++spaceLength;
                ++i;
            }
            continue;
        }
        const qsizetype word = i;
        qint64 wordWidth = 0;
        do {
            wordWidth += glyphs_[block.at(i).unicode()].advance;
            ++i;
        } while (i < n && !anywhere && block.at(i) != u' ' && !breakBefore_[static_cast<std::size_t>(i)]);
        if (committedLength > 0 && committed + spaces + wordWidth > lineWidth64_) return {word, committed};
        committed += spaces + wordWidth;
        committedLength += spaceLength + (i - word);
        spaces = 0;
        spaceLength = 0;
    }
    return {n, committed};
}

void MemoWrap::fastBlock(const QString& block, QStringList& out) {
    breakBefore_.assign(static_cast<std::size_t>(block.size()) + 1, false);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, block);
    for (qsizetype p = finder.toNextBoundary(); p > 0; p = finder.toNextBoundary())
        if (finder.boundaryReasons() & QTextBoundaryFinder::BreakOpportunity)
            breakBefore_[static_cast<std::size_t>(p)] = true;
    qsizetype start = 0;
    while (start < block.size()) {
        LineEnd line = fastLine(block, start, false);
        // A word wider than the whole line: the line is laid out again,
        // breaking anywhere.
        if (line.width > lineWidth64_) line = fastLine(block, start, true);
        out.append(block.mid(start, line.end - start));
        start = line.end;
    }
}

}  // namespace wright::questwright
