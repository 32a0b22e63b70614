#pragma once
// MAPS.BSA, the map archive. A 4-byte header nobody reads, then every
// record's data back to back in directory order, then the directory at a
// fixed position: 62 regions of 4 entries. The directory stores no offsets;
// each record starts where the one before it ends, the first at position 4.
// Saves only replace name fields, so sizes and offsets stay valid for as long
// as the archive is open.

#include "arcwright/archive_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wright::arcwright {

inline constexpr std::int64_t kMapsDirectoryOffset = 22124848;
inline constexpr int kRegionCount = 62;
inline constexpr int kSlotsPerRegion = 4;
inline constexpr int kDirectoryEntryCount = kRegionCount * kSlotsPerRegion;  // 248
inline constexpr std::size_t kDirectoryNameSize = 12;
inline constexpr std::size_t kDirectoryEntrySize = 18;  // name, 16-bit field, 32-bit size
inline constexpr std::size_t kDirectorySize = kDirectoryEntryCount * kDirectoryEntrySize;  // 4464
inline constexpr std::int64_t kMapsMinimumSize = kMapsDirectoryOffset + static_cast<std::int64_t>(kDirectorySize);
inline constexpr std::int64_t kFirstRecordOffset = 4;

// What each of a region's four records is.
enum Slot : int {
    kLocationSlot = 0,  // MAPPITEM, the location records
    kDungeonSlot = 1,   // MAPDITEM, the dungeon records
    kUnreadSlot = 2,    // never read, only exported
    kNamesSlot = 3,     // MAPNAMES, the location names
};

struct DirectoryEntry {
    std::string name;         // up to the first zero, at most 12 bytes
    std::uint16_t field = 0;  // kept as read, never interpreted
    std::int32_t size = 0;
    std::int64_t offset = 0;  // computed: where the record's first byte is
};

using RegionDirectory = std::array<std::array<DirectoryEntry, kSlotsPerRegion>, kRegionCount>;

// The 248 entries in region-major order, with the offsets computed.
RegionDirectory parseDirectory(std::string_view bytes);
// Why this is not a map archive of the fixed layout, or nothing when it is:
// every size is 0 or more and every record lies between position 4 and the
// directory.
std::optional<std::string> directoryProblem(const RegionDirectory& directory);

class MapsArchive {
public:
    // Opens for reading and writing (or only reading) and reads the directory. Throws
    // wright::FileError when the file cannot be opened or read, and
    // ArchiveRejected when it does not hold a whole valid directory.
    explicit MapsArchive(const std::string& path, Access access = Access::ReadWrite);

    const RegionDirectory& directory() const { return directory_; }
    const DirectoryEntry& entry(int region, int slot) const { return directory_.at(region).at(slot); }
    ArchiveFile& file() { return file_; }

    // The whole record of a region's slot (the directory keeps it before the
    // directory itself, so it is never larger than the archive).
    std::string readRecord(int region, int slot);

private:
    ArchiveFile file_;
    RegionDirectory directory_;
};

}  // namespace wright::arcwright
