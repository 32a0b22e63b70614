// wright quests export|import on folders of quest files built in code.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "fileio/write_faults.h"
#include "po/po_file.h"
#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"
#include "questwright/record_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using questwright::fixtures::gameQuest;
using questwright::fixtures::questImage;
using questwright::fixtures::RecordBytes;
using testing::readBytes;
using testing::runWright;
using testing::TempDir;
using testing::writeBytes;

// Names whose byte order ("ALPHA", "Zeta", "beta") is not their alphabetical
// order; an empty record, a lone CR and a zero byte among the records.
const std::vector<RecordBytes> kAlpha{
    {1000, "Bonjour ch^ne.\xFD" "Suite \xFB\x0C fin.\xFE"},
    {1001, ""},
    {1002, "Ligne\rsans LF.\xFE"},
    {1003, std::string("z\0ro.\xFE", 6)},
    {1004, "Deux.\xFE"},
};

struct FileState {
    std::string bytes;
    fs::file_time_type mtime;
    bool operator==(const FileState&) const = default;
};

// A quest folder, with every file's bytes and time taken before a command.
class QuestFolder {
public:
    QuestFolder() {
        put("ALPHA.QRC", questImage(kAlpha));
        put("Zeta.QRC", questImage(gameQuest(5, 3, 2000)));
        put("beta.qrc", questImage(gameQuest(9, 2, 3000)));
        put("NOTES.TXT", "Not a quest.\r\n");
        fs::create_directory(dir.file("SUB.QRC"));
    }

    void put(const std::string& name, const std::string& bytes) {
        writeBytes(dir.file(name), bytes);
        // An old time, so a file rewritten by mistake shows.
        fs::last_write_time(dir.file(name), fs::last_write_time(dir.file(name)) - std::chrono::hours(48));
    }

    std::map<std::string, FileState> snapshot() const {
        std::map<std::string, FileState> files;
        for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file())
                files[e.path().filename().string()] = {readBytes(e.path().string()), e.last_write_time()};
        return files;
    }

    questwright::RecordTable records(const std::string& name) const { return questwright::ReadQuestFile(dir.file(name)); }

    TempDir dir;
};

std::string path(const TempDir& dir) {
    return dir.path();
}

// Whether msgfmt --check accepts the file; its messages are kept beside it
// and shown when it does not.
::testing::AssertionResult msgfmtAccepts(const std::string& file) {
    const std::string log = file + ".msgfmt";
    const std::string command = "msgfmt --check -o /dev/null '" + file + "' 2>'" + log + "'";
    if (std::system(command.c_str()) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "msgfmt refuses " << file << ":\n" << readBytes(log);
}

// The PO string of a keyword as CAT tools write it: long texts opened by ""
// and wrapped after each "\n" and every few dozen bytes.
std::string poString(const std::string& keyword, const std::string& text) {
    const auto escaped = [](const std::string& raw) {
        std::string out;
        for (const char c : raw) {
            if (c == '"' || c == '\\') out += '\\', out += c;
            else if (c == '\n') out += "\\n";
            else if (c == '\r') out += "\\r";
            else if (c == '\t') out += "\\t";
            else out += c;
        }
        return out;
    };
    std::vector<std::string> pieces{""};
    for (const char c : text) {
        // Cut before an ASCII byte only, so no UTF-8 sequence is split.
        if (pieces.back().size() >= 40 && static_cast<unsigned char>(c) < 0x80) pieces.emplace_back();
        pieces.back() += c;
        if (c == '\n') pieces.emplace_back();
    }
    if (pieces.back().empty() && pieces.size() > 1) pieces.pop_back();
    if (pieces.size() == 1) return keyword + " \"" + escaped(pieces[0]) + "\"\n";
    std::string out = keyword + " \"\"\n";
    for (const std::string& piece : pieces) out += "\"" + escaped(piece) + "\"\n";
    return out;
}

// A translated catalogue in the style of a CAT tool: a full header,
// translator comments, fuzzy entries with their previous source.
std::string catalogueText(const std::vector<po::Entry>& entries) {
    std::string text =
        "# French translation of the quests.\n"
        "# A translator <translator@example.org>, 2024.\n"
        "#\n"
        "msgid \"\"\n"
        "msgstr \"\"\n"
        "\"Project-Id-Version: *.QRC quest records\\n\"\n"
        "\"PO-Revision-Date: 2024-05-01 12:00+0200\\n\"\n"
        "\"Last-Translator: A translator <translator@example.org>\\n\"\n"
        "\"Language-Team: French\\n\"\n"
        "\"Language: fr\\n\"\n"
        "\"MIME-Version: 1.0\\n\"\n"
        "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
        "\"Content-Transfer-Encoding: 8bit\\n\"\n"
        "\"Plural-Forms: nplurals=2; plural=(n > 1);\\n\"\n"
        "\"X-Generator: Poedit 3.4\\n\"\n\n";
    for (const po::Entry& e : entries) {
        if (!e.translation.empty()) text += "# Checked against the game.\n";
        std::string comment = e.extractedComment;
        while (!comment.empty() && comment.back() == '\n') comment.pop_back();
        if (!comment.empty()) text += "#. " + comment + "\n";
        if (e.fuzzy) text += "#, fuzzy\n#| msgid \"An earlier source\"\n";
        text += poString("msgctxt", e.context) + poString("msgid", e.source) + poString("msgstr", e.translation);
        text += "\n";
    }
    return text;
}

// The template of the folder, as the export writes it.
std::vector<po::Entry> exportTemplate(const QuestFolder& folder, const TempDir& work,
                                      const std::string& letters = "french") {
    const std::string pot = work.file("quests.pot");
    const auto run = runWright({"quests", "export", path(folder.dir), "-o", pot, "--source-letters", letters});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(msgfmtAccepts(pot));
    return po::readCatalogue(pot);
}

po::Entry& entryOf(std::vector<po::Entry>& entries, const std::string& context) {
    for (po::Entry& e : entries)
        if (e.context == context) return e;
    throw std::runtime_error("no entry " + context);
}

std::string writeCatalogue(const TempDir& work, const std::vector<po::Entry>& entries) {
    const std::string po = work.file("quests.po");
    writeBytes(po, catalogueText(entries));
    return po;
}

// A folder and its template with two records translated: ALPHA.QRC record 0
// (wrapped over several lines) and Zeta.QRC record 1.
struct Translated {
    QuestFolder folder;
    TempDir work;
    std::vector<po::Entry> entries = exportTemplate(folder, work);

    Translated() {
        entryOf(entries, "ALPHA.QRC record 0").translation = kAlphaText;
        entryOf(entries, "Zeta.QRC record 1").translation = "Nouveau texte.<0xFE>";
    }

    static constexpr const char* kAlphaText =
        "Bonjour forêt, le chevalier traverse la plaine sans jamais s'arrêter.<0xFD>\n"
        "Suite <0xFB=$0D> très \"longue\" fin.<0xFE>";
    static inline const std::string kAlphaBytes =
        "Bonjour for^t, le chevalier traverse la plaine sans jamais s'arr^ter.\xFD"
        "Suite \xFB\x0D tr#s \"longue\" fin.\xFE";
};

TEST(QuestsExport, TemplateHoldsEveryNonEmptyRecordInTheNotation) {
    struct Case {
        const char* letters;
        const char* alpha0;
    };
    const Case cases[] = {
        {"french", "Bonjour chêne.<0xFD>\nSuite <0xFB=12> fin.<0xFE>"},
        {"none", "Bonjour ch^ne.<0xFD>\nSuite <0xFB=12> fin.<0xFE>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letters);
        QuestFolder folder;
        const auto before = folder.snapshot();
        TempDir work;
        const std::string pot = work.file("quests.pot");
        const auto run = runWright({"quests", "export", path(folder.dir), "-o", pot, "--source-letters", c.letters});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(msgfmtAccepts(pot));
        EXPECT_NE(run.out.find("8 records of 3 quest files"), std::string::npos) << run.out;
        EXPECT_NE(run.err.find("ALPHA.QRC record 3 left out"), std::string::npos) << run.err;

        const std::vector<po::Entry> entries = po::readCatalogue(pot);
        std::vector<std::string> contexts;
        for (const po::Entry& e : entries) contexts.push_back(e.context);
        EXPECT_EQ(contexts, (std::vector<std::string>{"ALPHA.QRC record 0", "ALPHA.QRC record 2",
                                                      "ALPHA.QRC record 4", "Zeta.QRC record 0", "Zeta.QRC record 1",
                                                      "Zeta.QRC record 2", "beta.qrc record 0", "beta.qrc record 1"}));
        ASSERT_EQ(entries.size(), 8u);
        EXPECT_EQ(entries[0].source, c.alpha0);
        EXPECT_EQ(entries[0].extractedComment, "Record id 1000; at most 10000 bytes.\n");
        EXPECT_EQ(entries[1].source, "Ligne\rsans LF.<0xFE>");
        EXPECT_EQ(entries[2].source, "Deux.<0xFE>");
        // The generated records come back to their bytes through the notation.
        const wright::FrenchLetters french =
            std::string(c.letters) == "french" ? wright::FrenchLetters::Replace : wright::FrenchLetters::Keep;
        const questwright::RecordTable zeta = folder.records("Zeta.QRC");
        for (std::size_t k = 0; k < 3; ++k) {
            const Encoded typed = fromUtf8(entries[3 + k].source, CodePage::Windows1252);
            ASSERT_TRUE(typed.ok());
            EXPECT_EQ(questwright::ParseRecordText(typed.bytes, french), zeta[k].data) << "Zeta record " << k;
        }
        EXPECT_EQ(folder.snapshot(), before);
    }
}

TEST(QuestsExport, RefusesAFolderWithoutQuestsOrWithDamagedOnes) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::string> expected;
    };
    using questwright::fixtures::rawQuestImage;
    const Case cases[] = {
        {"no quests", {{"NOTES.TXT", "text"}}, {"no *.QRC files in"}},
        {"damaged",
         {{"GOOD.QRC", questImage(gameQuest(1, 2))},
          {"PAST.QRC", rawQuestImage(6, {{1, 100}}, "abc")},
          {"SHORT.QRC", std::string("\x01", 1)}},
         {"2 quest files cannot be read", "PAST.QRC: ", "SHORT.QRC: ", "no template written"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir, work;
        for (const auto& [name, bytes] : c.files) writeBytes(dir.file(name), bytes);
        const std::string pot = work.file("quests.pot");
        const auto run = runWright({"quests", "export", dir.path(), "-o", pot});
        EXPECT_EQ(run.status, 1);
        for (const std::string& text : c.expected) EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("GOOD.QRC"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(pot));
    }
    TempDir work;
    const auto run = runWright({"quests", "export", work.file("missing"), "-o", work.file("quests.pot")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot read the folder"), std::string::npos) << run.err;
}

TEST(QuestsCommand, AFileOfNoRecordOrOfNoQuestsLengthIsADamagedQuest) {
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t length;  // made this long, sparse, when not 0
        std::string reason;
    };
    const Case cases[] = {
        {"header 0", std::string("\0\0important text", 16), 0,
         "Z.QRC: its header gives an index of 0 bytes, less than one 6-byte entry: the file holds no record"},
        {"header 5", questwright::fixtures::rawQuestImage(5, {}, "important text"), 0,
         "Z.QRC: its header gives an index of 5 bytes"},
        {"sparse 4 GB", questImage({{1, "x"}}), std::uint64_t{4} << 30,
         "Z.QRC: the file is 4294967296 bytes long, more than a quest file can be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Translated t;
        const std::string po = writeCatalogue(t.work, t.entries);
        const auto before = t.folder.snapshot();
        const std::string z = t.folder.dir.file("Z.QRC");
        writeBytes(z, c.bytes);
        if (c.length) fs::resize_file(z, c.length);
        const auto zTime = fs::last_write_time(z);

        const std::string pot = t.work.file("again.pot");
        const auto exported = runWright({"quests", "export", path(t.folder.dir), "-o", pot});
        EXPECT_EQ(exported.status, 1);
        EXPECT_NE(exported.err.find("1 quest file cannot be read or are damaged, no template written"),
                  std::string::npos)
            << exported.err;
        EXPECT_NE(exported.err.find(c.reason), std::string::npos) << exported.err;
        EXPECT_FALSE(fs::exists(pot));

        const auto imported = runWright({"quests", "import", path(t.folder.dir), po});
        EXPECT_EQ(imported.status, 1);
        EXPECT_NE(imported.err.find(c.reason), std::string::npos) << imported.err;
        EXPECT_NE(imported.err.find("nothing written"), std::string::npos) << imported.err;
        EXPECT_EQ(fs::file_size(z), c.length ? c.length : c.bytes.size());
        EXPECT_EQ(fs::last_write_time(z), zTime);
        if (!c.length) {
            EXPECT_EQ(readBytes(z), c.bytes);
        }
        fs::remove(z);  // the others as they were; a sparse file is not read whole
        EXPECT_EQ(t.folder.snapshot(), before);
    }
}

TEST(QuestsImport, WritesExactlyTheTranslatedRecordsAndAgainTheSameBytes) {
    Translated t;
    // A fuzzy translation is left. One that is the record as it stands keeps
    // the record's bytes, though this one's lone CR would not parse back.
    po::Entry& fuzzy = entryOf(t.entries, "Zeta.QRC record 2");
    fuzzy.translation = "Flou.<0xFE>";
    fuzzy.fuzzy = true;
    po::Entry& same = entryOf(t.entries, "ALPHA.QRC record 2");
    same.translation = same.source;
    const std::string po = writeCatalogue(t.work, t.entries);

    const auto before = t.folder.snapshot();
    const questwright::RecordTable alpha = t.folder.records("ALPHA.QRC");
    const questwright::RecordTable zeta = t.folder.records("Zeta.QRC");
    const auto run = runWright({"quests", "import", path(t.folder.dir), po});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, path(t.folder.dir) +
                           ": 2 records written, 1 already translated, 5 untranslated left as they were.\n");

    questwright::RecordTable expectedAlpha = alpha;
    expectedAlpha[0].data = Translated::kAlphaBytes;
    questwright::RecordTable expectedZeta = zeta;
    expectedZeta[1].data = "Nouveau texte.\xFE";
    const auto sameRecords = [](const questwright::RecordTable& a, const questwright::RecordTable& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k].id != b[k].id || a[k].data != b[k].data) return false;
        return true;
    };
    EXPECT_TRUE(sameRecords(t.folder.records("ALPHA.QRC"), expectedAlpha));
    EXPECT_TRUE(sameRecords(t.folder.records("Zeta.QRC"), expectedZeta));
    auto after = t.folder.snapshot();
    for (const char* untouched : {"beta.qrc", "NOTES.TXT"})
        EXPECT_EQ(after[untouched], before.at(untouched)) << untouched;
    EXPECT_EQ(after.size(), before.size());

    // Again: the sources are stale now, but the files hold the translations.
    const auto again = runWright({"quests", "import", path(t.folder.dir), po});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("0 records written, 3 already translated"), std::string::npos) << again.out;
    EXPECT_EQ(t.folder.snapshot(), after);
}

TEST(QuestsImport, TheUntranslatedTemplateAndADryRunWriteNothing) {
    Translated t;
    const auto before = t.folder.snapshot();

    const auto untranslated = runWright({"quests", "import", path(t.folder.dir), t.work.file("quests.pot")});
    ASSERT_EQ(untranslated.status, 0) << untranslated.err;
    EXPECT_NE(untranslated.out.find("0 records written, 0 already translated, 8 untranslated"), std::string::npos)
        << untranslated.out;
    EXPECT_EQ(t.folder.snapshot(), before);

    const std::string po = writeCatalogue(t.work, t.entries);
    const auto dry = runWright({"quests", "import", path(t.folder.dir), po, "--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("dry run, nothing written: 2 records would be written"), std::string::npos) << dry.out;
    EXPECT_EQ(t.folder.snapshot(), before);
}

TEST(QuestsImport, RefusesEveryProblemWithItsContextAndWritesNothing) {
    struct Case {
        const char* context;
        std::string translation;
        std::optional<std::string> source;  // the entry's msgid, when not the template's
        const char* reason;
    };
    const Case cases[] = {
        {"ALPHA.QRC record 0", "Texte <0xFB=12 sans fin", {}, "has no closing \">\""},
        {"ALPHA.QRC record 0", "Texte <0xFB=douze> fin", {}, "'douze' is not a valid integer value"},
        {"ALPHA.QRC record 4", std::string(10001, 'a'), {}, "more than 10000 bytes"},
        {"ALPHA.QRC record 4", "Привет.<0xFE>", {}, "U+041F 'П' at character 1 is not in the game's alphabet with --letters french"},
        {"GHOST.QRC record 0", "Fantôme.<0xFE>", "Ghost.<0xFE>", "this context matches nothing in"},
        {"ALPHA.QRC record 1", "Vide.<0xFE>", "Empty.<0xFE>", "this context matches nothing in"},
        {"ALPHA.QRC record 3", "Zéro.<0xFE>", "z", "holds a zero byte"},
        {"ALPHA.QRC record 4", "Trois.<0xFE>", "Three.<0xFE>", "no longer matches the record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Translated t;
        const auto before = t.folder.snapshot();
        po::Entry bad;
        bad.context = c.context;
        for (const po::Entry& e : t.entries)
            if (e.context == c.context) bad = e;
        if (c.source) bad.source = *c.source;
        bad.translation = c.translation;
        std::vector<po::Entry> entries;
        for (const po::Entry& e : t.entries)
            if (e.context != c.context) entries.push_back(e);
        entries.push_back(bad);
        const std::string po = writeCatalogue(t.work, entries);

        const auto run = runWright({"quests", "import", path(t.folder.dir), po});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("nothing was written (1 problem)"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(std::string(c.context) + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(t.folder.snapshot(), before);
    }
}

TEST(QuestsImport, AReadOnlyQuestOrFolderAmongTheChangesStopsEveryWrite) {
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    struct Case {
        const char* name;
        std::string (*target)(const QuestFolder&);
        fs::perms perms;
        const char* expected;
    };
    const Case cases[] = {
        {"file", [](const QuestFolder& f) { return f.dir.file("Zeta.QRC"); }, readOnly,
         "Zeta.QRC: the file is read-only"},
        {"folder", [](const QuestFolder& f) { return f.dir.path(); }, readOnly | fs::perms::owner_exec,
         "ALPHA.QRC: its folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Translated t;
        const std::string po = writeCatalogue(t.work, t.entries);
        const auto before = t.folder.snapshot();
        const std::string target = c.target(t.folder);
        const fs::perms was = fs::status(target).permissions();
        fs::permissions(target, c.perms);
        const auto run = runWright({"quests", "import", path(t.folder.dir), po});
        fs::permissions(target, was);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
        EXPECT_EQ(t.folder.snapshot(), before);
    }

    // A read-only quest that receives nothing does not stand in the way.
    Translated t;
    const std::string po = writeCatalogue(t.work, t.entries);
    fs::permissions(t.folder.dir.file("beta.qrc"), readOnly);
    const auto run = runWright({"quests", "import", path(t.folder.dir), po});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(t.folder.records("Zeta.QRC")[1].data, "Nouveau texte.\xFE");
}

class QuestsImportFaults : public ::testing::Test {
protected:
    void TearDown() override { WriteFaults::disarm(); }
};

TEST_F(QuestsImportFaults, AFailureAtAnyStepLeavesEveryQuestWholeAndSaysWhichWereWritten) {
    // Three quests change: ALPHA.QRC, Zeta.QRC and beta.qrc, written in that order.
    const auto translate = [](Translated& t) {
        entryOf(t.entries, "beta.qrc record 1").translation = "Autre.<0xFE>";
        return writeCatalogue(t.work, t.entries);
    };
    const std::vector<std::string> order{"ALPHA.QRC", "Zeta.QRC", "beta.qrc"};
    std::map<std::string, FileState> translated;
    int steps = 0;
    {
        Translated probe;
        const std::string po = translate(probe);
        WriteFaults::disarm();
        ASSERT_EQ(runWright({"quests", "import", path(probe.folder.dir), po}).status, 0);
        steps = WriteFaults::calls();
        translated = probe.folder.snapshot();
    }
    ASSERT_GT(steps, 3);
    for (int n = 1; n <= steps; ++n) {
        SCOPED_TRACE("step " + std::to_string(n));
        Translated t;
        const std::string po = translate(t);
        const auto before = t.folder.snapshot();
        WriteFaults::failAt(n, ENOSPC);
        const auto run = runWright({"quests", "import", path(t.folder.dir), po});
        WriteFaults::disarm();
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(std::strerror(ENOSPC)), std::string::npos) << run.err;
        // Every quest is wholly old or wholly new; the new ones come first, in order.
        const auto after = t.folder.snapshot();
        EXPECT_EQ(after.size(), before.size()) << "a temporary file stayed behind";
        std::vector<std::string> written;
        std::vector<std::string> kept;
        for (const std::string& name : order) {
            const bool isNew = after.at(name).bytes == translated.at(name).bytes;
            if (!isNew) {
                EXPECT_EQ(after.at(name), before.at(name)) << name;
            }
            (isNew ? written : kept).push_back(name);
        }
        EXPECT_TRUE(std::equal(written.begin(), written.end(), order.begin()))
            << "a later quest was written before an earlier one";
        if (written.empty()) {
            // (The first steps counted are the reads' closes, refused before anything is planned.)
            EXPECT_TRUE(run.err.find("nothing was written") != std::string::npos ||
                        run.err.find("nothing written") != std::string::npos)
                << run.err;
        } else {
            const auto list = [](const std::vector<std::string>& names) {
                std::string joined;
                for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
                return joined;
            };
            EXPECT_NE(run.err.find("written: " + list(written) + "\n"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("not written (as they were): " + list(kept)), std::string::npos) << run.err;
        }
    }
}

TEST(QuestsImport, RussianLettersRoundTripStoresGameCodes) {
    QuestFolder folder;
    folder.put("RUS.QRC", questImage({{1, "Ghbdtn %pcn _name1.\xFD" "Lheu.\xFE"}, {2, "Ntcn.\xFE"}}));
    TempDir work;
    std::vector<po::Entry> entries = exportTemplate(folder, work, "russian");
    po::Entry& greeting = entryOf(entries, "RUS.QRC record 0");
    // Variables after "%" and "_" and the tags stay as they are.
    EXPECT_EQ(greeting.source, "Привет %pcn _name1.<0xFD>\nДруг.<0xFE>");
    greeting.translation = "Друг, привет %pcn _name1.<0xFD>\n<0xFE>";
    const auto before = folder.snapshot();

    const auto run = runWright({"quests", "import", path(folder.dir), writeCatalogue(work, entries), "--letters",
                                "russian", "--source-letters", "russian"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 record written"), std::string::npos) << run.out;
    const questwright::RecordTable rus = folder.records("RUS.QRC");
    ASSERT_EQ(rus.size(), 2u);
    EXPECT_EQ(rus[0].data, "Lheu, ghbdtn %pcn _name1.\xFD\xFE");
    EXPECT_EQ(rus[1].data, "Ntcn.\xFE");
    auto after = folder.snapshot();
    for (const char* name : {"ALPHA.QRC", "Zeta.QRC", "beta.qrc"}) EXPECT_EQ(after[name], before.at(name)) << name;
}

TEST(QuestsCommand, UsageErrorsExitTwo) {
    TempDir work;
    const std::string dir = work.path();
    const std::string po = work.file("quests.po");
    const std::vector<std::vector<std::string>> cases{
        {"quests"},
        {"quests", "translate", dir},
        {"quests", "export"},
        {"quests", "export", dir},
        {"quests", "export", dir, "extra", "-o", po},
        {"quests", "export", dir, "-o", po, "--letters", "greek"},
        {"quests", "export", dir, "-o", po, "--dry-run"},
        {"quests", "import", dir},
        {"quests", "import", dir, po, "-o", po},
        {"quests", "import", dir, po, "--bogus"},
    };
    for (const auto& args : cases) {
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 2) << args.size() << " arguments: " << run.err;
        EXPECT_NE(run.err.find("Try 'wright quests --help'"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(po));
    const auto help = runWright({"quests", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("wright quests import DIR FILE.po"), std::string::npos);
}

}  // namespace
}  // namespace wright::cli
