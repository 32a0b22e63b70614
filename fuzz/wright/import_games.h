#pragma once
// The small game files the import targets write afresh for every input, and
// their seeds are made from.

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "pixwright/img_fixtures.h"
#include "questwright/fixtures/quest_fixtures.h"

#include "wright/cli.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace wright::fuzzing {

// One run of the command line in the target's process, with what it printed.
struct Run {
    int status;
    std::string out, err;
};

inline Run runWright(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::run(args, {out, err});
    return {status, out.str(), err.str()};
}

inline void writeGameFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::abort();
}

// Two quest files: records with an accented letter, a tag and a line break.
inline void writeQuestFolder(const std::filesystem::path& folder) {
    namespace qf = wright::questwright::fixtures;
    writeGameFile(folder / "QUEST001.QRC", qf::questImage({{1, "Bonjour.\xFE"}, {2, "Le ch^ne.<0xFB=12>\r\nFin.\xFE"}}));
    writeGameFile(folder / "QUEST002.QRC", qf::questImage({{7, "Au revoir.\xFE"}}));
}

// MONSTER.BSA of the least length, three of its names given.
inline void writeMonsterFile(const std::filesystem::path& path) {
    std::vector<std::string> names(arcwright::kMonsterCount);
    names[0] = "Rat";
    names[1] = "Ch^ne";
    names[5] = "Goblin";
    arcwright::fixtures::writeMonsterArchive(path.string(), names, arcwright::kMonsterMinimumSize);
}

// A picture of 4 x 3 pixels behind its header; its colours are in map.pal.
inline std::string importedPicture() {
    return wright::pixwright::fixtures::headeredPicture(4, 3, wright::pixwright::fixtures::patternPixels(4, 3, 5));
}
inline void writePictureFolder(const std::filesystem::path& folder) {
    namespace fx = wright::pixwright::fixtures;
    writeGameFile(folder / "pic.img", importedPicture());
    writeGameFile(folder / "map.pal", fx::paletteBytes(fx::rampPalette(3)));
}

}  // namespace wright::fuzzing
