// The workflow of a translation team with gettext's own tools, end to end:
// export from the originals, msginit, translate, import into a working copy,
// change the originals, export, msgmerge --previous, import again. Where
// translate-toolkit is installed, its reading of the flags and its xmltags
// check are part of it.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "po/po_file.h"
#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

bool installed(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int shell(const std::string& command) {
    return std::system(command.c_str());
}

// What a translator does in an editor: the msgstr of the entry of `context`
// becomes `translation`, and a fuzzy mark on it goes.
void translate(const std::string& po, const std::string& context, const std::string& translation) {
    std::string text = readBytes(po);
    const std::size_t at = text.find("msgctxt \"" + context + "\"\n");
    ASSERT_NE(at, std::string::npos) << context;
    const std::size_t entryStart = text.rfind("\n\n", at) + 2;
    const std::size_t fuzzy = text.find("#, fuzzy\n", entryStart);
    std::size_t msgctxt = at;
    if (fuzzy < at) {
        text.erase(fuzzy, 9);
        msgctxt -= 9;
    }
    const std::size_t msgstr = text.find("\nmsgstr ", msgctxt) + 1;
    std::size_t end = text.find("\n\n", msgstr);
    if (end == std::string::npos) end = text.size() - 1;
    std::string escaped;
    for (const char c : translation) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    text.replace(msgstr, end - msgstr, "msgstr \"" + escaped + "\"");
    writeBytes(po, text);
}

// The number of problems pofilter's xmltags check raises in a catalogue.
std::size_t xmltagsProblems(const std::string& po) {
    const std::string out = po + ".pofilter";
    fs::remove(out);
    EXPECT_EQ(shell("pofilter --test=xmltags '" + po + "' '" + out + "' >/dev/null 2>&1"), 0);
    if (!fs::exists(out)) return 0;
    const std::string text = readBytes(out);
    std::size_t count = 0;
    for (std::size_t at = text.find("(pofilter) xmltags"); at != std::string::npos;
         at = text.find("(pofilter) xmltags", at + 1))
        ++count;
    return count;
}

std::vector<std::string> recordData(const std::string& path) {
    std::vector<std::string> data;
    for (const questwright::QRCRecord& record : questwright::ReadQuestFile(path)) data.push_back(record.data);
    return data;
}

TEST(TeamWorkflow, TranslatesWithGettextsToolsAcrossAChangeOfTheOriginals) {
    if (!installed("msginit") || !installed("msgmerge") || !installed("msgconv"))
        GTEST_SKIP() << "gettext's tools are not installed";
    TempDir dir;
    const std::string original = dir.file("original");
    const std::string work = dir.file("work");
    const std::string pot = dir.file("quests.pot");
    const std::string po = dir.file("fr.po");
    fs::create_directory(original);
    questwright::fixtures::writeFile(original + "/QUEST001.QRC",
                               questImage({{1000, "Hello.\xFE"}, {1001, "Bye.\xFCGo \xFB\x0C.\xFE"}}));
    questwright::fixtures::writeFile(original + "/QUEST002.QRC", questImage({{2000, "Two fairies.\xFE"}}));
    fs::copy(original, work, fs::copy_options::recursive);

    // Templates come from the originals.
    auto run = runWright({"quests", "export", original, "-o", pot});
    ASSERT_EQ(run.status, 0) << run.err;
    if (installed("pofilter")) {
        EXPECT_EQ(xmltagsProblems(pot), 0u);
        // translate-toolkit reads the placeholders flag of every unit.
        const std::string script =
            "import sys\n"
            "from translate.storage import po\n"
            "flag = 'placeholders:r\"<0xF[CDEF]>|<0xFB=[0-9]+>\"'\n"
            "units = [u for u in po.pofile.parsefile(sys.argv[1]).units if not u.isheader()]\n"
            "print(len(units), sum(1 for u in units if u.hastypecomment(flag)))\n";
        writeBytes(dir.file("flags.py"), script);
        const std::string python = "$(head -1 \"$(command -v pofilter)\" | sed 's/^#!//')";
        ASSERT_EQ(shell(python + " '" + dir.file("flags.py") + "' '" + pot + "' >'" + dir.file("flags.txt") +
                        "' 2>/dev/null"),
                  0);
        EXPECT_EQ(readBytes(dir.file("flags.txt")), "3 3\n");
    }

    ASSERT_EQ(shell("msginit --no-translator -l fr -i '" + pot + "' -o '" + po + "' >/dev/null 2>&1"), 0);
    translate(po, "QUEST001.QRC record 0", "Salut.<0xFE>");
    translate(po, "QUEST001.QRC record 1", "Adieu.<0xFC>\nVa <0xFB=12>.<0xFE>");
    translate(po, "QUEST002.QRC record 0", "Deux f\xC3\xA9" "es.<0xFE>");
    if (installed("pofilter")) {
        EXPECT_EQ(xmltagsProblems(po), 0u);
        // A translation that loses a tag is caught: the check sees the tags.
        const std::string lost = dir.file("lost.po");
        fs::copy_file(po, lost);
        translate(lost, "QUEST001.QRC record 1", "Adieu.\nVa <0xFB=12>.<0xFE>");
        EXPECT_EQ(xmltagsProblems(lost), 1u);
    }

    // Into the working copy, as often as the translator likes.
    run = runWright({"quests", "import", work, po});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "3 records written, 0 already translated, 0 untranslated")) << run.out;
    EXPECT_EQ(recordData(work + "/QUEST001.QRC"),
              (std::vector<std::string>{"Salut.\xFE", "Adieu.\xFCVa \xFB\x0C.\xFE"}));
    EXPECT_EQ(recordData(work + "/QUEST002.QRC"), std::vector<std::string>{"Deux f<es.\xFE"});
    run = runWright({"quests", "import", work, po});
    EXPECT_TRUE(contains(run.out, "0 records written, 3 already translated")) << run.out;
    // The same catalogue in Latin-1, as an old tool keeps it, is the same.
    const std::string latin1 = dir.file("fr.latin1.po");
    ASSERT_EQ(shell("msgconv -t ISO-8859-1 '" + po + "' -o '" + latin1 + "' 2>/dev/null"), 0);
    ASSERT_TRUE(contains(readBytes(latin1), "Deux f\xE9" "es."));
    run = runWright({"quests", "import", work, latin1});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "0 records written, 3 already translated")) << run.out;

    // A new release: one record changes, a quest is added.
    questwright::fixtures::writeFile(original + "/QUEST001.QRC",
                               questImage({{1000, "Hello.\xFE"}, {1001, "Bye now.\xFCGo \xFB\x0C.\xFE"}}));
    questwright::fixtures::writeFile(original + "/QUEST003.QRC", questImage({{3000, "Three.\xFE"}}));
    run = runWright({"quests", "export", original, "-o", pot});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(shell("msgmerge --quiet --previous --backup=none -U '" + po + "' '" + pot + "'"), 0);
    const std::string merged = readBytes(po);
    EXPECT_TRUE(contains(merged, "#| msgid \"\"\n#| \"Bye.<0xFC>\\n\"")) << merged;

    // The old working copy lacks the new quest: a warning, and the rest as it was.
    const auto before = readBytes(work + "/QUEST001.QRC");
    run = runWright({"quests", "import", work, po});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "0 records written, 2 already translated, 1 untranslated")) << run.out;
    EXPECT_EQ(run.err, po + ": warning: 1 untranslated entry of QUEST003.QRC matches nothing in " + work +
                           ": left aside.\n");
    EXPECT_EQ(readBytes(work + "/QUEST001.QRC"), before);

    // A fresh copy of the new originals takes what is translated; the
    // changed record keeps its new text until its entry is done again.
    fs::remove_all(work);
    fs::copy(original, work, fs::copy_options::recursive);
    run = runWright({"quests", "import", work, po});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "2 records written, 0 already translated, 2 untranslated")) << run.out;
    EXPECT_EQ(recordData(work + "/QUEST001.QRC"),
              (std::vector<std::string>{"Salut.\xFE", "Bye now.\xFCGo \xFB\x0C.\xFE"}));
    translate(po, "QUEST001.QRC record 1", "Adieu donc.<0xFC>\nVa <0xFB=12>.<0xFE>");
    run = runWright({"quests", "import", work, po});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "1 record written, 2 already translated, 1 untranslated left as it was.")) << run.out;
    EXPECT_EQ(recordData(work + "/QUEST001.QRC"),
              (std::vector<std::string>{"Salut.\xFE", "Adieu donc.\xFCVa \xFB\x0C.\xFE"}));
    EXPECT_EQ(recordData(work + "/QUEST003.QRC"), std::vector<std::string>{"Three.\xFE"});
    EXPECT_EQ(shell("msgfmt --check -o /dev/null '" + po + "'"), 0);
}

}  // namespace
}  // namespace wright::cli
