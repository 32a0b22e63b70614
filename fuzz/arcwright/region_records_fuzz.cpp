// A region's three load phases (names, location records, dungeon records)
// over an arbitrary archive, then the saves of the unedited region as the
// window makes them. Input: the region (one byte), the options (one byte:
// bit 0 the French letters), the size of a record put before the region
// (slot 2 of region 0, for regions after it), the sizes of the region's four
// records, then the region's record bytes, back to back from its first
// record; every other record is empty.
//
// Properties: every name position a load accepts lies inside its record;
// a save plan writes only inside its record and a refused one writes
// nothing; a save of the unedited region leaves every name as it was (the
// bytes up to the first zero, or the whole field; with the French letters on,
// the name as shown), zeros the rest of each name field and changes nothing
// outside the name fields.

#include "arcwright/region_records.h"
#include "fuzz/arcwright/region_input.h"
#include "fuzz/arcwright/unedited_save.h"
#include "fuzz/fuzz_check.h"

using namespace wright::arcwright;
using wright::FrenchLetters;
using namespace wright::arcwright::fuzzing;

namespace {

// Records up to this size are compared whole after a save.
constexpr std::int64_t kComparedRecordSize = 1 << 20;

void checkLoad(const NamesLoad& load, const NameLayout& layout, std::string_view record) {
    FUZZ_CHECK(load.names.size() == layout.positions.size());
    FUZZ_CHECK(load.readable.size() == load.names.size());
    for (std::size_t i = 0; i < layout.positions.size(); ++i) {
        const auto& position = layout.positions[i];
        FUZZ_CHECK(load.readable[i] == position.has_value());
        FUZZ_CHECK(load.names[i].size() <= kNameFieldSize);
        if (!position) continue;
        FUZZ_CHECK(*position >= 0);
        FUZZ_CHECK(*position + static_cast<std::int64_t>(kNameFieldSize) <= static_cast<std::int64_t>(record.size()));
    }
}

// Saves one unedited record and checks what changed: only the name fields of
// `layout`, each keeping its name.
void saveUnchanged(MapsArchive& archive, SparseFile& file, int region, int slot, const SavePlan& plan,
                   const NameLayout& layout, FrenchLetters french) {
    const DirectoryEntry& e = archive.entry(region, slot);
    if (plan.refusal) {
        FUZZ_CHECK(plan.patches.empty());
        return;
    }
    for (const FieldPatch& patch : plan.patches) {
        FUZZ_CHECK(patch.position >= e.offset);
        FUZZ_CHECK(patch.position + static_cast<std::int64_t>(patch.bytes.size()) <= e.offset + e.size);
    }
    const bool compared = e.size <= kComparedRecordSize;
    const std::string before = compared ? file.get(e.offset, static_cast<std::size_t>(e.size)) : std::string();
    archive.file().setWriteHook([&](std::int64_t position, std::size_t size) {
        FUZZ_CHECK(position >= e.offset);
        FUZZ_CHECK(position + static_cast<std::int64_t>(size) <= e.offset + e.size);
    });
    writePatches(archive.file(), plan.patches);
    archive.file().setWriteHook({});
    if (!compared) return;
    const std::string after = file.get(e.offset, static_cast<std::size_t>(e.size));
    FUZZ_CHECK(after.size() == before.size());
    std::vector<bool> inName(before.size(), false);
    for (const auto& position : layout.positions) {
        FUZZ_CHECK(position.has_value());
        const auto at = static_cast<std::size_t>(*position);
        checkNameKept(std::string_view(before).substr(at, kNameFieldSize),
                      std::string_view(after).substr(at, kNameFieldSize), french);
        std::fill_n(inName.begin() + static_cast<std::ptrdiff_t>(at), kNameFieldSize, true);
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!inName[i]) FUZZ_CHECK(after[i] == before[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const int region = input.byte() % kRegionCount;
    const FrenchLetters french = (input.byte() & 1) ? FrenchLetters::Replace : FrenchLetters::Keep;
    SparseFile file(scratchPath("MAPS.BSA"), kMapsMinimumSize);
    if (!writeRegionArchive(input, region, file)) return 0;

    std::optional<MapsArchive> archive;
    try {
        archive.emplace(file.path());
    } catch (const ArchiveRejected&) {
        return 0;
    }

    const RegionLoad load = loadRegion(*archive, region, french);
    const auto& [namesRecord, locationRecord, dungeonRecord, names, locations, dungeons, placement] = load;
    checkLoad(names, mapNamesLayout(namesRecord), namesRecord);
    checkLoad(locations, locationLayout(locationRecord, names.count), locationRecord);
    checkLoad(dungeons, dungeonLayout(dungeonRecord), dungeonRecord);
    FUZZ_CHECK(placement.lines.size() == locations.names.size());
    if (!load.whole()) return 0;

    saveUnchanged(*archive, file, region, kNamesSlot,
                  planMapNamesSave(*archive, region, names.count, names.names, french), mapNamesLayout(namesRecord),
                  french);
    saveUnchanged(*archive, file, region, kLocationSlot,
                  planLocationSave(*archive, region, names.count, locations.names, french),
                  locationLayout(locationRecord, names.count), french);
    saveUnchanged(*archive, file, region, kDungeonSlot, planDungeonSave(*archive, region, placement.lines, french),
                  dungeonLayout(dungeonRecord), french);
    return 0;
}
