// The map archive's directory over arbitrary bytes, in an archive of the
// right length or one cut short. Input: one byte that shortens the file by
// that many bytes (0 keeps it whole), then the directory's bytes (the rest
// of it zeros). An archive that opens has offsets that are the running sums
// of the sizes from position 4, and every record lies between position 4 and
// the directory; a short file never opens.

#include "arcwright/maps_archive.h"
#include "fuzz/arcwright/sparse_archive.h"
#include "fuzz/fuzz_check.h"

using namespace wright::arcwright;
using namespace wright::arcwright::fuzzing;

namespace {

void checkOffsets(const RegionDirectory& directory) {
    std::int64_t expected = kFirstRecordOffset;
    for (int i = 0; i < kDirectoryEntryCount; ++i) {
        const DirectoryEntry& e = directory[i / kSlotsPerRegion][i % kSlotsPerRegion];
        FUZZ_CHECK(e.offset == expected);
        FUZZ_CHECK(e.name.size() <= kDirectoryNameSize);
        FUZZ_CHECK(e.name.find('\0') == std::string::npos);
        expected += e.size;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const std::uint8_t cut = input.byte();
    std::string bytes(input.take(kDirectorySize));
    bytes.resize(kDirectorySize, '\0');

    const RegionDirectory parsed = parseDirectory(bytes);
    checkOffsets(parsed);
    const bool sound = !directoryProblem(parsed).has_value();

    const std::int64_t length = kMapsMinimumSize - cut;
    SparseFile file(scratchPath("MAPS.BSA"), length);
    file.put(kMapsDirectoryOffset, bytes, length);
    try {
        MapsArchive archive(file.path());
        FUZZ_CHECK(cut == 0);
        FUZZ_CHECK(sound);
        checkOffsets(archive.directory());
        for (const auto& region : archive.directory())
            for (const DirectoryEntry& e : region) {
                FUZZ_CHECK(e.size >= 0);
                FUZZ_CHECK(e.offset >= kFirstRecordOffset);
                FUZZ_CHECK(e.offset + e.size <= kMapsDirectoryOffset);
            }
    } catch (const ArchiveRejected&) {
        FUZZ_CHECK(cut != 0 || !sound);
    }
    return 0;
}
