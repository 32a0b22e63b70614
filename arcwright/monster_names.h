#pragma once
// MONSTER.BSA as far as the names go: 43 fields of 24 bytes at fixed
// positions. The archive is never parsed; nothing else of it is read or
// written.

#include "arcwright/archive_file.h"
#include "arcwright/in_place_save.h"
#include "arcwright/name_field.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace wright::arcwright {

inline constexpr std::size_t kMonsterNameSize = 24;
inline constexpr int kMonsterCount = 43;

// In the order of the names list: one field, a run of 32 and a run of 9 fields
// 74 bytes apart, and a last one.
inline constexpr std::array<std::int64_t, kMonsterCount> MonsterNameOffsets{{
    0x10BD, 0x2A15, 0x2A5F, 0x2AA9, 0x2AF3, 0x2B3D, 0x2B87, 0x2BD1, 0x2C1B, 0x2C65, 0x2CAF,
    0x2CF9, 0x2D43, 0x2D8D, 0x2DD7, 0x2E21, 0x2E6B, 0x2EB5, 0x2EFF, 0x2F49, 0x2F93, 0x2FDD,
    0x3027, 0x3071, 0x30BB, 0x3105, 0x314F, 0x3199, 0x31E3, 0x322D, 0x3277, 0x32C1, 0x330B,
    0x5D4E, 0x5D98, 0x5DE2, 0x5E2C, 0x5E76, 0x5EC0, 0x5F0A, 0x5F54, 0x5F9E, 0x6138,
}};

// A file that ends before the last field ends cannot hold the names.
inline constexpr std::int64_t kMonsterMinimumSize = MonsterNameOffsets.back() + kMonsterNameSize;

class MonsterArchive {
public:
    // Opens for reading and writing (or only reading). Throws wright::FileError when it cannot,
    // and ArchiveRejected when the file is too short.
    explicit MonsterArchive(const std::string& path, Access access = Access::ReadWrite);

    std::vector<std::string> readNames(FrenchLetters french);
    // The patches that write line i into field i, a missing line as an empty
    // name; lines after the 43rd are not written.
    std::vector<FieldPatch> savePatches(const std::vector<std::string>& lines, FrenchLetters french);
    // Writes the 43 fields in place (restoring them if a write fails). Throws SaveError.
    void saveNames(const std::vector<std::string>& lines, FrenchLetters french);

    ArchiveFile& file() { return file_; }

private:
    ArchiveFile file_;
};

}  // namespace wright::arcwright
