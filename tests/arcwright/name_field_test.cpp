#include "arcwright/name_field.h"

#include <gtest/gtest.h>

namespace wright::arcwright {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char* name;
    std::string field;  // as stored, padded to 32 below
    FrenchLetters french;
    std::string shown;
};

class ReadNameField : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNameField, ShowsTheName) {
    const ReadCase& c = GetParam();
    std::string field = c.field;
    field.resize(kNameFieldSize, '\0');
    EXPECT_EQ(readNameField(field, c.french), c.shown);
}

const std::string k32 = "The Old Crossroads of Ironhavens";  // 32 characters

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadNameField,
    ::testing::Values(
        ReadCase{"ShortName", "Dwynnen", FrenchLetters::Replace, "Dwynnen"},
        ReadCase{"FullFieldHasNoZero", k32, FrenchLetters::Replace, k32},
        ReadCase{"BytesAfterTheZeroAreNotName", "Oak\0ford"s, FrenchLetters::Keep, "Oak"},
        ReadCase{"GameCodeShownAccented", "Ch^ne", FrenchLetters::Replace, "Ch\xEAne"},
        ReadCase{"GameCodeKeptWithOptionOff", "For#t", FrenchLetters::Keep, "For#t"},
        ReadCase{"AccentedByteInFileStays", "\xE9t\xE9", FrenchLetters::Replace, "\xE9t\xE9"},
        ReadCase{"EmptyField", "", FrenchLetters::Replace, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    std::string line;
    FrenchLetters french;
    std::string stored;  // padded with zeros to 32 below
};

class MakeNameField : public ::testing::TestWithParam<WriteCase> {};

TEST_P(MakeNameField, StoresTheField) {
    const WriteCase& c = GetParam();
    std::string expected = c.stored;
    expected.resize(kNameFieldSize, '\0');
    EXPECT_EQ(makeNameField(c.line, c.french), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeNameField,
    ::testing::Values(
        WriteCase{"ThirtyOneKeepsOneZero", k32.substr(0, 31), FrenchLetters::Keep, k32.substr(0, 31)},
        WriteCase{"ThirtyTwoFillsTheField", k32, FrenchLetters::Keep, k32},
        WriteCase{"FortyIsCutToThirtyTwo", k32 + "12345678", FrenchLetters::Keep, k32},
        WriteCase{"EmptyLineIsAllZeros", "", FrenchLetters::Replace, ""},
        WriteCase{"AccentedStoredAsGameCode", "Ch\xEAne", FrenchLetters::Replace, "Ch^ne"},
        WriteCase{"AccentedKeptWithOptionOff", "Ch\xEAne", FrenchLetters::Keep, "Ch\xEAne"},
        WriteCase{"CapitalPassesThrough", "\xC9glise", FrenchLetters::Replace, "\xC9glise"},
        WriteCase{"TypedGameCharacterStaysItself", "@", FrenchLetters::Replace, "@"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NameField, LoadedWithTheOptionOnAndSavedWithItOff) {
    // The list does not remember how it was loaded: the store follows the
    // option as it stands at the save.
    const std::string shown = readNameField(makeFixedField("Ch@teau", kNameFieldSize, FrenchLetters::Keep),
                                            FrenchLetters::Replace);
    EXPECT_EQ(shown, "Ch\xE0teau");
    EXPECT_EQ(makeNameField(shown, FrenchLetters::Keep).substr(0, 7), "Ch\xE0teau");
    EXPECT_EQ(makeNameField(shown, FrenchLetters::Replace).substr(0, 7), "Ch@teau");
}

TEST(NameField, MonsterWidthFieldOf24) {
    EXPECT_EQ(makeFixedField("Seigneur du Ch\xE2teau Noir!", 24, FrenchLetters::Replace), "Seigneur du Ch\\teau Noir");
    EXPECT_EQ(readFixedName("Seigneur du Ch\\teau Noir", FrenchLetters::Replace), "Seigneur du Ch\xE2teau Noir");
}

}  // namespace
}  // namespace wright::arcwright
