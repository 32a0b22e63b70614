#pragma once
// A quest file (*.QRC) is a flat container:
//
//   offset 0      u16   length of the index in bytes (6 per record; a remainder is ignored)
//   offset 2      6*N   index entries: u16 record id, u32 offset of the record's first byte
//   offset 2+6*N  ...   the records' bytes
//
// The file stores no lengths: a record ends where the next one starts, and the
// last one at the end of the file. Ids are carried as they are (they may repeat
// or be unordered). All integers are little-endian.
//
// Reading validates the whole index before a record byte is taken: the file must
// hold at least one record and be no longer than kMaxQuestFileSize, offsets must
// be ascending, lie between the end of the index and the end of the file, and no
// record may exceed kMaxRecordSize. Writing lays the records back to back right
// after the index and recomputes every offset, so what is written is always
// consistent.

#include "fileio/binary_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wright::questwright {

inline constexpr std::size_t kHeaderSize = 2;
inline constexpr std::size_t kIndexEntrySize = 6;
// The largest record the editor holds, as read from a file or stored from text.
inline constexpr std::size_t kMaxRecordSize = 10000;
// The header is 16 bits wide, so an index holds at most this many entries.
inline constexpr std::size_t kMaxRecordCount = 0xFFFF / kIndexEntrySize;
// The longest file that can be a quest: the longest index, then the most
// records, each as long as a record can be. Anything longer is refused from
// its length alone, before a byte of it is read.
inline constexpr std::uint64_t kMaxQuestFileSize =
    kHeaderSize + kIndexEntrySize * kMaxRecordCount + std::uint64_t{kMaxRecordCount} * kMaxRecordSize;

struct QRCRecord {
    std::uint16_t id = 0;
    // As read from the index; replaced by the written offset after a save.
    std::uint32_t offset = 0;
    // The record's bytes; the buffer holds exactly what the record needs.
    std::string data;

    std::uint32_t size() const { return static_cast<std::uint32_t>(data.size()); }
};

// The loaded quest, in index order: an entry's position is its record index.
using RecordTable = std::vector<QRCRecord>;

// A quest file that cannot be read, refused with a reason for the log, or a
// save that failed. The message is the reason alone, without the file's name.
class QuestFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the first record starts when records follow the index directly.
constexpr std::uint32_t firstRecordOffset(std::size_t count) {
    return static_cast<std::uint32_t>(kHeaderSize + kIndexEntrySize * count);
}

// Progress points of a read, for the caller's log lines.
enum class ReadStep {
    Header,   // about to read the header and the index
    Records,  // the index is valid; about to read the records
};
using ReadProgress = std::function<void(ReadStep)>;

// Splits a whole file image into its records, or throws QuestFileError.
RecordTable parseQuestFile(std::string_view image);

// Opens the file for reading only, validates and reads it, and closes it.
// Throws QuestFileError; on a throw nothing of the file is kept.
RecordTable ReadQuestFile(const std::string& path, const ReadProgress& progress = {});

// Where a quest's bytes go. A failing sink throws; the writer stops there.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

// Progress points of a write, for the caller's log lines.
enum class WriteStep {
    Created,       // the target is open; phase one (header and index) comes next
    IndexWritten,  // phase one is written; phase two (the records) comes next
};
using WriteProgress = std::function<void(WriteStep)>;

// Checks that the table can be written (count and record sizes within bounds);
// throws QuestFileError before anything is written otherwise.
void checkWritable(const RecordTable& table);

// The offsets the records get when written back to back after the index.
std::vector<std::uint32_t> writtenOffsets(const RecordTable& table);

// Writes the table in its two phases to the sink and returns the offsets it
// wrote. The table itself is not changed. Reports WriteStep::IndexWritten.
std::vector<std::uint32_t> WriteQuestFile(const RecordTable& table, ByteSink& sink,
                                          const WriteProgress& progress = {});

// The whole image WriteQuestFile would write.
std::string questFileImage(const RecordTable& table);

// Rewrites the file at path whole through the file writer (a temporary file
// beside it, synced and renamed over it, keeping the file's permissions). A
// file that is read-only or not a regular file is refused. Only after the
// rename succeeded are the table's offsets replaced by the written ones. On
// any failure QuestFileError is thrown and the file on disk is as it was.
void saveQuestFile(const std::string& path, RecordTable& table, const WriteProgress& progress = {});

// The reason a save gives for a failure of the file writer.
QuestFileError saveFailure(const FileError& error);

}  // namespace wright::questwright
