#include "wright/game_text.h"

#include <gtest/gtest.h>

namespace wright::cli {
namespace {

TEST(GameText, EveryByteButZeroGoesToUtf8AndBack) {
    for (const CodePage page : {CodePage::Windows1252, CodePage::Windows1251}) {
        std::string all;
        for (int b = 1; b < 256; ++b)
            if (b != '\n') all += static_cast<char>(b);
        const std::string utf8 = toUtf8(all, page);
        EXPECT_EQ(characterCount(utf8), all.size());
        const Encoded back = fromUtf8(utf8, page);
        ASSERT_TRUE(back.ok()) << *back.problem;
        EXPECT_EQ(back.bytes, all);
    }
}

TEST(GameText, LineBreaksAreCrLfInTheGameAndNewlinesInTheCatalogue) {
    EXPECT_EQ(toUtf8("a\r\nb\rc\n\r\r\n", CodePage::Windows1252), "a\nb\rc\n\r\n");
    // A CR before a line break stays a byte of its own.
    EXPECT_EQ(fromUtf8("a\nb\r\nc\r", CodePage::Windows1252).bytes, "a\r\nb\r\r\nc\r");
    const std::string crs = "\r\r\n\r\n\r";
    EXPECT_EQ(fromUtf8(toUtf8(crs, CodePage::Windows1251), CodePage::Windows1251).bytes, crs);
}

TEST(GameText, WhatTheCodePageCannotHoldIsNamed) {
    const struct {
        std::string utf8;
        CodePage page;
        std::string named;
    } cases[]{
        {"Chêne", CodePage::Windows1251, "U+00EA 'ê'"},
        {"Замок", CodePage::Windows1252, "U+0417 'З'"},
        {"a\xE2\x82", CodePage::Windows1252, "not valid UTF-8"},           // cut short
        {"\xC0\xAF", CodePage::Windows1252, "not valid UTF-8"},            // overlong "/"
        {"\xED\xA0\x80", CodePage::Windows1252, "not valid UTF-8"},        // a surrogate
        {std::string("a\0b", 3), CodePage::Windows1252, "U+0000"},         // never a game byte
    };
    for (const auto& c : cases) {
        const Encoded encoded = fromUtf8(c.utf8, c.page);
        ASSERT_FALSE(encoded.ok()) << c.utf8;
        EXPECT_NE(encoded.problem->find(c.named), std::string::npos) << *encoded.problem;
    }
}

TEST(GameText, NamesInEachLetterView) {
    // "Ch^ne" holds the game code of ê; "Pfvjr" the codes of "Замок".
    const struct {
        std::string stored;
        Letters letters;
        std::string shown;
    } cases[]{
        {"Ch^ne", Letters::French, "Chêne"},
        {"Ch^ne", Letters::None, "Ch^ne"},
        {"Pfvjr", Letters::Russian, "Замок"},
        {"Pfvjr", Letters::French, "Pfvjr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showName(c.stored, c.letters), c.shown) << c.stored;
        const Encoded typed = typedName(c.shown, c.letters);
        ASSERT_TRUE(typed.ok());
        EXPECT_EQ(typed.bytes, c.stored);
    }
}

TEST(GameText, LetterNames) {
    for (const Letters letters : {Letters::French, Letters::Russian, Letters::None})
        EXPECT_EQ(parseLetters(lettersName(letters)), letters);
    EXPECT_FALSE(parseLetters("French").has_value());
}

}  // namespace
}  // namespace wright::cli
