// wright monsters export|import: the 43 monster names of MONSTER.BSA, each a
// 24-byte field at a fixed position.

#include "wright/archive_import.h"
#include "wright/catalogue.h"
#include "wright/cli.h"

#include "arcwright/maps_archive.h"
#include "arcwright/monster_names.h"
#include "fileio/binary_file.h"

#include <ostream>

namespace wright::cli {
namespace {

const char* const kMonstersHelp =
    "Usage: wright monsters export MONSTER.BSA -o FILE.pot [--source-letters L]\n"
    "       wright monsters import MONSTER.BSA FILE.po [--letters L] [--source-letters L]\n"
    "                              [--typography ascii] [--dry-run]\n"
    "The 43 monster names of the monster archive, each in a field of 24 bytes.\n\n"
    "import checks every entry first; when one does not fit, all problems are\n"
    "listed and nothing is written.\n\n";

std::string monsterContext(std::size_t index) {
    return "monster " + std::to_string(index);
}

// Whether the file holds a whole valid map archive directory. Read as plain
// bytes, not opened as an archive: that opening would put back an unfinished
// save before the monster archive's own opening could report it.
bool isMapArchive(const std::string& path) {
    try {
        BinaryFile file(path, "rb");
        if (file.size() < arcwright::kMapsMinimumSize) return false;
        std::string directory(arcwright::kDirectorySize, '\0');
        file.seek(arcwright::kMapsDirectoryOffset);
        file.readExact(directory.data(), directory.size());
        return !arcwright::directoryProblem(arcwright::parseDirectory(directory));
    } catch (const FileError&) {
        return false;  // the monster archive's own opening says why
    }
}

arcwright::MonsterArchive openArchive(const std::string& path, arcwright::Access access) {
    refuseFolder(path);
    try {
        // A map archive is long enough to hold monster name fields: its
        // bytes there are parts of location records, never names.
        if (isMapArchive(path))
            throw Refused(path + ": not a monster archive: it is a map archive (MAPS.BSA), with the directory of " +
                          std::to_string(arcwright::kRegionCount) +
                          " regions' records; the monster names are in MONSTER.BSA");
        return arcwright::MonsterArchive(path, access);
    } catch (const arcwright::ArchiveRejected& why) {
        throw Refused(path + ": not a monster archive: " + why.what());
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
}

std::vector<std::string> readNames(arcwright::MonsterArchive& archive) {
    try {
        return archive.readNames(FrenchLetters::Keep);
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
}

void exportMonsters(const Options& options, Streams io) {
    expectArguments(options, 1, "MONSTER.BSA");
    const std::string& path = options.arguments[0];
    const std::string output = outputOption(options);
    const Letters letters = sourceLettersOption(options);

    arcwright::MonsterArchive archive = openArchive(path, arcwright::Access::ReadOnly);
    reportRecovery(archive.file(), io);
    const std::vector<std::string> names = readNames(archive);
    std::vector<po::Entry> entries;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        po::Entry entry;
        entry.context = monsterContext(i);
        entry.source = showName(names[i], letters);
        entry.extractedComment = "A field of " + std::to_string(arcwright::kMonsterNameSize) + " bytes: at most " +
                                 std::to_string(arcwright::kMonsterNameSize) + " characters.";
        entry.flags = {"max-length:" + std::to_string(arcwright::kMonsterNameSize)};
        entry.reference = po::Reference{"MONSTER.BSA", i};
        entries.push_back(std::move(entry));
    }
    writeOutput(io, output, po::templateText("MONSTER.BSA monster names", entries));
    reportStream(io, output) << output << ": " << counted(entries.size(), "monster name", "monster names")
                             << " of " << path << ".\n";
}

ArchivePlan planImport(arcwright::MonsterArchive& archive, const ImportRequest& request) {
    const Letters letters = request.letters;
    const std::vector<std::string> stored = readNames(archive);
    std::vector<std::string> lines = stored;

    EntryIndex index(request.entries);
    ArchivePlan plan;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::string context = monsterContext(i);
        const po::Entry* entry = index.claim(context);
        if (!entry) continue;
        if (!isTranslated(*entry)) {
            ++plan.tally.untranslated;
            continue;
        }
        // A translation that is the field as it stands keeps the field's bytes.
        const Encoded typed = entry->translation == showName(stored[i], letters)
                                  ? Encoded{stored[i], std::nullopt}
                                  : storedName(entry->translation, letters, arcwright::kMonsterNameSize);
        if (!typed.ok()) {
            plan.problems.push_back({context, *typed.problem});
        } else if (typed.bytes == stored[i]) {
            ++plan.tally.unchanged;
        } else if (entry->source != showName(stored[i], request.sourceLetters)) {
            plan.problems.push_back({context, staleSource(showName(stored[i], request.sourceLetters))});
        } else {
            lines[i] = typed.bytes;
            ++plan.tally.written;
        }
    }
    index.reportLeftovers(request.target, kMonstersCatalogue, plan.problems, plan.warnings);
    if (plan.tally.written == 0) return plan;
    try {
        // Only the fields that change are written.
        std::vector<arcwright::FieldPatch> patches = archive.savePatches(lines, FrenchLetters::Keep);
        for (std::size_t i = 0; i < patches.size(); ++i)
            if (lines[i] != stored[i]) plan.patches.push_back(std::move(patches[i]));
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
    return plan;
}

void importMonsters(const Options& options, Streams io) {
    importIntoArchive<arcwright::MonsterArchive>(importRequest(options, "MONSTER.BSA", kMonstersCatalogue),
                                                 openArchive, planImport, io);
}

}  // namespace

void monstersCommand(const std::vector<std::string>& args, Streams io) {
    runTextCommand(args, io, {kMonstersHelp, exportMonsters, importMonsters});
}

}  // namespace wright::cli
