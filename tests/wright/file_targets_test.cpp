// Where wright's files go: every export to standard output with "-o -", and
// every import refusing a target without write permission the same way,
// whatever the account, leaving its bytes as they were.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "pixwright/img_fixtures.h"
#include "po/po_file.h"
#include "questwright/fixtures/quest_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sys/stat.h>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using wright::testing::readBytes;
using wright::testing::runWright;
using wright::testing::TempDir;

// A command's game file (or folder) made in `dir`, and the name it goes by
// on the command line.
struct GameFiles {
    const char* command;
    std::function<std::string(const TempDir& dir)> make;
    // The file an import rewrites, inside what make() returned.
    std::function<std::string(const std::string& made)> rewritten;
};

const GameFiles kGameFiles[] = {
    {"maps",
     [](const TempDir& d) {
         arcwright::fixtures::writeMapsArchive(
             d.file("MAPS.BSA"), {arcwright::fixtures::regionOf({"Sentinel", "Oakford", "Wayrest"}, {0, 2})});
         return d.file("MAPS.BSA");
     },
     [](const std::string& made) { return made; }},
    {"monsters",
     [](const TempDir& d) {
         arcwright::fixtures::writeMonsterArchive(d.file("MONSTER.BSA"), arcwright::fixtures::demoMonsterNames(),
                                                  arcwright::kMonsterMinimumSize + 100);
         return d.file("MONSTER.BSA");
     },
     [](const std::string& made) { return made; }},
    {"quests",
     [](const TempDir& d) {
         fs::create_directory(d.file("quests"));
         namespace qx = questwright::fixtures;
         qx::writeFile(d.file("quests/Q1.QRC"), qx::questImage(qx::gameQuest(3, 3)));
         return d.file("quests");
     },
     [](const std::string& made) { return made + "/Q1.QRC"; }},
};

class Targets : public ::testing::TestWithParam<GameFiles> {
protected:
    // A catalogue that gives every entry of the file's template a new text.
    std::string translatedCatalogue(const std::string& made) {
        const std::string pot = dir.file("all.pot");
        const auto run = runWright({GetParam().command, "export", made, "-o", pot});
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<po::Entry> entries = po::readCatalogue(pot);
        EXPECT_FALSE(entries.empty());
        for (std::size_t i = 0; i < entries.size(); ++i) entries[i].translation = "T" + std::to_string(i);
        po::writeCatalogue(dir.file("all.po"), "test", entries);
        return dir.file("all.po");
    }
    TempDir dir;
};

TEST_P(Targets, AnExportToADashGoesToStandardOutput) {
    const std::string made = GetParam().make(dir);
    const auto run = runWright({GetParam().command, "export", made, "-o", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The catalogue alone on standard output; the line that reports it on stderr.
    EXPECT_EQ(run.out.rfind("#, fuzzy\nmsgid \"\"\n", 0), 0u) << run.out.substr(0, 80);
    EXPECT_NE(run.out.find("msgctxt "), std::string::npos);
    EXPECT_EQ(run.err.rfind("-: ", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists("-"));
}

TEST_P(Targets, AnImportIntoAFileWithoutWriteBitsIsRefusedForEveryAccount) {
    const std::string made = GetParam().make(dir);
    const std::string catalogue = translatedCatalogue(made);
    const std::string target = GetParam().rewritten(made);
    const std::string before = readBytes(target);
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    // A dry run makes the checks of the real import, write permission included.
    for (const bool dryRun : {true, false}) {
        std::vector<std::string> args{GetParam().command, "import", made, catalogue};
        if (dryRun) args.push_back("--dry-run");
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 1) << dryRun;
        EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readBytes(target), before);
    }

    ::chmod(target.c_str(), 0644);
    const auto written = runWright({GetParam().command, "import", made, catalogue});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(readBytes(target), before);
}

INSTANTIATE_TEST_SUITE_P(Commands, Targets, ::testing::ValuesIn(kGameFiles),
                         [](const auto& info) { return std::string(info.param.command); });

TEST(PictureTargets, APngGoesToStandardOutputAndAReadOnlyPictureIsRefused) {
    TempDir dir;
    const std::string picture = dir.file("PIC.IMG");
    namespace fx = pixwright::fixtures;
    questwright::fixtures::writeFile(picture, fx::headeredPicture(4, 3, fx::patternPixels(4, 3)));
    questwright::fixtures::writeFile(dir.file("map.pal"), fx::paletteBytes(fx::rampPalette()));
    const auto shown = runWright({"img", "png", picture, "-o", "-"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(shown.err.rfind("-: 4 x 3 pixels", 0), 0u) << shown.err;
    const std::string png = dir.file("pic.png");
    const auto exported = runWright({"img", "png", picture, "-o", png});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string before = readBytes(picture);
    ASSERT_EQ(::chmod(picture.c_str(), 0444), 0);
    for (const char* dryRun : {"--dry-run", ""}) {
        std::vector<std::string> args{"img", "import", picture, png};
        if (*dryRun) args.push_back(dryRun);
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 1) << dryRun;
        EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
        EXPECT_EQ(readBytes(picture), before);
    }
}

// A dry run and the import agree on a game folder that takes no new file
// (read-only for the file writer, and for the archives' journal to this
// account), and a refusal leaves the file as it was.
TEST_P(Targets, ADryRunAnswersAsTheImportForAFolderWithoutWriteBits) {
    const std::string made = GetParam().make(dir);
    const std::string catalogue = translatedCatalogue(made);
    const std::string target = GetParam().rewritten(made);
    const std::string before = readBytes(target);
    const std::string folder = fs::path(target).parent_path().string();
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const auto dry = runWright({GetParam().command, "import", made, catalogue, "--dry-run"});
    EXPECT_EQ(readBytes(target), before);
    const auto real = runWright({GetParam().command, "import", made, catalogue});
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(dry.status, real.status) << dry.err << real.err;
    if (real.status != 0) {
        EXPECT_EQ(readBytes(target), before);
    }
}

// Every argument that names a file, given a folder, says so and writes nothing.
TEST(FolderArguments, AFolderWhereAFileIsExpectedIsNamed) {
    TempDir dir;
    namespace fx = pixwright::fixtures;
    const std::string maps = kGameFiles[0].make(dir);
    const std::string monsters = kGameFiles[1].make(dir);
    const std::string quests = kGameFiles[2].make(dir);
    const std::string pic = dir.file("PIC.IMG");
    questwright::fixtures::writeFile(pic, fx::headeredPicture(4, 3, fx::patternPixels(4, 3)));
    questwright::fixtures::writeFile(dir.file("map.pal"), fx::paletteBytes(fx::rampPalette()));
    const std::string png = dir.file("pic.png");
    const std::string pot = dir.file("monsters.pot");
    ASSERT_EQ(runWright({"img", "png", pic, "-o", png}).status, 0);
    ASSERT_EQ(runWright({"monsters", "export", monsters, "-o", pot}).status, 0);
    const std::string mapsPot = dir.file("maps.pot");
    ASSERT_EQ(runWright({"maps", "export", maps, "-o", mapsPot}).status, 0);
    const std::string f = dir.file("F");
    fs::create_directory(f);
    const std::string out = dir.file("out");

    const std::vector<std::vector<std::string>> cases{
        {"maps", "export", f, "-o", out},
        {"maps", "export", maps, "-o", f},
        {"maps", "import", f, mapsPot},
        {"maps", "import", maps, f},
        {"monsters", "export", f, "-o", out},
        {"monsters", "export", monsters, "-o", f},
        {"monsters", "import", f, pot},
        {"monsters", "import", monsters, f, "--dry-run"},
        {"quests", "export", quests, "-o", f},
        {"quests", "import", quests, f},
        {"img", "png", f, "-o", out},
        {"img", "png", pic, "-o", f},
        {"img", "png", pic, "-o", out, "--palette", f},
        {"img", "import", f, png},
        {"img", "import", pic, f},
        {"img", "import", pic, png, "--palette", f},
    };
    const auto snapshot = [&] {
        std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            files[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time()};
        return files;
    };
    const auto before = snapshot();
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0] + " " + args[1] + " " + args[2] + " ... " + args.back());
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "wright " + args[0] + ": " + f + ": is a folder, not a file\n");
        EXPECT_EQ(snapshot(), before);
    }
}

}  // namespace
}  // namespace wright::cli
