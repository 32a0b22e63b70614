// The quest file as the window reads and saves it: the input is written to a
// file, read with ReadQuestFile, saved back with saveQuestFile and read again.
//
// Properties: the file reader and the image parser accept and refuse the same
// files and give the same records; a read reports its header step first and
// its records step only past a valid index, and an accepted file reports
// both; a save leaves a file that is the table's image, whose reading gives
// the same ids and bytes at the offsets the save put into the table.

#include "fuzz/fuzz_check.h"
#include "fuzz/scratch_folder.h"
#include "questwright/quest_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace wright::questwright;

namespace {

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void checkSame(const RecordTable& a, const RecordTable& b) {
    FUZZ_CHECK(a.size() == b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        FUZZ_CHECK(a[i].id == b[i].id);
        FUZZ_CHECK(a[i].offset == b[i].offset);
        FUZZ_CHECK(a[i].data == b[i].data);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    const std::string path = wright::fuzzing::scratchPath("QUEST.QRC");
    writeFile(path, image);

    std::optional<RecordTable> parsed;
    try {
        parsed = parseQuestFile(image);
    } catch (const QuestFileError&) {
    }
    std::vector<ReadStep> steps;
    RecordTable table;
    try {
        table = ReadQuestFile(path, [&](ReadStep step) { steps.push_back(step); });
    } catch (const QuestFileError&) {
        FUZZ_CHECK(!parsed);
        FUZZ_CHECK(!steps.empty() && steps.size() <= 2);
        FUZZ_CHECK(steps.front() == ReadStep::Header);
        if (steps.size() == 2) FUZZ_CHECK(steps.back() == ReadStep::Records);
        return 0;
    }
    FUZZ_CHECK(parsed.has_value());
    checkSame(table, *parsed);
    FUZZ_CHECK((steps == std::vector<ReadStep>{ReadStep::Header, ReadStep::Records}));

    const std::string written = questFileImage(table);
    saveQuestFile(path, table);
    FUZZ_CHECK(fileBytes(path) == written);
    const std::vector<std::uint32_t> offsets = writtenOffsets(table);
    for (std::size_t i = 0; i < table.size(); ++i) FUZZ_CHECK(table[i].offset == offsets[i]);
    checkSame(ReadQuestFile(path), table);
    return 0;
}
