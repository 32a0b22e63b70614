#include "ui/memo_lines.h"

#include "ui/text_codec.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace wright::ui {
namespace {

struct LinesCase {
    const char* name;
    QString text;
    QStringList lines;
};

class MemoLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(MemoLines, FollowTheMemoRules) {
    const LinesCase& c = GetParam();
    EXPECT_EQ(memoLines(c.text), c.lines);
    EXPECT_EQ(memoLineCount(c.text), c.lines.size());
    for (int i = 0; i < c.lines.size(); ++i) EXPECT_EQ(memoLine(c.text, i), c.lines.at(i));
    // A line beyond the last is empty, not an error.
    EXPECT_EQ(memoLine(c.text, static_cast<int>(c.lines.size())), QString());
    EXPECT_EQ(memoLine(c.text, 1000), QString());
    EXPECT_EQ(memoLine(c.text, -1), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoLines,
    ::testing::Values(
        LinesCase{"Empty", QString(), {}},
        LinesCase{"OneLineNoBreak", QStringLiteral("abc"), {QStringLiteral("abc")}},
        LinesCase{"FinalBreakIsNoLine", QStringLiteral("abc\n"), {QStringLiteral("abc")}},
        LinesCase{"OnlyABreak", QStringLiteral("\n"), {QString()}},
        LinesCase{"TwoFinalBreaks", QStringLiteral("abc\n\n"), {QStringLiteral("abc"), QString()}},
        LinesCase{"EmptyLineInside", QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemoLinesWidget, ReadsAndFillsAPlainTextEdit) {
    QPlainTextEdit memo;
    setMemoLines(&memo, {QStringLiteral("one"), QString(), QStringLiteral("three")});
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("one\n\nthree\n"));
    EXPECT_EQ(memoLineCount(&memo), 3);
    EXPECT_EQ(memoLine(&memo, 2), QStringLiteral("three"));
    EXPECT_EQ(memoLine(&memo, 3), QString());
    setMemoLines(&memo, {});
    EXPECT_EQ(memoLineCount(&memo), 0);
}

TEST(MemoLinesWidget, EveryCharacterOfTheCodePagesComesBackAsItIs) {
    // Every byte but zero and the line breaks, among them the no-break space
    // (which QPlainTextEdit::toPlainText() would turn into a space), the soft
    // hyphen and the C1 controls.
    std::string bytes;
    for (int b = 0x01; b <= 0xFF; ++b)
        if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
    const std::string halves[2] = {bytes.substr(0, 128), bytes.substr(128)};
    for (const CodePage page : {CodePage::Windows1252, CodePage::Windows1251}) {
        const QStringList lines{toQt(halves[0], page), toQt(halves[1], page)};
        QPlainTextEdit memo;
        setMemoLines(&memo, lines);
        EXPECT_EQ(memoLines(&memo), lines);
        EXPECT_EQ(memoText(&memo), lines.join(u'\n') + u'\n');
        for (int i = 0; i < 2; ++i) EXPECT_TRUE(fromQt(memoLine(&memo, i), page).bytes == halves[i]) << i;
    }
}

TEST(MemoLinesWidget, ALineBreakTypedWithShiftIsALineBreak) {
    QPlainTextEdit memo;
    memo.setPlainText(QStringLiteral("one"));
    memo.moveCursor(QTextCursor::End);
    memo.insertPlainText(QString(QChar::LineSeparator) + QStringLiteral("two\u00A0"));
    EXPECT_EQ(memoText(&memo), QStringLiteral("one\ntwo\u00A0"));
    EXPECT_EQ(memoLines(&memo), (QStringList{QStringLiteral("one"), QStringLiteral("two\u00A0")}));
}

}  // namespace
}  // namespace wright::ui
