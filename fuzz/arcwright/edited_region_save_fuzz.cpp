// The saves of an edited region, as the window makes them: the names list is
// replaced by the edited lines, copied into the location list and into the
// dungeon list's lines that hold a dungeon, then MAPNAMES, MAPPITEM and
// MAPDITEM are saved. Input: the region (one byte), the options (one byte:
// bit 0 the French letters), the length of the edited text (two bytes), the
// edited text (lines split at LF; any other byte may stand in a line), then
// the region's records as region_input.h reads them.
//
// Properties, for a region loaded whole: a refused save writes nothing; a
// save writes only inside its record; after it each name field holds its
// line's first 32 bytes (with the French letters on, each accented letter as
// its game code) padded with zeros, the e-th dungeon takes the e-th non-empty
// dungeon line, and no byte outside the name fields changes.

#include "arcwright/region_records.h"
#include "fuzz/arcwright/edited_save.h"
#include "fuzz/arcwright/region_input.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>

using namespace wright::arcwright;
using wright::FrenchLetters;
using namespace wright::arcwright::fuzzing;

namespace {

// Saves one record with its plan and compares the whole record with the one
// before, each of `fields` (position in the record, line) written over it in
// order.
void saveEdited(MapsArchive& archive, SparseFile& file, int region, int slot, const SavePlan& plan,
                const std::vector<std::pair<std::int64_t, const std::string*>>& fields, FrenchLetters french) {
    const DirectoryEntry& e = archive.entry(region, slot);
    FUZZ_CHECK(e.size >= 0);
    const std::string before = file.get(e.offset, static_cast<std::size_t>(e.size));
    archive.file().setWriteHook([&](std::int64_t position, std::size_t size) {
        FUZZ_CHECK(!plan.refusal);
        FUZZ_CHECK(position >= e.offset);
        FUZZ_CHECK(position + static_cast<std::int64_t>(size) <= e.offset + e.size);
    });
    if (plan.refusal) FUZZ_CHECK(plan.patches.empty());
    writePatches(archive.file(), plan.patches);
    archive.file().setWriteHook({});
    std::string expected = before;
    if (!plan.refusal)
        for (const auto& [position, line] : fields)
            expected.replace(static_cast<std::size_t>(position), kNameFieldSize, expectedField(*line, kNameFieldSize, french));
    FUZZ_CHECK(file.get(e.offset, static_cast<std::size_t>(e.size)) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const int region = input.byte() % kRegionCount;
    const FrenchLetters french = (input.byte() & 1) ? FrenchLetters::Replace : FrenchLetters::Keep;
    const std::size_t editedLength = input.byte() | (std::size_t{input.byte()} << 8);
    const std::vector<std::string> lines = splitLines(input.take(editedLength));
    SparseFile file(scratchPath("MAPS.BSA"), kMapsMinimumSize);
    if (!writeRegionArchive(input, region, file)) return 0;

    std::optional<MapsArchive> archive;
    try {
        archive.emplace(file.path());
    } catch (const ArchiveRejected&) {
        return 0;
    }
    const RegionLoad load = loadRegion(*archive, region, french);
    if (!load.whole()) return 0;
    const auto& [namesRecord, locationRecord, dungeonRecord, names, locations, dungeons, placement] = load;

    // The copy into the record lists: the location list becomes the lines, a
    // dungeon line takes the line beside it.
    std::vector<std::string> dungeonLines = placement.lines;
    for (std::size_t i = 0; i < std::min(lines.size(), dungeonLines.size()); ++i)
        if (!dungeonLines[i].empty()) dungeonLines[i] = lines[i];

    const auto fieldsOf = [](const NameLayout& layout, const std::vector<const std::string*>& byEntry) {
        std::vector<std::pair<std::int64_t, const std::string*>> fields;
        for (std::size_t k = 0; k < layout.positions.size() && k < byEntry.size(); ++k)
            fields.emplace_back(*layout.positions[k], byEntry[k]);
        return fields;
    };
    std::vector<const std::string*> lineOf, dungeonLineOf;
    for (const std::string& line : lines) lineOf.push_back(&line);
    for (const std::string& line : dungeonLines)
        if (!line.empty()) dungeonLineOf.push_back(&line);

    saveEdited(*archive, file, region, kNamesSlot, planMapNamesSave(*archive, region, names.count, lines, french),
               fieldsOf(mapNamesLayout(namesRecord), lineOf), french);
    saveEdited(*archive, file, region, kLocationSlot,
               planLocationSave(*archive, region, names.count, lines, french),
               fieldsOf(locationLayout(locationRecord, names.count), lineOf), french);
    saveEdited(*archive, file, region, kDungeonSlot, planDungeonSave(*archive, region, dungeonLines, french),
               fieldsOf(dungeonLayout(dungeonRecord), dungeonLineOf), french);
    return 0;
}
