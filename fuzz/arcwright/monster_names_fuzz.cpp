// MONSTER.BSA's name fields over an arbitrary file. Input: the options (one
// byte: bit 0 the French letters), then the file's bytes. A file too short
// for the last field is refused; every listed name fits its field; the save
// of the unedited names writes only into the 43 fields, leaves every name as
// it was (the bytes up to the first zero, or the whole field; with the French
// letters on, the name as shown), zeros the rest of each field and changes
// nothing else.

#include "arcwright/monster_names.h"
#include "fuzz/arcwright/sparse_archive.h"
#include "fuzz/arcwright/unedited_save.h"
#include "fuzz/fuzz_check.h"

using namespace wright::arcwright;
using wright::FrenchLetters;
using namespace wright::arcwright::fuzzing;

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
    const std::string after = file.get(0, bytes.size());
    FUZZ_CHECK(after.size() == bytes.size());
    std::vector<bool> inName(bytes.size(), false);
    for (const std::int64_t offset : MonsterNameOffsets) {
        const auto at = static_cast<std::size_t>(offset);
        checkNameKept(bytes.substr(at, kMonsterNameSize), std::string_view(after).substr(at, kMonsterNameSize), french);
        std::fill_n(inName.begin() + static_cast<std::ptrdiff_t>(at), kMonsterNameSize, true);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!inName[i]) FUZZ_CHECK(after[i] == bytes[i]);
    return 0;
}
