#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "arcwright/region_records.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace wright::arcwright {
namespace {

// The demo folder is what a first run of the program opens: every region
// must load whole, with each dungeon beside its location.
TEST(DemoArchive, EveryRegionLoadsWithItsDungeonsPlaced) {
    wright::testing::TempDir dir;
    fixtures::writeMapsArchive(dir.file("MAPS.BSA"), fixtures::demoRegions(), true);
    EXPECT_EQ(std::filesystem::file_size(dir.file("MAPS.BSA")), static_cast<std::uintmax_t>(kMapsMinimumSize));
    MapsArchive archive(dir.file("MAPS.BSA"));
    int french = 0, full = 0, dungeonRegions = 0;
    for (int r = 0; r < kRegionCount; ++r) {
        SCOPED_TRACE("region " + std::to_string(r));
        const NamesLoad names = loadMapNames(archive, r, FrenchLetters::Replace);
        const NamesLoad locations = loadLocationNames(archive, r, names.count, FrenchLetters::Replace);
        const NamesLoad dungeons = loadDungeonNames(archive, r, FrenchLetters::Replace);
        EXPECT_TRUE(names.problems.empty() && locations.problems.empty() && dungeons.problems.empty());
        EXPECT_EQ(locations.names, names.names);
        const DungeonPlacement placed = placeDungeons(locations.names, dungeons, [](std::string_view name) { return std::string(name); });
        EXPECT_FALSE(placed.unmatched);
        EXPECT_EQ(static_cast<int>(placed.lines.size() - std::count(placed.lines.begin(), placed.lines.end(), "")),
                  dungeons.count);  // no two dungeons share a line, so the region saves
        dungeonRegions += dungeons.count > 0;
        for (const std::string& name : loadMapNames(archive, r, FrenchLetters::Keep).names) {
            french += name.find_first_of("#$*<@\\^`{|}~") != std::string::npos;
            full += name.size() == kNameFieldSize;
        }
    }
    EXPECT_GT(french, 0);
    EXPECT_GT(full, 0);
    EXPECT_GT(dungeonRegions, 0);
    EXPECT_LT(dungeonRegions, kRegionCount);
}

TEST(DemoArchive, MonsterNamesStandAtTheirOffsets) {
    wright::testing::TempDir dir;
    fixtures::writeMonsterArchive(dir.file("MONSTER.BSA"), fixtures::demoMonsterNames(), kMonsterMinimumSize + 4096);
    const auto names = MonsterArchive(dir.file("MONSTER.BSA")).readNames(FrenchLetters::Keep);
    EXPECT_EQ(names, fixtures::demoMonsterNames());
}

}  // namespace
}  // namespace wright::arcwright
