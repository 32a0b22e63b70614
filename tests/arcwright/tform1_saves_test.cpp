#include "tests/arcwright/window_fixture.h"

#include "fileio/little_endian.h"

namespace wright::arcwright {
namespace {

using namespace testing;
using wright::arcwright::testing::fileBytes;
using wright::testing::reportedErrors;

const QString kChene = QStringLiteral(u"Ch\u00EAne");

// An archive of region 0 open in the window, with what the tests compare.
class MapsEditing : public WindowTest {
public:
    void open(const fixtures::RegionContent& region = sampleRegion()) {
        built = writeMaps({region});
        openMaps();
        before = fileBytes(mapsPath());
        clearLog();
    }
    void setNames(const QStringList& lines) { wright::ui::setMemoLines(memo("LocationList"), lines); }
    void expectUnchanged() {
        EXPECT_EQ(fileBytes(mapsPath()), before);
        EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join('\n').toStdString();
    }
    std::string nameAt(int slot, std::int64_t position) {
        return fileBytes(mapsPath()).substr(static_cast<std::size_t>(built[0][slot].offset + position), 32);
    }
    fixtures::BuiltArchive built;
    std::string before;
};

TEST_F(MapsEditing, CopySaveAndReloadCarryTheEditedNames) {
    open();
    QStringList edited = lines("LocationList");
    edited[1] = QStringLiteral(u"Ch\u00EAne Noir");
    edited[4] = QStringLiteral(u"Pr\u00E9 Vert");
    setNames(edited);

    click("BCopyMapnames");
    EXPECT_EQ(log(), (QStringList{"Copying MapNames into MAPPITEM...", "Copy of MapNames into MAPPITEM completed.",
                                  "Copying MapNames into MAPDITEM (if exists)...",
                                  "Copy of MapNames into MAPDITEM completed."}));
    EXPECT_EQ(items("LocationRecordList"), edited);
    EXPECT_EQ(items("DungeonRecordList"), (QStringList{"", edited[1], "", "", "", "Crypt of Ash"}));
    EXPECT_EQ(fileBytes(mapsPath()), before);  // the copy touches only the lists

    clearLog();
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(log(), (QStringList{"Saving MapNames of 00 = Alik'r Desert...", "Save of MapNames completed.",
                                  "Saving 'Location Record Data' Region 00 = Alik'r Desert...",
                                  "MAPPITEM Save Completed.",
                                  "Saving 'Dungeon Record Data' Region 00 = Alik'r Desert...",
                                  "Dungon Record data Save Completed."}));
    EXPECT_EQ(nameAt(kNamesSlot, 4 + 32 * 4), std::string("Pr< Vert", 8) + std::string(24, '\0'));

    click("BOpenMAPSFile");
    openMaps();
    EXPECT_EQ(lines("LocationList"), edited);
    EXPECT_EQ(items("LocationRecordList"), edited);
    EXPECT_EQ(items("DungeonRecordList"), (QStringList{"", edited[1], "", "", "", "Crypt of Ash"}));

    // Saving again without edits writes the same bytes.
    const std::string saved = fileBytes(mapsPath());
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(fileBytes(mapsPath()), saved);
}

TEST_F(MapsEditing, TheOptionIsReadAtEachLoadAndSave) {
    open();
    QCheckBox* option = get<QCheckBox>("CheckEchangeLettres");
    QTest::mouseClick(option, Qt::LeftButton);
    EXPECT_EQ(log(), QStringList{QStringLiteral(u"Conversion de lettres fran\u00E7aises d\u00E9sactiv\u00E9e")});
    EXPECT_EQ(lines("LocationList")[1], kChene);  // nothing changes on the screen
    click("BSaveMapnames");
    EXPECT_EQ(nameAt(kNamesSlot, 4 + 32), std::string("Ch\xEAne", 5) + std::string(27, '\0'));

    // Loaded again with the option off: the names record now holds the
    // letter's own byte, the location and dungeon records still the code.
    get<QComboBox>("Regions")->setCurrentIndex(1);
    QTest::keyClick(get<QComboBox>("Regions"), Qt::Key_Up);
    EXPECT_EQ(lines("LocationList")[1], kChene);
    EXPECT_EQ(items("LocationRecordList")[1], "Ch^ne");
    EXPECT_EQ(items("DungeonRecordList")[1], "Ch^ne");
    QTest::mouseClick(option, Qt::LeftButton);
    EXPECT_EQ(log().last(), QStringLiteral(u"Conversion de lettres fran\u00E7aises activ\u00E9e"));
}

struct Refusal {
    const char* name;
    fixtures::RegionContent region;
    std::function<void(MapsEditing&)> edit;
    const char* button;
    QStringList expectedLog;
};

class RefusedSave : public MapsEditing, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedSave, LogsWhyAndLeavesTheArchiveAsItWas) {
    open(GetParam().region);
    GetParam().edit(*this);
    clearLog();
    QTest::mouseClick(button(GetParam().button), Qt::LeftButton);
    EXPECT_EQ(log(), GetParam().expectedLog);
    expectUnchanged();
}

const QString kSavingNames = "Saving MapNames of 00 = Alik'r Desert...";
const QString kSavingItems = "Saving 'Location Record Data' Region 00 = Alik'r Desert...";

fixtures::RegionContent twoDungeonsOfOneName() {
    fixtures::RegionContent region = fixtures::regionOf({"Keep", "Keep", "Tower"});
    region.dungeons = {{"Keep", 1}, {"Keep", 2}};
    return region;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSave,
    ::testing::Values(
        Refusal{"MoreNamesThanTheRecord", sampleRegion(),
                [](MapsEditing& t) {
                    t.setNames({"a", "b", "c", "d", "e", "f", "g"});
                },
                "BSaveMapnames",
                {kSavingNames, "MapNames not saved: the list has 7 lines and the record holds 6 names."}},
        Refusal{"FewerNamesThanTheRecord", sampleRegion(),
                [](MapsEditing& t) { t.setNames({"a", "b"}); }, "BSaveMapnames",
                {kSavingNames, "MapNames not saved: the list has 2 lines and the record holds 6 names."}},
        Refusal{"ANameTheCodePageCannotHold", sampleRegion(),
                [](MapsEditing& t) {
                    t.setNames({"a", "b", QStringLiteral(u"\u0100bbey"), "d", "e", "f"});
                },
                "BSaveMapnames",
                {kSavingNames, QStringLiteral(u"MapNames not saved: line 2 of the names list holds the character \"\u0100\" (U+0100), "
                                              u"which the game's code page cannot hold.")}},
        Refusal{"FewerLocationLinesAfterACopy", sampleRegion(),
                [](MapsEditing& t) {
                    t.setNames({"a", "b"});
                    QTest::mouseClick(t.button("BCopyMapnames"), Qt::LeftButton);
                },
                "BSaveMapitem",
                {kSavingItems, "MAPPITEM and MAPDITEM not saved: the location list has 2 lines for 6 location "
                               "records."}},
        Refusal{"TwoDungeonsOnOneLine", twoDungeonsOfOneName(), [](MapsEditing&) {}, "BSaveMapitem",
                {kSavingItems, "MAPPITEM and MAPDITEM not saved: the dungeon list has 1 names for 2 dungeon "
                               "records."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MapsEditing, ADamagedRegionIsReportedAndNeverSaved) {
    fixtures::RegionContent region = fixtures::regionOf({"Sentinel", "Oakford"});
    std::string table;
    wright::appendI32LE(table, 0);
    wright::appendI32LE(table, 9000);  // record 1 lies beyond the record's end
    region.raw[kLocationSlot] = table + fixtures::recordBytes({"Sentinel", 0}, 1);
    built = writeMaps({region});
    openMaps();
    before = fileBytes(mapsPath());
    const QStringList loaded = log();
    EXPECT_TRUE(loaded.contains("Damaged record: MAPPITEM: location record 1 starts at 9008, outside the record of 129 "
                                "bytes."))
        << loaded.join('\n').toStdString();
    EXPECT_EQ(items("LocationRecordList"), (QStringList{"Sentinel", ""}));

    clearLog();
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(log(), (QStringList{kSavingNames,
                                  "MapNames not saved: the region was not loaded whole.",
                                  kSavingItems,
                                  "MAPPITEM and MAPDITEM not saved: the region was not loaded whole."}));
    expectUnchanged();
}

TEST_F(MapsEditing, ARegionThatCouldNotBeReadWholeIsNeverSaved) {
    built = writeMaps({sampleRegion(), fixtures::regionOf({"Wayrest", "Oakford"}, {1})});
    openMaps();
    // The archive loses its end while it is open, from region 1's dungeon record on.
    std::filesystem::resize_file(mapsPath(), built[1][kDungeonSlot].offset + 2);
    before = fileBytes(mapsPath());
    chooseRegion(1);
    ASSERT_EQ(reportedErrors().size(), 1);
    EXPECT_TRUE(reportedErrors()[0].contains("unexpected end of file")) << reportedErrors()[0].toStdString();
    reportedErrors().clear();
    clearLog();
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(log(), (QStringList{"Saving MapNames of 01 = Dragontail Mountains...",
                                  "MapNames not saved: the region was not loaded whole.",
                                  "Saving 'Location Record Data' Region 01 = Dragontail Mountains...",
                                  "MAPPITEM and MAPDITEM not saved: the region was not loaded whole."}));
    expectUnchanged();
}

TEST_F(MapsEditing, AFailingWriteIsLoggedAndUndone) {
    open();
    int writes = 0;
    form->mapsFile()->setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes == 8) throw wright::FileError(mapsPath(), "write", "No space left on device");
    });
    setNames({"a", "b", "c", "d", "e", "f"});
    click("BCopyMapnames");
    clearLog();
    click("BSaveMapitem");  // 6 location names, then the dungeons: the second dungeon fails
    const QStringList logged = log();
    ASSERT_EQ(logged.size(), 4);
    EXPECT_EQ(logged[1], "MAPPITEM Save Completed.");
    EXPECT_EQ(logged[3].toStdString(), "MAPPITEM and MAPDITEM not saved: " + mapsPath() +
                                          ": write failed: No space left on device; the previous bytes were put back.");
    // The location and dungeon names are one save: the location names are
    // put back with the dungeon names, so no dungeon is left without its
    // location.
    for (const int slot : {kLocationSlot, kDungeonSlot}) {
        const fixtures::BuiltEntry& record = built[0][slot];
        EXPECT_EQ(fileBytes(mapsPath()).substr(static_cast<std::size_t>(record.offset), record.bytes.size()),
                  record.bytes);
    }
    EXPECT_EQ(nameAt(kLocationSlot, 6 * 4 + 75), std::string("Sentinel") + std::string(24, '\0'));
}

TEST_F(MapsEditing, TheDungeonSaveHoldsTheArchiveControlsWhileTheWindowRuns) {
    open();
    QList<bool> panelDuringWrites, openButtonsDuringWrites;
    bool timerFired = false, firedBetweenDungeons = false;
    form->mapsFile()->setWriteHook([&](std::int64_t, std::size_t) {
        panelDuringWrites << get<QWidget>("Panel1")->isEnabled();
        openButtonsDuringWrites << (button("BOpenMAPSFile")->isEnabled() || button("BOpenMonsterFile")->isEnabled());
        if (panelDuringWrites.size() == 7) QTimer::singleShot(0, [&] { timerFired = true; });
        if (panelDuringWrites.size() == 8) firedBetweenDungeons = timerFired;
    });
    click("BSaveMapitem");
    EXPECT_TRUE(firedBetweenDungeons);
    ASSERT_EQ(panelDuringWrites.size(), 6 + 2);
    EXPECT_EQ(panelDuringWrites.mid(6), (QList<bool>{false, false}));
    EXPECT_EQ(openButtonsDuringWrites.mid(6), (QList<bool>{false, false}));
    EXPECT_TRUE(get<QWidget>("Panel1")->isEnabled());
    EXPECT_TRUE(button("BOpenMAPSFile")->isEnabled());
    EXPECT_TRUE(button("BOpenMonsterFile")->isEnabled());
}

TEST_F(MapsEditing, ADungeonWithoutALocationEndsTheProgram) {
    fixtures::RegionContent region = fixtures::regionOf({"Sentinel", "Oakford"});
    region.dungeons = {{"Oakford", 0}, {"Ghost Keep", 1}};
    writeMaps({region});
    fixtures::writeMonsterArchive(monsterPath(), fixtures::demoMonsterNames(), kMonsterMinimumSize);
    backend.chooseFile(QString::fromStdString(monsterPath()));
    click("BOpenMonsterFile");
    ASSERT_TRUE(processHasOpen(monsterPath()));
    backend.answer(wright::ui::MessageButton::Ok);
    openMaps();

    EXPECT_EQ(log().last(), "Incorrect dungeon : Ghost Keep");
    EXPECT_FALSE(log().contains("Dungeon Record data Completed."));
    const auto messages = backend.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].caption, "Incorrect file");
    EXPECT_EQ(messages[0].text, "The dungeon indicated in Log panel has no equivalent name in MAPP");
    EXPECT_EQ(messages[0].buttons, QList<wright::ui::MessageButton>{wright::ui::MessageButton::Ok});
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(processHasOpen(mapsPath()));
    EXPECT_FALSE(processHasOpen(monsterPath()));
}

TEST_F(MapsEditing, ExportRegionWritesTheRecordFilesInTheArchiveFolder) {
    open();
    click("BExportRegion");
    ASSERT_EQ(log().size(), 8);
    EXPECT_EQ(log()[7].toStdString(),
              "Export Region Data File MAPNAMES.000 completed. (" + std::to_string(built[0][3].size) + " bytes)");
    for (int s : {0, 1, 3}) EXPECT_EQ(fileBytes(dir.file(built[0][s].name)), built[0][s].bytes);
    expectUnchanged();
}

TEST_F(MapsEditing, ExportInMapWritesTheShownNamesWithCrLf) {
    open();
    QStringList edited = lines("LocationList");
    edited[0] = "Sentinel Harbour";
    setNames(edited);
    click("BExportMap");
    EXPECT_EQ(log(), QStringList{"Mapnames exported into Region0.map (text file)"});
    EXPECT_EQ(fileBytes(dir.file("Region0.map")),
              "Sentinel Harbour\r\nCh\xEAne\r\n" + k31 + "\r\n" + k32 + "\r\nOakford\r\nCrypt of Ash\r\n");
    expectUnchanged();
}

TEST_F(MapsEditing, AMapFileThatCannotBeWrittenIsLogged) {
    open();
    std::filesystem::create_directory(dir.file("Region0.map"));
    click("BExportMap");
    ASSERT_EQ(log().size(), 1);
    EXPECT_TRUE(log()[0].startsWith("Mapnames not exported: ") && log()[0].contains("Region0.map"))
        << log()[0].toStdString();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("Region0.map")),
                            std::filesystem::directory_iterator()),
              0);
    expectUnchanged();
}

TEST_F(MapsEditing, ACopyOfMoreNamesThanLocationsStopsAtTheDungeonListsEnd) {
    open();
    setNames({"a", "b", "c", "d", "e", "f", "g"});
    click("BCopyMapnames");
    EXPECT_EQ(reportedErrors(), QStringList{"List index out of bounds (6)"});
    reportedErrors().clear();
    EXPECT_EQ(log(), (QStringList{"Copying MapNames into MAPPITEM...", "Copy of MapNames into MAPPITEM completed.",
                                  "Copying MapNames into MAPDITEM (if exists)..."}));
    EXPECT_EQ(items("LocationRecordList"), (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(items("DungeonRecordList"), (QStringList{"", "b", "", "", "", "f"}));
}

TEST_F(MapsEditing, ARegionWithoutNamesOrDungeons) {
    open(fixtures::regionOf({}));
    EXPECT_TRUE(lines("LocationList").isEmpty());
    EXPECT_EQ(list("LocationRecordList")->count(), 0);
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_EQ(log(), (QStringList{kSavingNames, "Save of MapNames completed.", kSavingItems, "MAPPITEM Save Completed.",
                                  "Saving 'Dungeon Record Data' Region 00 = Alik'r Desert...",
                                  "Dungon Record data Save Completed."}));
    expectUnchanged();
}

}  // namespace
}  // namespace wright::arcwright
