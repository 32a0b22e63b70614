// wright maps: the location names of a generated MAPS.BSA dumped to a
// template and translated catalogues written back.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "fileio/write_faults.h"
#include "po/po_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

namespace wright::cli {
namespace {

using arcwright::fixtures::RegionContent;
using arcwright::fixtures::regionOf;
using wright::testing::readBytes;
using wright::testing::runWright;
using wright::testing::writeBytes;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Region 2 has a dungeon at its third location, region 5 a French letter
// code and a name of 31 characters.
std::vector<RegionContent> sampleRegions() {
    std::vector<RegionContent> regions(6);
    regions[2] = regionOf({"Sentinel", "Oakford", "Crypt of Ash"}, {2});
    regions[5] = regionOf({"Ch^ne", std::string(31, 'L'), ""});
    return regions;
}

// A catalogue as a translation tool writes it: a filled-in header, translator
// comments, a fuzzy entry, long strings wrapped over several lines.
std::string catalogue(const std::string& entries) {
    return "# French translation of the map names.\n"
           "msgid \"\"\n"
           "msgstr \"\"\n"
           "\"Project-Id-Version: MAPS.BSA location names\\n\"\n"
           "\"Last-Translator: Claire <claire@example.org>\\n\"\n"
           "\"Language: fr\\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n\n" +
           entries;
}

std::string entry(const std::string& context, const std::string& source, const std::string& translation,
                  bool fuzzy = false) {
    return std::string("# checked against the map\n") + (fuzzy ? "#, fuzzy\n" : "") + "msgctxt \"" + context +
           "\"\nmsgid \"" + source + "\"\nmsgstr \"" + translation + "\"\n\n";
}

class MapsCommand : public ::testing::Test {
protected:
    void SetUp() override {
        archive_ = dir_.file("MAPS.BSA");
        arcwright::fixtures::writeMapsArchive(archive_, sampleRegions());
        original_ = readBytes(archive_);
    }

    // The archive as it should be with `name` in all three places of region 2, location k.
    std::string expectedWith(std::size_t k, const std::string& stored) {
        std::vector<RegionContent> regions = sampleRegions();
        regions[2].names[k] = stored;
        regions[2].locations[k].name = stored;
        for (auto& dungeon : regions[2].dungeons)
            if (dungeon.name == sampleRegions()[2].names[k]) dungeon.name = stored;
        const std::string path = dir_.file("expected.bsa");
        arcwright::fixtures::writeMapsArchive(path, regions);
        return readBytes(path);
    }

    testing::WrightRun import(const std::string& entries, const std::vector<std::string>& extra = {}) {
        writeBytes(dir_.file("maps.po"), catalogue(entries));
        std::vector<std::string> args{"maps", "import", archive_, dir_.file("maps.po")};
        args.insert(args.end(), extra.begin(), extra.end());
        return runWright(args);
    }

    testing::TempDir dir_;
    std::string archive_;
    std::string original_;
};

TEST_F(MapsCommand, ExportsEveryNamedLocationWithItsPlaceAndLimit) {
    const auto run = runWright({"maps", "export", archive_, "-o", dir_.file("maps.pot")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(archive_), original_);

    const std::vector<po::Entry> entries = po::readCatalogue(dir_.file("maps.pot"));
    ASSERT_EQ(entries.size(), 5u);  // the empty name of region 5 is not a string to translate
    EXPECT_EQ(entries[0].context, "region 2 (Glenpoint Foothills), location 0");
    EXPECT_EQ(entries[0].source, "Sentinel");
    EXPECT_TRUE(contains(entries[0].extractedComment, "No dungeon"));
    EXPECT_TRUE(contains(entries[2].extractedComment, "Has a dungeon"));
    EXPECT_TRUE(contains(entries[2].extractedComment, "at most 31 characters"));
    EXPECT_EQ(entries[3].context, "region 5 (Dwynnen), location 0");
    EXPECT_EQ(entries[3].source, "Chêne");
    EXPECT_EQ(entries[4].source, std::string(31, 'L'));
    for (const po::Entry& e : entries) EXPECT_TRUE(e.translation.empty());

    const std::string check = "msgfmt --check -o /dev/null '" + dir_.file("maps.pot") + "' 2>/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

TEST_F(MapsCommand, ExportWithoutLetterViewShowsTheCodes) {
    ASSERT_EQ(runWright({"maps", "export", archive_, "--source-letters", "none", "-o", dir_.file("m.pot")}).status, 0);
    EXPECT_EQ(po::readCatalogue(dir_.file("m.pot"))[3].source, "Ch^ne");
}

TEST_F(MapsCommand, ALocationRecordOfAnotherNameIsNamedAndTakesTheTranslation) {
    std::vector<RegionContent> regions = sampleRegions();
    regions[2].locations[1].name = "Oakford Mill";
    arcwright::fixtures::writeMapsArchive(archive_, regions);
    ASSERT_EQ(runWright({"maps", "export", archive_, "-o", dir_.file("m.pot")}).status, 0);
    const po::Entry oakford = po::readCatalogue(dir_.file("m.pot"))[1];
    EXPECT_EQ(oakford.source, "Oakford");
    EXPECT_TRUE(contains(oakford.extractedComment, "The location record now names it \"Oakford Mill\"."))
        << oakford.extractedComment;

    // As the editor's copy does, the translation replaces both names.
    ASSERT_EQ(import(entry(oakford.context, "Oakford", "Chênaie")).status, 0);
    EXPECT_EQ(readBytes(archive_), expectedWith(1, "Ch^naie"));
}

TEST_F(MapsCommand, ReadOnlyArchiveIsExportedButNotWritten) {
    ASSERT_EQ(::chmod(archive_.c_str(), 0444), 0);
    ASSERT_EQ(runWright({"maps", "export", archive_, "-o", dir_.file("m.pot")}).status, 0);
    // A catalogue that changes nothing needs no writing.
    EXPECT_EQ(runWright({"maps", "import", archive_, dir_.file("m.pot")}).status, 0);
    const auto run = import(entry("region 2 (Glenpoint Foothills), location 1", "Oakford", "Chênaie"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, archive_)) << run.err;
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MapsCommand, ATranslationReachesNamesLocationAndDungeon) {
    // A fuzzy entry and an untranslated one beside it stay as they are.
    const auto run = import(entry("region 2 (Glenpoint Foothills), location 2", "Crypt of Ash",
                                  "Crypte de la Cendre\"\n\"-Grise") +
                            entry("region 2 (Glenpoint Foothills), location 0", "Sentinel", "Sentinelle", true) +
                            entry("region 5 (Dwynnen), location 0", "Chêne", ""));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "1 name written, 0 already translated, 2 untranslated left as they were."))
        << run.out;
    EXPECT_EQ(readBytes(archive_), expectedWith(2, "Crypte de la Cendre-Grise"));
}

TEST_F(MapsCommand, AccentedLettersAreStoredAsGameCodes) {
    ASSERT_EQ(import(entry("region 2 (Glenpoint Foothills), location 1", "Oakford", "Chênaie")).status, 0);
    EXPECT_EQ(readBytes(archive_), expectedWith(1, "Ch^naie"));
}

TEST_F(MapsCommand, UntranslatedTemplateLeavesEveryByte) {
    ASSERT_EQ(runWright({"maps", "export", archive_, "-o", dir_.file("maps.pot")}).status, 0);
    const auto run = runWright({"maps", "import", archive_, dir_.file("maps.pot")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "0 names written, 0 already translated, 5 untranslated")) << run.out;
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MapsCommand, ImportingTwiceWritesTheSameBytes) {
    const std::string entries = entry("region 5 (Dwynnen), location 0", "Chêne", "Le Chêne") +
                                entry("region 2 (Glenpoint Foothills), location 2", "Crypt of Ash", "Crypte");
    ASSERT_EQ(import(entries).status, 0);
    const std::string once = readBytes(archive_);
    EXPECT_NE(once, original_);
    const auto again = import(entries);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(contains(again.out, "0 names written, 2 already translated")) << again.out;
    EXPECT_EQ(readBytes(archive_), once);
}

TEST_F(MapsCommand, DryRunReportsAndWritesNothing) {
    const auto run = import(entry("region 2 (Glenpoint Foothills), location 1", "Oakford", "Chênaie"), {"--dry-run"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "1 name would be written")) << run.out;
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MapsCommand, AWriteFailingPartWayPutsEveryFieldBack) {
    // Names of two regions: the failing write may come in either.
    const std::string entries = entry("region 2 (Glenpoint Foothills), location 2", "Crypt of Ash", "Crypte") +
                                entry("region 5 (Dwynnen), location 0", "Chêne", "Le Chêne");
    wright::WriteFaults::disarm();
    ASSERT_EQ(import(entries).status, 0);
    const int calls = wright::WriteFaults::calls();
    const std::string translated = readBytes(archive_);
    ASSERT_GT(calls, 4);
    for (int n = 1; n <= calls; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        arcwright::fixtures::writeMapsArchive(archive_, sampleRegions());
        wright::WriteFaults::failAt(n, EIO);
        const auto run = import(entries);
        wright::WriteFaults::disarm();
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.empty());
        if (n == calls) {
            // The last call syncs the folder once the journal is removed:
            // every name is written, only the removal may not last.
            EXPECT_TRUE(contains(run.err, archive_ + ": written, but whether the save lasts is not known: "))
                << run.err;
            EXPECT_TRUE(readBytes(archive_) == translated) << "the written names are not all there";
            continue;
        }
        EXPECT_TRUE(contains(run.err, archive_ + ": not written: ")) << run.err;
        EXPECT_TRUE(readBytes(archive_) == original_) << "the archive changed";
    }
}

TEST_F(MapsCommand, EveryProblemIsListedAndNothingWritten) {
    // One good entry among them: it is not written either.
    const std::string good = entry("region 2 (Glenpoint Foothills), location 1", "Oakford", "Chênaie");
    const struct {
        std::string entry;
        std::string context;
        std::string reason;
    } cases[]{
        {entry("region 2 (Glenpoint Foothills), location 0", "Sentinel", std::string(32, 'S')),
         "region 2 (Glenpoint Foothills), location 0", "32 characters; the field holds 31"},
        {entry("region 5 (Dwynnen), location 0", "Chêne", "Дуб"), "region 5 (Dwynnen), location 0",
         "U+0414 'Д' at character 1 is not in the game's alphabet with --letters french"},
        {entry("region 2 (Glenpoint Foothills), location 7", "Nowhere", "Nulle part"),
         "region 2 (Glenpoint Foothills), location 7", "matches nothing"},
        {entry("region 2 (Glenpoint Foothills), location 0", "Sentinal", "Sentinelle"),
         "region 2 (Glenpoint Foothills), location 0", "no longer matches the file, which holds \"Sentinel\""},
        {entry("region 2 (Glenpoint Foothills), location 0", "Sentinel", "Senti\\nnelle"),
         "region 2 (Glenpoint Foothills), location 0", "line break"},
    };
    std::string all = good;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const auto run = import(good + c.entry);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, c.context + ": ")) << run.err;
        EXPECT_TRUE(contains(run.err, c.reason)) << run.err;
        EXPECT_EQ(readBytes(archive_), original_);
        if (&c == &cases[1] || &c == &cases[2]) all += c.entry;  // contexts must stay distinct
    }
    const auto run = import(all + cases[0].entry);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "(3 problems)")) << run.err;
    EXPECT_EQ(readBytes(archive_), original_);
}

TEST_F(MapsCommand, RussianTranslatorsTypeCyrillic) {
    const auto exported = runWright({"maps", "export", archive_, "--letters", "russian", "-o", dir_.file("r.pot")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const po::Entry first = po::readCatalogue(dir_.file("r.pot"))[1];
    ASSERT_EQ(first.context, "region 2 (Glenpoint Foothills), location 1");
    const auto run = import(entry(first.context, first.source, "Дубрава"), {"--letters", "russian"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(archive_), expectedWith(1, "Le`hfdf"));
}

TEST_F(MapsCommand, DamagedRegionIsRefused) {
    std::vector<RegionContent> regions = sampleRegions();
    // MAPNAMES of region 2 claims more names than its record holds.
    regions[2].raw[arcwright::kNamesSlot] = std::string("\x09\0\0\0", 4) + std::string(40, 'x');
    arcwright::fixtures::writeMapsArchive(archive_, regions);
    const std::string before = readBytes(archive_);
    const auto exported = runWright({"maps", "export", archive_, "-o", dir_.file("m.pot")});
    EXPECT_EQ(exported.status, 1);
    EXPECT_TRUE(contains(exported.err, "region 2: damaged record")) << exported.err;
    EXPECT_FALSE(std::filesystem::exists(dir_.file("m.pot")));

    const auto run = import(entry("region 2 (Glenpoint Foothills), location 0", "Sentinel", "Sentinelle"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "region 2 (Glenpoint Foothills), location 0: the region's records are damaged"))
        << run.err;
    EXPECT_EQ(readBytes(archive_), before);
}

TEST_F(MapsCommand, FilesThatCannotBeReadAreRefusedByName) {
    const auto noArchive = runWright({"maps", "export", dir_.file("missing.bsa"), "-o", dir_.file("m.pot")});
    EXPECT_EQ(noArchive.status, 1);
    EXPECT_TRUE(contains(noArchive.err, "missing.bsa")) << noArchive.err;

    const auto noCatalogue = runWright({"maps", "import", archive_, dir_.file("missing.po")});
    EXPECT_EQ(noCatalogue.status, 1);
    EXPECT_TRUE(contains(noCatalogue.err, "missing.po")) << noCatalogue.err;

    writeBytes(dir_.file("short.bsa"), "tiny");
    const auto notAnArchive = runWright({"maps", "export", dir_.file("short.bsa"), "-o", dir_.file("m.pot")});
    EXPECT_EQ(notAnArchive.status, 1);
    EXPECT_TRUE(contains(notAnArchive.err, "not a map archive")) << notAnArchive.err;
}

TEST(WrightUsage, MistakesExitWithStatusTwo) {
    const std::vector<std::vector<std::string>> cases{
        {},
        {"mapz"},
        {"maps"},
        {"maps", "dump", "MAPS.BSA"},
        {"maps", "export", "MAPS.BSA"},
        {"maps", "export", "-o", "m.pot"},
        {"maps", "export", "MAPS.BSA", "extra", "-o", "m.pot"},
        {"maps", "export", "MAPS.BSA", "-o", "m.pot", "--letters", "greek"},
        {"maps", "export", "MAPS.BSA", "-o", "m.pot", "--dry-run"},
        {"maps", "import", "MAPS.BSA"},
        {"monsters", "import", "MONSTER.BSA", "m.po", "-o", "x"},
    };
    for (const auto& args : cases) {
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(WrightUsage, HelpGoesToStandardOutput) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"maps", "--help"},
                                                 {"monsters", "export", "-h"}}) {
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(contains(run.out, "Usage: wright")) << run.out;
        EXPECT_TRUE(run.err.empty());
    }
}

}  // namespace
}  // namespace wright::cli
