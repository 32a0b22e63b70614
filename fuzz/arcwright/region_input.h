#pragma once
// The archive part of a region target's input: the size of a record put
// before the region (slot 2 of region 0, for regions after it), the sizes of
// the region's four records, then the region's record bytes, back to back
// from its first record; every other record is empty.

#include "arcwright/fixtures/archive_fixtures.h"
#include "fuzz/arcwright/sparse_archive.h"

#include <cstdint>
#include <string>

namespace arcwright::fuzzing {

// A larger record of the region is left to the directory target: reading
// megabytes of zeros per input only slows the search down.
inline constexpr std::int32_t kLargestRegionRecord = 1 << 20;

// Writes the archive the input describes for `region` into `file` (a sparse
// file of kMapsMinimumSize bytes); false for a record over the size above.
inline bool writeRegionArchive(InputReader& input, int region, SparseFile& file) {
    const std::int32_t lead = input.i32();
    std::int32_t sizes[kSlotsPerRegion];
    for (std::int32_t& s : sizes) {
        s = input.i32();
        if (s > kLargestRegionRecord) return false;
    }
    std::string directory;
    std::int64_t first = kFirstRecordOffset;
    for (int r = 0; r < kRegionCount; ++r)
        for (int s = 0; s < kSlotsPerRegion; ++s) {
            std::int32_t recordSize = 0;
            if (r == region) recordSize = sizes[s];
            else if (r == 0 && s == kUnreadSlot) recordSize = lead;
            if (r < region) first += recordSize;
            directory += directoryEntry(fixtures::usualRecordName(r, s), 0, recordSize);
        }
    file.put(kMapsDirectoryOffset, directory, kMapsMinimumSize);
    file.put(first, input.rest(), kMapsDirectoryOffset);
    return true;
}

}  // namespace arcwright::fuzzing
