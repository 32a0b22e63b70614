#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/region_records.h"
#include "fileio/little_endian.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace wright::arcwright {
namespace {

using fixtures::RecordContent;
using fixtures::RegionContent;
using wright::arcwright::testing::fileBytes;
using wright::testing::TempDir;

constexpr auto kOn = FrenchLetters::Replace;
constexpr auto kOff = FrenchLetters::Keep;

const std::string k32 = "The Old Crossroads of Ironhavens";

// An archive in a temporary folder whose region 1 is `region`.
struct Archive {
    explicit Archive(const RegionContent& region) {
        std::vector<RegionContent> regions(2);
        regions[0] = fixtures::regionOf({"Before"});
        regions[1] = region;
        built = fixtures::writeMapsArchive(path(), regions);
        archive = std::make_unique<MapsArchive>(path());
    }
    std::string path() const { return dir.file("MAPS.BSA"); }
    // The bytes on disk at a record's position.
    std::string onDisk(int slot, std::int64_t at, std::size_t n) const {
        return fileBytes(path()).substr(static_cast<std::size_t>(built[1][slot].offset + at), n);
    }
    TempDir dir;
    fixtures::BuiltArchive built;
    std::unique_ptr<MapsArchive> archive;
};

std::string padded(std::string s) {
    s.resize(kNameFieldSize, '\0');
    return s;
}

TEST(RecordName, LiesAfterTheItems) {
    EXPECT_EQ(recordNameOffset(0), 75);
    EXPECT_EQ(recordNameOffset(2), 87);
}

TEST(RegionLoad, NamesLocationsAndDungeonsOfARegion) {
    RegionContent region = fixtures::regionOf({"Sentinel", "Ch^ne", k32, "Oakford"});
    region.locations[0].items = 0;
    region.locations[1].items = 2;
    region.locations[2].items = 7;
    region.dungeons = {{"Ch^ne", 3}, {k32, 0}};
    Archive a(region);

    const NamesLoad names = loadMapNames(*a.archive, 1, kOn);
    EXPECT_EQ(names.count, 4);
    EXPECT_EQ(names.names, (std::vector<std::string>{"Sentinel", "Ch\xEAne", k32, "Oakford"}));
    EXPECT_TRUE(names.problems.empty());

    const NamesLoad locations = loadLocationNames(*a.archive, 1, names.count, kOff);
    EXPECT_EQ(locations.names, (std::vector<std::string>{"Sentinel", "Ch^ne", k32, "Oakford"}));

    const NamesLoad dungeons = loadDungeonNames(*a.archive, 1, kOn);
    EXPECT_EQ(dungeons.count, 2);
    EXPECT_EQ(dungeons.names, (std::vector<std::string>{"Ch\xEAne", k32}));
}

TEST(RegionLoad, ARegionWithoutNames) {
    Archive a(fixtures::regionOf({}));
    const NamesLoad names = loadMapNames(*a.archive, 1, kOn);
    EXPECT_EQ(names.count, 0);
    EXPECT_TRUE(names.names.empty());
    EXPECT_TRUE(loadLocationNames(*a.archive, 1, 0, kOn).names.empty());
    EXPECT_EQ(loadDungeonNames(*a.archive, 1, kOn).count, 0);
    EXPECT_TRUE(planLocationSave(*a.archive, 1, 0, {}, kOn).patches.empty());
    EXPECT_TRUE(planDungeonSave(*a.archive, 1, {}, kOn).patches.empty());
    const SavePlan names0 = planMapNamesSave(*a.archive, 1, 0, {}, kOn);
    ASSERT_FALSE(names0.refusal);
    ASSERT_EQ(names0.patches.size(), 1u);  // the count alone
}

// Names shown in messages as they are stored.
const NameView kAsStored = [](std::string_view name) { return std::string(name); };

NamesLoad dungeonsNamed(const std::vector<std::string>& names) {
    NamesLoad load;
    load.names = names;
    load.readable.assign(names.size(), true);
    return load;
}

TEST(DungeonPlacement, EachDungeonGoesBesideTheFirstLocationOfItsName) {
    const std::vector<std::string> locations{"A", "B", "C", "Keep", "D", "E", "F", "Keep"};
    const DungeonPlacement placed = placeDungeons(locations, dungeonsNamed({"B", "Keep"}), kAsStored);
    EXPECT_FALSE(placed.unmatched);
    EXPECT_EQ(placed.lines, (std::vector<std::string>{"", "B", "", "Keep", "", "", "", ""}));
}

TEST(DungeonPlacement, AComparisonIsByteForByte) {
    const DungeonPlacement placed = placeDungeons({"Keep", "Tower"}, dungeonsNamed({"Tower", "keep"}), kAsStored);
    ASSERT_TRUE(placed.unmatched);
    EXPECT_EQ(*placed.unmatched, 1u);
}

TEST(DungeonPlacement, ADungeonBeforeTheLocationOfTheOneBeforeItIsReported) {
    // The save hands the lines out in order: Oakford's dungeon would get "Sentinel".
    // The problem names the dungeon through the caller's view.
    const NameView view = [](std::string_view name) { return "[" + std::string(name) + "]"; };
    const DungeonPlacement placed = placeDungeons({"Sentinel", "Oakford"}, dungeonsNamed({"Oakford", "Sentinel"}), view);
    EXPECT_FALSE(placed.unmatched);
    ASSERT_TRUE(placed.problem);
    EXPECT_EQ(*placed.problem, "MAPDITEM: dungeon record 1 ([Sentinel]) belongs to location 0, before the location of "
                               "the dungeon before it");
    EXPECT_FALSE(placeDungeons({"Sentinel", "Oakford"}, dungeonsNamed({"Sentinel", "Oakford"}), view).problem);
}

TEST(DungeonPlacement, NoDungeonsLeavesEveryLineEmpty) {
    const DungeonPlacement placed = placeDungeons({"A", "B"}, dungeonsNamed({}), kAsStored);
    EXPECT_EQ(placed.lines, (std::vector<std::string>{"", ""}));
}

TEST(RegionSave, UnchangedNamesWriteTheSameBytes) {
    Archive a(fixtures::regionOf({"Sentinel", "Ch^ne", k32}, {1}));
    const std::string before = fileBytes(a.path());
    for (int round = 0; round < 2; ++round) {
        const NamesLoad names = loadMapNames(*a.archive, 1, kOn);
        const SavePlan plan = planMapNamesSave(*a.archive, 1, names.count, names.names, kOn);
        ASSERT_FALSE(plan.refusal);
        writePatches(a.archive->file(), plan.patches);
        const NamesLoad locations = loadLocationNames(*a.archive, 1, names.count, kOn);
        writePatches(a.archive->file(), planLocationSave(*a.archive, 1, names.count, locations.names, kOn).patches);
        writePatches(a.archive->file(), planDungeonSave(*a.archive, 1, {"", "Ch\xEAne", ""}, kOn).patches);
        EXPECT_EQ(fileBytes(a.path()), before) << "round " << round;
    }
}

TEST(RegionSave, AnUneditedNameIsWrittenZeroPadded) {
    const RegionContent clean = fixtures::regionOf({"Sentinel", "Oakford"}, {1});
    const std::string zeroPadded = fileBytes(Archive(clean).path());
    RegionContent region = clean;
    region.names[0] = std::string("Sentinel\0old text", 17);
    region.locations[1].name = std::string("Oakford\0\x01\x02", 10);
    region.dungeons[0].name = region.locations[1].name;
    Archive a(region);
    ASSERT_NE(fileBytes(a.path()), zeroPadded);
    const std::vector<std::string> shown{"Sentinel", "Oakford"};
    for (const FrenchLetters french : {kOff, kOn}) {
        writePatches(a.archive->file(), planMapNamesSave(*a.archive, 1, 2, shown, french).patches);
        writePatches(a.archive->file(), planLocationSave(*a.archive, 1, 2, shown, french).patches);
        writePatches(a.archive->file(), planDungeonSave(*a.archive, 1, {"", "Oakford"}, french).patches);
        // The bytes after each name's zero are no part of it: the fields
        // are written zero-padded, and nothing else changes.
        EXPECT_TRUE(fileBytes(a.path()) == zeroPadded) << "an unedited save kept bytes after a name's zero";
    }
    EXPECT_EQ(a.onDisk(kNamesSlot, 4, 32), padded("Sentinel"));
    // An edited name is stored whole, zero-padded.
    writePatches(a.archive->file(), planMapNamesSave(*a.archive, 1, 2, {"Sentinels", "Oakford"}, kOff).patches);
    EXPECT_EQ(a.onDisk(kNamesSlot, 4, 32), padded("Sentinels"));
}

TEST(RegionSave, EditedNamesReachOnlyTheirFields) {
    RegionContent region = fixtures::regionOf({"Sentinel", "Oakford", "Wayrest"});
    region.locations[1].items = 2;
    Archive a(region);
    std::string expected = fileBytes(a.path());
    const auto put = [&](int slot, std::int64_t at, const std::string& field) {
        expected.replace(static_cast<std::size_t>(a.built[1][slot].offset + at), field.size(), field);
    };

    const std::vector<std::string> edited{"Sentinel", "Cl\xEEtre des Pr\xE9s", "Wayrest"};
    writePatches(a.archive->file(), planMapNamesSave(*a.archive, 1, 3, edited, kOn).patches);
    put(kNamesSlot, 4 + 32, padded("Cl}tre des Pr<s"));
    writePatches(a.archive->file(), planLocationSave(*a.archive, 1, 3, edited, kOn).patches);
    // Location record 1 starts after the table and record 0; with 2 items its name is at 87.
    const std::int64_t record1 = 3 * 4 + static_cast<std::int64_t>(fixtures::recordBytes(region.locations[0], 3).size());
    put(kLocationSlot, record1 + 87, padded("Cl}tre des Pr<s"));
    EXPECT_EQ(fileBytes(a.path()), expected);
}

TEST(RegionSave, TheDungeonsTakeTheNonEmptyLinesInOrder) {
    RegionContent region = fixtures::regionOf({"A", "B", "Crypt", "C", "D", "Mine"}, {2, 5});
    Archive a(region);
    const SavePlan plan = planDungeonSave(*a.archive, 1, {"", "", "Crypt 2", "", "", "Mine 5"}, kOff);
    ASSERT_FALSE(plan.refusal);
    writePatches(a.archive->file(), plan.patches);
    const NamesLoad dungeons = loadDungeonNames(*a.archive, 1, kOff);
    EXPECT_EQ(dungeons.names, (std::vector<std::string>{"Crypt 2", "Mine 5"}));
    // Dungeon record 0 starts after the count and the table of 2 pairs.
    const std::int64_t record0 = 4 + 2 * 8;
    EXPECT_EQ(a.onDisk(kDungeonSlot, record0 + recordNameOffset(region.dungeons[0].items), 32), padded("Crypt 2"));
}

TEST(RegionSave, LocationLinesBeyondTheCountAreNotWritten) {
    Archive a(fixtures::regionOf({"A", "B"}));
    const SavePlan plan = planLocationSave(*a.archive, 1, 2, {"X", "Y", "Z"}, kOff);
    ASSERT_FALSE(plan.refusal);
    EXPECT_EQ(plan.patches.size(), 2u);
}

struct RefusalCase {
    const char* name;
    std::function<SavePlan(MapsArchive&)> plan;
    const char* reason;
};

class RefusedSave : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedSave, PlansNoWrite) {
    RegionContent region = fixtures::regionOf({"A", "Keep", "Keep"}, {1, 2});
    Archive a(region);
    const SavePlan plan = GetParam().plan(*a.archive);
    ASSERT_TRUE(plan.refusal);
    EXPECT_TRUE(plan.patches.empty());
    EXPECT_NE(plan.refusal->find(GetParam().reason), std::string::npos) << *plan.refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSave,
    ::testing::Values(
        RefusalCase{"MoreNamesThanTheRecordHolds",
                    [](MapsArchive& m) { return planMapNamesSave(m, 1, 3, {"A", "B", "C", "D"}, kOn); },
                    "the list has 4 lines and the record holds 3 names"},
        RefusalCase{"FewerNamesThanTheRecordHolds",
                    [](MapsArchive& m) { return planMapNamesSave(m, 1, 3, {"A", "B"}, kOn); },
                    "the list has 2 lines and the record holds 3 names"},
        RefusalCase{"FewerLocationLinesThanRecords",
                    [](MapsArchive& m) { return planLocationSave(m, 1, 3, {"A", "B"}, kOn); },
                    "the location list has 2 lines for 3 location records"},
        // Two dungeons of one name share a line: one line for two records.
        RefusalCase{"FewerDungeonLinesThanDungeons",
                    [](MapsArchive& m) { return planDungeonSave(m, 1, {"", "Keep", ""}, kOn); },
                    "the dungeon list has 1 names for 2 dungeon records"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DamageCase {
    const char* name;
    int slot;
    std::string record;
    const char* problem;
};

std::string i32(std::int32_t v) {
    std::string s;
    wright::appendI32LE(s, v);
    return s;
}

class DamagedRecord : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedRecord, IsReportedAndNotSaved) {
    const DamageCase& c = GetParam();
    RegionContent region = fixtures::regionOf({"A", "B"});
    region.raw[c.slot] = c.record;
    Archive a(region);
    const std::string before = fileBytes(a.path());

    const NamesLoad names = loadMapNames(*a.archive, 1, kOn);
    const NamesLoad locations = loadLocationNames(*a.archive, 1, names.count, kOn);
    const NamesLoad dungeons = loadDungeonNames(*a.archive, 1, kOn);
    const NamesLoad& damaged = c.slot == kNamesSlot ? names : c.slot == kLocationSlot ? locations : dungeons;
    ASSERT_FALSE(damaged.problems.empty());
    EXPECT_NE(damaged.problems.front().find(c.problem), std::string::npos) << damaged.problems.front();

    const SavePlan plan = c.slot == kNamesSlot      ? planMapNamesSave(*a.archive, 1, names.count, names.names, kOn)
                          : c.slot == kLocationSlot ? planLocationSave(*a.archive, 1, names.count, {"A", "B"}, kOn)
                                                    : planDungeonSave(*a.archive, 1, {"A", "B"}, kOn);
    EXPECT_TRUE(plan.refusal);
    EXPECT_TRUE(plan.patches.empty());
    EXPECT_EQ(fileBytes(a.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRecord,
    ::testing::Values(
        DamageCase{"NamesCountBeyondTheRecord", kNamesSlot, i32(3) + padded("A") + padded("B"),
                   "MAPNAMES: 3 names do not fit the record of 68 bytes; 2 do"},
        DamageCase{"NegativeNamesCount", kNamesSlot, i32(-2), "MAPNAMES: the count -2 is negative"},
        DamageCase{"LocationTablePastTheRecord", kLocationSlot, i32(0),
                   "MAPPITEM: the table of 2 locations does not fit the record of 4 bytes"},
        DamageCase{"LocationRecordOutside", kLocationSlot, i32(0) + i32(5000) + fixtures::recordBytes({"A", 0}, 1),
                   "location record 1 starts at 5008"},
        DamageCase{"LocationNameOutside", kLocationSlot,
                   i32(0) + i32(0) + i32(100) + std::string(200, '\x81'),
                   "the name of location record 0 lies at 683 to 715, outside the record of 212 bytes"},
        DamageCase{"DungeonTablePastTheRecord", kDungeonSlot, i32(40), "the table of 40 dungeons does not fit"},
        DamageCase{"DungeonNameOutside", kDungeonSlot, i32(1) + i32(0) + i32(0) + i32(1) + std::string(40, '\x81'),
                   "the name of dungeon record 0 lies at"},
        // Record 1 starts 6 bytes after record 0, inside its items: both hold
        // no items, so their names lie 6 bytes apart. Written whole and
        // zero-padded, the one written last would cut into the other.
        DamageCase{"LocationNamesOverlap", kLocationSlot,
                   i32(0) + i32(6) + i32(0) + "xx" + i32(0) + std::string(103, '\x81'),
                   "MAPPITEM: the name fields of location records 0 and 1 overlap"},
        DamageCase{"DungeonNamesOverlap", kDungeonSlot,
                   i32(2) + i32(0) + i32(0) + i32(6) + i32(0) + i32(0) + "xx" + i32(0) + std::string(103, '\x81'),
                   "MAPDITEM: the name fields of dungeon records 0 and 1 overlap"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionLayout, RecordsSharingOneNameFieldAreSound) {
    // Two table entries for one record: both names are the same field.
    const std::string record = i32(0) + i32(0) + fixtures::recordBytes({"Keep", 0}, 1);
    const NameLayout layout = locationLayout(record, 2);
    EXPECT_TRUE(layout.sound()) << layout.problems.front();
    EXPECT_EQ(layout.positions, (std::vector<std::optional<std::int64_t>>{83, 83}));
}

TEST(RegionSave, AFailingWriteLeavesTheArchiveAsItWas) {
    Archive a(fixtures::regionOf({"Sentinel", "Oakford", "Wayrest"}));
    const std::string before = fileBytes(a.path());
    int writes = 0;
    a.archive->file().setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes == 3) throw wright::FileError(a.path(), "write", "No space left on device");
    });
    const SavePlan plan = planMapNamesSave(*a.archive, 1, 3, {"X", "Y", "Z"}, kOff);
    try {
        writePatches(a.archive->file(), plan.patches);
        FAIL() << "the save went through";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find("No space left on device; the previous bytes were put back"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(fileBytes(a.path()), before);
}

TEST(RegionSave, AFailingRestoreIsSaid) {
    Archive a(fixtures::regionOf({"Sentinel", "Oakford"}));
    int writes = 0;
    a.archive->file().setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes >= 2) throw wright::FileError(a.path(), "write", "Input/output error");
    });
    try {
        writePatches(a.archive->file(), planMapNamesSave(*a.archive, 1, 2, {"X", "Y"}, kOff).patches);
        FAIL() << "the save went through";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find("putting the previous bytes back failed too"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace wright::arcwright
