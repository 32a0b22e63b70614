#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/record_text.h"

#include <gtest/gtest.h>

namespace wright::questwright {
namespace {

constexpr auto kReplace = FrenchLetters::Replace;
constexpr auto kKeep = FrenchLetters::Keep;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

struct RenderCase {
    const char* name;
    std::string data;
    FrenchLetters french;
    std::string text;
};

class Render : public ::testing::TestWithParam<RenderCase> {};

TEST_P(Render, WritesTheNotation) {
    EXPECT_EQ(RenderRecordText(GetParam().data, GetParam().french), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Render,
    ::testing::Values(
        RenderCase{"HelloPageEnd", "Hello\xFCW\xFE", kKeep, "Hello<0xFC>\r\nW<0xFE>"},
        RenderCase{"LineBreakAfterFcFdFfOnly", "\xFD\xFF\xFE\xFC", kKeep, "<0xFD>\r\n<0xFF>\r\n<0xFE><0xFC>\r\n"},
        RenderCase{"ArgumentInDecimal", "\xFB\x0C", kKeep, "<0xFB=12>"},
        RenderCase{"ArgumentIsNeverAControlByte", "\xFB\xFC" "a", kKeep, "<0xFB=252>a"},
        RenderCase{"ArgumentIsNeverMapped", "\xFB<<", kReplace, "<0xFB=60>\xE9"},
        RenderCase{"ArgumentZero", bytes({0xFB, 0}), kKeep, "<0xFB=0>"},
        RenderCase{"FrenchCodesShownAsLetters", "Ch^ne @ ~", kReplace, "Ch\xEAne \xE0 \xF9"},
        RenderCase{"FrenchCodesAsThemselvesWhenOff", "Ch^ne", kKeep, "Ch^ne"},
        RenderCase{"AccentedByteStaysAccented", "\xE9", kReplace, "\xE9"},
        RenderCase{"LastByteFbShowsAMissingArgument", "ab\xFB", kKeep, "ab<0xFB=?>"},
        RenderCase{"Empty", "", kReplace, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ParseCase {
    const char* name;
    std::string text;
    FrenchLetters french;
    std::string data;
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, GivesTheBytes) {
    EXPECT_EQ(ParseRecordText(GetParam().text, GetParam().french), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Parse,
    ::testing::Values(
        ParseCase{"HelloPageEnd", "Hello<0xFC>\r\nW<0xFE>", kKeep, "Hello\xFCW\xFE"},
        ParseCase{"Argument12", "<0xFB=12>", kKeep, "\xFB\x0C"},
        ParseCase{"Argument300KeepsLowBits", "<0xFB=300>", kKeep, "\xFB\x2C"},
        ParseCase{"ArgumentMinus5", "<0xFB=-5>", kKeep, "\xFB\xFB"},
        ParseCase{"ArgumentDollarHex", "<0xFB=$1F>", kKeep, "\xFB\x1F"},
        ParseCase{"Argument0xHex", "<0xFB=0x1F>", kKeep, "\xFB\x1F"},
        ParseCase{"Argument0XHex", "<0xFB=0X1f>", kKeep, "\xFB\x1F"},
        ParseCase{"ArgumentXHex", "<0xFB=x1F>", kKeep, "\xFB\x1F"},
        ParseCase{"ArgumentCapitalXHex", "<0xFB=X1F>", kKeep, "\xFB\x1F"},
        ParseCase{"ArgumentNegativeHex", "<0xFB=-$1>", kKeep, "\xFB\xFF"},
        ParseCase{"ArgumentLeadingSpacesAndPlus", "<0xFB=  +7>", kKeep, "\xFB\x07"},
        ParseCase{"ArgumentFullHexWord", "<0xFB=$FFFFFF41>", kKeep, "\xFB\x41"},
        ParseCase{"ArgumentLowestInteger", "<0xFB=-2147483648>", kKeep, bytes({0xFB, 0})},
        ParseCase{"ArgumentNotMapped", "<0xFB=60>", kReplace, "\xFB<"},
        ParseCase{"TextAfterFeDropped", "a<0xFE>typed after", kKeep, "a\xFE"},
        ParseCase{"NoFeRunsToTheEnd", "abc<0xFD>\r\ndef", kKeep, "abc\xFD" "def"},
        ParseCase{"FinalLineBreakNotStored", "A<0xFF>\r\n", kKeep, "A\xFF"},
        ParseCase{"TypedLineBreakNotStored", "ab\r\ncd", kKeep, "abcd"},
        ParseCase{"SecondLineBreakStored", "ab\r\n\r\ncd", kKeep, "ab\r\ncd"},
        ParseCase{"LoneCrAtTheEnd", "ab\r", kKeep, "ab"},
        ParseCase{"AccentedLetterToGameCode", "\xE9t\xE9 \xEA", kReplace, "<t< ^"},
        ParseCase{"CapitalAccentPassesThrough", "\xC9", kReplace, "\xC9"},
        ParseCase{"TypedUCircumflexIsAControlByteWhenOff", "\xFB" "a", kKeep, "\xFB" "a"},
        ParseCase{"TypedUDiaeresisIsFcEitherWay", "\xFC\xFD\xFE\xFF", kReplace, "\xFC\xFD\xFE\xFF"},
        ParseCase{"LowerCaseTagIsPlainText", "<0xfc>", kKeep, "<0xfc>"},
        ParseCase{"OtherByteTagIsPlainText", "<0xFA>", kKeep, "<0xFA>"},
        ParseCase{"UnclosedTagIsPlainText", "<0xFC", kKeep, "<0xFC"},
        ParseCase{"FrenchOnTagStartIsStillATag", "<<0xFC>", kReplace, "<\xFC"},
        ParseCase{"TenThousandBytesFit", std::string(kMaxRecordSize, 'a'), kKeep, std::string(kMaxRecordSize, 'a')}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    std::string text;
    const char* message;
};

class ParseFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ParseFailure, IsRefusedAndLeavesTheRecord) {
    QRCRecord record{3, 40, "kept\xFE"};
    try {
        ParseRecordText(GetParam().text, record, kReplace);
        ADD_FAILURE() << "parsed";
    } catch (const RecordTextError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
    }
    EXPECT_EQ(record.data, "kept\xFE");
    EXPECT_EQ(record.id, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseFailure,
    ::testing::Values(
        FailureCase{"NoClosingBracket", "ab<0xFB=12", "Index beyond the end of the text"},
        FailureCase{"EmptyArgument", "<0xFB=>", "'' is not a valid integer value"},
        FailureCase{"WordArgument", "<0xFB=red>", "'red' is not a valid integer value"},
        FailureCase{"TrailingSpace", "<0xFB=12 >", "'12 ' is not a valid integer value"},
        FailureCase{"PrefixWithoutDigits", "<0xFB=0x>", "'0x' is not a valid integer value"},
        FailureCase{"DecimalBeyond32Bits", "<0xFB=2147483648>", "'2147483648' is not"},
        FailureCase{"HexBeyond32Bits", "<0xFB=$100000000>", "'$100000000' is not"},
        FailureCase{"MissingArgumentAsRendered", "ab<0xFB=?>", "'?' is not a valid integer value"},
        FailureCase{"MoreThanTenThousandBytes", std::string(kMaxRecordSize, 'a') + "<0xFE>", "more than 10000 bytes"},
        FailureCase{"ArgumentCrossesTheLimit", std::string(kMaxRecordSize - 1, 'a') + "<0xFB=1>", "more than 10000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordText, GameRecordsComeBackByteForByteInBothFrenchStates) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        const std::string data = fixtures::gameRecord(seed, 20 + seed * 7);
        for (FrenchLetters french : {kReplace, kKeep}) {
            EXPECT_EQ(ParseRecordText(RenderRecordText(data, french), french), data) << "seed " << seed;
        }
    }
}

TEST(RecordText, AnAccentedByteComesBackAsItsGameCodeUnderTheFrenchOption) {
    EXPECT_EQ(ParseRecordText(RenderRecordText("caf\xE9", kReplace), kReplace), "caf<");
    EXPECT_EQ(ParseRecordText(RenderRecordText("caf\xE9", kKeep), kKeep), "caf\xE9");
}

}  // namespace
}  // namespace wright::questwright
