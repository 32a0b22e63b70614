#include "tests/arcwright/window_fixture.h"

#include <QFontMetrics>
#include <QScrollBar>

namespace wright::arcwright {
namespace {

using namespace testing;
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
                        std::vector<fixtures::RegionContent> regions(1);
                        regions[0].unreadSize = kMapsDirectoryOffset;
                        fixtures::writeMapsArchive(folder + "/MAPS.BSA", regions);
                        return folder + "/MAPS.BSA";
                    },
                    "is not a map archive: the record MAPTABLE.000 (region 0, slot 2) runs from"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MapsWindow, ClosingEmptiesTheListsAndReopeningLoadsTheSelectedRegion) {
    std::vector<fixtures::RegionContent> regions(6, fixtures::regionOf({"Elsewhere"}));
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
    std::vector<fixtures::RegionContent> regions(18, fixtures::regionOf({"Elsewhere"}));
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

}  // namespace
}  // namespace wright::arcwright
