// What every import and export of a catalogue shares, through the real
// commands on one set of game files built in code: entries that match
// nothing, catalogues of another kind or in another charset, and what a
// template carries for translation tools.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "po/po_file.h"
#include "questwright/fixtures/quest_fixtures.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::runWright;
using testing::TempDir;
using testing::writeBytes;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The game's files: a map archive with names in region 2, a monster archive,
// and a folder of two quests whose records hold tags.
class GameFiles {
public:
    GameFiles() {
        std::vector<arcwright::fixtures::RegionContent> regions(3);
        regions[2] = arcwright::fixtures::regionOf({"Sentinel", "Oakford", "Crypt of Ash"}, {2});
        arcwright::fixtures::writeMapsArchive(maps(), regions);
        arcwright::fixtures::writeMonsterArchive(monsters(), {"Rat", "Goblin", "Wolf"},
                                                 arcwright::kMonsterMinimumSize + 100);
        fs::create_directory(quests());
        const std::vector<questwright::fixtures::RecordBytes> first{{1000, "Hello.\xFE"}, {1001, "Bye.\xFCGo \xFB\x0C.\xFE"}};
        questwright::fixtures::writeFile(quests() + "/QUEST001.QRC", questwright::fixtures::questImage(first));
        questwright::fixtures::writeFile(quests() + "/QUEST002.QRC", questwright::fixtures::questImage({{2000, "Two.\xFE"}}));
    }

    std::string maps() const { return dir.file("MAPS.BSA"); }
    std::string monsters() const { return dir.file("MONSTER.BSA"); }
    std::string quests() const { return dir.file("QUESTS"); }

    // Every game file's bytes, to show that a refusal wrote nothing.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file() && e.path().extension() != ".po" && e.path().extension() != ".pot")
                files[e.path().string()] = readBytes(e.path().string());
        return files;
    }

    // The target a command imports into.
    std::string target(const std::string& command) const {
        return command == "maps" ? maps() : command == "monsters" ? monsters() : quests();
    }

    TempDir dir;
};

struct PoEntry {
    std::string context, source, translation;
    bool fuzzy = false;
};

// A catalogue as bytes: a header declaring `charset`, then the entries, whose
// strings are already in that charset.
std::string catalogue(const std::string& charset, const std::vector<PoEntry>& entries) {
    std::string text = "msgid \"\"\nmsgstr \"\"\n\"Language: fr\\n\"\n\"MIME-Version: 1.0\\n\"\n"
                       "\"Content-Type: text/plain; charset=" +
                       charset + "\\n\"\n\"Content-Transfer-Encoding: 8bit\\n\"\n\n";
    for (const PoEntry& e : entries) {
        if (e.fuzzy) text += "#, fuzzy\n";
        text += "msgctxt \"" + e.context + "\"\nmsgid \"" + e.source + "\"\nmsgstr \"" + e.translation + "\"\n\n";
    }
    return text;
}

const PoEntry kSentinel{"region 2 (Glenpoint Foothills), location 0", "Sentinel", "Sentinelle"};
const PoEntry kGoblin{"monster 1", "Goblin", "Gobelin"};
const PoEntry kHello{"QUEST001.QRC record 0", "Hello.<0xFE>", "Salut.<0xFE>"};

// Untranslated and fuzzy entries that match nothing write nothing: a warning,
// one line for each file or region, and the import goes on; a translated one
// still refuses the import.
TEST(CatalogueLeftovers, UntranslatedOnesAreWarnedAboutAndTranslatedOnesRefuse) {
    struct Case {
        const char* name;
        std::string command;
        std::vector<PoEntry> entries;
        int status;
        std::vector<std::string> errLines;  // each must appear, and no other line
        std::string out;
    };
    const std::vector<Case> cases{
        {"a quest file the copy lacks",
         "quests",
         {kHello, {"QUEST009.QRC record 0", "Nine.", ""}, {"QUEST009.QRC record 4", "Four.", ""}},
         0,
         {"2 untranslated entries of QUEST009.QRC match nothing in "},
         "1 record written"},
        {"fuzzy ones count as untranslated, one line per file",
         "quests",
         {kHello, {"QUEST009.QRC record 0", "Nine.", "Neuf.", true}, {"QUEST010.QRC record 0", "Ten.", ""}},
         0,
         {"1 untranslated entry of QUEST009.QRC matches nothing in ",
          "1 untranslated entry of QUEST010.QRC matches nothing in "},
         "1 record written"},
        {"a translated entry of a missing quest file",
         "quests",
         {kHello, {"QUEST009.QRC record 0", "Nine.", "Neuf."}, {"QUEST009.QRC record 1", "Nine.", ""}},
         1,
         {"1 untranslated entry of QUEST009.QRC matches nothing in ",
          "import refused, nothing was written (1 problem)",
          "QUEST009.QRC record 0: this context matches nothing in "},
         ""},
        {"a location the region lacks",
         "maps",
         {kSentinel, {"region 2 (Glenpoint Foothills), location 40", "Far", ""}},
         0,
         {"1 untranslated entry of region 2 (Glenpoint Foothills) matches nothing in "},
         "1 name written"},
        {"a translated location the region lacks",
         "maps",
         {kSentinel, {"region 2 (Glenpoint Foothills), location 40", "Far", "Loin"}},
         1,
         {"import refused, nothing was written (1 problem)",
          "region 2 (Glenpoint Foothills), location 40: this context matches nothing in "},
         ""},
        {"a monster beyond the archive's names",
         "monsters",
         {kGoblin, {"monster 60", "Ghost", ""}},
         0,
         {"1 untranslated entry of MONSTER.BSA matches nothing in "},
         "1 name written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFiles game;
        const std::string po = game.dir.file("fr.po");
        writeBytes(po, catalogue("UTF-8", c.entries));
        const auto before = game.snapshot();
        const auto run = runWright({c.command, "import", game.target(c.command), po});
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const std::string& line : c.errLines) EXPECT_TRUE(contains(run.err, line)) << run.err;
        EXPECT_EQ(lineCount(run.err), c.errLines.size()) << run.err;
        for (const std::string& line : c.errLines)
            if (contains(line, "untranslated")) {
                EXPECT_TRUE(contains(run.err, po + ": warning: " + line)) << run.err;
            }
        if (c.status == 0) {
            EXPECT_TRUE(contains(run.out, c.out)) << run.out;
        } else {
            EXPECT_EQ(game.snapshot(), before);
        }
    }
}

// A catalogue of another kind of file is refused by its contexts in one
// line, which names the command it belongs to when it is one of ours.
TEST(CatalogueKinds, ACatalogueOfAnotherKindIsRefusedInOneLine) {
    const std::vector<PoEntry> monsters{kGoblin, {"monster 2", "Wolf", "Loup"}, {"monster 0", "Rat", ""}};
    const std::vector<PoEntry> maps{kSentinel, {"region 2 (Glenpoint Foothills), location 1", "Oakford", ""}};
    const std::vector<PoEntry> quests{kHello, {"QUEST002.QRC record 0", "Two.<0xFE>", ""}};
    struct Case {
        const char* name;
        std::string command;
        std::vector<PoEntry> entries;
        std::string says;
    };
    const std::vector<Case> cases{
        {"monster names given to maps", "maps", monsters,
         "not a catalogue of MAPS.BSA location names: its contexts (\"monster 1\"...) are those of MONSTER.BSA "
         "monster names; import it with 'wright monsters import'."},
        {"location names given to monsters", "monsters", maps,
         "are those of MAPS.BSA location names; import it with 'wright maps import'."},
        {"monster names given to quests", "quests", monsters,
         "not a catalogue of quest records: its contexts (\"monster 1\"...) are those of MONSTER.BSA"},
        {"quest records given to maps", "maps", quests,
         "are those of quest records; import it with 'wright quests import'."},
        {"contexts of no kind of ours", "monsters", {{"greeting", "Hi", "Salut"}, {"farewell", "Bye", ""}},
         "not a catalogue of MONSTER.BSA monster names: none of its 2 contexts is of that kind (the first is "
         "\"greeting\")."},
        {"two kinds mixed", "quests", {kGoblin, kSentinel},
         "none of its 2 contexts is of that kind (the first is \"monster 1\")."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFiles game;
        const std::string po = game.dir.file("other.po");
        writeBytes(po, catalogue("UTF-8", c.entries));
        const auto before = game.snapshot();
        const auto run = runWright({c.command, "import", game.target(c.command), po});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, "wright " + c.command + ": " + po + ": import refused, nothing was written: "))
            << run.err;
        EXPECT_TRUE(contains(run.err, c.says)) << run.err;
        EXPECT_EQ(lineCount(run.err), 1u) << run.err;
        EXPECT_EQ(game.snapshot(), before);
    }
}

// UTF-8 text in another charset, through iconv, for writing old catalogues.
std::string inCharset(const std::string& utf8, const std::string& charset) {
    const iconv_t cd = ::iconv_open(charset.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no charset " + charset);
    std::string out(utf8.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    char* to = out.data();
    const std::size_t done = ::iconv(cd, &in, &inLeft, &to, &outLeft);
    ::iconv_close(cd);
    if (done == static_cast<std::size_t>(-1)) throw std::runtime_error("not in " + charset + ": " + utf8);
    out.resize(out.size() - outLeft);
    return out;
}

// The source of a context as the export shows it with `letters`.
std::string exportedSource(const GameFiles& game, const std::string& command, const std::string& letters,
                           const std::string& context) {
    const std::string pot = game.dir.file("view.pot");
    const auto run = runWright({command, "export", game.target(command), "-o", pot, "--source-letters", letters});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const po::Entry& e : po::readCatalogue(pot))
        if (e.context == context) return e.source;
    ADD_FAILURE() << "no entry " << context;
    return {};
}

// A catalogue whose header declares another charset is converted from it;
// what the game then holds is what the translator typed.
TEST(CatalogueCharsets, ACatalogueInAnotherCharsetIsConvertedAsGettextDoes) {
    struct Case {
        std::string command, charset, letters, context;
        std::string translation;  // UTF-8, written in `charset`
    };
    const std::vector<Case> cases{
        {"maps", "ISO-8859-1", "french", kSentinel.context, "For\xC3\xAAt"},
        {"monsters", "ISO-8859-15", "french", "monster 1", "Ch\xC3\xAAne"},
        {"quests", "windows-1252", "french", kHello.context, "\xC3\xA0 bient\xC3\xB4t.<0xFE>"},
        // Cyrillic in the Windows and the KOI8 code pages.
        {"monsters", "CP1251", "russian", "monster 2", "\xD0\x92\xD0\xBE\xD0\xBB\xD0\xBA"},
        {"quests", "KOI8-R", "russian", kHello.context,
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.<0xFE>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " " + c.charset);
        GameFiles game;
        // The originals hold English or French text: their source view is french.
        const std::string source = exportedSource(game, c.command, "french", c.context);
        const std::string po = game.dir.file("old.po");
        const PoEntry entry{c.context, inCharset(source, c.charset), inCharset(c.translation, c.charset)};
        writeBytes(po, catalogue(c.charset, {entry}));
        ASSERT_NE(readBytes(po).find(inCharset(c.translation, c.charset)), std::string::npos);
        const auto run = runWright({c.command, "import", game.target(c.command), po, "--letters", c.letters});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(contains(run.out, ": 1 ")) << run.out;
        EXPECT_EQ(exportedSource(game, c.command, c.letters, c.context), c.translation);
    }
}

TEST(CatalogueCharsets, ACharsetThatCannotBeConvertedRefusesNamingIt) {
    struct Case {
        std::string charset, translation, says;
    };
    const std::vector<Case> cases{
        {"X-NO-SUCH-CHARSET", "Sentinelle",
         "the header declares the charset \"X-NO-SUCH-CHARSET\", which this system cannot convert to UTF-8"},
        // A byte the declared charset does not define.
        {"windows-1252", "Sentinel\x81",
         "the entry \"region 2 (Glenpoint Foothills), location 0\" is not valid windows-1252 text, the charset its "
         "header declares"},
        // Declared UTF-8, written in Latin-1: not read as something else.
        {"UTF-8", "For\xEAt", "bad.po:10: invalid multibyte sequence"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        GameFiles game;
        const std::string po = game.dir.file("bad.po");
        writeBytes(po, catalogue(c.charset, {{kSentinel.context, "Sentinel", c.translation}}));
        const auto before = game.snapshot();
        const auto run = runWright({"maps", "import", game.maps(), po});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, c.says)) << run.err;
        EXPECT_EQ(game.snapshot(), before);
    }
}

// The export of each kind: a "#:" reference and flags for translation
// tools before each context, and the time the template was made.
TEST(CatalogueTemplates, CarryReferencesFlagsAndTheirCreationDate) {
    const std::string placeholders = R"(placeholders:r"<0xF[CDEF]>|<0xFB=[0-9]+>")";
    struct Case {
        std::string command;
        std::string block;          // reference, flags, context
        std::string place;          // what msggrep -N picks
        std::size_t entriesOfPlace; // and how many entries it finds
    };
    const std::vector<Case> cases{
        {"maps",
         "#: MAPS.BSA/region-2:1\n#, max-length:31\nmsgctxt \"region 2 (Glenpoint Foothills), location 1\"\n",
         "MAPS.BSA/region-2", 3},
        // Three names and a pattern in the other fields: every field is a name.
        {"monsters", "#: MONSTER.BSA:2\n#, max-length:24\nmsgctxt \"monster 2\"\n", "MONSTER.BSA",
         arcwright::kMonsterCount},
        {"quests", "#: QUEST001.QRC:1\n#, " + placeholders + "\nmsgctxt \"QUEST001.QRC record 1\"\n", "QUEST002.QRC",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        GameFiles game;
        const std::string pot = game.dir.file(c.command + ".pot");
        const auto before = std::chrono::system_clock::now();
        ASSERT_EQ(runWright({c.command, "export", game.target(c.command), "-o", pot}).status, 0);
        const auto after = std::chrono::system_clock::now();
        const std::string text = readBytes(pot);
        EXPECT_TRUE(contains(text, c.block)) << text;

        // A real date, as xgettext writes it, made during the export.
        std::smatch date;
        ASSERT_TRUE(std::regex_search(text, date, std::regex(R"(POT-Creation-Date: ([0-9-]+ [0-9:]+[+-][0-9]{4})\\n)")))
            << text;
        std::tm parsed{};
        ASSERT_TRUE(strptime(date.str(1).c_str(), "%Y-%m-%d %H:%M%z", &parsed));
        const long offset = parsed.tm_gmtoff;
        const auto made = std::chrono::system_clock::from_time_t(timegm(&parsed) - offset);
        EXPECT_GE(made, std::chrono::floor<std::chrono::minutes>(before) - std::chrono::minutes(1));
        EXPECT_LE(made, after);

        if (std::system("command -v msggrep >/dev/null 2>&1") != 0) continue;
        EXPECT_EQ(std::system(("msgfmt --check -o /dev/null '" + pot + "' 2>/dev/null").c_str()), 0);
        const std::string part = game.dir.file("part.pot");
        ASSERT_EQ(std::system(("msggrep -N '" + c.place + "' -o '" + part + "' '" + pot + "'").c_str()), 0);
        const std::vector<po::Entry> picked = po::readCatalogue(part);
        EXPECT_EQ(picked.size(), c.entriesOfPlace);
    }
}

// The placeholders pattern of the quest templates finds each tag of the
// notation, and nothing that only looks like one.
TEST(CatalogueTemplates, ThePlaceholdersPatternMatchesTheNotationsTags) {
    GameFiles game;
    const std::string pot = game.dir.file("quests.pot");
    ASSERT_EQ(runWright({"quests", "export", game.quests(), "-o", pot}).status, 0);
    std::smatch flag;
    const std::string text = readBytes(pot);
    ASSERT_TRUE(std::regex_search(text, flag, std::regex(R"re(placeholders:r"([^"]*)")re")));
    const std::regex pattern(flag.str(1));
    for (const char* tag : {"<0xFB=0>", "<0xFB=12>", "<0xFB=255>", "<0xFC>", "<0xFD>", "<0xFE>", "<0xFF>"})
        EXPECT_TRUE(std::regex_match(std::string(tag), pattern)) << tag;
    for (const char* lookalike : {"<0xfc>", "<0xFA>", "<0XFC>", "<0xFB=>", "<0xFB=x>", "0xFC", "<b>"})
        EXPECT_FALSE(std::regex_match(std::string(lookalike), pattern)) << lookalike;
}

}  // namespace
}  // namespace wright::cli
