#include "arcwright/in_place_save.h"

#include "arcwright/rollback_journal.h"

namespace wright::arcwright {

std::string saveFailureLine(const std::string& what, const SaveError& error) {
    if (error.outcome() == SaveOutcome::DurabilityUnknown)
        return what + " written, but whether the save lasts is not known: " + error.what() + ".";
    return what + " not saved: " + error.what() + ".";
}

InPlaceSave::InPlaceSave(ArchiveFile& file, std::vector<FieldPatch> patches)
    : file_(file), patches_(std::move(patches)) {
    if (patches_.empty()) {
        done_ = true;
        return;
    }
    bool locked = false;
    try {
        file_.checkStillAtPath();
        file_.lock();
        locked = true;
        old_.reserve(patches_.size());
        std::vector<JournalField> fields;
        fields.reserve(patches_.size());
        for (const FieldPatch& patch : patches_) {
            old_.push_back(file_.readAt(patch.position, patch.bytes.size()));
            fields.push_back({patch.position, old_.back(), patch.bytes});
        }
        writeJournal(file_, fields);
        journaled_ = true;
    } catch (const std::exception& error) {
        if (locked) file_.unlock();
        throw SaveError(std::string("nothing was written: ") + error.what());
    }
}

InPlaceSave::~InPlaceSave() {
    if (done_) return;
    try {
        rollBack("left unfinished");
    } catch (...) {
        // What could not be put back now, the journal puts back at the next opening.
    }
}

void InPlaceSave::write(std::size_t count, const std::function<void()>& between) {
    if (done_) return;
    const std::size_t end = std::min(patches_.size(), next_ + count);
    try {
        while (next_ < end) {
            const FieldPatch& patch = patches_[next_++];
            file_.writeAt(patch.position, patch.bytes);
            if (between) between();
        }
    } catch (const std::exception& error) {
        rollBack(error.what());
    }
}

void InPlaceSave::commit() {
    if (done_) return;
    try {
        file_.flush();
    } catch (const std::exception& error) {
        rollBack(std::string(error.what()) + ": every field was written, but whether the disk holds them is not known");
    }
    try {
        unlinkJournal(file_.path());
    } catch (const std::exception& error) {
        rollBack(error.what());
    }
    done_ = true;
    file_.unlock();
    try {
        syncFolder(file_.path());
    } catch (const std::exception& error) {
        throw SaveError(std::string(error.what()) + ": every field was written and synced, but the removal of " +
                            journalPath(file_.path()) +
                            " may not last; should the system stop before it does, the next opening puts the "
                            "previous bytes back",
                        SaveOutcome::DurabilityUnknown);
    }
}

void InPlaceSave::rollBack(std::string message) {
    done_ = true;
    const std::string journal = journalPath(file_.path());
    try {
        for (std::size_t i = next_; i-- > 0;) file_.writeAt(patches_[i].position, old_[i]);
        file_.flush();
    } catch (const std::exception& error) {
        file_.unlock();
        throw SaveError(message + "; putting the previous bytes back failed too: " + error.what() + "; " + journal +
                            " keeps them, and the next opening of the file puts them back",
                        SaveOutcome::PutBackAtOpening);
    }
    try {
        unlinkJournal(file_.path());
        syncFolder(file_.path());
    } catch (const std::exception& error) {
        file_.unlock();
        throw SaveError(message + "; the previous bytes were put back, but " + journal + " could not be removed (" +
                            error.what() + "), so the next opening puts them back once more",
                        SaveOutcome::PutBack);
    }
    file_.unlock();
    throw SaveError(message + "; the previous bytes were put back", SaveOutcome::PutBack);
}

void writePatches(ArchiveFile& file, const std::vector<FieldPatch>& patches, const std::function<void()>& between) {
    InPlaceSave save(file, patches);
    save.write(patches.size(), between);
    save.commit();
}

}  // namespace wright::arcwright
