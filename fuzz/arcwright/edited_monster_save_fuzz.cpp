// The save of edited monster names, as the window makes it. Input: the
// options (one byte: bit 0 the French letters), the length of the edited text
// (two bytes), the edited text (lines split at LF; any other byte may stand in
// a line), then the file's bytes.
//
// Properties, for a file that holds the 43 fields: the save writes only into
// the fields; field i then holds line i's first 24 bytes (with the French
// letters on, each accented letter as its game code) padded with zeros, a
// field without a line holds zeros, lines after the 43rd are not written, and
// no byte outside the fields changes.

#include "arcwright/monster_names.h"
#include "fuzz/arcwright/edited_save.h"
#include "fuzz/arcwright/sparse_archive.h"
#include "fuzz/fuzz_check.h"

using namespace wright::arcwright;
using wright::FrenchLetters;
using namespace wright::arcwright::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const FrenchLetters french = (input.byte() & 1) ? FrenchLetters::Replace : FrenchLetters::Keep;
    const std::size_t editedLength = input.byte() | (std::size_t{input.byte()} << 8);
    const std::vector<std::string> lines = splitLines(input.take(editedLength));
    const std::string_view bytes = input.rest();
    const auto length = static_cast<std::int64_t>(bytes.size());
    SparseFile file(scratchPath("MONSTER.BSA"), length);
    file.put(0, bytes, length);

    std::optional<MonsterArchive> archive;
    try {
        archive.emplace(file.path());
    } catch (const ArchiveRejected&) {
        FUZZ_CHECK(length < kMonsterMinimumSize);
        return 0;
    }
    archive->file().setWriteHook([](std::int64_t position, std::size_t n) {
        bool inField = false;
        for (const std::int64_t offset : MonsterNameOffsets)
            inField = inField || (position >= offset && position + static_cast<std::int64_t>(n) <=
                                                            offset + static_cast<std::int64_t>(kMonsterNameSize));
        FUZZ_CHECK(inField);
    });
    archive->saveNames(lines, french);
    archive->file().setWriteHook({});

    std::string expected(bytes);
    for (std::size_t i = 0; i < MonsterNameOffsets.size(); ++i) {
        const std::string_view line = i < lines.size() ? std::string_view(lines[i]) : std::string_view();
        expected.replace(static_cast<std::size_t>(MonsterNameOffsets[i]), kMonsterNameSize,
                         expectedField(line, kMonsterNameSize, french));
    }
    FUZZ_CHECK(file.get(0, bytes.size()) == expected);
    return 0;
}
