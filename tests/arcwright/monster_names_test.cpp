#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace wright::arcwright {
namespace {

using wright::arcwright::testing::fileBytes;
using wright::testing::TempDir;

constexpr auto kOn = FrenchLetters::Replace;
constexpr auto kOff = FrenchLetters::Keep;

TEST(MonsterNameOffsets, OneFieldTwoRunsOf74AndALastOne) {
    EXPECT_EQ(MonsterNameOffsets[0], 4285);
    for (int i = 1; i <= 32; ++i) EXPECT_EQ(MonsterNameOffsets[i], 10773 + 74 * (i - 1)) << i;
    for (int i = 33; i <= 41; ++i) EXPECT_EQ(MonsterNameOffsets[i], 23886 + 74 * (i - 33)) << i;
    EXPECT_EQ(MonsterNameOffsets[42], 24888);
    EXPECT_EQ(kMonsterMinimumSize, 0x6138 + 24);
}

struct Monsters {
    explicit Monsters(std::int64_t size = kMonsterMinimumSize + 100) {
        names = fixtures::demoMonsterNames();
        names[3] = "Twenty-four characters!!";  // fills the field
        fixtures::writeMonsterArchive(path(), names, size);
    }
    std::string path() const { return dir.file("MONSTER.BSA"); }
    TempDir dir;
    std::vector<std::string> names;
};

TEST(MonsterArchive, ListsTheFortyThreeNames) {
    Monsters m;
    MonsterArchive archive(m.path());
    const auto names = archive.readNames(kOff);
    EXPECT_EQ(names, m.names);
    const auto shown = archive.readNames(kOn);
    EXPECT_EQ(shown[28], "Ch\xEAne Sp\xE9" "ctral");
    EXPECT_EQ(shown[3], "Twenty-four characters!!");
}

TEST(MonsterArchive, SavesEveryFieldByPositionAndNothingElse) {
    Monsters m;
    std::string expected = fileBytes(m.path());
    MonsterArchive archive(m.path());
    std::vector<std::string> lines = archive.readNames(kOn);
    lines.erase(lines.begin() + 1);                   // every later name moves one field back
    lines[0] = "A name longer than twenty-four";        // cut
    lines.resize(40);                                    // the last three are written empty
    archive.saveNames(lines, kOn);

    for (int i = 0; i < kMonsterCount; ++i) {
        std::string field = i < 40 ? makeFixedField(lines[i], kMonsterNameSize, kOn) : std::string(24, '\0');
        expected.replace(static_cast<std::size_t>(MonsterNameOffsets[i]), kMonsterNameSize, field);
    }
    EXPECT_EQ(fileBytes(m.path()), expected);
    EXPECT_EQ(MonsterArchive(m.path()).readNames(kOff)[0], "A name longer than twent");
    EXPECT_EQ(MonsterArchive(m.path()).readNames(kOff)[27], "Ch^ne Sp<ctral");
}

TEST(MonsterArchive, AnUneditedNameIsWrittenZeroPadded) {
    Monsters m;
    m.names[2] = "Rat";
    fixtures::writeMonsterArchive(m.path(), m.names, kMonsterMinimumSize + 100);
    const std::string zeroPadded = fileBytes(m.path());
    m.names[2] = std::string("Rat\0left over", 14);
    fixtures::writeMonsterArchive(m.path(), m.names, kMonsterMinimumSize + 100);
    MonsterArchive archive(m.path());
    std::vector<std::string> lines = archive.readNames(kOff);
    EXPECT_EQ(lines[2], "Rat");
    archive.saveNames(lines, kOff);
    // The bytes after the zero are no part of the name: the field is written
    // zero-padded, and nothing else changes.
    EXPECT_TRUE(fileBytes(m.path()) == zeroPadded) << "an unedited save kept the bytes after the name's zero";
    lines[2] = "Bat";
    archive.saveNames(lines, kOff);
    EXPECT_EQ(fileBytes(m.path()).substr(static_cast<std::size_t>(MonsterNameOffsets[2]), kMonsterNameSize),
              makeFixedField("Bat", kMonsterNameSize, kOff));
}

TEST(MonsterArchive, LinesAfterTheFortyThirdAreIgnored) {
    Monsters m;
    MonsterArchive archive(m.path());
    std::vector<std::string> lines = archive.readNames(kOff);
    lines.push_back("Extra");
    const std::string before = fileBytes(m.path());
    archive.saveNames(lines, kOff);
    EXPECT_EQ(fileBytes(m.path()), before);
}

TEST(MonsterArchive, SavedWithTheOptionOffKeepsTheAccentedByte) {
    Monsters m;
    MonsterArchive archive(m.path());
    std::vector<std::string> lines = archive.readNames(kOn);
    archive.saveNames(lines, kOff);
    EXPECT_EQ(archive.readNames(kOff)[28], "Ch\xEAne Sp\xE9" "ctral");
}

TEST(MonsterArchive, AFileEndingBeforeTheLastFieldIsRefused) {
    {
        Monsters m(kMonsterMinimumSize - 1);
        EXPECT_THROW(MonsterArchive archive(m.path()), ArchiveRejected);
    }
    Monsters exact(kMonsterMinimumSize);
    EXPECT_EQ(MonsterArchive(exact.path()).readNames(kOff).back(), exact.names.back().substr(0, 24));
}

TEST(MonsterArchive, AFailingWriteLeavesTheFileAsItWas) {
    Monsters m;
    const std::string before = fileBytes(m.path());
    MonsterArchive archive(m.path());
    int writes = 0;
    archive.file().setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes == 20) throw wright::FileError(m.path(), "write", "No space left on device");
    });
    EXPECT_THROW(archive.saveNames(std::vector<std::string>(43, "Wolf"), kOff), SaveError);
    EXPECT_EQ(fileBytes(m.path()), before);
}

}  // namespace
}  // namespace wright::arcwright
