#pragma once
// Questwright's main window: the quest list and the record list on the left,
// the record text in Memo, the log at the bottom and the command strip on top.
// Each handler is one method, named after its control and event; the quest
// state between handlers (the listed folder, the loaded quest's name, its
// record table and the modified flag) lives here.
// The controls are built from the window design in tform1_controls.cpp; the
// handlers, one method each, are in tform1.cpp.

#include "fileio/file_writer.h"
#include "questwright/memo_wrap.h"
#include "questwright/quest_file.h"
#include "questwright/record_text.h"
#include "ui/dialogs.h"
#include "ui/log_panel.h"

#include <QString>
#include <QWidget>

#include <optional>

class QAbstractButton;
class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace wright::questwright {

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(ui::Dialogs& dialogs, QWidget* parent = nullptr);

    // The handlers, as the controls run them.
    void SelectDirClick();
    void QRCListClick();
    void ListBoxClick();
    void ShowRecord();
    void StoreRecordClick();
    bool SaveQRCFileClick();
    void ExportTXTClick();
    void ExportAllTXTClick();
    void EchangeLettres();
    void Button4Click();
    void FixBoxClick();
    void OpenQRCFIle();
    void CloseQRCFile();
    // The save question before a modified quest is left. False when the user
    // chose to save and the save failed: the quest must then not be left.
    bool SavePrompt();
    void FormShow();
    // The question at closing; false keeps the window open (a failed save).
    bool FormClose();

    // What the window holds, for its tests.
    const QString& questName() const { return QRCName; }
    const QString& questDir() const { return QRCDir; }
    bool questModified() const { return QuestModified; }
    const RecordTable& recordTable() const { return RecordTable_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class LoadLines { QuestList, HiddenOpen };
    enum class Selection { Loaded, NotLoaded, NotLeft };

    void buildControls();
    QToolButton* speedButton(QWidget* parent, const char* name, const QString& caption, QRect place);
    QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect place);

    Selection selectQuest();
    bool loadQuest(const QString& path, LoadLines lines);
    void releaseQuest();
    void selectRecord(int index);
    // The quest buttons for a listed folder (or none): those of the loaded
    // quest only while one is loaded.
    void setQuestButtonsEnabled(bool listed);
    FrenchLetters frenchLetters() const;
    QString questPath() const;
    std::vector<std::string> exportLines(std::size_t index, MemoWrap& wrap) const;
    QString displayText(std::size_t index) const;
    void refuse(const QString& caption, const QString& logLine, const QString& message);
    enum class ExportStep { Create, Write };
    // An export file that could not be created or written: Log and a message.
    void refuseExport(const QString& caption, ExportStep step, const QString& name, const QString& reason);
    // The export's file, or nothing when it cannot be created (refused in Log).
    std::optional<FileWriter> createExport(const QString& caption, const QString& name);
    // Writes the export's text and puts the file in place, or refuses.
    void finishExport(FileWriter& out, const std::string& text, const QString& caption, const QString& name);

    ui::Dialogs& dialogs_;

    // Controls, by their names in the window design.
    QWidget* Panel2 = nullptr;
    QToolButton* BSelectDir = nullptr;
    QToolButton* BExportTXT = nullptr;
    QPushButton* BOpenQRCFile = nullptr;
    QPushButton* BCloseQRCFile = nullptr;
    QToolButton* Button4 = nullptr;
    QToolButton* BSaveQRCFile = nullptr;
    QPushButton* BExportAllTXT = nullptr;
    QCheckBox* CheckEchangeLettres = nullptr;
    QToolButton* BStoreDialogs = nullptr;
    QCheckBox* FixBox = nullptr;
    QFrame* Bevel1 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* QRCList = nullptr;
    QListWidget* ListBox = nullptr;
    QPlainTextEdit* Memo = nullptr;
    QPlainTextEdit* LogEdit = nullptr;
    std::optional<ui::LogPanel> Log;

    // The quest state.
    QString QRCDir = QStringLiteral(".");
    QString QRCName;
    RecordTable RecordTable_;
    bool QuestModified = false;
    // The file name the hidden close proposes: the path the hidden open read.
    QString saveDialogFileName_;
    // What the last record display put into Memo, and for which record: a
    // store of exactly that text keeps the record's bytes as they are.
    QString shownText_;
    int shownIndex_ = -1;
};

}  // namespace wright::questwright
