#include "tests/arcwright/window_fixture.h"

namespace wright::arcwright {
namespace {

using namespace testing;
using wright::arcwright::testing::fileBytes;

class MonsterWindow : public WindowTest {
public:
    void writeMonsters(std::int64_t size = kMonsterMinimumSize + 64) {
        fixtures::writeMonsterArchive(monsterPath(), fixtures::demoMonsterNames(), size);
    }
    void openMonsters(const std::string& path) {
        backend.chooseFile(QString::fromStdString(path));
        click("BOpenMonsterFile");
    }
    void openMonsters() { openMonsters(monsterPath()); }
};

TEST_F(MonsterWindow, OpeningListsTheNamesAndBringsThePageToFront) {
    writeMonsters();
    get<QTabWidget>("PageControl1")->setCurrentIndex(0);
    openMonsters();
    EXPECT_EQ(log(), (QStringList{"Loading File MONSTER.BSA...", "Loading Completed."}));
    EXPECT_EQ(button("BOpenMonsterFile")->text(), "Close File MONSTER.BSA");
    EXPECT_EQ(wright::ui::tag(button("BOpenMonsterFile")), 1);
    EXPECT_TRUE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_EQ(get<QTabWidget>("PageControl1")->currentWidget(), get<QWidget>("TabSheet2"));
    const QStringList names = lines("MonstersList");
    ASSERT_EQ(names.size(), 43);
    EXPECT_EQ(names[0], "Rat");
    EXPECT_EQ(names[28], QStringLiteral(u"Ch\u00EAne Sp\u00E9ctral"));
    EXPECT_EQ(names[42], QStringLiteral(u"Seigneur du Ch\u00E0teau Noir"));  // 24 bytes, no zero in the file
    EXPECT_EQ(backend.asked().front().file.fileName, "MAPS");
}

TEST_F(MonsterWindow, SavingWritesTheLinesByPosition) {
    writeMonsters();
    openMonsters();
    QStringList edited = lines("MonstersList");
    edited.removeAt(1);
    edited[0] = QStringLiteral(u"Rat g\u00E9ant");
    wright::ui::setMemoLines(memo("MonstersList"), edited);
    clearLog();
    click("BSaveMonsterNames");
    EXPECT_EQ(log(), (QStringList{"Saving Monster Names...", "Monster Names Saved."}));
    const std::string bytes = fileBytes(monsterPath());
    EXPECT_EQ(bytes.substr(MonsterNameOffsets[0], 24), std::string("Rat g<ant") + std::string(15, '\0'));
    EXPECT_EQ(bytes.substr(MonsterNameOffsets[1], 24), std::string("Bat") + std::string(21, '\0'));
    EXPECT_EQ(bytes.substr(MonsterNameOffsets[42], 24), std::string(24, '\0'));  // a line that no longer exists

    click("BOpenMonsterFile");
    openMonsters();
    EXPECT_EQ(lines("MonstersList").mid(0, 42), edited);
}

TEST_F(MonsterWindow, ClosingClearsTheListAndNamesTheButtonLoad) {
    writeMonsters();
    openMonsters();
    clearLog();
    click("BOpenMonsterFile");
    EXPECT_EQ(log(), (QStringList{"Closing File MONSTER.BSA...", "File Closed."}));
    EXPECT_EQ(button("BOpenMonsterFile")->text(), "Load File MONSTER.BSA");
    EXPECT_EQ(wright::ui::tag(button("BOpenMonsterFile")), 0);
    EXPECT_TRUE(lines("MonstersList").isEmpty());
    EXPECT_FALSE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_FALSE(processHasOpen(monsterPath()));
}

TEST_F(MonsterWindow, AFileEndingBeforeTheLastNameIsRefused) {
    writeMonsters(kMonsterMinimumSize - 1);
    openMonsters();
    EXPECT_EQ(log(), (QStringList{"Loading File MONSTER.BSA...",
                                  "MONSTER.BSA not opened: " + QString::fromStdString(monsterPath()) +
                                      " cannot hold the monster names: the file holds 24911 bytes, fewer than the "
                                      "24912 that reach the end of the last monster name."}));
    EXPECT_EQ(button("BOpenMonsterFile")->text(), "Open File MONSTER.BSA");
    EXPECT_FALSE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_FALSE(processHasOpen(monsterPath()));
}

TEST_F(MonsterWindow, AFileThatCannotBeOpenedIsLogged) {
    std::filesystem::create_directory(monsterPath());
    openMonsters();
    ASSERT_EQ(log().size(), 2);
    EXPECT_EQ(log()[1], "MONSTER.BSA not opened: " + QString::fromStdString(monsterPath()) +
                            ": open failed: Is a directory");
    EXPECT_EQ(wright::ui::tag(button("BOpenMonsterFile")), 0);
}

TEST_F(MonsterWindow, RefusedAndFailedSavesLeaveTheFileAsItWas) {
    writeMonsters();
    openMonsters();
    const std::string before = fileBytes(monsterPath());
    QStringList edited = lines("MonstersList");
    edited[5] = QStringLiteral(u"\u0416uk");  // a Cyrillic letter: not in the French code page
    wright::ui::setMemoLines(memo("MonstersList"), edited);
    clearLog();
    click("BSaveMonsterNames");
    EXPECT_EQ(log(), (QStringList{"Saving Monster Names...",
                                  QStringLiteral(u"Monster Names not saved: line 5 of the monster list holds the character \"\u0416\" "
                                                 u"(U+0416), which the game's code page cannot hold.")}));
    EXPECT_EQ(fileBytes(monsterPath()), before);

    edited[5] = "Zombie Lord";
    wright::ui::setMemoLines(memo("MonstersList"), edited);
    int writes = 0;
    form->monsterFile()->setWriteHook([&](std::int64_t, std::size_t) {
        if (++writes == 10) throw wright::FileError(monsterPath(), "write", "Input/output error");
    });
    clearLog();
    click("BSaveMonsterNames");
    EXPECT_EQ(log().last().toStdString(), "Monster Names not saved: " + monsterPath() +
                                              ": write failed: Input/output error; the previous bytes were put back.");
    EXPECT_EQ(fileBytes(monsterPath()), before);
}

TEST_F(MonsterWindow, TheHiddenConverterTogglesItsDirection) {
    writeMonsters();
    openMonsters();
    wright::ui::setMemoLines(memo("MonstersList"), {"Hfn", "Rat"});
    QPushButton* converter = button("Button14");
    const QStringList cyrillic{QStringLiteral(u"\u0420\u0430\u0442"), QStringLiteral(u"\u041A\u0444\u0435")};

    converter->click();  // codes stay codes
    EXPECT_EQ(wright::ui::tag(converter), -1);
    EXPECT_EQ(converter->text(), "NewEng -> NewRus");
    EXPECT_EQ(lines("MonstersList"), (QStringList{"Hfn", "Rat"}));
    converter->click();
    EXPECT_EQ(wright::ui::tag(converter), 0);
    EXPECT_EQ(converter->text(), "NewRus -> NewEng");
    EXPECT_EQ(lines("MonstersList"), cyrillic);
    converter->click();
    EXPECT_EQ(lines("MonstersList"), (QStringList{"Hfn", "Rat"}));
    converter->click();
    EXPECT_FALSE(converter->isVisible());

    // The Cyrillic letters are saved as their own bytes (with the French
    // option off: on, it would store 0xF4 as its game code).
    QTest::mouseClick(get<QCheckBox>("CheckEchangeLettres"), Qt::LeftButton);
    click("BSaveMonsterNames");
    EXPECT_EQ(log().last(), "Monster Names Saved.");
    EXPECT_EQ(fileBytes(monsterPath()).substr(MonsterNameOffsets[1], 4), std::string("\xCA\xF4\xE5\0", 4));
}

TEST_F(MonsterWindow, BothArchivesAreOpenAtOnce) {
    writeMonsters();
    fixtures::writeMapsArchive(mapsPath(), {sampleRegion()});
    openMonsters();
    backend.chooseFile(QString::fromStdString(mapsPath()));
    click("BOpenMAPSFile");
    EXPECT_TRUE(processHasOpen(mapsPath()));
    EXPECT_TRUE(processHasOpen(monsterPath()));
    click("BOpenMAPSFile");
    EXPECT_TRUE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_EQ(lines("MonstersList").size(), 43);
}

}  // namespace
}  // namespace wright::arcwright
