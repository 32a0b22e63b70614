#pragma once
// An import into an archive edited in place (MAPS.BSA, MONSTER.BSA): every
// entry is checked on the archive opened for reading only, so a catalogue
// that changes nothing is taken from a read-only archive too. Only when
// fields are to change is the archive opened for writing, checked again as
// it is now, and written, with the old bytes of every field kept so that a
// failing write puts them all back. A dry run makes the same checks, the
// opening for writing and the journal's folder included, and stops before
// the journal. An opening that rolled back an unfinished save says so on
// stderr.

#include "wright/catalogue.h"
#include "wright/cli.h"

#include "arcwright/archive_file.h"
#include "arcwright/in_place_save.h"

#include <cerrno>
#include <filesystem>
#include <ostream>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace wright::cli {

inline void reportRecovery(const arcwright::ArchiveFile& file, Streams io) {
    if (const auto& note = file.recoveryNote()) io.err << *note << "\n";
}

// Whether the folder of the archive at `path` lets this process create the
// rollback journal an in-place save writes beside it; Refused when not.
inline void checkJournalFolder(const std::string& path) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    const std::string folder = parent.empty() ? std::string(".") : parent;
    // With the effective ids and capabilities, those the journal's creation
    // is made with (access() would raise root's to its permitted ones).
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        throw Refused(path + ": the import could not be written: its folder does not take the save's journal: " +
                      systemReason(errno));
}

struct ArchivePlan {
    ImportTally tally;
    std::vector<Problem> problems;
    std::vector<std::string> warnings;
    std::vector<arcwright::FieldPatch> patches;
};

template <class Archive>
void importIntoArchive(const ImportRequest& request, Archive (*open)(const std::string& path, arcwright::Access),
                       ArchivePlan (*plan)(Archive& archive, const ImportRequest& request), Streams io) {
    ArchivePlan checked = [&] {
        Archive archive = open(request.target, arcwright::Access::ReadOnly);
        reportRecovery(archive.file(), io);
        return plan(archive, request);
    }();
    printWarnings(io.err, request.catalogueName, checked.warnings);
    if (!checked.problems.empty()) refuseImport(request.catalogueName, checked.problems);
    const auto report = [&](bool dryRun) {
        if (const auto line = typographyLine(request)) io.out << *line << "\n";
        io.out << tallyLine(request.target, checked.tally, dryRun, "name", "names") << "\n";
    };

    if (!checked.patches.empty()) {
        // A dry run opens the archive for writing as the import does, and
        // asks whether its folder takes the save's journal, then stops.
        Archive archive = open(request.target, arcwright::Access::ReadWrite);
        checked = plan(archive, request);
        if (!checked.problems.empty()) refuseImport(request.catalogueName, checked.problems);
        if (request.dryRun) {
            checkJournalFolder(request.target);
            report(true);
            return;
        }
        try {
            arcwright::writePatches(archive.file(), checked.patches);
        } catch (const arcwright::SaveError& error) {
            const bool written = error.outcome() == arcwright::SaveOutcome::DurabilityUnknown;
            throw Refused(request.target + (written ? ": written, but whether the save lasts is not known: "
                                                    : ": not written: ") +
                          error.what());
        }
    }
    report(request.dryRun);
}

}  // namespace wright::cli
