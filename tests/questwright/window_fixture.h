#pragma once
// A Questwright window on the offscreen platform, driven through its controls'
// names, with scripted dialogs and a folder of quest files made in code.

#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/tform1.h"
#include "questwright/memo_wrap.h"
#include "tests/support/reported_errors.h"
#include "tests/support/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/memo_lines.h"
#include "ui/testing/scripted_dialogs.h"
#include "ui/wright_application.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace wright::questwright {

class QuestWindow : public ::testing::Test {
protected:
    void SetUp() override {
        startDir_ = QDir::currentPath();
        wright::testing::reportedErrors().clear();
        ui::WrightApplication::instance()->setTitle(QStringLiteral("Questwright-En"));
        form_ = std::make_unique<TForm1>(dialogs_);
    }
    void TearDown() override {
        form_.reset();
        QDir::setCurrent(startDir_);
        EXPECT_TRUE(wright::testing::reportedErrors().isEmpty()) << wright::testing::reportedErrors().join("\n").toStdString();
    }

    template <typename T>
    T* find(const char* name) const {
        T* w = form_->findChild<T*>(QString::fromLatin1(name));
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(name); }
    void click(const char* name) { button(name)->click(); }
    QListWidget* quests() const { return find<QListWidget>("QRCList"); }
    QListWidget* records() const { return find<QListWidget>("ListBox"); }
    QPlainTextEdit* memo() const { return find<QPlainTextEdit>("Memo"); }
    QString memoText() const { return ui::memoText(memo()); }
    QStringList log() const { return ui::memoLines(find<QPlainTextEdit>("Log")); }

    std::string file(const std::string& name) const { return dir_.file(name); }
    QString folder() const { return QDir(QString::fromStdString(dir_.path())).absolutePath(); }
    void put(const std::string& name, const std::string& bytes) { wright::testing::writeBytes(file(name), bytes); }
    std::string bytesOf(const std::string& name) const { return wright::testing::readBytes(file(name)); }

    // Shows the window and lists the test folder through the directory choice.
    void listFolder() {
        form_->show();
        script_.chooseFolder(folder());
        click("BSelectDir");
    }
    // Selects a quest of the list by its name, as a click in the list does.
    void selectQuest(const QString& name) {
        const auto items = quests()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        quests()->setCurrentItem(items.constFirst());
    }
    void selectRecord(int row) { records()->setCurrentRow(row); }
    // Replaces the record text as typing over it would.
    void edit(const QString& text) { memo()->setPlainText(text); }

    QString startDir_;
    wright::testing::TempDir dir_;
    ui::testing::ScriptedDialogs script_;
    ui::Dialogs dialogs_{script_};
    std::unique_ptr<TForm1> form_;
};

}  // namespace wright::questwright
