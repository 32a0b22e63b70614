#include "tests/arcwright/window_fixture.h"

#include "fileio/little_endian.h"

#include <QFontMetrics>
#include <QScrollBar>

namespace arcwright {
namespace {

using namespace testing;
using arcwright::testing::fileBytes;
using wright::testing::reportedErrors;

const QString kChene = QStringLiteral(u"Ch\u00EAne");

class MapsWindow : public WindowTest {};

TEST_F(MapsWindow, StartsClosedWithTheMonsterPageInFront) {
    EXPECT_EQ(form->windowTitle(), "QAR2: Harrowmere BSA Editor");
    EXPECT_EQ(form->size(), QSize(545, 666));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(get<QTabWidget>("PageControl1")->currentWidget(), get<QWidget>("TabSheet2"));
    EXPECT_FALSE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_FALSE(get<QWidget>("Panel1")->isEnabled());
    EXPECT_EQ(get<QTabWidget>("PageControl2")->currentWidget(), get<QWidget>("TabSheet6"));
    QComboBox* regions = get<QComboBox>("Regions");
    EXPECT_EQ(regions->count(), 62);
    EXPECT_EQ(regions->currentText(), "00 = Alik'r Desert");
    EXPECT_EQ(regions->itemText(17), "17 = Harrowmere");
    EXPECT_EQ(regions->itemText(61), "61 = Cybiades");
    EXPECT_EQ(regions->maxVisibleItems(), 20);
    EXPECT_FALSE(regions->isEditable());
    EXPECT_TRUE(get<QCheckBox>("CheckEchangeLettres")->isChecked());
    EXPECT_FALSE(get<QWidget>("TIndexMAPN")->isEnabled());
    EXPECT_FALSE(get<QWidget>("TLengthMAPN")->isEnabled());
    EXPECT_TRUE(get<QLineEdit>("TIndexMAPN")->font().bold());
    EXPECT_TRUE(get<QPlainTextEdit>("Log")->isReadOnly());
    EXPECT_TRUE(log().isEmpty());
    EXPECT_FALSE(button("Button14")->isVisible());
    QTimer* timer = get<QTimer>("Timer1");
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 10);
    EXPECT_FALSE(timer->isActive());

    const std::vector<std::pair<const char*, const char*>> captions{
        {"BOpenMAPSFile", "Open File MAPS.BSA"},
        {"BOpenMonsterFile", "Open File MONSTER.BSA"},
        {"BExportRegion", "Export Region Data Files"},
        {"BCopyMapnames", "Copy MAPNAMES into MAPP and MAPD"},
        {"BSaveMapnames", "Save MAPNAMES"},
        {"BSaveMapitem", "Save MAPPITEM and MAPDITEM"},
        {"BExportMap", "Export RegionX's Mapnames in RegionX.map"},
        {"BSaveMonsterNames", "Save Monster Names in File"},
        {"Button14", "NewRus -> NewEng"},
    };
    for (const auto& [name, caption] : captions) EXPECT_EQ(button(name)->text(), caption) << name;
    EXPECT_EQ(get<QCheckBox>("CheckEchangeLettres")->text(), "Replace French Letters");
    const QTabWidget* pages = get<QTabWidget>("PageControl2");
    EXPECT_EQ(pages->tabText(0) + pages->tabText(1) + pages->tabText(2), "MAPPITEMMAPDITEMMAPNAMES");
}

TEST_F(MapsWindow, ANameOfThirtyTwoCharactersFitsOnOneLineOfEveryList) {
    for (const char* name : {"LocationList", "MonstersList", "LocationRecordList", "DungeonRecordList"}) {
        auto* area = get<QAbstractScrollArea>(name);
        EXPECT_TRUE(QFontInfo(area->font()).fixedPitch()) << name;
        EXPECT_TRUE(area->font().bold()) << name;
        EXPECT_EQ(area->font().pixelSize(), 13) << name;
        // What is left for text once the frame and a scroll bar are drawn.
        const int room = area->width() - 2 * area->frameWidth() - area->verticalScrollBar()->sizeHint().width();
        EXPECT_LE(QFontMetrics(area->font()).horizontalAdvance(QString(32, u'W')) + 8, room) << name;
    }
}

TEST_F(MapsWindow, OpeningLoadsRegionZeroAndShowsTheNamesList) {
    writeMaps({sampleRegion()});
    openMaps();

    ASSERT_EQ(backend.asked().size(), 1);
    const auto& request = backend.asked().front().file;
    EXPECT_EQ(request.filter, "QAR: Harrowmere BSA files|*.BSA");
    EXPECT_EQ(request.defaultSuffix, "BSA");
    EXPECT_EQ(request.fileName, "MAPS");
    EXPECT_EQ(request.directory, ".");

    EXPECT_EQ(log(), (QStringList{"Loading File MAPS.BSA...", "File Loaded."} + regionLoadLines("00 = Alik'r Desert")));
    EXPECT_EQ(button("BOpenMAPSFile")->text(), "Close File MAPS.BSA");
    EXPECT_EQ(wright::ui::tag(button("BOpenMAPSFile")), 1);
    EXPECT_TRUE(get<QWidget>("Panel1")->isEnabled());
    EXPECT_EQ(get<QTabWidget>("PageControl1")->currentWidget(), get<QWidget>("TabSheet1"));
    EXPECT_EQ(get<QTabWidget>("PageControl2")->currentWidget(), get<QWidget>("TabSheet6"));

    const QStringList names{"Sentinel", kChene, QString::fromStdString(k31), QString::fromStdString(k32), "Oakford",
                            "Crypt of Ash"};
    EXPECT_EQ(lines("LocationList"), names);
    EXPECT_EQ(items("LocationRecordList"), names);
    EXPECT_EQ(items("DungeonRecordList"), (QStringList{"", kChene, "", "", "", "Crypt of Ash"}));
    EXPECT_TRUE(waitFor([&] { return get<QLineEdit>("TIndexMAPN")->text() == "0"; }));
    EXPECT_EQ(get<QLineEdit>("TLengthMAPN")->text(), "8");
}

TEST_F(MapsWindow, ACancelledDialogChangesNothing) {
    writeMaps({sampleRegion()});
    backend.cancelFile();
    click("BOpenMAPSFile");
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(button("BOpenMAPSFile")->text(), "Open File MAPS.BSA");
    EXPECT_FALSE(get<QWidget>("Panel1")->isEnabled());
}

struct OpenFailure {
    const char* name;
    std::function<std::string(const std::string& folder)> make;  // returns the path chosen
    QString reason;
};

class MapsOpenFailure : public MapsWindow, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(MapsOpenFailure, IsLoggedAndStaysClosed) {
    const std::string path = GetParam().make(dir.path());
    openMaps(path);
    const QStringList logged = log();
    ASSERT_EQ(logged.size(), 2) << logged.join('\n').toStdString();
    EXPECT_EQ(logged[0], "Loading File MAPS.BSA...");
    EXPECT_TRUE(logged[1].startsWith("MAPS.BSA not opened: " + QString::fromStdString(path))) << logged[1].toStdString();
    EXPECT_TRUE(logged[1].contains(GetParam().reason)) << logged[1].toStdString();
    EXPECT_EQ(button("BOpenMAPSFile")->text(), "Open File MAPS.BSA");
    EXPECT_EQ(wright::ui::tag(button("BOpenMAPSFile")), 0);
    EXPECT_FALSE(get<QWidget>("Panel1")->isEnabled());
    EXPECT_TRUE(lines("LocationList").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapsOpenFailure,
    ::testing::Values(
        OpenFailure{"AFolder",
                    [](const std::string& folder) {
                        std::filesystem::create_directory(folder + "/MAPS.BSA");
                        return folder + "/MAPS.BSA";
                    },
                    "open failed: Is a directory"},
        OpenFailure{"TooShort",
                    [](const std::string& folder) {
                        wright::testing::writeBytes(folder + "/MAPS.BSA", std::string(5000, 'x'));
                        return folder + "/MAPS.BSA";
                    },
                    "is not a map archive: the file holds 5000 bytes"},
        OpenFailure{"RecordsPastTheDirectory",
                    [](const std::string& folder) {
                        std::vector<fixtures::RegionSpec> regions(1);
                        regions[0].unreadSize = kMapsDirectoryOffset;
                        fixtures::writeMapsArchive(folder + "/MAPS.BSA", regions);
                        return folder + "/MAPS.BSA";
                    },
                    "is not a map archive: the record MAPTABLE.000 (region 0, slot 2) runs from"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MapsWindow, ClosingEmptiesTheListsAndReopeningLoadsTheSelectedRegion) {
    std::vector<fixtures::RegionSpec> regions(6, fixtures::regionOf({"Elsewhere"}));
    regions[5] = fixtures::regionOf({"Dwynnen Keep", "Ch^ne"}, {0});
    writeMaps(regions);
    openMaps();
    chooseRegion(5);
    EXPECT_EQ(lines("LocationList"), (QStringList{"Dwynnen Keep", kChene}));
    clearLog();
    click("BOpenMAPSFile");
    EXPECT_EQ(log(), (QStringList{"Closing File MAPS.BSA...", "File Closed."}));
    EXPECT_EQ(button("BOpenMAPSFile")->text(), "Open File MAPS.BSA");
    EXPECT_FALSE(get<QWidget>("Panel1")->isEnabled());
    EXPECT_TRUE(lines("LocationList").isEmpty());
    EXPECT_EQ(list("LocationRecordList")->count(), 0);
    EXPECT_EQ(list("DungeonRecordList")->count(), 0);
    EXPECT_FALSE(processHasOpen(mapsPath()));

    clearLog();
    openMaps();
    EXPECT_EQ(log().mid(2), regionLoadLines("05 = Dwynnen"));
    EXPECT_EQ(items("DungeonRecordList"), (QStringList{"Dwynnen Keep", ""}));
    // The dialog proposes the file chosen last.
    EXPECT_EQ(backend.asked().last().file.fileName, QString::fromStdString(mapsPath()));
}

TEST_F(MapsWindow, ChoosingARegionLoadsItAndQuotesItsText) {
    std::vector<fixtures::RegionSpec> regions(18, fixtures::regionOf({"Elsewhere"}));
    regions[17] = fixtures::regionOf({"Harrowmere Castle"});
    writeMaps(regions);
    openMaps();
    clearLog();
    chooseRegion(17);
    EXPECT_EQ(log(), regionLoadLines("17 = Harrowmere"));
    EXPECT_EQ(lines("LocationList"), QStringList{"Harrowmere Castle"});
}

class NamesTyping : public MapsWindow {
protected:
    void SetUp() override {
        MapsWindow::SetUp();
        writeMaps({sampleRegion()});
        openMaps();
        names = memo("LocationList");
        names->setFocus();
    }
    // Puts the caret at the end of line `line` and lets the displays catch up.
    void caretToEndOf(int line) {
        QTest::keyClick(names, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < line; ++i) QTest::keyClick(names, Qt::Key_Down);
        QTest::keyClick(names, Qt::Key_End);
        settle();
    }
    void settle() {
        ASSERT_TRUE(waitFor([&] { return !get<QTimer>("Timer1")->isActive(); }));
    }
    QString index() { return get<QLineEdit>("TIndexMAPN")->text(); }
    QString length() { return get<QLineEdit>("TLengthMAPN")->text(); }
    QColor lengthColour() { return get<QLineEdit>("TLengthMAPN")->palette().color(QPalette::Disabled, QPalette::Text); }
    QPlainTextEdit* names = nullptr;
};

TEST_F(NamesTyping, AThirtyOneCharacterLineTakesNoMoreCharacters) {
    caretToEndOf(2);
    EXPECT_EQ(index(), "2");
    EXPECT_EQ(length(), "31");
    EXPECT_EQ(lengthColour(), QColor(Qt::black));
    QTest::keyClick(names, Qt::Key_X);
    QTest::keyClick(names, Qt::Key_Return);
    EXPECT_EQ(lines("LocationList")[2], QString::fromStdString(k31));
    EXPECT_EQ(lines("LocationList").size(), 6);
    QTest::keyClick(names, Qt::Key_Backspace);
    settle();
    EXPECT_EQ(length(), "30");
    EXPECT_EQ(lengthColour(), QColor(Qt::black));
    QTest::keyClick(names, Qt::Key_Y);
    QTest::keyClick(names, Qt::Key_Z);
    EXPECT_EQ(lines("LocationList")[2], QString::fromStdString(k31.substr(0, 30)) + "y");
    // Keys that produce no character pass: Delete and the arrows.
    QTest::keyClick(names, Qt::Key_Left);
    QTest::keyClick(names, Qt::Key_Delete);
    EXPECT_EQ(lines("LocationList")[2], QString::fromStdString(k31.substr(0, 30)));
}

TEST_F(NamesTyping, TheFilterGoesByTheLineLastDisplayed) {
    caretToEndOf(2);  // 31 characters, displayed
    QTest::keyClick(names, Qt::Key_Down);
    QTest::keyClick(names, Qt::Key_Down);  // onto "Oakford", before the refresh
    QTest::keyClick(names, Qt::Key_S);
    EXPECT_EQ(lines("LocationList")[4], "Oakford");
    settle();
    EXPECT_EQ(index(), "4");
    QTest::keyClick(names, Qt::Key_S);
    EXPECT_EQ(lines("LocationList")[4], "Oakfords");
}

TEST_F(NamesTyping, AThirtyTwoCharacterNameShowsItsLengthInRed) {
    caretToEndOf(3);
    EXPECT_EQ(index(), "3");
    EXPECT_EQ(length(), "32");
    EXPECT_EQ(lengthColour(), QColor(Qt::red));
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, QPoint(5, 5));  // onto line 0
    settle();
    EXPECT_EQ(index(), "0");
    EXPECT_EQ(length(), "8");
    EXPECT_EQ(lengthColour(), QColor(Qt::black));
}

TEST_F(NamesTyping, ARunningTimerIsNotRestarted) {
    QTimer* timer = get<QTimer>("Timer1");
    settle();
    QTest::keyClick(names, Qt::Key_Down);
    ASSERT_TRUE(timer->isActive());
    QTest::qSleep(8);  // no events: the timer cannot fire meanwhile
    QTest::keyClick(names, Qt::Key_Down);
    EXPECT_LT(timer->remainingTime(), 8);
}

// An archive of region 0 open in the window, with what the tests compare.
class MapsEditing : public MapsWindow {
public:
    void open(const fixtures::RegionSpec& region = sampleRegion()) {
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
    fixtures::RegionSpec region;
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

fixtures::RegionSpec twoDungeonsOfOneName() {
    fixtures::RegionSpec region = fixtures::regionOf({"Keep", "Keep", "Tower"});
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
                {kSavingNames, QStringLiteral(u"MapNames not saved: line 2 holds the character \"\u0100\" (U+0100), "
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
    fixtures::RegionSpec region = fixtures::regionOf({"Sentinel", "Oakford"});
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
                                  "MapNames not saved: the region was loaded with names outside their records.",
                                  kSavingItems,
                                  "MAPPITEM and MAPDITEM not saved: the region was loaded with names outside their "
                                  "records."}));
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
    EXPECT_EQ(logged[3].toStdString(), "MAPDITEM not saved: " + mapsPath() +
                                          ": write failed: No space left on device; the previous bytes were put back.");
    // The location names are saved; the dungeon record is as it was.
    EXPECT_EQ(fileBytes(mapsPath()).substr(static_cast<std::size_t>(built[0][1].offset), built[0][1].bytes.size()),
              built[0][1].bytes);
    EXPECT_EQ(nameAt(kLocationSlot, 6 * 4 + 75), std::string("a") + std::string(31, '\0'));
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
    fixtures::RegionSpec region = fixtures::regionOf({"Sentinel", "Oakford"});
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

TEST_F(MapsEditing, AMapFileThatCannotBeWrittenEndsInTheErrorDialog) {
    open();
    std::filesystem::create_directory(dir.file("Region0.map"));
    click("BExportMap");
    EXPECT_TRUE(log().isEmpty());
    ASSERT_EQ(reportedErrors().size(), 1);
    EXPECT_TRUE(reportedErrors()[0].contains("Region0.map")) << reportedErrors()[0].toStdString();
    reportedErrors().clear();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("Region0.map")),
                            std::filesystem::directory_iterator()),
              0);
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
}  // namespace arcwright
