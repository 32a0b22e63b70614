#include "ui/text_codec.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace wright::ui {
namespace {

struct PageCase {
    const char* name;
    CodePage page;
    // A few bytes whose characters everyone knows, to catch a shifted table.
    std::vector<std::pair<int, char16_t>> landmarks;
};

class CodePageRoundTrip : public ::testing::TestWithParam<PageCase> {};

TEST_P(CodePageRoundTrip, EveryByteIsOneCharacterAndBack) {
    const PageCase& c = GetParam();
    std::set<char16_t> seen;
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;  // the line break has its own rule
        const std::string bytes(1, static_cast<char>(b));
        const QString text = toQt(bytes, c.page);
        ASSERT_EQ(text.size(), 1) << "byte " << b;
        EXPECT_TRUE(seen.insert(text.at(0).unicode()).second) << "two bytes share U+" << std::hex << int(text.at(0).unicode());
        const EncodeResult back = fromQt(text, c.page);
        EXPECT_TRUE(back.ok()) << "byte " << b;
        EXPECT_EQ(back.bytes, bytes) << "byte " << b;
        EXPECT_EQ(qcharToByte(byteToQChar(static_cast<unsigned char>(b), c.page), c.page), b);
    }
    for (auto [byte, unicode] : c.landmarks)
        EXPECT_EQ(toQt(std::string(1, static_cast<char>(byte)), c.page).at(0).unicode(), unicode) << byte;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CodePageRoundTrip,
    ::testing::Values(
        PageCase{"Windows1252", CodePage::Windows1252,
                 {{0x41, u'A'}, {0x80, u'€'}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090},
                  {0x9D, 0x009D}, {0x9F, u'Ÿ'}, {0xE9, u'é'}, {0xEA, u'ê'}, {0xFF, u'ÿ'}}},
        PageCase{"Windows1251", CodePage::Windows1251,
                 {{0x41, u'A'}, {0x98, 0x0098}, {0xA8, u'Ё'}, {0xB8, u'ё'}, {0xC0, u'А'}, {0xD4, u'Ф'},
                  {0xDF, u'Я'}, {0xFF, u'я'}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BreakCase {
    const char* name;
    std::string bytes;
    QString shown;
    std::string storedBack;
};

class LineBreaks : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaks, CrossAsOneBreak) {
    const BreakCase& c = GetParam();
    EXPECT_EQ(toQt(c.bytes), c.shown);
    const EncodeResult back = fromQt(c.shown);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, c.storedBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreaks,
    ::testing::Values(
        BreakCase{"CrLf", "a\r\nb", QStringLiteral("a\nb"), "a\r\nb"},
        BreakCase{"FinalCrLf", "a\r\n", QStringLiteral("a\n"), "a\r\n"},
        BreakCase{"TwoCrLf", "\r\n\r\n", QStringLiteral("\n\n"), "\r\n\r\n"},
        BreakCase{"LoneLfBecomesABreak", "a\nb", QStringLiteral("a\nb"), "a\r\nb"},
        BreakCase{"LoneCrStaysACharacter", "a\rb", QStringLiteral("a\rb"), "a\rb"},
        BreakCase{"CrCrLf", "\r\r\n", QStringLiteral("\r\n"), "\r\r\n"},
        BreakCase{"LfCr", "\n\r", QStringLiteral("\n\r"), "\r\n\r"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextCodec, ParagraphSeparatorsFromAQtDocumentAreLineBreaks) {
    EXPECT_EQ(fromQt(QStringLiteral("a") + QChar::ParagraphSeparator + QStringLiteral("b")).bytes, "a\r\nb");
    EXPECT_EQ(fromQt(QStringLiteral("a") + QChar::LineSeparator + QStringLiteral("b")).bytes, "a\r\nb");
}

TEST(TextCodec, ZeroByteCrossesAsU0000) {
    const std::string bytes("a\0b", 3);
    EXPECT_EQ(fromQt(toQt(bytes)).bytes, bytes);
}

struct UnmappableCase {
    const char* name;
    QString text;
    CodePage page;
    qsizetype position;
    char32_t codePoint;
    QString description;
};

class Unmappable : public ::testing::TestWithParam<UnmappableCase> {};

TEST_P(Unmappable, IsReportedNotSilentlyChanged) {
    const UnmappableCase& c = GetParam();
    const EncodeResult result = fromQt(c.text, c.page);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.unmappable->position, c.position);
    EXPECT_EQ(result.unmappable->codePoint, c.codePoint);
    EXPECT_EQ(result.unmappable->describe(), c.description);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Unmappable,
    ::testing::Values(
        UnmappableCase{"LatinExtended", QStringLiteral("Ch\u0100ne"), CodePage::Windows1252, 2, 0x100,
                       QStringLiteral("the character \"\u0100\" (U+0100)")},
        UnmappableCase{"CyrillicIn1252", QStringLiteral("a\u0416"), CodePage::Windows1252, 1, 0x416,
                       QStringLiteral("the character \"\u0416\" (U+0416)")},
        UnmappableCase{"AccentIn1251", QStringLiteral("\u00E9"), CodePage::Windows1251, 0, 0xE9,
                       QStringLiteral("the character \"\u00E9\" (U+00E9)")},
        UnmappableCase{"AstralCharacter", QString::fromUcs4(U"ab\U0001F600"), CodePage::Windows1252, 2, 0x1F600,
                       QString::fromUcs4(U"the character \"\U0001F600\" (U+1F600)")},
        UnmappableCase{"FirstOfSeveral", QStringLiteral("\u0100\u0101"), CodePage::Windows1252, 0, 0x100,
                       QStringLiteral("the character \"\u0100\" (U+0100)")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextCodec, UnmappableKeepsTheLengthWithAPlaceholder) {
    EXPECT_EQ(fromQt(QString::fromUcs4(U"a\U0001F600b")).bytes, "a?b");
}

}  // namespace
}  // namespace wright::ui
