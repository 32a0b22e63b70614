#pragma once
// The lines a record memo shows: its text cut at line breaks and, within a
// line, where the memo wraps it at its width. They are computed with the same
// text layout the memo uses (its font, its text option, its width less the
// document margins), so an export sees the lines the user sees without the
// memo having to be filled and laid out for every record.

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>

#include <vector>

class QPlainTextEdit;

namespace wright::questwright {

class MemoWrap {
public:
    // Takes the memo's font, text option and current width.
    explicit MemoWrap(const QPlainTextEdit* memo);

    // The lines of `text` as the memo would show them. An empty last line
    // after a final line break is not a line.
    QStringList lines(const QString& text);
    // The same, every block through QTextLayout itself.
    QStringList layoutLines(const QString& text);

private:
    struct Glyph {
        qint32 advance = 0;  // in 1/64 pixel, as the layout counts
        bool simple = false;
    };
    struct LineEnd {
        qsizetype end;
        qint64 width;
    };

    template <typename WrapBlock>
    QStringList split(const QString& text, WrapBlock wrapBlock);
    void layoutBlock(const QString& block, QStringList& out);
    bool isSimple(const QString& block) const;
    void fastBlock(const QString& block, QStringList& out);
    LineEnd fastLine(const QString& block, qsizetype start, bool anywhere) const;

    QFont font_;
    QTextOption option_;
    qreal lineWidth_;
    QTextLayout layout_;
    // The fast path: a fixed-pitch font wrapped at word boundaries or anywhere,
    // for text whose every character has a known advance and no overhang.
    bool fast_ = false;
    qint64 lineWidth64_ = 0;
    Glyph glyphs_[256];
    std::vector<bool> breakBefore_;
};

}  // namespace wright::questwright
