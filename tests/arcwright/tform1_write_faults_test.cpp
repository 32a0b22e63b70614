// Faults on the way to the disk through the window: every write of the
// names, location, dungeon and monster saves failing in turn, an archive
// replaced or removed after opening, and the exports' files refused. The
// archive and the export targets keep their bytes, Log says what failed, and
// no completion line appears.

#include "tests/arcwright/window_fixture.h"

#include "arcwright/region_export.h"
#include "fileio/file_writer.h"
#include "fileio/write_faults.h"

#include <cerrno>

namespace wright::arcwright {
namespace {

using namespace testing;
using wright::arcwright::testing::fileBytes;
using wright::testing::reportedErrors;
namespace fs = std::filesystem;

class WindowFaults : public WindowTest {
public:
    void TearDown() override {
        wright::WriteFaults::disarm();
        fs::permissions(dir.path(), fs::perms::owner_all);
        WindowTest::TearDown();
    }
    void openRegion() {
        writeMaps({sampleRegion()});
        openMaps();
        before = fileBytes(mapsPath());
    }
    void openMonsters() {
        fixtures::writeMonsterArchive(monsterPath(), fixtures::demoMonsterNames(), kMonsterMinimumSize + 64);
        backend.chooseFile(QString::fromStdString(monsterPath()));
        click("BOpenMonsterFile");
        before = fileBytes(monsterPath());
    }
    bool logHas(const QString& part) {
        const QStringList logged = log();
        return std::any_of(logged.begin(), logged.end(), [&](const QString& l) { return l.contains(part); });
    }
    void expectNoErrorDialog() {
        EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join('\n').toStdString();
        reportedErrors().clear();
    }
    std::string before;
};

struct SaveCase {
    const char* name;
    bool monster;
    const char* list;  // the list edited before the save
    const char* button;
    int writes;  // the writes of one save
    const char* failed;
    const char* completed;
};

class EveryWriteFailing : public WindowFaults, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(EveryWriteFailing, IsLoggedAndTheArchiveKeepsItsBytes) {
    const SaveCase& c = GetParam();
    if (c.monster) openMonsters();
    else openRegion();
    ArchiveFile* file = c.monster ? form->monsterFile() : form->mapsFile();
    const std::string path = c.monster ? monsterPath() : mapsPath();
    QStringList edited = lines(c.list);
    for (QString& line : edited) line = line.isEmpty() ? line : QStringLiteral("X") + line;
    wright::ui::setMemoLines(memo(c.list), edited);
    if (std::string(c.list) == "LocationList") click("BCopyMapnames");
    for (int n = 1; n <= c.writes; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        int writes = 0;
        file->setWriteHook([&, path](std::int64_t, std::size_t) {
            if (++writes == n) throw wright::FileError(path, "write", wright::systemReason(ENOSPC));
        });
        clearLog();
        click(c.button);
        EXPECT_TRUE(logHas(QString(c.failed) + ": " + QString::fromStdString(path) +
                           ": write failed: No space left on device; the previous bytes were put back."))
            << log().join('\n').toStdString();
        EXPECT_FALSE(logHas(c.completed));
        EXPECT_TRUE(fileBytes(path) == before) << "the archive changed";
        expectNoErrorDialog();
    }
    // Unarmed, the same save goes through: the faults above were what stopped it.
    file->setWriteHook({});
    clearLog();
    click(c.button);
    EXPECT_TRUE(logHas(c.completed));
}

// MAPPITEM's six names are written before MAPDITEM's two, as one save: a
// failing dungeon write puts the location names back too.
INSTANTIATE_TEST_SUITE_P(
    Saves, EveryWriteFailing,
    ::testing::Values(SaveCase{"MapNames", false, "LocationList", "BSaveMapnames", 7, "MapNames not saved",
                    "Save of MapNames completed."},
           SaveCase{"LocationRecords", false, "LocationList", "BSaveMapitem", 6, "MAPPITEM and MAPDITEM not saved",
                    "MAPPITEM Save Completed."},
           SaveCase{"LocationAndDungeonRecords", false, "LocationList", "BSaveMapitem", 6 + 2,
                    "MAPPITEM and MAPDITEM not saved", "Dungon Record data Save Completed."},
           SaveCase{"MonsterNames", true, "MonstersList", "BSaveMonsterNames", kMonsterCount,
                    "Monster Names not saved", "Monster Names Saved."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFaults, AReadOnlyArchiveIsNotOpenedForSaving) {
    writeMaps({sampleRegion()});
    fixtures::writeMonsterArchive(monsterPath(), fixtures::demoMonsterNames(), kMonsterMinimumSize + 64);
    const std::string maps = fileBytes(mapsPath()), monsters = fileBytes(monsterPath());
    for (const std::string& path : {mapsPath(), monsterPath()}) fs::permissions(path, fs::perms::owner_read);
    clearLog();
    openMaps();
    backend.chooseFile(QString::fromStdString(monsterPath()));
    click("BOpenMonsterFile");
    // Refused by the one rule of every writer, for any account.
    EXPECT_TRUE(logHas("MAPS.BSA not opened: " + QString::fromStdString(mapsPath()) +
                       ": open failed: the file is read-only"))
        << log().join('\n').toStdString();
    EXPECT_TRUE(logHas("MONSTER.BSA not opened: " + QString::fromStdString(monsterPath()) +
                       ": open failed: the file is read-only"));
    EXPECT_EQ(wright::ui::tag(button("BOpenMAPSFile")), 0);
    EXPECT_EQ(wright::ui::tag(button("BOpenMonsterFile")), 0);
    EXPECT_TRUE(fileBytes(mapsPath()) == maps && fileBytes(monsterPath()) == monsters);
    expectNoErrorDialog();
}

TEST_F(WindowFaults, AnArchiveReplacedAfterOpeningIsNotWritten) {
    openRegion();
    wright::testing::writeBytes(dir.file("copy.bsa"), before);
    fs::rename(dir.file("copy.bsa"), mapsPath());
    for (const char* b : {"BSaveMapnames", "BSaveMapitem"}) {
        clearLog();
        click(b);
        EXPECT_TRUE(logHas("replaced since it was opened")) << log().join('\n').toStdString();
        EXPECT_FALSE(logHas("Completed.") || logHas("completed."));
    }
    EXPECT_TRUE(fileBytes(mapsPath()) == before);
    expectNoErrorDialog();
}

TEST_F(WindowFaults, AMonsterArchiveRemovedAfterOpeningIsNotWritten) {
    openMonsters();
    fs::rename(monsterPath(), dir.file("moved.bsa"));
    clearLog();
    click("BSaveMonsterNames");
    EXPECT_TRUE(logHas("Monster Names not saved: nothing was written: " + QString::fromStdString(monsterPath()) +
                       ": write failed: the file was removed since it was opened"))
        << log().join('\n').toStdString();
    EXPECT_FALSE(logHas("Monster Names Saved."));
    EXPECT_TRUE(fileBytes(dir.file("moved.bsa")) == before);
    expectNoErrorDialog();
}

TEST_F(WindowFaults, AnArchiveCutShortAfterOpeningIsNotWritten) {
    openRegion();
    fs::resize_file(mapsPath(), 64);
    clearLog();
    click("BSaveMapnames");
    EXPECT_TRUE(logHas("MapNames not saved: the record cannot be read: ")) << log().join('\n').toStdString();
    EXPECT_FALSE(logHas("Save of MapNames completed."));
    EXPECT_TRUE(fileBytes(mapsPath()) == before.substr(0, 64));
    expectNoErrorDialog();
}

TEST_F(WindowFaults, EveryFailingWriteOfTheMapFileKeepsItsOldBytes) {
    openRegion();
    wright::testing::writeBytes(dir.file("Region0.map"), "old names\r\n");
    wright::WriteFaults::disarm();
    wright::writeWholeFile(dir.file("count.map"), "Sentinel\r\n");
    const int calls = wright::WriteFaults::calls();
    fs::remove(dir.file("count.map"));
    ASSERT_GT(calls, 0);
    for (int n = 1; n <= calls; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        wright::WriteFaults::failAt(n, ENOSPC);
        clearLog();
        click("BExportMap");
        wright::WriteFaults::disarm();
        EXPECT_TRUE(logHas("Mapnames not exported: ")) << log().join('\n').toStdString();
        EXPECT_FALSE(logHas("Mapnames exported into"));
        EXPECT_EQ(fileBytes(dir.file("Region0.map")), "old names\r\n");
        expectNoErrorDialog();
    }
}

TEST_F(WindowFaults, AFolderThatRefusesTheExportsKeepsTheOldFiles) {
    openRegion();
    wright::testing::writeBytes(dir.file("Region0.map"), "old names\r\n");
    wright::testing::writeBytes(dir.file("MAPNAMES.000"), "old record");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    clearLog();
    click("BExportMap");
    click("BExportRegion");
    EXPECT_TRUE(logHas("Mapnames not exported: ")) << log().join('\n').toStdString();
    EXPECT_TRUE(logHas("Export Region Data File MAPNAMES.000 failed: "));
    EXPECT_FALSE(logHas("Mapnames exported into") || logHas(" completed. ("));
    EXPECT_EQ(fileBytes(dir.file("Region0.map")), "old names\r\n");
    EXPECT_EQ(fileBytes(dir.file("MAPNAMES.000")), "old record");
    EXPECT_TRUE(fileBytes(mapsPath()) == before);
    expectNoErrorDialog();
}

}  // namespace
}  // namespace wright::arcwright
