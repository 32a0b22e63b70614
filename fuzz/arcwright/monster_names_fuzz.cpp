// MONSTER.BSA's name fields over an arbitrary file. Input: the options (one
// byte: bit 0 the French letters), then the file's bytes. A file too short
// for the last field is refused; every listed name fits its field; the save
// of the unedited names writes only into the 43 fields and leaves the file
// byte for byte as it was.

#include "arcwright/monster_names.h"
#include "fuzz/arcwright/sparse_archive.h"
#include "fuzz/fuzz_check.h"

using namespace arcwright;
using namespace arcwright::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const FrenchLetters french = (input.byte() & 1) ? FrenchLetters::Replace : FrenchLetters::Keep;
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
    FUZZ_CHECK(length >= kMonsterMinimumSize);
    const std::vector<std::string> names = archive->readNames(french);
    FUZZ_CHECK(names.size() == static_cast<std::size_t>(kMonsterCount));
    for (const std::string& name : names) FUZZ_CHECK(name.size() <= kMonsterNameSize);

    archive->file().setWriteHook([](std::int64_t position, std::size_t n) {
        bool inField = false;
        for (const std::int64_t offset : MonsterNameOffsets)
            inField = inField || (position >= offset && position + static_cast<std::int64_t>(n) <= offset +
                                                                               static_cast<std::int64_t>(kMonsterNameSize));
        FUZZ_CHECK(inField);
    });
    archive->saveNames(names, french);
    FUZZ_CHECK(file.get(0, bytes.size()) == bytes);
    return 0;
}
