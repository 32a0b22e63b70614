#pragma once
// An import into an archive edited in place (MAPS.BSA, MONSTER.BSA): every
// entry is checked on the archive opened for reading only, so a catalogue
// that changes nothing is taken from a read-only archive too. Only when
// fields are to change is the archive opened for writing, checked again as
// it is now, and written, with the old bytes of every field kept so that a
// failing write puts them all back. An opening that rolled back an
// unfinished save says so on stderr.

#include "wright/catalogue.h"
#include "wright/cli.h"

#include "arcwright/archive_file.h"
#include "arcwright/in_place_save.h"

#include <ostream>
#include <vector>

namespace wright::cli {

inline void reportRecovery(const arcwright::ArchiveFile& file, Streams io) {
    if (const auto& note = file.recoveryNote()) io.err << *note << "\n";
}

struct ArchivePlan {
    ImportTally tally;
    std::vector<Problem> problems;
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
    if (!checked.problems.empty()) refuseImport(request.catalogueName, checked.problems);

    if (!request.dryRun && !checked.patches.empty()) {
        Archive archive = open(request.target, arcwright::Access::ReadWrite);
        checked = plan(archive, request);
        if (!checked.problems.empty()) refuseImport(request.catalogueName, checked.problems);
        try {
            arcwright::writePatches(archive.file(), checked.patches);
        } catch (const arcwright::SaveError& error) {
            const bool written = error.outcome() == arcwright::SaveOutcome::DurabilityUnknown;
            throw Refused(request.target + (written ? ": written, but whether the save lasts is not known: "
                                                    : ": not written: ") +
                          error.what());
        }
    }
    if (const auto line = typographyLine(request)) io.out << *line << "\n";
    io.out << tallyLine(request.target, checked.tally, request.dryRun, "names") << "\n";
}

}  // namespace wright::cli
