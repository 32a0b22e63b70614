// Importing a translated catalogue of arbitrary bytes through the command line,
// as a translator runs it: the catalogue is read, its entries matched to the
// game's text and checked, and the game's files written or refused.
//
// The input is one flags byte, then the .po file:
//   bit 0     the game's files: a quest folder of two .QRC files, or
//             MONSTER.BSA (the context of each kind: "QUEST001.QRC record 0",
//             "monster 0")
//   bits 1-2  --letters french, russian or none (3 is french)
//   bit 3     --typography ascii
// The game's files are generated afresh for every input beside the catalogue,
// in a folder of this process under /dev/shm.
//
// Properties: wright never crashes and ends with 0 (done) or 1 (refused); a
// dry run writes nothing, whatever the catalogue holds; the import itself
// accepts and refuses as its dry run did, and a refused import leaves every
// file as it was; an import leaves no file beside the game's files.

#include "fuzz/fuzz_check.h"
#include "fuzz/scratch_folder.h"
#include "fuzz/wright/import_games.h"
#include "wright/cli.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using wright::fuzzing::Run;
using wright::fuzzing::runWright;

// Every file under the folder with its bytes.
std::map<std::string, std::string> filesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            files[entry.path().string()] = "(not a file)";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

}  // namespace

// libgettextpo 0.21 keeps a lexer buffer per read that nothing can free; the
// test suite's leak checks leave out the same two. They are known by a frame
// inside the library, which only the slow unwinder sees.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgettextpo_lex_start\nleak:libgettextpo_po_gram_parse\n";
}
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    const std::string catalogue(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
    const bool quests = (flags & 1) == 0;
    const char* const views[] = {"french", "russian", "none", "french"};

    const fs::path root = wright::fuzzing::scratchPath("po_import");
    std::error_code ignored;
    fs::remove_all(root, ignored);
    const fs::path game = root / "game";
    fs::create_directories(game);
    const std::string target = quests ? game.string() : (game / "MONSTER.BSA").string();
    if (quests)
        wright::fuzzing::writeQuestFolder(game);
    else
        wright::fuzzing::writeMonsterFile(target);
    const std::string po = (root / "game.po").string();
    wright::fuzzing::writeGameFile(po, catalogue);

    std::vector<std::string> args{quests ? "quests" : "monsters", "import", target, po, "--letters",
                                  views[(flags >> 1) & 3]};
    if (flags & 8) args.insert(args.end(), {"--typography", "ascii"});
    const std::map<std::string, std::string> before = filesUnder(root);

    std::vector<std::string> dryArgs = args;
    dryArgs.push_back("--dry-run");
    const Run dry = runWright(dryArgs);
    FUZZ_CHECK(dry.status == 0 || dry.status == 1);
    FUZZ_CHECK(filesUnder(root) == before);

    const Run real = runWright(args);
    FUZZ_CHECK(real.status == dry.status);
    const std::map<std::string, std::string> after = filesUnder(root);
    if (real.status != 0) {
        FUZZ_CHECK(after == before);
    } else {
        // The same files, whatever their bytes now.
        FUZZ_CHECK(after.size() == before.size());
        for (auto a = after.begin(), b = before.begin(); a != after.end(); ++a, ++b) FUZZ_CHECK(a->first == b->first);
    }
    return 0;
}
