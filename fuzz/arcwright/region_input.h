#pragma once
// The archive part of a region target's input: the size of a record put
// before the region (slot 2 of region 0, for regions after it), the sizes of
// the region's four records, then the region's record bytes, back to back
// from its first record; every other record is empty.

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/region_records.h"
#include "fuzz/arcwright/sparse_archive.h"

#include <cstdint>
#include <string>

namespace wright::arcwright::fuzzing {

// A larger record of the region is left to the directory target: reading
// megabytes of zeros per input only slows the search down.
inline constexpr std::int32_t kLargestRegionRecord = 1 << 20;

// Writes the archive the input describes for `region` into `file` (a sparse
// file of kMapsMinimumSize bytes); false for a record over the size above.
inline bool writeRegionArchive(InputReader& input, int region, SparseFile& file) {
    const std::int32_t lead = input.i32();
    std::int32_t sizes[kSlotsPerRegion];
    for (std::int32_t& s : sizes) {
        s = input.i32();
        if (s > kLargestRegionRecord) return false;
    }
    std::string directory;
    std::int64_t first = kFirstRecordOffset;
    for (int r = 0; r < kRegionCount; ++r)
        for (int s = 0; s < kSlotsPerRegion; ++s) {
            std::int32_t recordSize = 0;
            if (r == region) recordSize = sizes[s];
            else if (r == 0 && s == kUnreadSlot) recordSize = lead;
            if (r < region) first += recordSize;
            directory += directoryEntry(fixtures::usualRecordName(r, s), 0, recordSize);
        }
    file.put(kMapsDirectoryOffset, directory, kMapsMinimumSize);
    file.put(first, input.rest(), kMapsDirectoryOffset);
    return true;
}

// A region as the window loads it: the three records, their three load
// phases and where the dungeons go.
struct RegionLoad {
    std::string namesRecord, locationRecord, dungeonRecord;
    NamesLoad names, locations, dungeons;
    DungeonPlacement placement;

    // The window saves only a region whose every name it read, and ends at a
    // dungeon without a location.
    bool whole() const {
        return names.problems.empty() && locations.problems.empty() && dungeons.problems.empty() &&
               !placement.unmatched && !placement.problem;
    }
};

inline RegionLoad loadRegion(MapsArchive& archive, int region, FrenchLetters french) {
    RegionLoad load;
    load.namesRecord = archive.readRecord(region, kNamesSlot);
    load.names = loadMapNames(archive, region, french);
    load.locationRecord = archive.readRecord(region, kLocationSlot);
    load.locations = loadLocationNames(archive, region, load.names.count, french);
    load.dungeonRecord = archive.readRecord(region, kDungeonSlot);
    load.dungeons = loadDungeonNames(archive, region, french);
    load.placement =
        placeDungeons(load.locations.names, load.dungeons, [](std::string_view name) { return std::string(name); });
    return load;
}

}  // namespace wright::arcwright::fuzzing
