// The quest container over arbitrary file images. An image is refused with
// QuestFileError or split into records; an accepted one must hold together:
// at least one record, each within the size limit, the records covering the
// file from the first offset to its end, and the image written back from the
// table giving the same records again. A file whose records lie back to back
// right after its index is written back byte for byte.

#include "fuzz/fuzz_check.h"
#include "questwright/quest_file.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace wright::questwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    RecordTable table;
    try {
        table = parseQuestFile(image);
    } catch (const QuestFileError&) {
        return 0;
    }
    FUZZ_CHECK(image.size() >= kHeaderSize);
    const std::size_t header = static_cast<std::uint8_t>(image[0]) | (static_cast<std::uint8_t>(image[1]) << 8);
    const std::size_t count = header / kIndexEntrySize;
    FUZZ_CHECK(table.size() == count);
    FUZZ_CHECK(!table.empty());  // a file of no record is refused
    std::size_t covered = 0;
    for (const QRCRecord& r : table) {
        FUZZ_CHECK(r.data.size() <= kMaxRecordSize);
        covered += r.data.size();
    }
    FUZZ_CHECK(table.front().offset + covered == image.size());

    const std::string written = questFileImage(table);
    FUZZ_CHECK(written.size() == firstRecordOffset(table.size()) + covered);
    const RecordTable again = parseQuestFile(written);
    FUZZ_CHECK(again.size() == table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        FUZZ_CHECK(again[i].id == table[i].id);
        FUZZ_CHECK(again[i].data == table[i].data);
        FUZZ_CHECK(again[i].offset == (i == 0 ? firstRecordOffset(table.size()) : again[i - 1].offset + again[i - 1].size()));
    }
    const bool backToBack = table.front().offset == firstRecordOffset(count);
    if (backToBack && header == kIndexEntrySize * count) FUZZ_CHECK(written == image);
    return 0;
}
