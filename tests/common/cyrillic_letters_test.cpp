#include "common/cyrillic_letters.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace wright {
namespace {

using D = RusEngDirection;
using M = MarkersRule;

TEST(CyrillicTables, LettersAndCodesAreDistinctAndDisjoint) {
    std::set<unsigned char> rus, eng;
    for (int k = 0; k < 64; ++k) {
        EXPECT_TRUE(rus.insert(RusLetters[k]).second) << "duplicate letter at " << k;
        EXPECT_TRUE(eng.insert(EngLetters[k]).second) << "duplicate code at " << k;
    }
    for (unsigned char r : rus) EXPECT_EQ(eng.count(r), 0u) << int(r);
    EXPECT_EQ(RusLetters[64], 0);
    EXPECT_EQ(RusLetters[65], 0);
    EXPECT_EQ(EngLetters[64], 0);
    EXPECT_EQ(EngLetters[65], 0);
    // The 64 letters are exactly the block 0xC0..0xFF of Windows-1251.
    for (int b = 0xC0; b <= 0xFF; ++b) EXPECT_EQ(rus.count(static_cast<unsigned char>(b)), 1u) << b;
}

struct ConvertCase {
    const char* name;
    std::string text;
    D direction;
    M markers;
    std::string expected;
};

class ConvertRusEngCase : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertRusEngCase, Converts) {
    const ConvertCase& c = GetParam();
    std::string text = c.text;
    ConvertRusEng(text, c.direction, c.markers);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(text.size(), c.text.size());
}

// Windows-1251: Ф=D4 И=C8 С=D1 ф=F4 и=E8 с=F1 Ю=DE ю=FE э=FD х=F5 ж=E6 б=E1 Ё=A8 ё=B8
INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertRusEngCase,
    ::testing::Values(
        ConvertCase{"CapitalsToRus", "ABC", D::ToRus, M::Off, "\xD4\xC8\xD1"},
        ConvertCase{"SmallToRus", "abc", D::ToRus, M::Off, "\xF4\xE8\xF1"},
        ConvertCase{"LettersToEng", "\xD4\xC8\xD1\xF4\xE8\xF1", D::ToEng, M::Off, "ABCabc"},
        ConvertCase{"PunctuationCodesToRus", "[\\]^>`{|}~<@", D::ToRus, M::Off,
                    "\xF5\xE6\xFA\xDD\xDE\xE1\xD5\xC6\xDA\xC1\xFE\xFD"},
        ConvertCase{"CyrillicLeftAloneInToRus", "\xD4\xF4", D::ToRus, M::Off, "\xD4\xF4"},
        ConvertCase{"CodesLeftAloneInToEng", "ABC[@", D::ToEng, M::Off, "ABC[@"},
        ConvertCase{"NeutralCharacters", "0189 !\"#$&'()*+,-./:;=?_\x7F\x80\xA8\xB8\xBF", D::ToRus, M::Off,
                    "0189 !\"#$&'()*+,-./:;=?_\x7F\x80\xA8\xB8\xBF"},
        ConvertCase{"YoNeverConverted", "\xA8\xB8", D::ToEng, M::Off, "\xA8\xB8"},
        ConvertCase{"TagKeptToRus", "a<0xFB=12>b", D::ToRus, M::Off, "\xF4<0xFB=12>\xE8"},
        ConvertCase{"TagKeptToEng", "\xF4<0xFC>\xE8", D::ToEng, M::Off, "a<0xFC>b"},
        ConvertCase{"UnclosedTagProtectsTheRest", "a<0xFB=12 abc", D::ToRus, M::Off, "\xF4<0xFB=12 abc"},
        ConvertCase{"CapitalXIsNoTag", "<0XFC>", D::ToRus, M::Off, "\xFE" "0\xD7\xC0\xD1\xDE"},
        ConvertCase{"AnglesOutsideTagsAreLetters", "<a>", D::ToRus, M::Off, "\xFE\xF4\xDE"},
        ConvertCase{"PercentRunKept", "%abc1 d", D::ToRus, M::Off, "%abc1 \xE2"},
        ConvertCase{"PercentRunKeptToEng", "%abc1\xF4", D::ToEng, M::Off, "%abc1a"},
        ConvertCase{"PercentRunEndsAtCapital", "%ABC", D::ToRus, M::Off, "%\xD4\xC8\xD1"},
        ConvertCase{"PercentRunEndsAtHighByte", "%ab\xF4" "c", D::ToEng, M::Off, "%ab" "a" "c"},
        ConvertCase{"CharacterAfterRunTreatedNormally", "%ab<0xFC>c", D::ToRus, M::Off, "%ab<0xFC>\xF1"},
        ConvertCase{"MarkersKeptWithRule", "_name1 =name1", D::ToRus, M::On, "_name1 =name1"},
        ConvertCase{"MarkersConvertedWithoutRule", "_ab =ab", D::ToRus, M::Off, "_\xF4\xE8 =\xF4\xE8"},
        ConvertCase{"Empty", "", D::ToRus, M::On, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertRusEng, EveryCyrillicTextSurvivesToEngThenToRus) {
    // A text of all 64 letters and every neutral byte comes back unchanged.
    std::string text;
    for (int b = 0xC0; b <= 0xFF; ++b) text.push_back(static_cast<char>(b));
    for (unsigned char c : std::string("0123456789 !\"#$&'()*+,-./:;=?\x7F\xA8\xB8")) text.push_back(static_cast<char>(c));
    std::string converted = text;
    ConvertRusEng(converted, D::ToEng, M::Off);
    EXPECT_NE(converted, text);
    ConvertRusEng(converted, D::ToRus, M::Off);
    EXPECT_EQ(converted, text);
}

TEST(ConvertRusEng, EveryCodeSurvivesToRusThenToEng) {
    std::string text(EngLetters.begin(), EngLetters.begin() + 64);
    std::string converted = text;
    ConvertRusEng(converted, D::ToRus, M::Off);
    EXPECT_EQ(converted, std::string(RusLetters.begin(), RusLetters.begin() + 64));
    ConvertRusEng(converted, D::ToEng, M::Off);
    EXPECT_EQ(converted, text);
}

}  // namespace
}  // namespace wright
