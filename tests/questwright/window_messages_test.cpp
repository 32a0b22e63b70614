// The Log's lines for quests in a folder named with accented and Cyrillic
// letters, under such names: the names show as the file system gives them,
// from the listing through loading, saving and exporting.

#include "tests/questwright/window_fixture.h"
#include "tests/support/accented_folder.h"

#include <QFile>

#include <filesystem>

namespace wright::questwright {
namespace {

using fixtures::questImage;
using fixtures::rawQuestImage;

const std::vector<fixtures::RecordBytes> kQuest{{1, "un\xFE"}, {2, "deux\xFE"}, {3, "trois\xFE"}};

class QuestsInAccentedFolder : public QuestWindow {
protected:
    void SetUp() override {
        QuestWindow::SetUp();
        accented_ = wright::testing::makeAccentedFolder(dir_.path());
        wright::testing::writeBytes(at(kName), questImage(kQuest));
        wright::testing::writeBytes(at("BAD.QRC"), rawQuestImage(12, {{1, 16}, {2, 15}}, "abcd"));
        form_->show();
        script_.chooseFolder(QString::fromStdString(accented_));
        click("BSelectDir");
        selectQuest(QString::fromStdString(kName));
    }
    std::string at(const std::string& name) const { return accented_ + "/" + name; }
    QStringList logSince(qsizetype from) const { return log().mid(from); }

    const std::string kName = "Quête Фёдор.QRC";
    const QString kQName = QString::fromStdString(kName);
    std::string accented_;
};

TEST_F(QuestsInAccentedFolder, LoadingSavingAndRefusalsNameTheQuest) {
    EXPECT_EQ(form_->questName(), kQName);
    EXPECT_EQ(form_->windowTitle(), "QAR2: Harrowmere QRC Files Editor { " + kQName + " }");
    EXPECT_TRUE(log().join('\n').contains("Open file " + kQName + "...\nRead Header...\nRead quest...\nFile Load "
                                                                   "Completed."))
        << log().join('\n').toStdString();

    qsizetype mark = log().size();
    selectQuest("BAD.QRC");
    EXPECT_EQ(logSince(mark), (QStringList{"Open file BAD.QRC...", "Read Header...",
                                           "Cannot load BAD.QRC: the offsets are not ascending: record 1 starts at "
                                           "byte 15, before record 0 (byte 16)"}));

    selectQuest(kQName);
    edit("one<0xFE>");
    click("BStoreDialogs");
    click("BSaveQRCFile");
    EXPECT_EQ(log(), (QStringList{"Open File " + kQName + "...", "Write Header...", "Save Quest...",
                                  "File " + kQName + " saved."}));
    EXPECT_EQ(wright::testing::readBytes(at(kName)), questImage({{1, "one\xFE"}, {2, "deux\xFE"}, {3, "trois\xFE"}}));

    QFile::setPermissions(QString::fromStdString(at(kName)), QFile::ReadOwner | QFile::ReadGroup);
    click("BSaveQRCFile");
    EXPECT_EQ(log(), (QStringList{"Open File " + kQName + "...", "Cannot save " + kQName + ": the file is read-only"}));
    ASSERT_EQ(script_.messages().size(), 1);
    EXPECT_EQ(script_.messages()[0].text, kQName + " was not saved: the file is read-only.\nThe file on disk is unchanged.");
}

TEST_F(QuestsInAccentedFolder, ExportsNameTheirFiles) {
    const QString current = QString::fromUtf8("Quête Фё.txt");
    qsizetype mark = log().size();
    click("BExportTXT");
    EXPECT_EQ(logSince(mark), (QStringList{"Export QRC file in" + current + "...", "File " + current + " generated"}));
    EXPECT_TRUE(std::filesystem::is_regular_file(at("Quête Фё.txt")));

    click("BExportAllTXT");
    const QStringList all = log();
    EXPECT_EQ(all.constFirst(), "Export all QRC files in AllQRC.txt...");
    EXPECT_TRUE(all.contains("Export file " + kQName + "...")) << all.join('\n').toStdString();
    EXPECT_TRUE(all.contains("Cannot load BAD.QRC: the offsets are not ascending: record 1 starts at byte 15, before "
                             "record 0 (byte 16)"));
    EXPECT_EQ(all.constLast(), "File AllQRC.txt generated");
    EXPECT_TRUE(std::filesystem::is_regular_file(at("AllQRC.txt")));

    // The export's name taken by a folder: the line names it.
    selectQuest(kQName);
    std::filesystem::remove(at("Quête Фё.txt"));
    std::filesystem::create_directory(at("Quête Фё.txt"));
    mark = log().size();
    click("BExportTXT");
    const QStringList refused = logSince(mark);
    ASSERT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused[1].startsWith("Cannot create " + current + ": ")) << refused[1].toStdString();
    ASSERT_EQ(script_.messages().size(), 1);
    EXPECT_TRUE(script_.messages()[0].text.startsWith(current + " cannot be created: "))
        << script_.messages()[0].text.toStdString();
}

}  // namespace
}  // namespace wright::questwright
