#include "common/french_letters.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace wright {
namespace {

// The mapping as the game's translators know it, written from the letter side
// so that a slip in the code's table does not repeat here.
const std::map<int, int> kLetterToCode{
    {0xE0, 0x40}, {0xE2, 0x5C}, {0xE7, 0x24}, {0xE8, 0x23}, {0xE9, 0x3C}, {0xEA, 0x5E},
    {0xEB, 0x2A}, {0xEE, 0x7D}, {0xEF, 0x7B}, {0xF4, 0x7C}, {0xF9, 0x7E}, {0xFB, 0x60},
};

TEST(FrenchLetters, EveryByteToAccented) {
    std::map<int, int> codeToLetter;
    for (auto [letter, code] : kLetterToCode) codeToLetter[code] = letter;
    for (int b = 0; b < 256; ++b) {
        const auto it = codeToLetter.find(b);
        const int expected = it == codeToLetter.end() ? b : it->second;
        EXPECT_EQ(ToAccented(static_cast<unsigned char>(b)), expected) << "byte 0x" << std::hex << b;
    }
}

TEST(FrenchLetters, EveryByteToGameCode) {
    for (int b = 0; b < 256; ++b) {
        const auto it = kLetterToCode.find(b);
        const int expected = it == kLetterToCode.end() ? b : it->second;
        EXPECT_EQ(ToGameCode(static_cast<unsigned char>(b)), expected) << "byte 0x" << std::hex << b;
    }
}

TEST(FrenchLetters, TwelvePairsAreABijection) {
    for (auto [letter, code] : kLetterToCode) {
        EXPECT_EQ(ToGameCode(ToAccented(static_cast<unsigned char>(code))), code);
        EXPECT_EQ(ToAccented(ToGameCode(static_cast<unsigned char>(letter))), letter);
    }
}

struct BufferCase {
    const char* name;
    std::string game;    // as stored in the file
    std::string screen;  // as shown with the option on
};

class FrenchBuffer : public ::testing::TestWithParam<BufferCase> {};

TEST_P(FrenchBuffer, MapsBothWays) {
    const BufferCase& c = GetParam();
    std::string shown = c.game;
    ToAccented(shown);
    EXPECT_EQ(shown, c.screen);
    std::string stored = c.screen;
    ToGameCode(stored);
    EXPECT_EQ(stored, c.game);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrenchBuffer,
    ::testing::Values(
        BufferCase{"Chene", "Ch^ne", "Ch\xEAne"},
        BufferCase{"AllTwelve", "#$*<@\\^`{|}~", "\xE8\xE7\xEB\xE9\xE0\xE2\xEA\xFB\xEF\xF4\xEE\xF9"},
        // A zero byte and what follows it (the rest of a name field) are mapped too; zero stays zero.
        BufferCase{"FieldWithPadding", std::string("a@\0#", 4), std::string("a\xE0\0\xE8", 4)},
        BufferCase{"CapitalsPassThrough", "\xC9\xC0\xC7\xFC", "\xC9\xC0\xC7\xFC"},
        BufferCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrenchLetters, AnAccentedByteInTheFileIsStoredBackAsItsCode) {
    // 0xE9 already in the file shows as é and, stored with the option on, becomes "<".
    std::string text = "\xE9";
    ToAccented(text);
    EXPECT_EQ(text, "\xE9");
    ToGameCode(text);
    EXPECT_EQ(text, "<");
}

}  // namespace
}  // namespace wright
