// Names holding every byte from 0x01 to 0xFF (the line breaks aside) go
// through the window's edit controls and back into the archives: loaded and
// saved unchanged with the French letters off, the archive keeps every byte.
// The list must hold each character as it is: a no-break space (0xA0) must
// not come back as a space, nor a soft hyphen or a C1 control be lost. A name
// holding a line break cannot stand as one line of a list.

#include "tests/arcwright/window_fixture.h"

#include "common/french_letters.h"
#include "ui/text_codec.h"

#include <QTextBlock>
#include <QTextCursor>

namespace wright::arcwright {
namespace {

using namespace testing;
using wright::arcwright::testing::fileBytes;

// Every byte but zero and the two line-break bytes, cut into names of `width`.
std::vector<std::string> everyByteNames(std::size_t width) {
    std::string all;
    for (int b = 0x01; b <= 0xFF; ++b)
        if (b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    std::vector<std::string> names;
    for (std::size_t at = 0; at < all.size(); at += width) names.push_back(all.substr(at, width));
    return names;
}

// The names as a save with the French letters on stores them: every accented
// letter as its game code.
std::vector<std::string> asGameCodes(std::vector<std::string> names) {
    for (std::string& name : names) wright::ToGameCode(name);
    return names;
}

QStringList shown(const std::vector<std::string>& names, bool french) {
    QStringList lines;
    for (std::string name : names) {
        if (french) wright::ToAccented(name);
        lines << wright::ui::toQt(name);
    }
    return lines;
}

struct ByteCase {
    const char* name;
    bool french;
};

class EveryByte : public WindowTest, public ::testing::WithParamInterface<ByteCase> {
public:
    void setFrench() {
        if (!GetParam().french) QTest::mouseClick(get<QCheckBox>("CheckEchangeLettres"), Qt::LeftButton);
        ASSERT_EQ(get<QCheckBox>("CheckEchangeLettres")->isChecked(), GetParam().french);
    }
};

TEST_P(EveryByte, MapNamesThroughTheNamesList) {
    const bool french = GetParam().french;
    const std::vector<std::string> names = everyByteNames(kNameFieldSize);
    ASSERT_EQ(names.size(), 8u);
    const std::vector<int> dungeons{1, 4, 7};
    writeMaps({fixtures::regionOf(names, dungeons)});
    std::string expected = fileBytes(mapsPath());
    if (french) {
        fixtures::writeMapsArchive(dir.file("EXPECTED.BSA"), {fixtures::regionOf(asGameCodes(names), dungeons)});
        expected = fileBytes(dir.file("EXPECTED.BSA"));
    }
    setFrench();
    openMaps();
    EXPECT_EQ(lines("LocationList"), shown(names, french));

    // The length display counts the characters of the caret's line: line 4
    // holds the C1 controls and the no-break space.
    QPlainTextEdit* list = memo("LocationList");
    QTextCursor caret(list->document()->findBlockByNumber(4));
    caret.movePosition(QTextCursor::EndOfBlock);
    list->setTextCursor(caret);
    QTest::keyClick(list, Qt::Key_End);
    ASSERT_TRUE(waitFor([&] { return !get<QTimer>("Timer1")->isActive(); }));
    EXPECT_EQ(get<QLineEdit>("TIndexMAPN")->text(), "4");
    EXPECT_EQ(get<QLineEdit>("TLengthMAPN")->text(), "32");

    clearLog();
    click("BCopyMapnames");
    click("BSaveMapnames");
    click("BSaveMapitem");
    const QStringList logged = log();
    for (const char* done : {"Save of MapNames completed.", "MAPPITEM Save Completed.",
                             "Dungon Record data Save Completed."})
        EXPECT_TRUE(logged.contains(done)) << done << "\n" << logged.join('\n').toStdString();
    EXPECT_TRUE(fileBytes(mapsPath()) == expected) << "the saves changed bytes of the names";
}

TEST_P(EveryByte, MonsterNamesThroughTheMonsterList) {
    const bool french = GetParam().french;
    std::vector<std::string> names = everyByteNames(kMonsterNameSize);
    ASSERT_EQ(names.size(), 11u);
    const std::vector<std::string> demo = fixtures::demoMonsterNames();
    names.insert(names.end(), demo.begin() + static_cast<std::ptrdiff_t>(names.size()), demo.end());
    fixtures::writeMonsterArchive(monsterPath(), names, kMonsterMinimumSize + 64);
    std::string expected = fileBytes(monsterPath());
    if (french) {
        fixtures::writeMonsterArchive(dir.file("EXPECTED.BSA"), asGameCodes(names), kMonsterMinimumSize + 64);
        expected = fileBytes(dir.file("EXPECTED.BSA"));
    }
    setFrench();
    backend.chooseFile(QString::fromStdString(monsterPath()));
    click("BOpenMonsterFile");
    EXPECT_EQ(lines("MonstersList"), shown(names, french));

    clearLog();
    click("BSaveMonsterNames");
    EXPECT_EQ(log(), (QStringList{"Saving Monster Names...", "Monster Names Saved."}));
    EXPECT_TRUE(fileBytes(monsterPath()) == expected) << "the save changed bytes of the names";
}

INSTANTIATE_TEST_SUITE_P(Cases, EveryByte,
                         ::testing::Values(ByteCase{"FrenchOffKeepsEveryByte", false},
                                           ByteCase{"FrenchOnWritesTheGameCodes", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A line-break byte inside a name: the list would show the name as two
// lines, and the saves, which match lines to fields, would move the names
// after it. Such a region is not saved, and such a monster archive not opened.
struct BreakCase {
    const char* name;
    std::string lineBreak;
};

class NameWithALineBreak : public WindowTest, public ::testing::WithParamInterface<BreakCase> {
public:
    std::string broken() const { return "Oak" + GetParam().lineBreak + "ford"; }
};

TEST_P(NameWithALineBreak, LeavesTheRegionUnsaved) {
    writeMaps({fixtures::regionOf({"Sentinel", broken(), "Wayrest"}, {2})});
    const std::string before = fileBytes(mapsPath());
    openMaps();
    EXPECT_TRUE(log().contains("Damaged record: MAPNAMES: name 1 holds a line break, which the names list cannot show."))
        << log().join('\n').toStdString();
    clearLog();
    click("BCopyMapnames");
    click("BSaveMapnames");
    click("BSaveMapitem");
    EXPECT_TRUE(log().contains("MapNames not saved: the region was not loaded whole."));
    EXPECT_TRUE(log().contains("MAPPITEM and MAPDITEM not saved: the region was not loaded whole."));
    EXPECT_TRUE(fileBytes(mapsPath()) == before);
}

TEST_P(NameWithALineBreak, KeepsTheMonsterArchiveClosed) {
    std::vector<std::string> names = fixtures::demoMonsterNames();
    names[3] = broken();
    fixtures::writeMonsterArchive(monsterPath(), names, kMonsterMinimumSize);
    const std::string before = fileBytes(monsterPath());
    backend.chooseFile(QString::fromStdString(monsterPath()));
    click("BOpenMonsterFile");
    EXPECT_EQ(log(), (QStringList{"Loading File MONSTER.BSA...",
                                  "MONSTER.BSA not opened: monster name 3 holds a line break, which the monster list "
                                  "cannot show."}));
    EXPECT_EQ(wright::ui::tag(button("BOpenMonsterFile")), 0);
    EXPECT_FALSE(get<QWidget>("TabSheet2")->isEnabled());
    EXPECT_FALSE(processHasOpen(monsterPath()));
    EXPECT_TRUE(fileBytes(monsterPath()) == before);
}

INSTANTIATE_TEST_SUITE_P(Cases, NameWithALineBreak,
                         ::testing::Values(BreakCase{"LoneCr", "\r"}, BreakCase{"LoneLf", "\n"},
                                           BreakCase{"CrLf", "\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wright::arcwright
