#include "tests/questwright/window_fixture.h"

#include "ui/button_tag.h"
#include "ui/text_codec.h"

#include <QLabel>
#include <QTextCursor>

namespace wright::questwright {
namespace {

using fixtures::questImage;
using ui::MessageButton;

struct ControlCase {
    const char* name;
    const char* caption;  // "" for none
    QRect place;          // null for a control placed by the layout
    bool visible;
    bool enabled;
};

class QuestWindowControls : public QuestWindow, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(QuestWindowControls, StartAsTheDesignSays) {
    const ControlCase& c = GetParam();
    form_->show();
    QWidget* w = find<QWidget>(c.name);
    ASSERT_NE(w, nullptr);
    if (*c.caption) {
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) caption = b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) caption = l->text();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    }
    if (!c.place.isNull()) {
        EXPECT_EQ(w->geometry(), c.place);
    }
    EXPECT_EQ(!w->isHidden(), c.visible);
    EXPECT_EQ(w->isEnabled(), c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuestWindowControls,
    ::testing::Values(ControlCase{"BSelectDir", "Select QRC Dir", {3, 3, 118, 25}, true, true},
                      ControlCase{"BExportTXT", "Export Current QRC in TXT", {128, 3, 153, 25}, true, false},
                      ControlCase{"BOpenQRCFile", "Open QRC File", {424, 8, 118, 25}, false, true},
                      ControlCase{"BCloseQRCFile", "Close QRC File", {552, 8, 118, 25}, false, false},
                      ControlCase{"Button4", "Rus -> Eng", {680, 8, 115, 25}, false, true},
                      ControlCase{"BSaveQRCFile", "Save QRC File", {3, 35, 118, 25}, true, false},
                      ControlCase{"BExportAllTXT", "Export All QRC in TXT", {144, 32, 121, 25}, true, false},
                      ControlCase{"CheckEchangeLettres", "Replace French Letters", {280, 32, 137, 25}, true, true},
                      ControlCase{"BStoreDialogs", "Store Record", {461, 35, 118, 25}, true, false},
                      ControlCase{"FixBox", "Permanent russian letters", {652, 40, 149, 15}, false, true},
                      ControlCase{"Label1", "Quests", {4, 4, 121, 13}, true, true},
                      ControlCase{"Label2", "Records", {132, 4, 109, 13}, true, true},
                      ControlCase{"Panel2", "", {}, true, true}, ControlCase{"Bevel1", "", {}, true, true},
                      ControlCase{"Panel1", "", {}, true, true}, ControlCase{"Panel3", "", {}, true, true},
                      ControlCase{"QRCList", "", {}, true, true}, ControlCase{"ListBox", "", {}, true, true},
                      ControlCase{"Memo", "", {}, true, true}, ControlCase{"Log", "", {}, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestWindow, StripsPanelsAndFontsFollowTheDesign) {
    form_->show();
    EXPECT_EQ(form_->size(), QSize(814, 700));
    EXPECT_EQ(find<QWidget>("Panel2")->height(), 65);
    EXPECT_EQ(find<QWidget>("Bevel1")->height(), 3);
    EXPECT_EQ(find<QWidget>("Panel1")->width(), 248);
    EXPECT_EQ(find<QWidget>("Panel3")->height(), 19);
    EXPECT_EQ(quests()->width(), 128);
    EXPECT_EQ(find<QWidget>("Log")->height(), 100);
    EXPECT_EQ(find<QWidget>("Log")->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(find<QPlainTextEdit>("Log")->isReadOnly());
    EXPECT_EQ(memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo()->font().pixelSize(), 13);
    EXPECT_TRUE(memo()->font().bold());
    EXPECT_EQ(quests()->font(), memo()->font());
    EXPECT_EQ(form_->font().pixelSize(), 11);
    EXPECT_TRUE(find<QLabel>("Label1")->font().underline());
    EXPECT_TRUE(find<QCheckBox>("CheckEchangeLettres")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("FixBox")->isChecked());
    EXPECT_EQ(memo()->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
}

TEST_F(QuestWindow, CaptionAndTitleFromStartToAListedQuest) {
    auto* app = ui::WrightApplication::instance();
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Editor");
    EXPECT_EQ(app->title(), "Questwright-En");
    form_->show();
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Editor");
    EXPECT_EQ(app->title(), "QAR2: Harrowmere QRC Files Editor");
    put("QUEST1.QRC", questImage({{1000, "a\xFE"}, {1001, "b\xFE"}}));
    listFolder();
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Files Editor { QUEST1.QRC }");
    EXPECT_EQ(app->title(), "{ QUEST1.QRC }");

    // A choice that lists nothing changes neither, and disables the quest buttons.
    wright::testing::TempDir empty;
    script_.chooseFolder(QString::fromStdString(empty.path()));
    click("BSelectDir");
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Files Editor { QUEST1.QRC }");
    EXPECT_EQ(quests()->count(), 0);
    EXPECT_EQ(records()->count(), 0);
    for (const char* name : {"BSaveQRCFile", "BExportTXT", "BExportAllTXT", "BStoreDialogs"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(button("BSelectDir")->isEnabled());
}

TEST_F(QuestWindow, ListingShowsEveryCaseOfTheExtensionAndLoadsTheFirstQuest) {
    put("A.QRC", questImage({{1000, "Hello\xFCW\xFE"}, {7, "x"}}));
    put("b.qrc", questImage({{1, "b"}}));
    put("C.Qrc", questImage({{1, "c"}}));
    put("NOTES.TXT", "not a quest");
    listFolder();
    QStringList listed;
    for (int i = 0; i < quests()->count(); ++i) listed << quests()->item(i)->text();
    const QString first = listed.value(0);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"A.QRC", "C.Qrc", "b.qrc"}));
    EXPECT_EQ(quests()->currentRow(), 0);
    EXPECT_EQ(form_->questName(), first);
    for (const char* name : {"BSaveQRCFile", "BExportTXT", "BExportAllTXT", "BStoreDialogs"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;

    selectQuest("A.QRC");
    EXPECT_EQ(log().mid(log().size() - 4),
              (QStringList{"Open file A.QRC...", "Read Header...", "Read quest...", "File Load Completed."}));
    ASSERT_EQ(records()->count(), 2);
    EXPECT_EQ(records()->item(0)->text(), QString::fromUtf8("Rec. n°0 [1000]"));
    EXPECT_EQ(records()->item(1)->text(), QString::fromUtf8("Rec. n°1 [7]"));
    EXPECT_EQ(records()->currentRow(), 0);
    EXPECT_EQ(memoText(), "Hello<0xFC>\nW<0xFE>");
    selectRecord(1);
    EXPECT_EQ(memoText(), "x");

    // The quest already loaded is not read again, even when its file changed.
    put("A.QRC", questImage({{1, "changed"}}));
    const QStringList before = log();
    quests()->setCurrentRow(-1);
    selectQuest("A.QRC");
    EXPECT_EQ(log(), before);
    EXPECT_EQ(records()->count(), 2);

    // The folder already listed is not listed again.
    script_.chooseFolder(folder());
    click("BSelectDir");
    EXPECT_EQ(log(), before);
    EXPECT_EQ(form_->questName(), "A.QRC");
}

TEST_F(QuestWindow, StoreWalksForwardAndSaveWritesTheQuest) {
    put("Q.QRC", questImage({{5, "one\xFE"}, {6, "two\xFE"}, {9, "three\xFE"}}));
    listFolder();
    edit(QString::fromUtf8("ONE, <0xFB=$1F>été<0xFE>ignored"));
    click("BStoreDialogs");
    EXPECT_EQ(form_->recordTable()[0].data, "ONE, \xFB\x1F<t<\xFE");
    EXPECT_EQ(records()->currentRow(), 1);
    EXPECT_EQ(memoText(), "two<0xFE>");
    EXPECT_TRUE(form_->questModified());
    EXPECT_EQ(bytesOf("Q.QRC"), questImage({{5, "one\xFE"}, {6, "two\xFE"}, {9, "three\xFE"}}));

    click("BSaveQRCFile");
    EXPECT_EQ(log(), (QStringList{"Open File Q.QRC...", "Write Header...", "Save Quest...", "File Q.QRC saved."}));
    EXPECT_EQ(bytesOf("Q.QRC"), questImage({{5, "ONE, \xFB\x1F<t<\xFE"}, {6, "two\xFE"}, {9, "three\xFE"}}));
    EXPECT_FALSE(form_->questModified());

    // Past the last record the selection is gone and a store does nothing.
    selectRecord(2);
    click("BStoreDialogs");
    EXPECT_EQ(records()->currentRow(), -1);
    EXPECT_EQ(memoText(), "");
    click("BStoreDialogs");
    EXPECT_EQ(log().constLast(), "No record selected: nothing stored.");
}

TEST_F(QuestWindow, AnUneditedStoreKeepsBytesTheNotationCannotShow) {
    const std::vector<fixtures::RecordBytes> records{
        {1, std::string("CR\r alone, z\0ro, then \xFE" "after", 28)},
        {2, "last byte\xFB"},
        {3, "caf\xE9 <"},  // an accented byte and a game code under the French option
        {4, "end"}};
    put("T.QRC", questImage(records));
    listFolder();
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(this->records()->currentRow(), i);
        click("BStoreDialogs");
    }
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(form_->recordTable()[i].data, records[i].bytes) << i;
    click("BSaveQRCFile");
    EXPECT_EQ(bytesOf("T.QRC"), questImage(records));

    // Edited, the text is parsed: the accented byte becomes its game code.
    selectRecord(2);
    EXPECT_EQ(memoText(), "caf\u00E9 \u00E9");
    edit(memoText() + "!");
    click("BStoreDialogs");
    EXPECT_EQ(form_->recordTable()[2].data, "caf< <!");
}

TEST_F(QuestWindow, EveryByteComesBackThroughTheMemo) {
    // Every byte the notation shows as itself (the line breaks aside), among
    // them the no-break space 0xA0, the soft hyphen 0xAD and the C1
    // controls; then the control bytes.
    std::string bytes;
    for (int b = 0x01; b < 0xFB; ++b)
        if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
    bytes += "\xFB\xA0\xFC\xFD\xFF\xFE";
    const std::vector<fixtures::RecordBytes> records{{1, bytes}, {2, "x"}};
    put("B.QRC", questImage(records));
    listFolder();
    click("CheckEchangeLettres");  // off: the record is shown again as it is
    ASSERT_FALSE(find<QCheckBox>("CheckEchangeLettres")->isChecked());
    EXPECT_EQ(memoText(), ui::toQt(RenderRecordText(bytes, FrenchLetters::Keep)));

    // Unedited: stored and saved, the file keeps every byte.
    click("BStoreDialogs");
    EXPECT_EQ(form_->recordTable()[0].data, bytes);
    click("BSaveQRCFile");
    EXPECT_EQ(bytesOf("B.QRC"), questImage(records));

    // Edited, the record is parsed from the memo's text: a letter typed in
    // front, and every other byte as it was.
    selectRecord(0);
    memo()->moveCursor(QTextCursor::Start);
    memo()->insertPlainText(QStringLiteral("a"));
    click("BStoreDialogs");
    EXPECT_TRUE(form_->recordTable()[0].data == "a" + bytes) << "the store changed bytes of the record";
    click("BSaveQRCFile");
    EXPECT_EQ(bytesOf("B.QRC"), questImage({{1, "a" + bytes}, {2, "x"}}));
}

TEST_F(QuestWindow, FrenchToggleShowsTheStoredBytesAgain) {
    put("F.QRC", questImage({{1, "Ch^ne @"}, {2, "x"}}));
    listFolder();
    EXPECT_EQ(memoText(), "Ch\u00EAne \u00E0");
    edit("lost edit");
    click("CheckEchangeLettres");
    EXPECT_EQ(log().constLast(), QString::fromUtf8("Conversion de lettres françaises désactivée"));
    EXPECT_EQ(memoText(), "Ch^ne @");
    // Typed with the option off, an accented letter is stored as its own byte.
    edit("\u00E0");
    click("BStoreDialogs");
    EXPECT_EQ(form_->recordTable()[0].data, "\xE0");
    click("CheckEchangeLettres");
    EXPECT_EQ(log().constLast(), QString::fromUtf8("Conversion de lettres françaises activée"));
    EXPECT_EQ(memoText(), "x");
    // With no record selected the re-display shows nothing.
    selectRecord(-1);
    click("CheckEchangeLettres");
    EXPECT_EQ(memoText(), "");
}

struct LeaveCase {
    const char* name;
    MessageButton answer;
};

class QuestWindowLeaving : public QuestWindow, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(QuestWindowLeaving, AModifiedQuestAsksOnceBeforeAnotherIsLoaded) {
    const bool yes = GetParam().answer == MessageButton::Yes;
    put("A.QRC", questImage({{1, "a1"}, {2, "a2"}}));
    put("B.QRC", questImage({{3, "b1"}}));
    listFolder();
    selectQuest("A.QRC");
    edit("A1");
    click("BStoreDialogs");
    script_.clear();
    script_.answer(GetParam().answer);
    selectQuest("B.QRC");
    ASSERT_EQ(script_.messages().size(), 1);
    EXPECT_EQ(script_.messages()[0].caption, "Quest modified");
    EXPECT_EQ(script_.messages()[0].text, "Quest modified, do you want to save ?");
    EXPECT_EQ(script_.messages()[0].icon, ui::MessageIcon::Question);
    EXPECT_EQ(bytesOf("A.QRC"), questImage({{1, yes ? "A1" : "a1"}, {2, "a2"}}));
    const QStringList load{"Open file B.QRC...", "Read Header...", "Read quest...", "File Load Completed."};
    if (yes) {
        EXPECT_EQ(log(), QStringList({"Open File A.QRC...", "Write Header...", "Save Quest...", "File A.QRC saved."}) + load);
    } else {
        EXPECT_EQ(log().mid(log().size() - 4), load);
    }
    EXPECT_EQ(form_->questName(), "B.QRC");
    EXPECT_FALSE(form_->questModified());
    // Back to A: no question, as read from its file.
    selectQuest("A.QRC");
    EXPECT_EQ(script_.messages().size(), 1);
    EXPECT_EQ(memoText(), yes ? "A1" : "a1");
}

TEST_P(QuestWindowLeaving, ClosingAModifiedQuestAsksOnce) {
    const bool yes = GetParam().answer == MessageButton::Yes;
    put("A.QRC", questImage({{1, "a1"}, {2, "a2"}}));
    listFolder();
    edit("A1");
    click("BStoreDialogs");
    script_.answer(GetParam().answer);
    EXPECT_TRUE(form_->close());
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(script_.messages().size(), 1);
    EXPECT_EQ(bytesOf("A.QRC"), questImage({{1, yes ? "A1" : "a1"}, {2, "a2"}}));
}

TEST_P(QuestWindowLeaving, ADirectoryChoiceAsksFirstEvenWhenItIsCancelled) {
    const bool yes = GetParam().answer == MessageButton::Yes;
    put("A.QRC", questImage({{1, "a1"}, {2, "a2"}}));
    put("B.QRC", questImage({{1, "b1"}}));
    listFolder();
    selectQuest("A.QRC");
    edit("A1");
    click("BStoreDialogs");
    script_.answer(GetParam().answer);
    script_.cancelFolder();
    click("BSelectDir");
    EXPECT_EQ(bytesOf("A.QRC"), questImage({{1, yes ? "A1" : "a1"}, {2, "a2"}}));
    // The edits stay loaded but the quest counts as unmodified: leaving it asks nothing.
    EXPECT_EQ(form_->recordTable()[0].data, "A1");
    EXPECT_FALSE(form_->questModified());
    selectQuest("B.QRC");
    EXPECT_EQ(script_.messages().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, QuestWindowLeaving,
                         ::testing::Values(LeaveCase{"Yes", MessageButton::Yes}, LeaveCase{"No", MessageButton::No}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestWindow, ClosingAnUnmodifiedQuestAsksNothing) {
    put("A.QRC", questImage({{1, "a1"}}));
    listFolder();
    EXPECT_TRUE(form_->close());
    EXPECT_TRUE(script_.messages().isEmpty());
}

TEST_F(QuestWindow, HiddenOpenAndCloseWithTheirLinesCaptionsAndButtons) {
    put("H.QRC", questImage({{1, "h1"}, {2, "h2"}}));
    form_->show();
    script_.chooseFile(QString::fromStdString(file("H.QRC")));
    click("BOpenQRCFile");
    EXPECT_EQ(log(), (QStringList{"Open File H.QRC...", "Load Header...", "Load File...", "File Loaded."}));
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Files Editor {H.QRC}");
    EXPECT_EQ(ui::WrightApplication::instance()->title(), "{ H.QRC }");
    for (const char* name : {"BCloseQRCFile", "BStoreDialogs", "BExportTXT"}) EXPECT_TRUE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(button("BSaveQRCFile")->isEnabled());
    EXPECT_EQ(script_.asked()[0].file.filter, "QAR2:Harrowmere quest files|*.QRC");
    EXPECT_EQ(script_.asked()[0].file.defaultSuffix, "QRC");
    EXPECT_EQ(memoText(), "h1");

    click("BCloseQRCFile");
    EXPECT_EQ(log().constLast(), "File closed.");
    EXPECT_EQ(form_->windowTitle(), "QAR2:Harrowmere QRC Editor");
    EXPECT_EQ(ui::WrightApplication::instance()->title(), "QAR2: Harrowmere QRC Editor");
    EXPECT_EQ(records()->count(), 0);
    EXPECT_EQ(memoText(), "");
    EXPECT_EQ(form_->questName(), "");
    for (const char* name : {"BCloseQRCFile", "BStoreDialogs", "BExportTXT"}) EXPECT_FALSE(button(name)->isEnabled()) << name;
}

TEST_F(QuestWindow, HiddenCloseOfAModifiedQuestSavesUnderTheChosenName) {
    put("H.QRC", questImage({{1, "h1"}, {2, "h2"}}));
    form_->show();
    script_.chooseFile(QString::fromStdString(file("H.QRC")));
    click("BOpenQRCFile");
    edit("H1");
    click("BStoreDialogs");
    script_.chooseFile(QString::fromStdString(file("OUT.QRC")));
    click("BCloseQRCFile");
    ASSERT_EQ(script_.asked().size(), 2);
    EXPECT_EQ(script_.asked()[1].file.fileName, QString::fromStdString(file("H.QRC")));
    EXPECT_EQ(log(), (QStringList{"Save File...", "File opened...", "Write Header...", "File saved."}));
    EXPECT_EQ(bytesOf("OUT.QRC"), questImage({{1, "H1"}, {2, "h2"}}));
    EXPECT_EQ(bytesOf("H.QRC"), questImage({{1, "h1"}, {2, "h2"}}));
    EXPECT_FALSE(form_->questModified());

    // Cancelled: closed without saving and without a line.
    script_.chooseFile(QString::fromStdString(file("H.QRC")));
    click("BOpenQRCFile");
    edit("again");
    click("BStoreDialogs");
    const int lines = static_cast<int>(log().size());
    script_.cancelFile();
    click("BCloseQRCFile");
    EXPECT_EQ(log().size(), lines);
    EXPECT_EQ(form_->questName(), "");
    EXPECT_EQ(bytesOf("H.QRC"), questImage({{1, "h1"}, {2, "h2"}}));
}

TEST_F(QuestWindow, ConverterButtonAndPermanentRussianLetters) {
    put("R.QRC", questImage({{1, "Ghbdtn <0xFB=%pcn>\xFB\x05"}, {2, "x"}}));
    listFolder();
    click("CheckEchangeLettres");  // French off: "<" is shown as itself
    QAbstractButton* b4 = button("Button4");
    const QString shown = memoText();
    click("Button4");
    EXPECT_EQ(b4->text(), "Eng -> Rus");
    EXPECT_EQ(ui::tag(b4), ~qint32(0));
    EXPECT_EQ(memoText(), shown);  // ToEng: no Cyrillic letter to convert
    click("Button4");
    EXPECT_EQ(b4->text(), "Rus -> Eng");
    EXPECT_EQ(ui::tag(b4), 0);
    const QString russian = memoText();
    EXPECT_TRUE(russian.startsWith(ui::toQt("\xCF\xF0\xE8\xE2\xE5\xF2")));  // "Привет" in Windows-1251 bytes
    EXPECT_TRUE(russian.endsWith("<0xFB=5>"));

    find<QCheckBox>("FixBox")->click();
    EXPECT_EQ(memoText(), russian);
    EXPECT_EQ(b4->text(), "Rus -> Eng");
    EXPECT_EQ(ui::tag(b4), 0);
    // Unedited, the converted display stores the record's bytes unchanged.
    click("BStoreDialogs");
    EXPECT_EQ(form_->recordTable()[0].data, "Ghbdtn <0xFB=%pcn>\xFB\x05");
}

}  // namespace
}  // namespace wright::questwright
