// Every refusal leaves the quest file as it was, says why, and writes no
// success line.

#include "fileio/write_faults.h"
#include "tests/questwright/window_fixture.h"
#include "tests/support/file_size_limit.h"

#include <QFile>

#include <filesystem>
#include <fstream>

namespace wright::questwright {
namespace {

using fixtures::questImage;
using fixtures::rawQuestImage;
using ui::MessageButton;

const std::vector<fixtures::RecordBytes> kQuest{{1, "first\xFE"}, {2, "second\xFE"}, {3, "third\xFE"}};

class QuestWindowRefusal : public QuestWindow {
protected:
    void SetUp() override {
        QuestWindow::SetUp();
        put("Q.QRC", questImage(kQuest));
        put("R.QRC", questImage({{9, "other"}}));
        listFolder();
        selectQuest("Q.QRC");
        script_.clear();
    }
    void TearDown() override {
        EXPECT_EQ(bytesOf("Q.QRC"), questImage(kQuest));
        QuestWindow::TearDown();
    }
    void makeReadOnly() {
        QFile::setPermissions(QString::fromStdString(file("Q.QRC")), QFile::ReadOwner | QFile::ReadGroup);
    }
    void storeEdit() {
        edit("edited");
        click("BStoreDialogs");
        ASSERT_TRUE(form_->questModified());
    }
    // One message box whose text holds `part`.
    void expectMessage(const QString& part) {
        ASSERT_EQ(script_.messages().size(), 1);
        EXPECT_TRUE(script_.messages()[0].text.contains(part)) << script_.messages()[0].text.toStdString();
    }
    bool logHas(const QString& part) const {
        for (const QString& line : log())
            if (line.contains(part)) return true;
        return false;
    }
};

struct StoreRefusal {
    const char* name;
    QString text;
    const char* message;
};

class QuestWindowStoreRefusal : public QuestWindowRefusal, public ::testing::WithParamInterface<StoreRefusal> {};

TEST_P(QuestWindowStoreRefusal, ChangesNothing) {
    selectRecord(1);
    edit(GetParam().text);
    click("BStoreDialogs");
    expectMessage(QString::fromUtf8(GetParam().message));
    EXPECT_EQ(script_.messages()[0].icon, ui::MessageIcon::Critical);
    EXPECT_EQ(form_->recordTable()[1].data, "second\xFE");
    EXPECT_EQ(records()->currentRow(), 1);
    EXPECT_EQ(memoText(), GetParam().text);
    EXPECT_FALSE(form_->questModified());
    EXPECT_EQ(log().constLast(), QString::fromUtf8("Record n°1 not stored."));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuestWindowStoreRefusal,
    ::testing::Values(
        StoreRefusal{"UnclosedArgument", "a<0xFB=12", "Index beyond the end of the text"},
        StoreRefusal{"ArgumentNotAnInteger", "a<0xFB=red>", "'red' is not a valid integer value"},
        // The quoted text shows as the memo shows it.
        StoreRefusal{"ArgumentWithAnAccentedLetter", QString::fromUtf8("a<0xFB=é>"), "'é' is not a valid integer value"},
        StoreRefusal{"MoreThanTenThousandBytes", QString(10001, u'a'), "more than 10000 bytes"},
        StoreRefusal{"CharacterOutsideTheCodePage", QString::fromUtf8("Ā and more"),
                     "the character \"Ā\" (U+0100) cannot be written"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestWindowRefusal, AReadOnlyQuestIsShownAndExportedButNotSaved) {
    makeReadOnly();
    selectQuest("R.QRC");
    selectQuest("Q.QRC");  // read again from its read-only file
    EXPECT_EQ(memoText(), "first<0xFE>");
    click("BExportTXT");
    EXPECT_EQ(log().constLast(), "File Q.QRC.txt generated");
    storeEdit();
    click("BSaveQRCFile");
    expectMessage("Q.QRC was not saved: the file is read-only");
    EXPECT_EQ(log(), (QStringList{"Open File Q.QRC...", "Cannot save Q.QRC: the file is read-only"}));
    EXPECT_TRUE(form_->questModified());
}

using wright::testing::FileSizeLimit;

TEST_F(QuestWindowRefusal, ASaveTheDiskRefusesKeepsTheQuestModified) {
    edit(QString(9000, u'x'));
    click("BStoreDialogs");
    {
        FileSizeLimit limit(4096);
        click("BSaveQRCFile");
    }
    expectMessage("Q.QRC was not saved: cannot write the file");
    EXPECT_FALSE(logHas("saved."));
    EXPECT_TRUE(form_->questModified());
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary file left
}

TEST_F(QuestWindowRefusal, AFailedSaveAtTheQuestionStaysOnTheQuest) {
    makeReadOnly();
    storeEdit();
    script_.answer(MessageButton::Yes);
    selectQuest("R.QRC");
    ASSERT_EQ(script_.messages().size(), 2);  // the question, then why the save failed
    EXPECT_TRUE(script_.messages()[1].text.contains("read-only"));
    EXPECT_EQ(form_->questName(), "Q.QRC");
    EXPECT_EQ(quests()->currentItem()->text(), "Q.QRC");
    EXPECT_EQ(form_->recordTable()[0].data, "edited");
    EXPECT_TRUE(form_->questModified());
}

TEST_F(QuestWindowRefusal, AFailedSaveAtClosingKeepsTheWindowOpen) {
    makeReadOnly();
    storeEdit();
    script_.answer(MessageButton::Yes);
    EXPECT_FALSE(form_->close());
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(form_->questModified());
    // Answered No, the window closes.
    script_.answer(MessageButton::No);
    EXPECT_TRUE(form_->close());
}

TEST_F(QuestWindowRefusal, AFailedSaveOfTheHiddenCloseKeepsTheQuestOpen) {
    script_.chooseFile(QString::fromStdString(file("Q.QRC")));
    click("BOpenQRCFile");
    storeEdit();
    script_.clear();
    script_.chooseFile(QString::fromStdString(file("missing/folder/OUT.QRC")));
    click("BCloseQRCFile");
    expectMessage("OUT.QRC was not saved");
    EXPECT_FALSE(logHas("File saved."));
    EXPECT_EQ(form_->questName(), "Q.QRC");
    EXPECT_TRUE(form_->questModified());
    EXPECT_EQ(form_->recordTable()[0].data, "edited");
}

TEST_F(QuestWindowRefusal, ADamagedQuestIsRefusedAndRetriedWhenSelectedAgain) {
    put("BAD.QRC", rawQuestImage(12, {{1, 16}, {2, 15}}, "abcd"));
    QDir(folder()).mkdir("SUB.QRC");
    wright::testing::TempDir other;
    script_.chooseFolder(QString::fromStdString(other.path()));
    script_.chooseFolder(folder());
    click("BSelectDir");
    click("BSelectDir");
    selectQuest("BAD.QRC");
    const QString refusal = "Cannot load BAD.QRC: the offsets are not ascending: record 1 starts at byte 15, "
                            "before record 0 (byte 16)";
    EXPECT_EQ(log().constLast(), refusal);
    EXPECT_EQ(records()->count(), 0);
    EXPECT_EQ(memoText(), "");
    EXPECT_EQ(form_->questName(), "");
    EXPECT_EQ(quests()->currentRow(), -1);
    // Nothing is loaded: the buttons of the quest are off, and the handlers
    // (as a save question would run them) say so and touch nothing.
    for (const char* name : {"BStoreDialogs", "BSaveQRCFile", "BExportTXT"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(button("BExportAllTXT")->isEnabled());
    form_->StoreRecordClick();
    EXPECT_EQ(log().constLast(), "No record selected: nothing stored.");
    EXPECT_FALSE(form_->SaveQRCFileClick());
    EXPECT_EQ(log().constLast(), "No quest loaded: nothing saved.");

    put("BAD.QRC", questImage({{1, "repaired"}}));
    selectQuest("BAD.QRC");
    EXPECT_EQ(memoText(), "repaired");
    for (const char* name : {"BStoreDialogs", "BSaveQRCFile", "BExportTXT"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    selectQuest("SUB.QRC");
    EXPECT_EQ(log().constLast(), "Cannot load SUB.QRC: it is a folder");
    EXPECT_TRUE(script_.messages().isEmpty());
}

// Files that hold no quest: a header below one index entry (whatever text
// follows), or a length no quest can have (sparse, so nothing is on disk).
struct NoQuestCase {
    const char* name;
    std::string bytes;
    std::uint64_t length;  // the file's length when it is made longer than its bytes
    std::string reason;
};

class QuestWindowNoQuest : public QuestWindow, public ::testing::WithParamInterface<NoQuestCase> {};

// What a test can see of a file without reading 4 GB: its length, its time
// and its first bytes.
std::string fileState(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const auto time = std::filesystem::last_write_time(path).time_since_epoch().count();
    return std::to_string(std::filesystem::file_size(path)) + " " + std::to_string(time) + " " + head;
}

TEST_P(QuestWindowNoQuest, IsRefusedAtLoadingAndCannotBeSavedOver) {
    const NoQuestCase& c = GetParam();
    put("Z.QRC", c.bytes);
    if (c.length) std::filesystem::resize_file(file("Z.QRC"), c.length);
    const std::string before = fileState(file("Z.QRC"));
    listFolder();
    EXPECT_EQ(log(), (QStringList{"Open file Z.QRC...", "Read Header...", QString::fromStdString("Cannot load Z.QRC: " + c.reason)}));
    EXPECT_EQ(records()->count(), 0);
    EXPECT_EQ(form_->questName(), "");
    for (const char* name : {"BSaveQRCFile", "BStoreDialogs", "BExportTXT"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(form_->SaveQRCFileClick());
    EXPECT_EQ(fileState(file("Z.QRC")), before);
    EXPECT_TRUE(script_.messages().isEmpty());
}

std::string noRecord(int header) {
    return "its header gives an index of " + std::to_string(header) +
           " bytes, less than one 6-byte entry: the file holds no record";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuestWindowNoQuest,
    ::testing::Values(NoQuestCase{"HeaderZero", std::string("\0\0important text", 16), 0, noRecord(0)},
                      NoQuestCase{"HeaderOne", rawQuestImage(1, {}, "important text"), 0, noRecord(1)},
                      NoQuestCase{"HeaderTwo", rawQuestImage(2, {}, "important text"), 0, noRecord(2)},
                      NoQuestCase{"HeaderThree", rawQuestImage(3, {}, "important text"), 0, noRecord(3)},
                      NoQuestCase{"HeaderFour", rawQuestImage(4, {}, "important text"), 0, noRecord(4)},
                      NoQuestCase{"HeaderFive", rawQuestImage(5, {}, "important text"), 0, noRecord(5)},
                      NoQuestCase{"HeaderOnly", rawQuestImage(0, {}, ""), 0, noRecord(0)},
                      NoQuestCase{"SparseFourGigabytes", rawQuestImage(0, {}, "important text"),
                                  std::uint64_t{4} << 30,
                                  "the file is 4294967296 bytes long, more than a quest file can be (109285534 "
                                  "bytes)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestWindowRefusal, AnExportFileThatCannotBeCreatedIsReported) {
    QDir(folder()).mkdir("Q.QRC.txt");
    QDir(folder()).mkdir("AllQRC.txt");
    click("BExportTXT");
    expectMessage("Q.QRC.txt cannot be created");
    EXPECT_TRUE(log().constLast().startsWith("Cannot create Q.QRC.txt: "));
    script_.clear();
    click("BExportAllTXT");
    expectMessage("AllQRC.txt cannot be created");
    EXPECT_FALSE(logHas("generated"));
}

TEST_F(QuestWindowRefusal, AnExportThatFailsAtAnyWriteKeepsTheOldFile) {
    // One export unarmed counts its write-side steps.
    WriteFaults::disarm();
    click("BExportTXT");
    const int steps = WriteFaults::calls();
    ASSERT_GT(steps, 1);
    const std::string old = "an earlier export\r\n";
    for (int n = 1; n <= steps; ++n) {
        put("Q.QRC.txt", old);
        script_.clear();
        const int linesBefore = static_cast<int>(log().size());
        WriteFaults::failAt(n, ENOSPC);
        click("BExportTXT");
        WriteFaults::disarm();
        // The first step creates the export's temporary file.
        expectMessage(n == 1 ? "Q.QRC.txt cannot be created" : "Q.QRC.txt cannot be written");
        EXPECT_EQ(bytesOf("Q.QRC.txt"), old) << "step " << n;
        EXPECT_FALSE(log().mid(linesBefore).join('\n').contains("generated")) << "step " << n;
        EXPECT_EQ(QDir(folder()).entryList({"*.txt*", ".*"}, QDir::Files | QDir::Hidden), QStringList{"Q.QRC.txt"})
            << "a temporary file was left at step " << n;
    }
}

}  // namespace
}  // namespace wright::questwright
