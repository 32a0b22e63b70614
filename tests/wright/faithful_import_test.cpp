// What the translator wrote is what the game gets: each import shows every
// translation back through its letter view before writing, takes only the
// letters of the game's font, folds typography on request, and compares the
// source in the view of the original's letters. Every refusal leaves every
// file of the game as it was, byte for byte.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "po/po_file.h"
#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using questwright::fixtures::questImage;
using testing::readBytes;
using testing::runWright;
using testing::TempDir;
using testing::writeBytes;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string quoted(const std::string& raw) {
    std::string out = "\"";
    for (const char c : raw) {
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out + "\"";
}

struct Entry {
    std::string context, source, translation;
};

std::string catalogue(const std::vector<Entry>& entries) {
    std::string text = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (const Entry& e : entries)
        text += "msgctxt " + quoted(e.context) + "\nmsgid " + quoted(e.source) + "\nmsgstr " + quoted(e.translation) +
                "\n\n";
    return text;
}

// Every file of a folder, by name, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().filename().string()] = readBytes(e.path().string());
    return files;
}

// A quest folder of one record, "Bonjour ch^ne.<0xFE>" in the game's codes,
// and the catalogue beside it (in another folder).
struct Quest {
    static constexpr const char* kContext = "QUEST001.QRC record 0";
    static constexpr const char* kSource = "Bonjour chêne.<0xFE>";  // the French view

    TempDir game, work;
    Quest() { writeBytes(game.file("QUEST001.QRC"), questImage({{1000, "Bonjour ch^ne.\xFE"}})); }

    testing::WrightRun import(const std::string& translation, std::vector<std::string> options,
                              const std::string& source = kSource) {
        const std::string po = work.file("q.po");
        writeBytes(po, catalogue({{kContext, source, translation}}));
        std::vector<std::string> args{"quests", "import", game.path(), po};
        args.insert(args.end(), options.begin(), options.end());
        return runWright(args);
    }
    std::string record() const { return questwright::ReadQuestFile(game.file("QUEST001.QRC"))[0].data; }
};

// MONSTER.BSA with "Monster 0" ... and the catalogue beside it.
struct Monsters {
    TempDir dir;
    std::string archive = dir.file("MONSTER.BSA");

    static std::vector<std::string> names() {
        std::vector<std::string> list(arcwright::kMonsterCount);
        for (int i = 0; i < arcwright::kMonsterCount; ++i) list[i] = "Monster " + std::to_string(i);
        return list;
    }
    Monsters() { arcwright::fixtures::writeMonsterArchive(archive, names(), arcwright::kMonsterMinimumSize + 100); }

    testing::WrightRun import(const std::string& translation, std::vector<std::string> options,
                              const std::string& source = "Monster 0") {
        writeBytes(dir.file("m.po"), catalogue({{"monster 0", source, translation}}));
        std::vector<std::string> args{"monsters", "import", archive, dir.file("m.po")};
        args.insert(args.end(), options.begin(), options.end());
        return runWright(args);
    }
    std::string name() {
        arcwright::MonsterArchive file(archive, arcwright::Access::ReadOnly);
        return file.readNames(wright::FrenchLetters::Keep)[0];
    }
};

// Item: a translation whose bytes would not show back as it is written.
TEST(RenderBack, ATranslationThatWouldNotComeBackAsWrittenIsRefusedAndNamed) {
    struct Case {
        const char* letters;
        std::string translation;
        std::string reason;
    };
    const Case cases[] = {
        {"french", "Salut <0xfc>\nfin.<0xFE>",
         "'<0xfc>' is not a tag (tags are written \"<0x\" and upper-case hexadecimal) and would be stored as plain text"},
        {"none", "Salut <0xfc>\nfin.<0xFE>", "'<0xfc>' is not a tag"},  // the bytes would show back: still refused
        {"russian", "Привет <0xfc>\nвсем.<0xFE>", "'<0xfc>' is not a tag"},
        {"french", "Salut <0XFB=65 fin.<0xFE>", "'<0XFB=65' is not a tag (tags are written"},
        {"french", "Salut <0xFA> fin.<0xFE>",
         "'<0xFA>' is not a tag (the tags are <0xFB=n>, <0xFC>, <0xFD>, <0xFE> and <0xFF>)"},
        {"french", "Fin.<0xFE> Et encore.", "the text after <0xFE> would be dropped: \" Et encore.\""},
        {"french", "Ligne un\nligne deux.<0xFE>",
         "the line break at line 1, character 9 would not be stored: a line break is kept only after <0xFC>, "
         "<0xFD> or <0xFF>"},
        {"french", "Un.<0xFD>\nDeux\n\nTrois.<0xFE>", "the line break at line 3, character 1 would not be stored"},
        {"french", "Vingt <0xFB=300>.<0xFE>", "the argument of '<0xFB=300>' is not 0 to 255: it would be stored as 44"},
        {"french", "Vingt <0xFB=-5>.<0xFE>", "the argument of '<0xFB=-5>' is not 0 to 255: it would be stored as 251"},
        // Letters whose bytes are control bytes: in the French view they are
        // outside the alphabet, in no view they become tags.
        {"french", "Über.<0xFE>", "the character U+00DC 'Ü' at character 1 is not in the game's alphabet"},
        {"french", "üb ýþÿ.<0xFE>", "the character U+00FC 'ü' at character 1 is not in the game's alphabet"},
        {"none", "Mûr.<0xFE>", "the character 'û' at line 1, character 2 would be stored as a control byte, shown as "
                               "'<0xFB=114>'"},
        {"none", "Oui ÿ.<0xFE>", "the character 'ÿ' at line 1, character 5 would be stored as a control byte, shown as "
                                 "'<0xFF>'"},
        {"none", "a\rb.<0xFE>", "the carriage return at line 1, character 2 would be dropped with the character after it"},
        // A variable marker protects the codes after it, so a Cyrillic letter
        // right after it would come back as its code.
        {"russian", "Привет _имя.<0xFE>",
         "the text would not come back as written: from line 1, character 9 it would read \"bvz.<0xFE>\", not "
         "\"имя.<0xFE>\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + ": " + c.translation);
        Quest q;
        const auto before = snapshot(q.game.path());
        const auto run = q.import(c.translation, {"--letters", c.letters});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, "nothing was written (1 problem)")) << run.err;
        EXPECT_TRUE(contains(run.err, std::string(Quest::kContext) + ": " + c.reason)) << run.err;
        EXPECT_EQ(snapshot(q.game.path()), before);
    }
}

// The notation's other spellings of the same bytes are taken.
TEST(RenderBack, AnotherSpellingOfTheSameBytesIsWritten) {
    const struct {
        std::string translation;
        std::string stored;
    } cases[] = {
        {"Vingt <0xFB=$14>.<0xFE>", "Vingt \xFB\x14.\xFE"},
        {"Vingt <0xFB= +20>.<0xFE>", "Vingt \xFB\x14.\xFE"},
        {"Un.<0xFD>Deux.<0xFE>", "Un.\xFD" "Deux.\xFE"},                     // no line break after the tag
        {"Un.<0xFD>\nDeux.<0xFF>", "Un.\xFD" "Deux.\xFF"},                   // none at the end either
        {"Un.<0xFD>\n\nDeux.<0xFE>", "Un.\xFD\r\nDeux.\xFE"},                // a second one is stored
        {"Forêt \"sombre\", 100% sûr !<0xFE>", "For^t \"sombre\", 100% s`r !\xFE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.translation);
        Quest q;
        const auto run = q.import(c.translation, {});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(contains(run.out, "1 record written")) << run.out;
        EXPECT_EQ(q.record(), c.stored);
    }
}

TEST(RenderBack, ANameThatWouldNotComeBackAsWrittenIsRefused) {
    Monsters m;
    const std::string before = readBytes(m.archive);
    const auto run = m.import("Заяц %ф", {"--letters", "russian"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "monster 0: the name would not come back as written: it would read \"Заяц %a\""))
        << run.err;
    EXPECT_EQ(readBytes(m.archive), before);
}

// Item: only the letters of the game's font, per view.
TEST(GameAlphabet, ACharacterOutsideTheViewsAlphabetIsRefusedAndNamed) {
    struct Case {
        const char* letters;
        std::string translation;
        std::string reason;
    };
    const std::string notIn = " is not in the game's alphabet with --letters ";
    const Case cases[] = {
        {"french", "L’épée", "U+2019 '’' at character 2" + notIn + "french (--typography ascii writes it as ')"},
        {"french", "“Nord”", "U+201C '“' at character 1" + notIn + "french (--typography ascii writes it as \")"},
        {"french", "Fin…", "U+2026 '…' at character 4" + notIn + "french (--typography ascii writes it as ...)"},
        {"french", "«Nord»", "U+00AB '«' at character 1" + notIn + "french (--typography ascii writes it as \")"},
        {"french", "50 €", "U+20AC '€' at character 4" + notIn + "french"},
        {"french", "cœur", "U+0153 'œ' at character 2" + notIn + "french (its accented letters are the lower-case"},
        {"french", "Élan", "U+00C9 'É' at character 1" + notIn + "french (its accented letters are the lower-case"},
        {"french", "a\u00A0b", "U+00A0 '\u00A0' at character 2" + notIn + "french (--typography ascii writes it as a space)"},
        {"french", "a\tb", "U+0009 at character 2" + notIn + "french"},
        {"french", "a\x01" "b", "U+0001 at character 2" + notIn + "french"},
        {"french", "Заяц", "U+0417 'З' at character 1" + notIn + "french (--letters russian takes Cyrillic)"},
        {"french", "#2", "U+0023 '#' at character 1 is the game's code for U+00E8 'è': the game would show that letter"},
        {"french", "à {Nord}", "U+007B '{' at character 3 is the game's code for U+00EF 'ï'"},
        {"french", "50$", "U+0024 '$' at character 3 is the game's code for U+00E7 'ç'"},
        {"russian", "Заяц Ashford", "U+0041 'A' at character 6 is the game's code for U+0424 'Ф'"},
        {"russian", "Ёж", "U+0401 'Ё' at character 1" + notIn + "russian"},
        {"russian", "Заяц@", "U+0040 '@' at character 5 is the game's code for U+044D 'э'"},
        {"russian", "%Abc", "U+0041 'A' at character 2 is the game's code for U+0424 'Ф'"},  // % takes a-z and 0-9 only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + ": " + c.translation);
        Monsters m;
        const std::string before = readBytes(m.archive);
        const auto run = m.import(c.translation, {"--letters", c.letters});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, "monster 0: the character " + c.reason)) << run.err;
        EXPECT_EQ(readBytes(m.archive), before);
    }
}

TEST(GameAlphabet, WhatEachViewTakesIsStored) {
    const struct {
        const char* letters;
        std::string translation;
        std::string stored;
    } cases[] = {
        {"french", "Lièvre (à 50%)", "Li#vre (@ 50%)"},
        {"russian", "Заяц %abc 7!", "Pfzw %abc 7!"},       // a variable is taken as it is
        {"russian", "Заяц <0xFC>", "Pfzw <0xFC>"},         // so is a tag
        {"none", "#2 @ {Nord} ~ 50$", "#2 @ {Nord} ~ 50$"},  // every byte
        {"none", "Élan, cœur", "\xC9lan, c\x9Cur"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + ": " + c.translation);
        Monsters m;
        const auto run = m.import(c.translation, {"--letters", c.letters});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(m.name(), c.stored);
    }
}

// The same alphabet in quests, where the tags and the line breaks after them
// belong to the text and "_" and "=" name variables in the Russian view.
TEST(GameAlphabet, QuestsTakeTheirTagsAndVariablesAsTheyAre) {
    const struct {
        const char* letters;
        std::string translation;
        std::optional<std::string> stored;  // nothing: refused
        std::string reason;
    } cases[] = {
        {"french", "Voilà.<0xFD>\nSuite <0xFB=12> fin.<0xFE>", "Voil@.\xFDSuite \xFB\x0C fin.\xFE", ""},
        {"french", "Voilà ’.<0xFE>", {}, "U+2019 '’' at character 7 is not in the game's alphabet"},
        {"french", "Voilà.<0xFD>\n\tfin.<0xFE>", {}, "U+0009 at character 14 is not in the game's alphabet"},
        {"russian", "Привет _name1 =a2 %pcn.<0xFE>", "Ghbdtn _name1 =a2 %pcn.\xFE", ""},
        {"russian", "Привет Bob.<0xFE>", {}, "U+0042 'B' at character 8 is the game's code for U+0418 'И'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + ": " + c.translation);
        Quest q;
        const auto before = snapshot(q.game.path());
        const auto run = q.import(c.translation, {"--letters", c.letters});
        if (c.stored) {
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(q.record(), *c.stored);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(contains(run.err, std::string(Quest::kContext) + ": the character " + c.reason)) << run.err;
            EXPECT_EQ(snapshot(q.game.path()), before);
        }
    }
}

// Item: --typography ascii folds what CAT tools put in; NFC always.
TEST(Typography, FoldsOnRequestAndSaysHowMany) {
    const struct {
        std::vector<std::string> options;
        std::string translation;
        std::string stored;
        std::string said;  // the line about typography, or "" for none
    } cases[] = {
        {{"--typography", "ascii"}, "L’‘épée’", "L''<p<e'", "m.po: --typography ascii replaced 3 characters"},
        {{"--typography", "ascii"}, "«\u00A0Nord\u202F» – “Sud”…", "\" Nord \" - \"Sud\"...",
         "m.po: --typography ascii replaced 8 characters"},
        {{"--typography", "ascii"}, "Lièvre", "Li#vre", "m.po: --typography ascii replaced 0 characters"},
        {{"--typography=ascii", "--dry-run"}, "—Loup—", "Monster 0", "m.po: --typography ascii replaced 2 characters"},
        // A letter and a separate accent are one letter, with or without the option.
        {{}, "Lie\u0300vre", "Li#vre", ""},
        {{"--letters", "none"}, "E\u0301lan", "\xC9lan", ""},
        {{"--letters", "russian"}, "\u0418\u0306од", "Qjl", ""},  // И and the breve: Й
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.translation);
        Monsters m;
        const auto run = m.import(c.translation, c.options);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(m.name(), c.stored);
        if (c.said.empty()) {
            EXPECT_FALSE(contains(run.out, "--typography")) << run.out;
        } else {
            EXPECT_TRUE(contains(run.out, m.dir.file(c.said))) << run.out;
        }
    }
}

TEST(Typography, WithoutTheOptionOrBeyondItTheCharactersAreRefused) {
    const struct {
        std::vector<std::string> options;
        std::string translation;
        std::string reason;
    } cases[] = {
        {{}, "L’épée", "U+2019 '’' at character 2 is not in the game's alphabet"},
        {{"--typography", "ascii"}, "L’épée ‹x›", "U+2039 '‹' at character 8 is not in the game's alphabet"},
        {{"--typography", "ascii"}, "q\u0301", "U+0301 '\u0301' at character 2 is not in the game's alphabet"},  // no such letter
        {{"--typography", "ascii", "--letters", "none"}, "q\u0301", "U+0301 '\u0301' is not in Windows-1252"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.translation);
        Monsters m;
        const std::string before = readBytes(m.archive);
        const auto run = m.import(c.translation, c.options);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(contains(run.err, "monster 0: the character " + c.reason)) << run.err;
        EXPECT_EQ(readBytes(m.archive), before);
    }
}

// Folding happens before the notation: a typographic character in a quest
// is folded, and the record is still checked against what it shows back.
TEST(Typography, QuestTextsAreFoldedBeforeTheirChecks) {
    Quest q;
    const auto run = q.import("« Allez ! » dit-il… <0xFE>", {"--typography", "ascii"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "replaced 3 characters")) << run.out;
    EXPECT_EQ(q.record(), "\" Allez ! \" dit-il... \xFE");
}

// Item: the source in the original's view, the translation in its own.
TEST(SourceLetters, ARussianTranslationOfAFrenchOriginal) {
    // The template shows the original's letters whatever --letters says.
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, {"--letters", "russian"}, {"--source-letters", "french"}}) {
        Quest q;
        std::vector<std::string> args{"quests", "export", q.game.path(), "-o", q.work.file("q.pot")};
        args.insert(args.end(), options.begin(), options.end());
        const auto run = runWright(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(po::readCatalogue(q.work.file("q.pot"))[0].source, Quest::kSource);
    }
    const struct {
        std::vector<std::string> options;
        std::string source;
        std::string translation;
        std::optional<std::string> stored;  // nothing: refused
        std::string said;
    } cases[] = {
        {{"--letters", "russian"}, Quest::kSource, "Привет, дуб.<0xFE>", "Ghbdtn, le`.\xFE", "1 record written"},
        {{"--letters", "russian", "--source-letters", "french"}, Quest::kSource, "Дуб.<0xFE>", "Le`.\xFE",
         "1 record written"},
        // The keyboard-code view of the original is not its source any more.
        {{"--letters", "russian"}, "Ишчощгк срэту.<0xFE>", "Дуб.<0xFE>", {}, "the source text no longer matches"},
        {{"--letters", "russian", "--source-letters", "russian"}, Quest::kSource, "Дуб.<0xFE>", {},
         "the source text no longer matches"},
        {{"--source-letters", "none"}, "Bonjour ch^ne.<0xFE>", "Bonjour.<0xFE>", "Bonjour.\xFE", "1 record written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.translation + " from " + c.source);
        Quest q;
        const auto before = snapshot(q.game.path());
        const auto run = q.import(c.translation, c.options, c.source);
        if (c.stored) {
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(q.record(), *c.stored);
            // Again: the file holds the translation now.
            const auto again = q.import(c.translation, c.options, c.source);
            ASSERT_EQ(again.status, 0) << again.err;
            EXPECT_TRUE(contains(again.out, "0 records written, 1 already translated")) << again.out;
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(snapshot(q.game.path()), before);
        }
        EXPECT_TRUE(contains(run.out + run.err, c.said)) << run.out << run.err;
    }
}

TEST(SourceLetters, NamesOfAnEnglishOriginalInARussianTranslation) {
    TempDir dir;
    const std::string archive = dir.file("MAPS.BSA");
    std::vector<arcwright::fixtures::RegionContent> regions(3);
    regions[2] = arcwright::fixtures::regionOf({"Ashford", "Oakford"});
    arcwright::fixtures::writeMapsArchive(archive, regions);
    const std::string context = "region 2 (Glenpoint Foothills), location 0";

    ASSERT_EQ(runWright({"maps", "export", archive, "-o", dir.file("m.pot"), "--letters", "russian"}).status, 0);
    EXPECT_EQ(po::readCatalogue(dir.file("m.pot"))[0].source, "Ashford");
    ASSERT_EQ(runWright({"maps", "export", archive, "-o", dir.file("r.pot"), "--source-letters", "russian"}).status, 0);
    EXPECT_EQ(po::readCatalogue(dir.file("r.pot"))[0].source, "Фыращкв");

    const std::string before = readBytes(archive);
    writeBytes(dir.file("m.po"), catalogue({{context, "Фыращкв", "Ясень"}}));
    const auto gibberish = runWright({"maps", "import", archive, dir.file("m.po"), "--letters", "russian"});
    EXPECT_EQ(gibberish.status, 1);
    EXPECT_TRUE(contains(gibberish.err, context + ": the source text no longer matches the file, which holds \"Ashford\""))
        << gibberish.err;
    EXPECT_EQ(readBytes(archive), before);

    writeBytes(dir.file("m.po"), catalogue({{context, "Ashford", "Ясень"}}));
    const auto run = runWright({"maps", "import", archive, dir.file("m.po"), "--letters", "russian"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "1 name written")) << run.out;
    ASSERT_EQ(runWright({"maps", "export", archive, "-o", dir.file("r.pot"), "--source-letters", "russian"}).status, 0);
    EXPECT_EQ(po::readCatalogue(dir.file("r.pot"))[0].source, "Ясень");
}

TEST(ImportOptions, MistakesExitTwoAndWriteNothing) {
    Monsters m;
    const std::string before = readBytes(m.archive);
    writeBytes(m.dir.file("m.po"), catalogue({{"monster 0", "Monster 0", "Loup"}}));
    const std::vector<std::vector<std::string>> cases{
        {"monsters", "import", m.archive, m.dir.file("m.po"), "--typography", "utf8"},
        {"monsters", "import", m.archive, m.dir.file("m.po"), "--typography"},
        {"monsters", "import", m.archive, m.dir.file("m.po"), "--source-letters", "english"},
        {"monsters", "export", m.archive, "-o", m.dir.file("m.pot"), "--letters", "greek"},
        {"monsters", "export", m.archive, "-o", m.dir.file("m.pot"), "--typography", "ascii"},
    };
    for (const auto& args : cases) {
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 2) << args[4] << ": " << run.err;
        EXPECT_EQ(readBytes(m.archive), before);
    }
    EXPECT_FALSE(fs::exists(m.dir.file("m.pot")));
}

}  // namespace
}  // namespace wright::cli
