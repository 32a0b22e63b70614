#pragma once
// An in-place save replaces fields of an archive with bytes of the same
// length. Before the first write it keeps the bytes each field holds, in
// memory and in the archive's rollback journal: when a write fails, the fields
// already written get their old bytes back, and when the process never comes
// back (a crash, a kill, a power cut), the next opening of the archive puts
// them back from the journal. The data is synced and the journal removed
// before the save returns, so a completion line shown afterwards is true.

#include "arcwright/archive_file.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wright::arcwright {

struct FieldPatch {
    std::int64_t position = 0;
    std::string bytes;
};

// Where a failed save left the archive.
enum class SaveOutcome {
    NothingWritten,    // no field was touched
    PutBack,           // fields were written, and their previous bytes put back
    PutBackAtOpening,  // putting them back failed: the journal keeps them for the next opening
    DurabilityUnknown, // every field was written and synced, but the journal's removal may not last
};

class SaveError : public std::runtime_error {
public:
    explicit SaveError(const std::string& message, SaveOutcome outcome = SaveOutcome::NothingWritten)
        : std::runtime_error(message), outcome_(outcome) {}
    SaveOutcome outcome() const { return outcome_; }

private:
    SaveOutcome outcome_;
};

// The Log line of a failed save of `what` ("MapNames"): "<what> not saved:
// <why>.", or "<what> written, but whether the save lasts is not known:
// <why>." when every field reached the file.
std::string saveFailureLine(const std::string& what, const SaveError& error);

// One save, written in one or more steps under one journal: the steps of a
// save end old or new together. A save with no patches touches nothing.
class InPlaceSave {
public:
    // Locks the archive, reads the old bytes of every patch and writes the
    // journal. Throws SaveError (nothing written) when the file's path no
    // longer names the open file, a field cannot be read, another program is
    // saving into the file or the journal cannot be written.
    InPlaceSave(ArchiveFile& file, std::vector<FieldPatch> patches);
    // A save left neither committed nor failed (an exception from elsewhere)
    // puts the old bytes back.
    ~InPlaceSave();
    InPlaceSave(const InPlaceSave&) = delete;
    InPlaceSave& operator=(const InPlaceSave&) = delete;

    // Writes the next `count` patches in order; `between` runs after each
    // (the dungeon save lets the window process its messages there). A
    // failing write puts back every field this save has written, in this
    // step and the earlier ones, and throws SaveError.
    void write(std::size_t count, const std::function<void()>& between = {});
    std::size_t remaining() const { return patches_.size() - next_; }
    // Syncs the archive, removes the journal and syncs the folder: from then
    // on the save is done. A failing sync of the archive or removal of the
    // journal puts the old bytes back; SaveError says what happened.
    void commit();

private:
    [[noreturn]] void rollBack(std::string message);

    ArchiveFile& file_;
    std::vector<FieldPatch> patches_;
    std::vector<std::string> old_;
    std::size_t next_ = 0;  // patches begun: the failing one counts, its field may be half written
    bool journaled_ = false;
    bool done_ = false;
};

// One save in one step: writes every patch in order and commits.
void writePatches(ArchiveFile& file, const std::vector<FieldPatch>& patches,
                  const std::function<void()>& between = {});

}  // namespace wright::arcwright
