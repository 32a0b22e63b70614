#include "tests/support/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/testing/scripted_dialogs.h"

#include <QDir>

#include <gtest/gtest.h>

namespace wright::ui {
namespace {

using testing::ScriptedDialogs;

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { startDir_ = QDir::currentPath(); }
    void TearDown() override { QDir::setCurrent(startDir_); }

    QString startDir_;
    ScriptedDialogs script_;
    Dialogs dialogs_{script_};
};

TEST(FileDialogRequest, FilterBecomesQtNameFilters) {
    FileDialogRequest r;
    r.filter = QStringLiteral("QAR: Harrowmere BSA files|*.BSA");
    EXPECT_EQ(r.qtNameFilters(), QStringList{QStringLiteral("QAR: Harrowmere BSA files (*.BSA)")});
    r.filter = QStringLiteral("Quests|*.QRC;*.qrc|All|*");
    EXPECT_EQ(r.qtNameFilters(), (QStringList{QStringLiteral("Quests (*.QRC *.qrc)"), QStringLiteral("All (*)")}));
}

TEST_F(DialogsTest, ConfirmedFileMovesTheWorkingDirectoryToItsFolder) {
    wright::testing::TempDir dir;
    const QString file = QString::fromStdString(dir.file("MAPS.BSA"));
    script_.chooseFile(file);
    FileDialogRequest request{QString(), QStringLiteral("QAR: Harrowmere BSA files|*.BSA"), QStringLiteral("BSA"),
                              QStringLiteral("."), QStringLiteral("MAPS")};
    const auto chosen = dialogs_.openFile(nullptr, request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, QDir(QString::fromStdString(dir.path())).absoluteFilePath(QStringLiteral("MAPS.BSA")));
    EXPECT_EQ(QDir::currentPath(), QDir(QString::fromStdString(dir.path())).absolutePath());
    ASSERT_EQ(script_.asked().size(), 1);
    EXPECT_EQ(script_.asked().at(0).file.fileName, QStringLiteral("MAPS"));
}

TEST_F(DialogsTest, SaveChoiceMovesTheWorkingDirectoryToo) {
    wright::testing::TempDir dir;
    script_.chooseFile(QString::fromStdString(dir.file("out.QRC")));
    ASSERT_TRUE(dialogs_.saveFile(nullptr, {}));
    EXPECT_EQ(QDir::currentPath(), QDir(QString::fromStdString(dir.path())).absolutePath());
}

TEST_F(DialogsTest, CancelLeavesTheWorkingDirectory) {
    script_.cancelFile();
    script_.cancelFolder();
    EXPECT_FALSE(dialogs_.openFile(nullptr, {}));
    EXPECT_FALSE(dialogs_.chooseFolder(nullptr, {}));
    EXPECT_EQ(QDir::currentPath(), startDir_);
    EXPECT_TRUE(script_.unscripted().isEmpty());
}

TEST_F(DialogsTest, ChosenFolderIsReadBackFromTheWorkingDirectory) {
    wright::testing::TempDir dir;
    QDir(QString::fromStdString(dir.path())).mkdir(QStringLiteral("quests"));
    script_.chooseFolder(QString::fromStdString(dir.path()) + QStringLiteral("/quests/../quests"));
    const auto chosen = dialogs_.chooseFolder(nullptr, {QString(), QStringLiteral(".")});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, QDir::currentPath());
    EXPECT_EQ(*chosen, QDir(QString::fromStdString(dir.path()) + QStringLiteral("/quests")).absolutePath());
}

TEST_F(DialogsTest, FolderThatVanishedIsAnUnconfirmedChoice) {
    script_.chooseFolder(QStringLiteral("/nonexistent/folder/of/wright/tests"));
    EXPECT_FALSE(dialogs_.chooseFolder(nullptr, {}));
    EXPECT_EQ(QDir::currentPath(), startDir_);
}

TEST_F(DialogsTest, QuestionsTakeScriptedAnswersAndNoticesTakeNone) {
    script_.answer(MessageButton::Yes);
    dialogs_.inform(nullptr, QStringLiteral("Incorrect file"), QStringLiteral("notice"));
    EXPECT_TRUE(dialogs_.askYesNo(nullptr, QStringLiteral("Quest modified"), QStringLiteral("save ?")));
    EXPECT_FALSE(dialogs_.askYesNo(nullptr, QStringLiteral("Quest modified"), QStringLiteral("again ?")));
    const auto messages = script_.messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages.at(0).caption, QStringLiteral("Incorrect file"));
    EXPECT_EQ(messages.at(1).icon, MessageIcon::Question);
    EXPECT_EQ(messages.at(1).buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
    // The third question had no scripted answer: recorded, and answered No.
    EXPECT_EQ(script_.unscripted().size(), 1);
}

}  // namespace
}  // namespace wright::ui
