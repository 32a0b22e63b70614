// The Log's lines with a path through a folder named with accented and
// Cyrillic letters, and with names whose bytes lie above 0x7F: a path shows
// as the file system names it, a name as the lists show it.

#include "tests/arcwright/window_fixture.h"
#include "tests/support/accented_folder.h"

namespace wright::arcwright {
namespace {

using namespace testing;
using wright::arcwright::testing::fileBytes;
using wright::testing::makeAccentedFolder;

class AccentedFolder : public WindowTest {
public:
    void SetUp() override {
        WindowTest::SetUp();
        folder = makeAccentedFolder(dir.path());
    }
    std::string at(const std::string& name) const { return folder + "/" + name; }
    void open(const std::string& button, const std::string& path) {
        backend.chooseFile(QString::fromStdString(path));
        click(button.c_str());
    }
    void openRegion(const fixtures::RegionContent& region) {
        built = fixtures::writeMapsArchive(at("MAPS.BSA"), {region});
        open("BOpenMAPSFile", at("MAPS.BSA"));
        clearLog();
    }
    // The archive's file leaves its path while it is open: a save finds out
    // before it writes and names the file.
    void moveAway(const std::string& name) { std::filesystem::rename(at(name), at(name + ".moved")); }

    std::string folder;
    fixtures::BuiltArchive built;
};

struct OpenFailure {
    const char* name;
    const char* button;
    const char* file;
    std::function<void(const std::string& path)> make;
    // The line after the path.
    const char* rest;
};

void PrintTo(const OpenFailure& c, std::ostream* os) { *os << c.name; }

class AccentedOpenFailure : public AccentedFolder, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(AccentedOpenFailure, NamesTheFileAsTheFileSystemDoes) {
    const OpenFailure& c = GetParam();
    const std::string path = at(c.file);
    c.make(path);
    open(c.button, path);
    ASSERT_EQ(log().size(), 2) << log().join('\n').toStdString();
    EXPECT_EQ(log()[1], QString::fromStdString(std::string(c.file) + " not opened: " + path + c.rest));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccentedOpenFailure,
    ::testing::Values(
        OpenFailure{"MapsAFolder", "BOpenMAPSFile", "MAPS.BSA",
                    [](const std::string& path) { std::filesystem::create_directory(path); },
                    ": open failed: Is a directory"},
        OpenFailure{"MapsTooShort", "BOpenMAPSFile", "MAPS.BSA",
                    [](const std::string& path) { wright::testing::writeBytes(path, std::string(5000, 'x')); },
                    " is not a map archive: the file holds 5000 bytes, fewer than the 22129312 that reach the end "
                    "of the directory."},
        OpenFailure{"MonsterAFolder", "BOpenMonsterFile", "MONSTER.BSA",
                    [](const std::string& path) { std::filesystem::create_directory(path); },
                    ": open failed: Is a directory"},
        OpenFailure{"MonsterTooShort", "BOpenMonsterFile", "MONSTER.BSA",
                    [](const std::string& path) {
                        fixtures::writeMonsterArchive(path, fixtures::demoMonsterNames(), kMonsterMinimumSize - 1);
                    },
                    " cannot hold the monster names: the file holds 24911 bytes, fewer than the 24912 that reach "
                    "the end of the last monster name."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AccentedFolder, SavesThatCannotWriteNameTheArchiveInItsFolder) {
    openRegion(sampleRegion());
    const std::string maps = at("MAPS.BSA");
    const std::string removed = ": write failed: the file was removed since it was opened.";
    const QString savingNames = QStringLiteral("Saving MapNames of 00 = Alik'r Desert...");
    const QString savingItems = QStringLiteral("Saving 'Location Record Data' Region 00 = Alik'r Desert...");

    // A write of the dungeon record fails after the location record is saved.
    int writes = 0;
    form->mapsFile()->setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes == 7) throw wright::FileError(maps, "write", "No space left on device");
    });
    click("BSaveMapitem");
    ASSERT_EQ(log().size(), 4);
    // The location and dungeon names are one save: both are put back.
    EXPECT_EQ(log()[3], QString::fromStdString("MAPPITEM and MAPDITEM not saved: " + maps +
                                               ": write failed: No space left on device; the previous bytes were put "
                                               "back."));
    form->mapsFile()->setWriteHook({});

    moveAway("MAPS.BSA");
    clearLog();
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(log(), (QStringList{savingNames,
                                  QString::fromStdString("MapNames not saved: nothing was written: " + maps + removed),
                                  savingItems,
                                  QString::fromStdString("MAPPITEM and MAPDITEM not saved: nothing was written: " +
                                                         maps + removed)}));

    fixtures::writeMonsterArchive(at("MONSTER.BSA"), fixtures::demoMonsterNames(), kMonsterMinimumSize);
    open("BOpenMonsterFile", at("MONSTER.BSA"));
    moveAway("MONSTER.BSA");
    clearLog();
    click("BSaveMonsterNames");
    EXPECT_EQ(log(), (QStringList{"Saving Monster Names...",
                                  QString::fromStdString("Monster Names not saved: nothing was written: " +
                                                         at("MONSTER.BSA") + removed)}));
}

TEST_F(AccentedFolder, ExportsNameTheirRecordsAsTheListsShowNames) {
    fixtures::RegionContent region = sampleRegion();
    region.recordNames[1] = "CH\xC2TEAU.000";  // the game's 8-bit text: Â in the window's code page
    openRegion(region);
    std::filesystem::create_directory(at("MAPNAMES.000"));
    click("BExportRegion");
    const QString chateau = QString::fromUtf8("Export Region Data File CHÂTEAU.000");
    ASSERT_EQ(log().size(), 8) << log().join('\n').toStdString();
    EXPECT_EQ(log().mid(2, 2), (QStringList{chateau + "...", chateau + " completed. (" +
                                                                   QString::number(built[0][1].size) + " bytes)"}));
    EXPECT_EQ(log()[6], "Export Region Data File MAPNAMES.000...");
    EXPECT_EQ(log()[7], "Export Region Data File MAPNAMES.000 failed: open failed: Is a directory");
    // The record's file takes its name's bytes as they are.
    EXPECT_EQ(fileBytes(at("CH\xC2TEAU.000")), built[0][1].bytes);

    clearLog();
    click("BExportMap");
    EXPECT_EQ(log(), QStringList{"Mapnames exported into Region0.map (text file)"});
    EXPECT_TRUE(std::filesystem::is_regular_file(at("Region0.map")));
    std::filesystem::remove(at("Region0.map"));
    std::filesystem::create_directory(at("Region0.map"));
    clearLog();
    click("BExportMap");
    EXPECT_EQ(log(), QStringList{"Mapnames not exported: Region0.map: open failed: Is a directory."});
}

TEST_F(AccentedFolder, ADamagedRegionNamesItsDungeonAsTheListsDo) {
    fixtures::RegionContent region = fixtures::regionOf({"Ch\xE2teau", "Oakford"});
    // Listed before the dungeon of the location before it.
    region.dungeons = {{"Oakford", 0}, {"Ch\xE2teau", 1}};
    built = fixtures::writeMapsArchive(at("MAPS.BSA"), {region});
    open("BOpenMAPSFile", at("MAPS.BSA"));
    EXPECT_TRUE(log().contains(QString::fromUtf8(
        "Damaged record: MAPDITEM: dungeon record 1 (Château) belongs to location 0, before the location of the "
        "dungeon before it.")))
        << log().join('\n').toStdString();
    EXPECT_EQ(items("LocationRecordList").value(0), QString::fromUtf8("Château"));
}

TEST_F(AccentedFolder, ADungeonWithoutALocationIsNamedAsTheListsDo) {
    fixtures::RegionContent region = fixtures::regionOf({"Sentinel", "Oakford"});
    region.dungeons = {{"Oakford", 0}, {"Ch\xE2teau Noir", 1}};
    built = fixtures::writeMapsArchive(at("MAPS.BSA"), {region});
    backend.answer(wright::ui::MessageButton::Ok);
    open("BOpenMAPSFile", at("MAPS.BSA"));
    EXPECT_EQ(log().last(), QString::fromUtf8("Incorrect dungeon : Château Noir"));
    EXPECT_EQ(programEnds, 1);
}

}  // namespace
}  // namespace wright::arcwright
