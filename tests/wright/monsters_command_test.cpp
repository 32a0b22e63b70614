// wright monsters: the 43 names of a generated MONSTER.BSA.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "po/po_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace wright::cli {
namespace {

using wright::testing::readBytes;
using wright::testing::runWright;
using wright::testing::writeBytes;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> sampleNames() {
    std::vector<std::string> names(arcwright::kMonsterCount);
    for (int i = 0; i < arcwright::kMonsterCount; ++i) names[i] = "Monster " + std::to_string(i);
    names[3] = "Li#vre";           // a French letter code
    names[7] = "";                 // nothing to translate
    names[9] = std::string(24, 'W');  // fills its field: no terminating zero
    return names;
}

std::string po(const std::string& entries) {
    return "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n" + entries;
}

std::string entry(int index, const std::string& source, const std::string& translation) {
    return "msgctxt \"monster " + std::to_string(index) + "\"\nmsgid \"" + source + "\"\nmsgstr \"" + translation +
           "\"\n\n";
}

class MonstersCommand : public ::testing::Test {
protected:
    void SetUp() override {
        archive_ = dir_.file("MONSTER.BSA");
        write(archive_, sampleNames());
        original_ = readBytes(archive_);
    }
    static void write(const std::string& path, const std::vector<std::string>& names) {
        arcwright::fixtures::writeMonsterArchive(path, names, arcwright::kMonsterMinimumSize + 100);
    }
    std::string expectedWith(int index, const std::string& stored) {
        std::vector<std::string> names = sampleNames();
        names[static_cast<std::size_t>(index)] = stored;
        write(dir_.file("expected.bsa"), names);
        return readBytes(dir_.file("expected.bsa"));
    }
    testing::WrightRun import(const std::string& entries, const std::vector<std::string>& extra = {}) {
        writeBytes(dir_.file("m.po"), po(entries));
        std::vector<std::string> args{"monsters", "import", archive_, dir_.file("m.po")};
        args.insert(args.end(), extra.begin(), extra.end());
        return runWright(args);
    }

    testing::TempDir dir_;
    std::string archive_;
    std::string original_;
};

TEST_F(MonstersCommand, ExportsTheNamedMonsters) {
    const auto run = runWright({"monsters", "export", archive_, "-o", dir_.file("m.pot")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<po::Entry> entries = po::readCatalogue(dir_.file("m.pot"));
    ASSERT_EQ(entries.size(), 42u);
    EXPECT_EQ(entries[3].context, "monster 3");
    EXPECT_EQ(entries[3].source, "Lièvre");
    EXPECT_EQ(entries[7].context, "monster 8");
    EXPECT_EQ(entries[8].source, std::string(24, 'W'));
    const std::string check = "msgfmt --check -o /dev/null '" + dir_.file("m.pot") + "' 2>/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);

    ASSERT_EQ(runWright({"monsters", "import", archive_, dir_.file("m.pot")}).status, 0);
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MonstersCommand, TranslationsFillTheirFieldsOnly) {
    const std::string entries = entry(3, "Lièvre", "Hase") + entry(9, std::string(24, 'W'), std::string(24, 'V'));
    const auto run = import(entries);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> names = sampleNames();
    names[3] = "Hase";
    names[9] = std::string(24, 'V');
    write(dir_.file("expected.bsa"), names);
    EXPECT_EQ(readBytes(archive_), readBytes(dir_.file("expected.bsa")));

    const auto again = import(entries);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(contains(again.out, "0 names written, 2 already translated")) << again.out;
    EXPECT_EQ(readBytes(archive_), readBytes(dir_.file("expected.bsa")));
}

TEST_F(MonstersCommand, RussianNamesAreStoredAsGameCodes) {
    // The source is the original's English, in the French view.
    const auto run = import(entry(0, "Monster 0", "Заяц"), {"--letters", "russian"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(archive_), expectedWith(0, "Pfzw"));
}

TEST_F(MonstersCommand, RefusalsLeaveTheArchive) {
    const struct {
        std::string entries;
        std::string listed;
    } cases[]{
        {entry(1, "Monster 1", std::string(25, 'x')), "monster 1: the translation has 25 characters; the field holds 24"},
        {entry(43, "Monster 43", "x"), "monster 43: this context matches nothing"},
        {entry(2, "Monster two", "x"), "monster 2: the source text no longer matches"},
        {entry(2, "Monster 2", "ĳ"), "monster 2: the character U+0133"},
        // The same context under another source: the library takes both.
        {entry(2, "Monster 2", "a") + entry(2, "Monster II", "b"), "monster 2: the catalogue holds this context more"},
        {entry(2, "Monster 2", "a") + entry(2, "Monster 2", "b"), "duplicate message definition"},
    };
    for (const auto& c : cases) {
        const auto run = import(entry(4, "Monster 4", "Fine") + c.entries);
        EXPECT_EQ(run.status, 1) << c.listed;
        EXPECT_TRUE(contains(run.err, c.listed)) << run.err;
        EXPECT_EQ(readBytes(archive_), original_);
    }
    const auto dry = import(entry(4, "Monster 4", "Fine"), {"--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MonstersCommand, AFileThatIsNoMonsterArchiveIsRefusedSayingWhatItIs) {
    const struct {
        const char* name;
        std::function<void(const std::string& path)> make;
        std::string found;
    } cases[]{
        {"empty", [](const std::string& p) { writeBytes(p, ""); },
         "not a monster archive: the file holds 0 bytes, fewer than the " +
             std::to_string(arcwright::kMonsterMinimumSize)},
        {"too short", [](const std::string& p) { writeBytes(p, std::string(100, 'x')); },
         "not a monster archive: the file holds 100 bytes"},
        // Long enough for every name field, which would read parts of its records.
        {"a map archive",
         [](const std::string& p) {
             arcwright::fixtures::writeMapsArchive(p, {arcwright::fixtures::regionOf({"Sentinel", "Wayrest"}, {})});
         },
         "not a monster archive: it is a map archive (MAPS.BSA), with the directory of 62 regions' records"},
    };
    writeBytes(dir_.file("m.po"), po(entry(4, "Monster 4", "Fine")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.file("OTHER.BSA");
        c.make(path);
        const std::string before = readBytes(path);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"monsters", "export", path, "-o", dir_.file("m.pot")},
              std::vector<std::string>{"monsters", "import", path, dir_.file("m.po")},
              std::vector<std::string>{"monsters", "import", path, dir_.file("m.po"), "--dry-run"}}) {
            const auto run = runWright(args);
            EXPECT_EQ(run.status, 1) << args[1];
            EXPECT_TRUE(contains(run.err, path + ": " + c.found)) << run.err;
            EXPECT_EQ(readBytes(path), before);
            EXPECT_FALSE(std::filesystem::exists(dir_.file("m.pot")));
        }
    }
}

}  // namespace
}  // namespace wright::cli
