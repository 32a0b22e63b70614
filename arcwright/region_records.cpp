#include "arcwright/region_records.h"

#include "fileio/little_endian.h"

#include <algorithm>

namespace wright::arcwright {
namespace {

std::int32_t countAt(std::string_view record, std::int64_t at) {
    return wright::loadI32LE(reinterpret_cast<const unsigned char*>(record.data()) + at);
}

bool inside(std::string_view record, std::int64_t at, std::int64_t length) {
    return at >= 0 && at + length <= static_cast<std::int64_t>(record.size());
}

// Collects the problems of one record, listing the first few.
class Problems {
public:
    Problems(std::string label, std::vector<std::string>& out) : label_(std::move(label)), out_(out) {}
    void add(const std::string& what) {
        if (++count_ <= kProblemsListed) out_.push_back(label_ + ": " + what);
    }
    void finish() {
        if (count_ > kProblemsListed)
            out_.push_back(label_ + ": " + std::to_string(count_ - kProblemsListed) + " more problems");
    }

private:
    std::string label_;
    std::vector<std::string>& out_;
    std::size_t count_ = 0;
};

std::string range(std::int64_t from, std::int64_t length, std::string_view record) {
    return std::to_string(from) + " to " + std::to_string(from + length) + ", outside the record of " +
           std::to_string(record.size()) + " bytes";
}

// The name of the record that starts at `start` (relative to the record).
std::optional<std::int64_t> recordName(std::string_view record, std::int64_t start, const std::string& which,
                                       Problems& problems) {
    if (!inside(record, start, kCountFieldSize)) {
        problems.add(which + " starts at " + std::to_string(start) + ", outside the record of " +
                     std::to_string(record.size()) + " bytes");
        return std::nullopt;
    }
    const std::int64_t name = start + recordNameOffset(countAt(record, start));
    if (!inside(record, name, static_cast<std::int64_t>(kNameFieldSize))) {
        problems.add("the name of " + which + " lies at " + range(name, kNameFieldSize, record));
        return std::nullopt;
    }
    return name;
}

NamesLoad readNames(std::string_view record, const NameLayout& layout, FrenchLetters french) {
    NamesLoad load;
    load.count = layout.count;
    load.problems = layout.problems;
    for (const auto& position : layout.positions) {
        load.readable.push_back(position.has_value());
        load.names.push_back(position ? readNameField(record.substr(static_cast<std::size_t>(*position)), french)
                                      : std::string());
    }
    return load;
}

// The record as it is now, or the refusal when it cannot be read whole (the
// archive shrank since it was opened).
std::optional<std::string> recordForSave(MapsArchive& archive, int region, int slot, SavePlan& plan) {
    try {
        return archive.readRecord(region, slot);
    } catch (const wright::FileError& error) {
        plan.refusal = std::string("the record cannot be read: ") + error.what();
        return std::nullopt;
    }
}

// Two records whose name fields share some bytes but not their start: a save
// writes each field whole, zero padding included, so one name would wipe out
// part of the other. Records that share one name field are fine.
void reportOverlaps(const NameLayout& layout, Problems& problems, const std::string& which) {
    std::vector<std::size_t> order;
    for (std::size_t k = 0; k < layout.positions.size(); ++k)
        if (layout.positions[k]) order.push_back(k);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return *layout.positions[a] < *layout.positions[b]; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::int64_t before = *layout.positions[order[i - 1]];
        const std::int64_t at = *layout.positions[order[i]];
        if (at != before && at - before < static_cast<std::int64_t>(kNameFieldSize))
            problems.add("the name fields of " + which + "s " + std::to_string(std::min(order[i - 1], order[i])) +
                         " and " + std::to_string(std::max(order[i - 1], order[i])) + " overlap");
    }
}

std::string notSaved(const std::string& label, const NameLayout& layout) {
    return label + " has names outside its record (" + layout.problems.front() + ")";
}

// The count that opens MAPNAMES and MAPDITEM, into layout.count; false (and
// a problem) when the record is too short to hold one or it is negative.
bool readCount(NameLayout& layout, Problems& problems, std::string_view record) {
    if (!inside(record, 0, kCountFieldSize)) {
        problems.add("the record of " + std::to_string(record.size()) + " bytes holds no count");
        return false;
    }
    layout.count = countAt(record, 0);
    if (layout.count < 0) {
        problems.add("the count " + std::to_string(layout.count) + " is negative");
        return false;
    }
    return true;
}

void mapNamesLayoutInto(NameLayout& layout, Problems& problems, std::string_view record) {
    if (!readCount(layout, problems, record)) return;
    const std::int64_t fit = (static_cast<std::int64_t>(record.size()) - kCountFieldSize) / kNameFieldSize;
    if (layout.count > fit)
        problems.add(std::to_string(layout.count) + " names do not fit the record of " + std::to_string(record.size()) +
                     " bytes; " + std::to_string(fit) + " do");
    const std::int64_t listed = std::min<std::int64_t>(layout.count, fit);
    for (std::int64_t i = 0; i < listed; ++i)
        layout.positions.push_back(kCountFieldSize + i * static_cast<std::int64_t>(kNameFieldSize));
}

void locationLayoutInto(NameLayout& layout, Problems& problems, std::string_view record, std::int32_t mapNamesCount) {
    layout.count = mapNamesCount;
    if (mapNamesCount < 0) {
        problems.add("the names count " + std::to_string(mapNamesCount) + " gives no location table");
        return;
    }
    const std::int64_t tableEnd = kLocationTableEntrySize * mapNamesCount;
    if (!inside(record, 0, tableEnd))
        problems.add("the table of " + std::to_string(mapNamesCount) + " locations does not fit the record of " +
                     std::to_string(record.size()) + " bytes");
    for (std::int64_t k = 0; k < mapNamesCount && inside(record, k * kLocationTableEntrySize, kLocationTableEntrySize);
         ++k) {
        const std::int64_t start = tableEnd + countAt(record, k * kLocationTableEntrySize);
        layout.positions.push_back(recordName(record, start, "location record " + std::to_string(k), problems));
    }
    reportOverlaps(layout, problems, "location record");
}

void dungeonLayoutInto(NameLayout& layout, Problems& problems, std::string_view record) {
    if (!readCount(layout, problems, record)) return;
    const std::int64_t tableEnd = kCountFieldSize + kDungeonTableEntrySize * layout.count;
    if (!inside(record, 0, tableEnd))
        problems.add("the table of " + std::to_string(layout.count) + " dungeons does not fit the record of " +
                     std::to_string(record.size()) + " bytes");
    for (std::int64_t k = 0;
         k < layout.count && inside(record, kCountFieldSize + k * kDungeonTableEntrySize, kDungeonTableEntrySize); ++k) {
        const std::int64_t start = tableEnd + countAt(record, kCountFieldSize + k * kDungeonTableEntrySize);
        layout.positions.push_back(recordName(record, start, "dungeon record " + std::to_string(k), problems));
    }
    reportOverlaps(layout, problems, "dungeon record");
}

template <typename Fill>
NameLayout layoutOf(const char* label, Fill fill) {
    NameLayout layout;
    Problems problems(label, layout.problems);
    fill(layout, problems);
    problems.finish();
    return layout;
}

}  // namespace

NameLayout mapNamesLayout(std::string_view record) {
    return layoutOf("MAPNAMES", [&](NameLayout& l, Problems& p) { mapNamesLayoutInto(l, p, record); });
}

NameLayout locationLayout(std::string_view record, std::int32_t mapNamesCount) {
    return layoutOf("MAPPITEM", [&](NameLayout& l, Problems& p) { locationLayoutInto(l, p, record, mapNamesCount); });
}

NameLayout dungeonLayout(std::string_view record) {
    return layoutOf("MAPDITEM", [&](NameLayout& l, Problems& p) { dungeonLayoutInto(l, p, record); });
}

NamesLoad loadMapNames(MapsArchive& archive, int region, FrenchLetters french) {
    const std::string record = archive.readRecord(region, kNamesSlot);
    return readNames(record, mapNamesLayout(record), french);
}

NamesLoad loadLocationNames(MapsArchive& archive, int region, std::int32_t mapNamesCount, FrenchLetters french) {
    const std::string record = archive.readRecord(region, kLocationSlot);
    return readNames(record, locationLayout(record, mapNamesCount), french);
}

NamesLoad loadDungeonNames(MapsArchive& archive, int region, FrenchLetters french) {
    const std::string record = archive.readRecord(region, kDungeonSlot);
    return readNames(record, dungeonLayout(record), french);
}

DungeonPlacement placeDungeons(const std::vector<std::string>& locationNames, const NamesLoad& dungeons,
                               const NameView& view) {
    DungeonPlacement placement;
    placement.lines.assign(locationNames.size(), std::string());
    std::optional<std::size_t> previousLine;
    for (std::size_t d = 0; d < dungeons.names.size(); ++d) {
        if (!dungeons.readable[d]) continue;  // reported with the load's problems
        std::size_t j = 0;
        while (j < locationNames.size() && locationNames[j] != dungeons.names[d]) ++j;
        if (j == locationNames.size()) {
            placement.unmatched = d;
            return placement;
        }
        // The save gives the e-th dungeon the e-th non-empty line: that holds
        // only while each dungeon's location comes after the one before it.
        // (Two on one line, or one without a name, leave fewer lines than
        // dungeons, which the save refuses by itself.)
        if (!placement.problem && previousLine && j < *previousLine)
            placement.problem = "MAPDITEM: dungeon record " + std::to_string(d) + " (" + view(dungeons.names[d]) +
                                ") belongs to location " + std::to_string(j) + ", before the location of the dungeon before it";
        previousLine = j;
        placement.lines[j] = dungeons.names[d];
    }
    return placement;
}

SavePlan planMapNamesSave(MapsArchive& archive, int region, std::int32_t mapNamesCount,
                          const std::vector<std::string>& lines, FrenchLetters french) {
    SavePlan plan;
    const auto record = recordForSave(archive, region, kNamesSlot, plan);
    if (!record) return plan;
    const NameLayout layout = mapNamesLayout(*record);
    if (!layout.sound()) {
        plan.refusal = notSaved("MAPNAMES", layout);
        return plan;
    }
    // More lines would run into the next record; fewer would shorten the
    // location table that the next load reads with this count.
    if (static_cast<std::int64_t>(lines.size()) != mapNamesCount || layout.count != mapNamesCount) {
        plan.refusal = "the list has " + std::to_string(lines.size()) + " lines and the record holds " +
                       std::to_string(layout.count) + " names";
        return plan;
    }
    const std::int64_t at = archive.entry(region, kNamesSlot).offset;
    std::string count(4, '\0');
    wright::storeI32LE(reinterpret_cast<unsigned char*>(count.data()), mapNamesCount);
    plan.patches.push_back({at, count});
    for (std::size_t i = 0; i < lines.size(); ++i)
        plan.patches.push_back({at + *layout.positions[i], makeNameField(lines[i], french)});
    return plan;
}

SavePlan planLocationSave(MapsArchive& archive, int region, std::int32_t mapNamesCount,
                          const std::vector<std::string>& lines, FrenchLetters french) {
    SavePlan plan;
    const auto record = recordForSave(archive, region, kLocationSlot, plan);
    if (!record) return plan;
    const NameLayout layout = locationLayout(*record, mapNamesCount);
    if (!layout.sound()) {
        plan.refusal = notSaved("MAPPITEM", layout);
        return plan;
    }
    if (static_cast<std::int64_t>(lines.size()) < mapNamesCount) {
        plan.refusal = "the location list has " + std::to_string(lines.size()) + " lines for " +
                       std::to_string(mapNamesCount) + " location records";
        return plan;
    }
    const std::int64_t at = archive.entry(region, kLocationSlot).offset;
    for (std::size_t k = 0; k < layout.positions.size(); ++k)
        plan.patches.push_back({at + *layout.positions[k], makeNameField(lines[k], french)});
    return plan;
}

SavePlan planDungeonSave(MapsArchive& archive, int region, const std::vector<std::string>& lines,
                         FrenchLetters french) {
    SavePlan plan;
    const auto record = recordForSave(archive, region, kDungeonSlot, plan);
    if (!record) return plan;
    const NameLayout layout = dungeonLayout(*record);
    if (!layout.sound()) {
        plan.refusal = notSaved("MAPDITEM", layout);
        return plan;
    }
    // The table lists the dungeons in the order of the locations they belong
    // to, so the e-th dungeon takes the e-th non-empty line.
    std::vector<const std::string*> dungeonLines;
    for (const std::string& line : lines)
        if (!line.empty()) dungeonLines.push_back(&line);
    if (static_cast<std::int64_t>(dungeonLines.size()) < layout.count) {
        plan.refusal = "the dungeon list has " + std::to_string(dungeonLines.size()) + " names for " +
                       std::to_string(layout.count) + " dungeon records";
        return plan;
    }
    const std::int64_t at = archive.entry(region, kDungeonSlot).offset;
    for (std::size_t e = 0; e < layout.positions.size(); ++e)
        plan.patches.push_back({at + *layout.positions[e], makeNameField(*dungeonLines[e], french)});
    return plan;
}

}  // namespace wright::arcwright
