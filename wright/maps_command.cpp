// wright maps export|import: the location names of MAPS.BSA. A location's
// name lives in three places: the region's MAPNAMES list, its location record
// (MAPPITEM) and, when it has one, its dungeon record (MAPDITEM). The
// catalogue carries the MAPNAMES name; an import writes the translation into
// all three, as the editor's copy and saves do.

#include "wright/archive_import.h"
#include "wright/catalogue.h"
#include "wright/cli.h"

#include "arcwright/in_place_save.h"
#include "arcwright/maps_archive.h"
#include "arcwright/region_names.h"
#include "arcwright/region_records.h"
#include "fileio/binary_file.h"

#include <ostream>

namespace wright::cli {
namespace {

// The longest name a translator may type: the field's last byte stays the
// terminating zero.
constexpr std::size_t kLongestMapName = arcwright::kNameFieldSize - 1;

const char* const kMapsHelp =
    "Usage: wright maps export MAPS.BSA -o FILE.pot [--source-letters L]\n"
    "       wright maps import MAPS.BSA FILE.po [--letters L] [--source-letters L]\n"
    "                          [--typography ascii] [--dry-run]\n"
    "The location names of every region of the map archive.\n\n"
    "export writes a PO template with one entry per named location; its context\n"
    "names the region and the location's index, its comment the byte limit and\n"
    "whether the location has a dungeon.\n"
    "import writes every translated entry into the region's names list, the\n"
    "location record and the dungeon record. Every entry is checked first; when\n"
    "one does not fit, all problems are listed and nothing is written.\n\n";

std::string locationContext(int region, std::size_t index) {
    return "region " + std::to_string(region) + " (" + arcwright::regionName(region) + "), location " +
           std::to_string(index);
}

// One region's names as stored (no letter view).
struct RegionNames {
    arcwright::NamesLoad names;
    arcwright::NamesLoad locations;
    arcwright::DungeonPlacement dungeons;
    std::vector<std::string> damage;  // empty when every name was read from inside its record
};

// The region as the editor loads it; what is damaged is said in UTF-8, a
// name in the translator's letters.
RegionNames loadRegion(arcwright::MapsArchive& archive, int region, Letters letters) {
    const auto view = [letters](std::string_view name) { return showName(name, letters); };
    RegionNames r;
    r.names = arcwright::loadMapNames(archive, region, FrenchLetters::Keep);
    r.locations = arcwright::loadLocationNames(archive, region, r.names.count, FrenchLetters::Keep);
    const arcwright::NamesLoad dungeons = arcwright::loadDungeonNames(archive, region, FrenchLetters::Keep);
    r.dungeons = arcwright::placeDungeons(r.locations.names, dungeons, view);
    for (const std::vector<std::string>& list : {r.names.problems, r.locations.problems, dungeons.problems})
        r.damage.insert(r.damage.end(), list.begin(), list.end());
    if (r.dungeons.problem) r.damage.push_back(*r.dungeons.problem);
    if (r.dungeons.unmatched)
        r.damage.push_back("the dungeon \"" + view(dungeons.names[*r.dungeons.unmatched]) +
                           "\" has no location of its name");
    return r;
}

arcwright::MapsArchive openArchive(const std::string& path, arcwright::Access access) {
    refuseFolder(path);
    try {
        return arcwright::MapsArchive(path, access);
    } catch (const arcwright::ArchiveRejected& why) {
        throw Refused(path + ": not a map archive: " + why.what());
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
}

void exportMaps(const Options& options, Streams io) {
    expectArguments(options, 1, "MAPS.BSA");
    const std::string& path = options.arguments[0];
    const std::string output = outputOption(options);
    const Letters letters = sourceLettersOption(options);

    arcwright::MapsArchive archive = openArchive(path, arcwright::Access::ReadOnly);
    reportRecovery(archive.file(), io);
    std::vector<po::Entry> entries;
    std::vector<Problem> damage;
    try {
        for (int region = 0; region < arcwright::kRegionCount; ++region) {
            const RegionNames r = loadRegion(archive, region, letters);
            for (const std::string& problem : r.damage)
                damage.push_back({"region " + std::to_string(region), "damaged record: " + problem});
            if (!r.damage.empty()) continue;
            for (std::size_t k = 0; k < r.names.names.size(); ++k) {
                const std::string& name = r.names.names[k];
                if (name.empty()) continue;
                po::Entry entry;
                entry.context = locationContext(region, k);
                entry.source = showName(name, letters);
                entry.extractedComment = std::string(r.dungeons.lines[k].empty() ? "No dungeon" : "Has a dungeon") +
                                         "; a field of " + std::to_string(arcwright::kNameFieldSize) +
                                         " bytes: at most " + std::to_string(kLongestMapName) + " characters.";
                entry.flags = {"max-length:" + std::to_string(kLongestMapName)};
                entry.reference = po::Reference{"MAPS.BSA/region-" + std::to_string(region), k};
                if (r.locations.names[k] != name)
                    entry.extractedComment +=
                        "\nThe location record now names it \"" + showName(r.locations.names[k], letters) + "\".";
                entries.push_back(std::move(entry));
            }
        }
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
    if (!damage.empty()) {
        std::string message = path + ": damaged, no template written:";
        for (const Problem& p : damage) message += "\n  " + p.context + ": " + p.reason;
        throw Refused(message);
    }
    writeOutput(io, output, po::templateText("MAPS.BSA location names", entries));
    reportStream(io, output) << output << ": " << counted(entries.size(), "location name", "location names")
                             << " of " << path << ".\n";
}

// The writes of one region, with the stored lines the editor's saves take.
struct RegionEdit {
    int region = 0;
    std::int32_t count = 0;
    std::vector<std::string> names, locations, dungeons;
    bool changed = false;
};

ArchivePlan planImport(arcwright::MapsArchive& archive, const ImportRequest& request) {
    const std::string& path = request.target;
    const Letters letters = request.letters;
    const Letters source = request.sourceLetters;
    EntryIndex index(request.entries);
    ArchivePlan result;
    std::vector<Problem>& problems = result.problems;
    ImportTally& tally = result.tally;
    std::vector<arcwright::FieldPatch>& patches = result.patches;
    std::vector<RegionEdit> edits;

    try {
        for (int region = 0; region < arcwright::kRegionCount; ++region) {
            const RegionNames r = loadRegion(archive, region, source);
            RegionEdit edit{region, r.names.count, r.names.names, r.locations.names, r.dungeons.lines, false};
            for (std::size_t k = 0; k < r.names.names.size(); ++k) {
                const std::string context = locationContext(region, k);
                const po::Entry* entry = index.claim(context);
                if (!entry) continue;
                if (!isTranslated(*entry)) {
                    ++tally.untranslated;
                    continue;
                }
                if (!r.damage.empty()) {
                    problems.push_back({context, "the region's records are damaged (" + r.damage.front() +
                                                     "); its names cannot be written"});
                    continue;
                }
                const std::string& stored = r.names.names[k];
                // A translation that is the name as it stands keeps the name's bytes.
                const Encoded typed = entry->translation == showName(stored, letters)
                                          ? Encoded{stored, std::nullopt}
                                          : storedName(entry->translation, letters, kLongestMapName);
                if (!typed.ok()) {
                    problems.push_back({context, *typed.problem});
                    continue;
                }
                const bool alreadyThere = typed.bytes == stored && r.locations.names[k] == stored &&
                                          (r.dungeons.lines[k].empty() || r.dungeons.lines[k] == stored);
                if (entry->source != showName(stored, source) && !alreadyThere) {
                    problems.push_back({context, staleSource(showName(stored, source))});
                    continue;
                }
                if (alreadyThere) {
                    ++tally.unchanged;
                    continue;
                }
                edit.names[k] = typed.bytes;
                edit.locations[k] = typed.bytes;
                if (!edit.dungeons[k].empty()) edit.dungeons[k] = typed.bytes;
                edit.changed = true;
                ++tally.written;
            }
            if (edit.changed) edits.push_back(std::move(edit));
        }
        index.reportLeftovers(path, kMapsCatalogue, problems, result.warnings);
        // The writes of every changed region, all planned before the first.
        for (const RegionEdit& edit : edits) {
            const arcwright::SavePlan plans[] = {
                arcwright::planMapNamesSave(archive, edit.region, edit.count, edit.names, FrenchLetters::Keep),
                arcwright::planLocationSave(archive, edit.region, edit.count, edit.locations, FrenchLetters::Keep),
                arcwright::planDungeonSave(archive, edit.region, edit.dungeons, FrenchLetters::Keep),
            };
            for (const arcwright::SavePlan& plan : plans) {
                if (plan.refusal)
                    problems.push_back({"region " + std::to_string(edit.region), *plan.refusal});
                else
                    patches.insert(patches.end(), plan.patches.begin(), plan.patches.end());
            }
        }
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
    return result;
}

void importMaps(const Options& options, Streams io) {
    importIntoArchive<arcwright::MapsArchive>(importRequest(options, "MAPS.BSA", kMapsCatalogue), openArchive,
                                              planImport, io);
}

}  // namespace

void mapsCommand(const std::vector<std::string>& args, Streams io) {
    runTextCommand(args, io, {kMapsHelp, exportMaps, importMaps});
}

}  // namespace wright::cli
