#pragma once
// The rollback journal of an in-place save. Before the first byte of an
// archive is overwritten, the bytes about to be overwritten are written beside
// it, in "<archive>-journal", and synced with the folder. The journal is
// removed, and the folder synced again, only once the new bytes are on the
// disk: that removal is the moment the save is done. Whoever opens the archive
// and finds a journal puts the old bytes back, so a save interrupted by a
// crash, a killed process or a power cut leaves the archive as it was before,
// never half old and half new.
//
// The journal (integers little-endian):
//   8   "WRJRNL01"
//   8   the archive's size
//   8   fingerprint: FNV-1a 64 of the archive's first and last 64 KiB, with
//       the journaled fields' bytes counted as zeros
//   4   the number of fields
//   per field: 8 position, 4 length, the old bytes, the new bytes
//   8   FNV-1a 64 of everything before it
//
// A journal that is cut short or fails its checksum was torn while it was
// written, before the save's first write into the archive: it is removed and
// nothing is put back. A whole journal whose size or fingerprint differ from
// the archive's, or whose fields hold bytes that are neither their old nor
// their new ones, was left by a save into another file: it is left alone and
// the opening refused. The inode is not part of the identity: a FAT folder on
// a stick gets new inode numbers at every mount, and after a power cut is
// exactly when the journal must still be recognised.

#include "arcwright/archive_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wright::arcwright {

inline constexpr char kJournalSuffix[] = "-journal";
// The first and the last this many bytes of the archive make its fingerprint.
inline constexpr std::int64_t kFingerprintSpan = 64 * 1024;
// A full import of every map name journals a few megabytes; anything far
// larger was not written by a save of ours.
inline constexpr std::int64_t kJournalSizeLimit = 64 * 1024 * 1024;

struct JournalField {
    std::int64_t position = 0;
    std::string oldBytes;
    std::string newBytes;  // as long as oldBytes
};

std::string journalPath(const std::string& archivePath);
bool journalExists(const std::string& archivePath);

// Creates the journal of a save about to write into `archive` (it must not
// exist yet), writes and syncs it, then syncs the folder. Throws FileError
// naming the journal; a journal begun is then removed again.
void writeJournal(ArchiveFile& archive, const std::vector<JournalField>& fields);
// Removes the journal; then syncFolder makes the removal last.
void unlinkJournal(const std::string& archivePath);
// Syncs the folder that holds `path`, so that a file created or removed there stays so.
void syncFolder(const std::string& path);

// Run on opening, with `archive` open for writing and locked: when a whole
// journal of this archive is there, writes its old bytes back, syncs, removes
// the journal and returns the line that says so; a torn journal is removed
// without a word. Throws FileError when the journal belongs to another file,
// cannot be read, or the old bytes cannot be put back (the journal then stays
// for the next opening).
std::optional<std::string> rollBackUnfinishedSave(ArchiveFile& archive);

}  // namespace wright::arcwright
