#include "arcwright/monster_names.h"

namespace wright::arcwright {

MonsterArchive::MonsterArchive(const std::string& path, Access access) : file_(path, access) {
    const std::int64_t size = file_.size();
    if (size < kMonsterMinimumSize)
        throw ArchiveRejected("the file holds " + std::to_string(size) + " bytes, fewer than the " +
                              std::to_string(kMonsterMinimumSize) + " that reach the end of the last monster name");
}

std::vector<std::string> MonsterArchive::readNames(FrenchLetters french) {
    std::vector<std::string> names;
    names.reserve(kMonsterCount);
    for (const std::int64_t offset : MonsterNameOffsets)
        names.push_back(readFixedName(file_.readAt(offset, kMonsterNameSize), french));
    return names;
}

std::vector<FieldPatch> MonsterArchive::savePatches(const std::vector<std::string>& lines, FrenchLetters french) {
    std::vector<FieldPatch> patches;
    for (int i = 0; i < kMonsterCount; ++i) {
        const std::string_view line = i < static_cast<int>(lines.size()) ? std::string_view(lines[i]) : std::string_view();
        patches.push_back({MonsterNameOffsets[i], makeFixedField(line, kMonsterNameSize, french)});
    }
    return patches;
}

void MonsterArchive::saveNames(const std::vector<std::string>& lines, FrenchLetters french) {
    writePatches(file_, savePatches(lines, french));
}

}  // namespace wright::arcwright
