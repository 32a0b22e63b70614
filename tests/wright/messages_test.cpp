// What wright prints about a path or a game name. The files lie in a folder
// named with accented and Cyrillic letters: a path comes out as the file
// system names it. A name of the game's files comes out in the --letters view
// the translator chose. Both streams are UTF-8 whatever the files hold.

#include "tests/support/accented_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "pixwright/img_fixtures.h"
#include "questwright/fixtures/quest_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using arcwright::fixtures::RegionContent;
using testing::isUtf8;
using testing::runWright;
using testing::writeBytes;

struct Folder {
    testing::TempDir dir;
    std::string path = testing::makeAccentedFolder(dir.path());
    std::string at(const std::string& name) const { return path + "/" + name; }
};

// A catalogue of (context, source, translation) entries.
std::string catalogue(const std::vector<std::array<std::string, 3>>& entries) {
    std::string text = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (const auto& [context, source, translation] : entries)
        text += "msgctxt \"" + context + "\"\nmsgid \"" + source + "\"\nmsgstr \"" + translation + "\"\n\n";
    return text;
}

const std::string kSentinel = "region 0 (Alik'r Desert), location 0";

void mapsArchive(const Folder& f) {
    arcwright::fixtures::writeMapsArchive(f.at("MAPS.BSA"), {arcwright::fixtures::regionOf({"Sentinel"})});
}
void monsterArchive(const Folder& f, std::int64_t size = arcwright::kMonsterMinimumSize) {
    std::vector<std::string> names(arcwright::kMonsterCount);
    names[0] = "Rat";
    arcwright::fixtures::writeMonsterArchive(f.at("MONSTER.BSA"), names, size);
}
const std::string kQuest = "Quête Фёдор.QRC";
void questFolder(const Folder& f) {
    writeBytes(f.at(kQuest), questwright::fixtures::questImage({{1, "Bonjour.\xFE"}, {2, "Fin.\xFE"}}));
}
// A picture of a listed length (9 x 80) that takes its colours from map.pal.
void picture(const Folder& f, bool withPalette = true) {
    std::string bytes = pixwright::fixtures::patternPixels(9, 80, 3);
    writeBytes(f.at("Été.img"), bytes);
    if (withPalette)
        writeBytes(f.at("map.pal"), pixwright::fixtures::paletteBytes(pixwright::fixtures::rampPalette(7)));
}

struct MessageCase {
    const char* name;
    // Makes the files and gives the command's arguments.
    std::function<std::vector<std::string>(const Folder&)> prepare;
    int status;
    // What the stream (stdout for a success, stderr otherwise) holds.
    std::function<std::string(const Folder&)> expected;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class PathMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(PathMessage, NamesThePathAsTheFileSystemDoes) {
    const MessageCase& c = GetParam();
    Folder f;
    const auto run = runWright(c.prepare(f));
    EXPECT_EQ(run.status, c.status) << run.err;
    const std::string& stream = c.status == 0 ? run.out : run.err;
    EXPECT_NE(stream.find(c.expected(f)), std::string::npos) << stream << "\nexpected: " << c.expected(f);
    EXPECT_TRUE(isUtf8(run.out)) << run.out;
    EXPECT_TRUE(isUtf8(run.err)) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Maps, PathMessage,
    ::testing::Values(
        MessageCase{"Exported",
                    [](const Folder& f) {
                        mapsArchive(f);
                        return std::vector<std::string>{"maps", "export", f.at("MAPS.BSA"), "-o", f.at("maps.pot")};
                    },
                    0, [](const Folder& f) { return f.at("maps.pot") + ": 1 location name of " + f.at("MAPS.BSA") + ".\n"; }},
        MessageCase{"Missing",
                    [](const Folder& f) {
                        return std::vector<std::string>{"maps", "export", f.at("none.bsa"), "-o", f.at("maps.pot")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright maps: " + f.at("none.bsa") + ": open failed: No such file or directory\n";
                    }},
        MessageCase{"NotAnArchive",
                    [](const Folder& f) {
                        writeBytes(f.at("MAPS.BSA"), "tiny");
                        return std::vector<std::string>{"maps", "export", f.at("MAPS.BSA"), "-o", f.at("maps.pot")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright maps: " + f.at("MAPS.BSA") + ": not a map archive: the file holds 4 bytes";
                    }},
        MessageCase{"TemplateCannotBeWritten",
                    [](const Folder& f) {
                        mapsArchive(f);
                        return std::vector<std::string>{"maps", "export", f.at("MAPS.BSA"), "-o",
                                                        f.at("no folder/maps.pot")};
                    },
                    1, [](const Folder& f) { return "wright maps: " + f.at("no folder/maps.pot") + ": create failed"; }},
        MessageCase{"Imported",
                    [](const Folder& f) {
                        mapsArchive(f);
                        writeBytes(f.at("maps.po"), catalogue({{kSentinel, "Sentinel", "Sentinelle"}}));
                        return std::vector<std::string>{"maps", "import", f.at("MAPS.BSA"), f.at("maps.po")};
                    },
                    0,
                    [](const Folder& f) {
                        return f.at("MAPS.BSA") + ": 1 name written, 0 already translated, 0 untranslated left as "
                                                  "they were.\n";
                    }},
        MessageCase{"ImportRefused",
                    [](const Folder& f) {
                        mapsArchive(f);
                        writeBytes(f.at("maps.po"), catalogue({{kSentinel, "Sentinel", std::string(40, 'S')}}));
                        return std::vector<std::string>{"maps", "import", f.at("MAPS.BSA"), f.at("maps.po")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright maps: " + f.at("maps.po") + ": import refused, nothing was written (1 problem):";
                    }},
        MessageCase{"CatalogueMissing",
                    [](const Folder& f) {
                        mapsArchive(f);
                        return std::vector<std::string>{"maps", "import", f.at("MAPS.BSA"), f.at("none.po")};
                    },
                    1, [](const Folder& f) { return "wright maps: " + f.at("none.po") + ": cannot open: "; }}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Monsters, PathMessage,
    ::testing::Values(
        MessageCase{"Exported",
                    [](const Folder& f) {
                        monsterArchive(f);
                        return std::vector<std::string>{"monsters", "export", f.at("MONSTER.BSA"), "-o", f.at("m.pot")};
                    },
                    0, [](const Folder& f) { return f.at("m.pot") + ": 1 monster name of " + f.at("MONSTER.BSA") + ".\n"; }},
        MessageCase{"Missing",
                    [](const Folder& f) {
                        return std::vector<std::string>{"monsters", "export", f.at("none.bsa"), "-o", f.at("m.pot")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright monsters: " + f.at("none.bsa") + ": open failed: No such file or directory\n";
                    }},
        MessageCase{"TooShort",
                    [](const Folder& f) {
                        monsterArchive(f, arcwright::kMonsterMinimumSize - 1);
                        return std::vector<std::string>{"monsters", "export", f.at("MONSTER.BSA"), "-o", f.at("m.pot")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright monsters: " + f.at("MONSTER.BSA") + ": not a monster archive: the file holds";
                    }},
        MessageCase{"Imported",
                    [](const Folder& f) {
                        monsterArchive(f);
                        writeBytes(f.at("m.po"), catalogue({{"monster 0", "Rat", "Raton"}}));
                        return std::vector<std::string>{"monsters", "import", f.at("MONSTER.BSA"), f.at("m.po")};
                    },
                    0,
                    [](const Folder& f) {
                        return f.at("MONSTER.BSA") + ": 1 name written, 0 already translated, 0 untranslated left as "
                                                     "they were.\n";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Quests, PathMessage,
    ::testing::Values(
        MessageCase{"Exported",
                    [](const Folder& f) {
                        questFolder(f);
                        return std::vector<std::string>{"quests", "export", f.path, "-o", f.at("q.pot")};
                    },
                    0, [](const Folder& f) { return f.at("q.pot") + ": 2 records of 1 quest file in " + f.path + ".\n"; }},
        MessageCase{"FolderMissing",
                    [](const Folder& f) {
                        return std::vector<std::string>{"quests", "export", f.at("none"), "-o", f.at("q.pot")};
                    },
                    1, [](const Folder& f) { return "wright quests: " + f.at("none") + ": cannot read the folder: "; }},
        MessageCase{"NoQuests",
                    [](const Folder& f) {
                        return std::vector<std::string>{"quests", "export", f.path, "-o", f.at("q.pot")};
                    },
                    1, [](const Folder& f) { return "wright quests: no *.QRC files in " + f.path + "\n"; }},
        MessageCase{"Damaged",
                    [](const Folder& f) {
                        writeBytes(f.at("Déjà.QRC"), std::string("\0\0text", 6));
                        return std::vector<std::string>{"quests", "export", f.path, "-o", f.at("q.pot")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright quests: " + f.path +
                               ": 1 quest file cannot be read or are damaged, no template written:\n  Déjà.QRC: its "
                               "header gives an index of 0 bytes";
                    }},
        MessageCase{"Imported",
                    [](const Folder& f) {
                        questFolder(f);
                        writeBytes(f.at("q.po"), catalogue({{kQuest + " record 0", "Bonjour.<0xFE>", "Salut.<0xFE>"}}));
                        return std::vector<std::string>{"quests", "import", f.path, f.at("q.po")};
                    },
                    0,
                    [](const Folder& f) {
                        return f.path + ": 1 record written, 0 already translated, 0 untranslated left as they were.\n";
                    }},
        MessageCase{"ImportIntoAReadOnlyQuest",
                    [](const Folder& f) {
                        questFolder(f);
                        fs::permissions(f.at(kQuest), fs::perms::owner_read);
                        writeBytes(f.at("q.po"), catalogue({{kQuest + " record 0", "Bonjour.<0xFE>", "Salut.<0xFE>"}}));
                        return std::vector<std::string>{"quests", "import", f.path, f.at("q.po")};
                    },
                    1, [](const Folder&) { return "  " + kQuest + ": the file is read-only\n"; }}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Img, PathMessage,
    ::testing::Values(
        MessageCase{"Png",
                    [](const Folder& f) {
                        picture(f);
                        return std::vector<std::string>{"img", "png", f.at("Été.img"), "-o", f.at("Été.png")};
                    },
                    0, [](const Folder& f) { return f.at("Été.png") + ": 9 x 80 pixels of " + f.at("Été.img") + ".\n"; }},
        MessageCase{"ImportedBack",
                    [](const Folder& f) {
                        picture(f);
                        EXPECT_EQ(runWright({"img", "png", f.at("Été.img"), "-o", f.at("Été.png")}).status, 0);
                        return std::vector<std::string>{"img", "import", f.at("Été.img"), f.at("Été.png")};
                    },
                    0, [](const Folder& f) { return f.at("Été.img") + ": no pixel changed, nothing written.\n"; }},
        MessageCase{"Missing",
                    [](const Folder& f) {
                        return std::vector<std::string>{"img", "png", f.at("none.img"), "-o", f.at("n.png")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright img: " + f.at("none.img") + ": Cannot open " + f.at("none.img") +
                               ": No such file or directory.\n";
                    }},
        MessageCase{"AFolder",
                    [](const Folder& f) {
                        fs::create_directory(f.at("X.img"));
                        return std::vector<std::string>{"img", "png", f.at("X.img"), "-o", f.at("x.png")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright img: " + f.at("X.img") + ": is a folder, not a file\n";
                    }},
        MessageCase{"PaletteMissing",
                    [](const Folder& f) {
                        picture(f, false);
                        return std::vector<std::string>{"img", "png", f.at("Été.img"), "-o", f.at("Été.png")};
                    },
                    1,
                    [](const Folder& f) {
                        return "wright img: " + f.at("Été.img") + ": Cannot open " + f.at("map.pal") +
                               ": No such file or directory.\n";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- game names -------------------------------------------------------------

struct NameCase {
    const char* name;
    const char* letters;
    std::string stored;  // the dungeon's name in the archive
    std::string shown;   // the name as the letter view shows it
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class DamagedRegionName : public ::testing::TestWithParam<NameCase> {};

// A dungeon's name in the damaged-region lines of export and import, both
// when the dungeon is out of its location's order and when no location has
// its name.
TEST_P(DamagedRegionName, ShowsInTheLetterView) {
    const NameCase& c = GetParam();
    Folder f;
    RegionContent misplaced = arcwright::fixtures::regionOf({c.stored, "Oakford"});
    misplaced.dungeons = {{"Oakford", 0}, {c.stored, 1}};
    RegionContent unmatched = arcwright::fixtures::regionOf({"Sentinel", "Oakford"});
    unmatched.dungeons = {{"Oakford", 0}, {c.stored, 1}};
    arcwright::fixtures::writeMapsArchive(f.at("MAPS.BSA"), {misplaced, unmatched});
    writeBytes(f.at("maps.po"), catalogue({{"region 1 (Dragontail Mountains), location 0", "Sentinel", "Sentinelle"}}));

    const auto exported =
        runWright({"maps", "export", f.at("MAPS.BSA"), "-o", f.at("maps.pot"), "--source-letters", c.letters});
    const auto imported =
        runWright({"maps", "import", f.at("MAPS.BSA"), f.at("maps.po"), "--source-letters", c.letters});
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(imported.status, 1);
    EXPECT_TRUE(isUtf8(exported.err)) << exported.err;
    EXPECT_TRUE(isUtf8(imported.err)) << imported.err;
    const std::string outOfOrder = "region 0: damaged record: MAPDITEM: dungeon record 1 (" + c.shown +
                                   ") belongs to location 0, before the location of the dungeon before it";
    const std::string noLocation = "region 1: damaged record: the dungeon \"" + c.shown + "\" has no location of its name";
    EXPECT_NE(exported.err.find(outOfOrder), std::string::npos) << exported.err;
    EXPECT_NE(exported.err.find(noLocation), std::string::npos) << exported.err;
    EXPECT_NE(imported.err.find("the region's records are damaged (the dungeon \"" + c.shown + "\" has no location"),
              std::string::npos)
        << imported.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRegionName,
    ::testing::Values(NameCase{"French", "french", "Ch\\teau \xC9", "Château É"},
                      NameCase{"None", "none", "Ch\\teau \xC9", "Ch\\teau É"},
                      NameCase{"Russian", "russian", "Le`hfdf \xC9", "Дубрава Й"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuestRefusal, QuotesTheTranslationInItsLetterView) {
    const struct {
        const char* letters;
        std::string argument;
        std::string text;  // in the view's alphabet
    } cases[] = {{"french", "é", "Salut "}, {"none", "é", "Salut "}, {"russian", "ж", "Привет "}};
    for (const auto& [letters, argument, text] : cases) {
        SCOPED_TRACE(letters);
        Folder f;
        questFolder(f);
        const std::string before = testing::readBytes(f.at(kQuest));
        writeBytes(f.at("q.po"), catalogue({{kQuest + " record 0", "Bonjour.<0xFE>", text + "<0xFB=" + argument + ">"}}));
        const auto run = runWright({"quests", "import", f.path, f.at("q.po"), "--letters", letters});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(isUtf8(run.err)) << run.err;
        EXPECT_NE(run.err.find(kQuest + " record 0: '" + argument + "' is not a valid integer value"), std::string::npos)
            << run.err;
        EXPECT_EQ(testing::readBytes(f.at(kQuest)), before);
    }
}

}  // namespace
}  // namespace wright::cli
