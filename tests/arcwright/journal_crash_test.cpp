// A crash at every step of every in-place save. Each save runs in a child
// process that aborts right after its n-th write or sync, for n = 0, 1, ...
// until the save runs to its end; the archive is then opened through the
// window's core and through wright (one first, then the other, by turns). The
// archive holds the names of before the save or those of after it, as a whole,
// never a mix; the opening that finds a whole journal says so, once, and the
// other opening finds nothing left to do.

#include "tests/arcwright/crash_child.h"
#include "tests/arcwright/window_fixture.h"
#include "tests/wright/run_wright.h"

#include "arcwright/rollback_journal.h"
#include "po/po_file.h"

#include <filesystem>

namespace wright::arcwright {
namespace {

using wright::arcwright::testing::ChildEnd;
using wright::arcwright::testing::fileBytes;
using wright::arcwright::testing::runCrashingAfter;
using wright::testing::runWright;
namespace fs = std::filesystem;

// Swaps the case of ASCII letters: another name of the same length.
std::string swapCase(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// A window of its own in the child process, driven as the user drives it.
struct ChildWindow {
    ChildWindow() {
        form.setProgramEnd([] {});
        form.show();
    }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(QString::fromLatin1(name)); }
    QPlainTextEdit* memo(const char* name) { return form.findChild<QPlainTextEdit*>(QString::fromLatin1(name)); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void open(const char* button, const std::string& path) {
        backend.chooseFile(QString::fromStdString(path));
        click(button);
    }
    // Puts an X before every line of a list.
    void editLines(const char* list) {
        QStringList lines = wright::ui::memoLines(memo(list));
        for (QString& line : lines) line.prepend(u'X');
        wright::ui::setMemoLines(memo(list), lines);
    }
    bool logged(const char* line) { return wright::ui::memoLines(memo("Log")).contains(QString::fromLatin1(line)); }

    wright::ui::testing::ScriptedDialogs backend;
    wright::ui::Dialogs dialogs{backend};
    TForm1 form{dialogs};
};

// Every translatable entry of the archive's template translated (names that
// could not take one more letter are left out).
void writeTranslation(const char* command, const std::string& archive, const std::string& po) {
    const std::string pot = po + "t";
    const auto exported = runWright({command, "export", archive, "-o", pot});
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::vector<wright::po::Entry> entries = wright::po::readCatalogue(pot);
    for (wright::po::Entry& e : entries)
        if (e.source.size() < kNameFieldSize - 1) e.translation = swapCase(e.source);
    wright::po::writeCatalogue(po, "crash", entries);
}

struct CrashCase {
    const char* name;
    bool monster;
    // Runs in the child: opens the archive of the folder and saves into it.
    std::function<bool(const std::string& folder)> save;
};

std::string archiveIn(const std::string& folder, bool monster) {
    return folder + (monster ? "/MONSTER.BSA" : "/MAPS.BSA");
}

void PrintTo(const CrashCase& c, std::ostream* out) {
    *out << c.name;
}

const CrashCase kCases[] = {
    {"SaveMapnames", false,
     [](const std::string& folder) {
         ChildWindow w;
         w.open("BOpenMAPSFile", archiveIn(folder, false));
         w.editLines("LocationList");
         w.click("BSaveMapnames");
         return w.logged("Save of MapNames completed.");
     }},
    {"SaveMapPItemWithSaveMapDItem", false,
     [](const std::string& folder) {
         ChildWindow w;
         w.open("BOpenMAPSFile", archiveIn(folder, false));
         w.editLines("LocationList");
         w.click("BCopyMapnames");
         w.click("BSaveMapitem");
         return w.logged("MAPPITEM Save Completed.") && w.logged("Dungon Record data Save Completed.");
     }},
    {"SaveMonster", true,
     [](const std::string& folder) {
         ChildWindow w;
         w.open("BOpenMonsterFile", archiveIn(folder, true));
         w.editLines("MonstersList");
         w.click("BSaveMonsterNames");
         return w.logged("Monster Names Saved.");
     }},
    {"WrightMapsImport", false,
     [](const std::string& folder) {
         return runWright({"maps", "import", archiveIn(folder, false), folder + "/../maps.po"}).status == 0;
     }},
    {"WrightMonstersImport", true,
     [](const std::string& folder) {
         return runWright({"monsters", "import", archiveIn(folder, true), folder + "/../monsters.po"}).status == 0;
     }},
};

class CrashAtEveryStep : public ::testing::TestWithParam<CrashCase> {
protected:
    void SetUp() override {
        folder = dir.file("game");
        fs::create_directory(folder);
        path = archiveIn(folder, GetParam().monster);
        build();
        old = fileBytes(path);
        if (GetParam().monster) writeTranslation("monsters", path, dir.file("monsters.po"));
        else writeTranslation("maps", path, dir.file("maps.po"));
    }
    // A small archive: region 0 with dungeons on lines 1 and 5, region 1 with
    // one dungeon; or the 43 monster names.
    void build() {
        if (GetParam().monster)
            fixtures::writeMonsterArchive(path, fixtures::demoMonsterNames(), kMonsterMinimumSize + 64);
        else
            fixtures::writeMapsArchive(path,
                                       {testing::sampleRegion(), fixtures::regionOf({"Wayrest", "Oakford"}, {1})});
    }
    // The recovery line of an opening through the window's core, or "".
    std::string openThroughCore() {
        try {
            if (GetParam().monster) return MonsterArchive(path).file().recoveryNote().value_or("");
            return MapsArchive(path).file().recoveryNote().value_or("");
        } catch (const std::exception& error) {
            ADD_FAILURE() << "the core refused the archive: " << error.what();
            return "refused";
        }
    }
    // What an export through wright said on stderr: the recovery line, or "".
    std::string openThroughWright() {
        const auto run = runWright({GetParam().monster ? "monsters" : "maps", "export", path, "-o", dir.file("o.pot")});
        EXPECT_EQ(run.status, 0) << run.err;
        std::string said = run.err;
        if (!said.empty() && said.back() == '\n') said.pop_back();
        return said;
    }

    wright::testing::TempDir dir;
    std::string folder, path, old;
};

TEST_P(CrashAtEveryStep, LeavesTheArchiveOldOrNewAndSaysSoOnce) {
    ASSERT_EQ(runCrashingAfter(-1, [&] { return GetParam().save(folder); }), ChildEnd::Completed);
    const std::string saved = fileBytes(path);
    ASSERT_FALSE(saved == old) << "the save changed nothing";
    const std::string journal = journalPath(path);
    const std::string line = path + ": an unfinished save was rolled back from " + journal + ".";

    int mixed = 0, rolledBack = 0, leftNew = 0;
    for (int n = 0;; ++n) {
        SCOPED_TRACE("ended after write-side call " + std::to_string(n));
        ASSERT_LT(n, 500) << "the save never ran to its end";
        build();
        const ChildEnd end = runCrashingAfter(n, [&] { return GetParam().save(folder); });
        ASSERT_NE(end, ChildEnd::Failed);

        const std::string left = fileBytes(path);
        const bool wholeJournal = fs::exists(journal) && fs::file_size(journal) > 0;
        if (left != old && left != saved) {
            ++mixed;
            EXPECT_TRUE(wholeJournal) << "a half-written archive with no journal to undo it";
        }
        const bool coreFirst = n % 2 == 0;
        const std::string first = coreFirst ? openThroughCore() : openThroughWright();
        const std::string second = coreFirst ? openThroughWright() : openThroughCore();
        EXPECT_EQ(first, wholeJournal ? line : "") << (coreFirst ? "core first" : "wright first");
        EXPECT_EQ(second, "") << "the second opening found something to do";
        EXPECT_FALSE(fs::exists(journal));

        const std::string after = fileBytes(path);
        EXPECT_TRUE(after == old || after == saved) << "neither the old names nor the new ones";
        if (wholeJournal) {
            EXPECT_TRUE(after == old) << "a whole journal must put the old bytes back";
            ++rolledBack;
        }
        if (after == saved) ++leftNew;
        if (end == ChildEnd::Completed) {
            EXPECT_TRUE(after == saved);
            break;
        }
    }
    // The sweep went through the writes, the rollbacks and the end.
    EXPECT_GT(mixed, 0);
    EXPECT_GT(rolledBack, mixed);
    EXPECT_GE(leftNew, 2) << "the step between the journal's removal and the folder's sync";
}

INSTANTIATE_TEST_SUITE_P(Saves, CrashAtEveryStep, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wright::arcwright
