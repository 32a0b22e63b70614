#include "ui/memo_lines.h"

#include <QPlainTextEdit>

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

}  // namespace
}  // namespace wright::ui
