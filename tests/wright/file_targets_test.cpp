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
         quest::fixtures::WriteFile(d.file("quests/Q1.QRC"), quest::fixtures::QuestImage(quest::fixtures::GameQuest(3, 3)));
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
    const auto run = runWright({GetParam().command, "import", made, catalogue});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(target), before);

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
    quest::fixtures::WriteFile(picture, fx::headeredPicture(4, 3, fx::patternPixels(4, 3)));
    quest::fixtures::WriteFile(dir.file("map.pal"), fx::paletteBytes(fx::rampPalette()));
    const auto shown = runWright({"img", "png", picture, "-o", "-"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(shown.err.rfind("-: 4 x 3 pixels", 0), 0u) << shown.err;
    const std::string png = dir.file("pic.png");
    const auto exported = runWright({"img", "png", picture, "-o", png});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string before = readBytes(picture);
    ASSERT_EQ(::chmod(picture.c_str(), 0444), 0);
    const auto run = runWright({"img", "import", picture, png});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(picture), before);
}

}  // namespace
}  // namespace wright::cli
