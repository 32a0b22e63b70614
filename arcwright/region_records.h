#pragma once
// The three records of a region that carry names:
//   MAPNAMES (slot 3): a count N, then N name fields;
//   MAPPITEM (slot 0): a table of N positions and the location records; it
//     carries no count of its own, its length is the names record's count;
//   MAPDITEM (slot 1): a count D, a table of D pairs (position, unread) and
//     the dungeon records.
// Table positions count from the end of the table. A location or dungeon
// record starts with a count n of 6-byte items; its name field follows 71
// bytes after the items (FindRecordName). Only name fields are ever read from
// or written into the records; everything else is stepped over.
//
// Every position is checked against the record it belongs to before a name is
// read or written; what lies outside is reported, never touched. So are two
// name fields that partly overlap: a save writes every field whole, zero
// padding included, and one would wipe out part of the other.

#include "arcwright/in_place_save.h"
#include "arcwright/maps_archive.h"
#include "arcwright/name_field.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wright::arcwright {

inline constexpr std::int64_t kCountFieldSize = 4;
inline constexpr std::int64_t kLocationTableEntrySize = 4;
inline constexpr std::int64_t kDungeonTableEntrySize = 8;  // position, then 4 bytes never read
inline constexpr std::int64_t kRecordItemSize = 6;
inline constexpr std::int64_t kRecordNameAfterItems = 71;
// Problems listed one by one for a record; the rest are counted in one line.
inline constexpr std::size_t kProblemsListed = 10;

// Where the name of a location or dungeon record lies, relative to the
// record's start, given its item count n: 4 + 6·n + 71.
constexpr std::int64_t recordNameOffset(std::int32_t itemCount) {
    return kCountFieldSize + kRecordItemSize * itemCount + kRecordNameAfterItems;
}

// Where the names of one record lie. A position is relative to the record's
// start; nullopt marks an entry whose name lies (partly) outside the record.
struct NameLayout {
    std::int32_t count = 0;  // N or D as the record (or the names record) says
    std::vector<std::optional<std::int64_t>> positions;
    std::vector<std::string> problems;

    bool sound() const { return problems.empty(); }
};

NameLayout mapNamesLayout(std::string_view record);
NameLayout locationLayout(std::string_view record, std::int32_t mapNamesCount);
NameLayout dungeonLayout(std::string_view record);

// One load phase: the names in list order, and what was wrong.
struct NamesLoad {
    std::int32_t count = 0;
    std::vector<std::string> names;  // an entry outside its record lists as ""
    std::vector<std::string> problems;
    std::vector<bool> readable;      // per name: whether it came from the record
};

NamesLoad loadMapNames(MapsArchive& archive, int region, FrenchLetters french);
NamesLoad loadLocationNames(MapsArchive& archive, int region, std::int32_t mapNamesCount, FrenchLetters french);
NamesLoad loadDungeonNames(MapsArchive& archive, int region, FrenchLetters french);

// Each dungeon goes beside the first location of the same name, compared byte
// for byte. `lines` has one entry per location, "" where no dungeon is.
struct DungeonPlacement {
    std::vector<std::string> lines;
    std::optional<std::size_t> unmatched;  // the first dungeon with no location: placing stopped there
    // Set when a dungeon belongs to a location before that of the dungeon
    // listed before it: the save, which takes the lines in order, would give
    // it another dungeon's name. UTF-8, naming the dungeon through the view.
    std::optional<std::string> problem;
};
DungeonPlacement placeDungeons(const std::vector<std::string>& locationNames, const NamesLoad& dungeons,
                               const NameView& view);

// The writes of one save, all checked before any is made; `refusal` says why
// nothing may be written (a damaged record, or one that cannot be read).
struct SavePlan {
    std::vector<FieldPatch> patches;
    std::optional<std::string> refusal;
};

// MAPNAMES: the count and one field per line; refused unless the lines are
// exactly the record's names.
SavePlan planMapNamesSave(MapsArchive& archive, int region, std::int32_t mapNamesCount,
                          const std::vector<std::string>& lines, FrenchLetters french);
// MAPPITEM: line k into location record k; lines beyond N are not written.
SavePlan planLocationSave(MapsArchive& archive, int region, std::int32_t mapNamesCount,
                          const std::vector<std::string>& lines, FrenchLetters french);
// MAPDITEM: the e-th non-empty line into the e-th dungeon of the table, D read
// again from the record.
SavePlan planDungeonSave(MapsArchive& archive, int region, const std::vector<std::string>& lines,
                         FrenchLetters french);

}  // namespace wright::arcwright
