#include "questwright/tform1.h"
#include "questwright/tform1_private.h"

#include "common/cyrillic_letters.h"
#include "fileio/file_writer.h"
#include "questwright/text_export.h"
#include "ui/button_tag.h"
#include "ui/list_index.h"
#include "ui/local_path.h"
#include "ui/memo_lines.h"
#include "ui/text_codec.h"
#include "ui/wright_application.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>

namespace wright::questwright {
namespace {

const QString kFilesEditorTitle = QStringLiteral("QAR2: Harrowmere QRC Files Editor");
const QString kClosedCaption = QStringLiteral("QAR2:Harrowmere QRC Editor");
const QString kQuestFilter = QStringLiteral("QAR2:Harrowmere quest files|*.QRC");
const QString kQuestSuffix = QStringLiteral("QRC");
const QString kQuestPattern = QStringLiteral("*.qrc");
const QString kModifiedCaption = QStringLiteral("Quest modified");
const QString kModifiedQuestion = QStringLiteral("Quest modified, do you want to save ?");

// A reason of the file system or of the quest reader: UTF-8, never game text.
QString systemText(const std::string& text) {
    return QString::fromUtf8(text);
}

// Record text quoted in a message, as the memo shows it.
std::string memoView(std::string_view text) {
    return ui::toQt(text).toStdString();
}

void setApplicationTitle(const QString& title) {
    if (auto* app = ui::WrightApplication::instance()) app->setTitle(title);
}

}  // namespace

// ---- quest state helpers -------------------------------------------------

FrenchLetters TForm1::frenchLetters() const {
    return CheckEchangeLettres->isChecked() ? FrenchLetters::Replace : FrenchLetters::Keep;
}

QString TForm1::questPath() const {
    return QRCDir + QDir::separator() + QRCName;
}

void TForm1::releaseQuest() {
    RecordTable_.clear();
    RecordTable_.shrink_to_fit();
    {
        const QSignalBlocker block(ListBox);
        ListBox->clear();
    }
    Memo->clear();
    shownText_.clear();
    shownIndex_ = -1;
}

void TForm1::selectRecord(int index) {
    const QSignalBlocker block(ListBox);
    ListBox->setCurrentRow(index < ListBox->count() ? index : -1);
}

void TForm1::setQuestButtonsEnabled(bool listed) {
    BExportAllTXT->setEnabled(listed);
    // The others work on the loaded quest: one refused at loading can be
    // neither stored into, saved over nor exported alone.
    const bool loaded = listed && !QRCName.isEmpty();
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(BSaveQRCFile), static_cast<QAbstractButton*>(BExportTXT),
                               static_cast<QAbstractButton*>(BStoreDialogs)})
        b->setEnabled(loaded);
}

void TForm1::refuse(const QString& caption, const QString& logLine, const QString& message) {
    Log->appendLine(logLine);
    dialogs_.inform(this, caption, message, ui::MessageIcon::Critical);
}

void TForm1::refuseExport(const QString& caption, ExportStep step, const QString& name, const QString& reason) {
    const bool create = step == ExportStep::Create;
    refuse(caption, QStringLiteral("Cannot %1 %2: %3").arg(create ? "create" : "write", name, reason),
           QStringLiteral("%1 cannot be %2: %3.").arg(name, create ? "created" : "written", reason));
}

std::optional<FileWriter> TForm1::createExport(const QString& caption, const QString& name) {
    try {
        return FileWriter(ui::localPath(QDir::current().absoluteFilePath(name)));
    } catch (const FileError& error) {
        refuseExport(caption, ExportStep::Create, name, QString::fromUtf8(error.reason()));
        return std::nullopt;
    }
}

void TForm1::finishExport(FileWriter& out, const std::string& text, const QString& caption, const QString& name) {
    try {
        out.write(text);
        out.commit();
    } catch (const FileError& error) {
        refuseExport(caption, ExportStep::Write, name, QString::fromUtf8(error.reason()));
        return;
    }
    Log->appendLine(QStringLiteral("File ") + name + QStringLiteral(" generated"));
}

bool TForm1::loadQuest(const QString& path, LoadLines lines) {
    const bool list = lines == LoadLines::QuestList;
    try {
        RecordTable_ = ReadQuestFile(ui::localPath(path), [&](ReadStep step) {
            if (step == ReadStep::Header) {
                Log->appendLine(list ? QStringLiteral("Read Header...") : QStringLiteral("Load Header..."));
            } else {
                Log->appendLine(list ? QStringLiteral("Read quest...") : QStringLiteral("Load File..."));
            }
        });
    } catch (const QuestFileError& error) {
        // Nothing of a refused file is kept; selecting it again retries.
        Log->appendLine(QStringLiteral("Cannot load %1: %2").arg(QRCName, systemText(error.what())));
        QRCName.clear();
        return false;
    }
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(RecordTable_.size()));
    for (std::size_t i = 0; i < RecordTable_.size(); ++i)
        entries << QStringLiteral("Rec. n\u00B0%1 [%2]").arg(i).arg(RecordTable_[i].id);
    {
        const QSignalBlocker block(ListBox);
        ListBox->clear();
        ListBox->addItems(entries);
    }
    Log->appendLine(list ? QStringLiteral("File Load Completed.") : QStringLiteral("File Loaded."));
    return true;
}

// ---- the quest list --------------------------------------------------------

void TForm1::SelectDirClick() {
    if (QuestModified && !SavePrompt()) return;
    const auto chosen = dialogs_.chooseFolder(this, ui::FolderDialogRequest{QStringLiteral("Select directory..."),
                                                                           QStringLiteral(".")});
    if (!chosen || *chosen == QRCDir) return;

    QRCDir = *chosen;
    releaseQuest();
    QRCName.clear();
    {
        const QSignalBlocker block(QRCList);
        QRCList->clear();
        const QDir dir(QRCDir);
        QRCList->addItems(dir.entryList({kQuestPattern},
                                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                        QDir::Unsorted));
    }
    if (QRCList->count() == 0) {
        setQuestButtonsEnabled(false);
        return;
    }
    {
        const QSignalBlocker block(QRCList);
        QRCList->setCurrentRow(0);
    }
    QRCListClick();
    setQuestButtonsEnabled(true);
}

TForm1::Selection TForm1::selectQuest() {
    const int row = QRCList->currentRow();
    if (row < 0) return Selection::NotLoaded;
    const QString name = ui::listItemText(QRCList, row);
    if (name == QRCName) return Selection::Loaded;
    if (QuestModified && !SavePrompt()) {
        // The quest could not be saved: stay on it.
        const QSignalBlocker block(QRCList);
        const auto items = QRCList->findItems(QRCName, Qt::MatchExactly);
        QRCList->setCurrentItem(items.isEmpty() ? nullptr : items.constFirst());
        return Selection::NotLeft;
    }
    if (!QRCName.isEmpty()) releaseQuest();
    QRCName = name;
    Log->appendLine(QStringLiteral("Open file ") + QRCName + QStringLiteral("..."));
    if (!loadQuest(questPath(), LoadLines::QuestList)) {
        releaseQuest();
        setQuestButtonsEnabled(true);
        const QSignalBlocker block(QRCList);
        QRCList->setCurrentRow(-1);
        return Selection::NotLoaded;
    }
    setQuestButtonsEnabled(true);
    setWindowTitle(kFilesEditorTitle + QStringLiteral(" { ") + QRCName + QStringLiteral(" }"));
    setApplicationTitle(QStringLiteral("{ ") + QRCName + QStringLiteral(" }"));
    selectRecord(0);
    ShowRecord();
    return Selection::Loaded;
}

void TForm1::QRCListClick() {
    selectQuest();
}

void TForm1::ListBoxClick() {
    ShowRecord();
}

bool TForm1::SavePrompt() {
    const bool save = dialogs_.askYesNo(this, kModifiedCaption, kModifiedQuestion);
    if (save && !SaveQRCFileClick()) return false;
    QuestModified = false;
    return true;
}

// ---- the record display ----------------------------------------------------

QString TForm1::displayText(std::size_t index) const {
    std::string text = RenderRecordText(RecordTable_[index].data, frenchLetters());
    if (FixBox->isChecked()) ConvertRusEng(text, RusEngDirection::ToRus, MarkersRule::On);
    return ui::toQt(text);
}

void TForm1::ShowRecord() {
    Memo->clear();
    shownText_.clear();
    shownIndex_ = -1;
    const int index = ListBox->currentRow();
    if (index < 0 || static_cast<std::size_t>(index) >= RecordTable_.size()) return;
    Memo->setPlainText(ui::toQt(RenderRecordText(RecordTable_[static_cast<std::size_t>(index)].data,
                                                 frenchLetters())));
    if (FixBox->isChecked()) {
        // The converter button's steps with its Tag set first, so the click
        // converts to Cyrillic letters and leaves the button as it started.
        ui::setTag(Button4, ~qint32(0));
        Button4Click();
    }
    shownText_ = ui::memoText(Memo);
    shownIndex_ = index;
}

void TForm1::EchangeLettres() {
    Log->appendLine(CheckEchangeLettres->isChecked()
                        ? QStringLiteral("Conversion de lettres fran\u00E7aises activ\u00E9e")
                        : QStringLiteral("Conversion de lettres fran\u00E7aises d\u00E9sactiv\u00E9e"));
    ShowRecord();
}

void TForm1::FixBoxClick() {
    ShowRecord();
}

void TForm1::Button4Click() {
    const ui::EncodeResult taken = ui::fromQt(ui::memoText(Memo));
    if (!taken.ok()) {
        dialogs_.inform(this, Button4->text(),
                        QStringLiteral("The text cannot be converted: %1 is not a character of the quest text.")
                            .arg(taken.unmappable->describe()),
                        ui::MessageIcon::Warning);
        return;
    }
    ui::setTag(Button4, ~ui::tag(Button4));
    RusEngDirection direction = RusEngDirection::ToRus;
    if (ui::tag(Button4) != 0) {
        Button4->setText(QStringLiteral("Eng -> Rus"));
        direction = RusEngDirection::ToEng;
    } else {
        Button4->setText(QStringLiteral("Rus -> Eng"));
    }
    std::string text = taken.bytes;
    ConvertRusEng(text, direction, MarkersRule::On);
    Memo->setPlainText(ui::toQt(text));
}

// ---- storing and saving ----------------------------------------------------

void TForm1::StoreRecordClick() {
    const int index = ListBox->currentRow();
    if (index < 0 || static_cast<std::size_t>(index) >= RecordTable_.size()) {
        Log->appendLine(QStringLiteral("No record selected: nothing stored."));
        return;
    }
    QRCRecord& record = RecordTable_[static_cast<std::size_t>(index)];
    const QString text = ui::memoText(Memo);
    // The text the display put there, unedited: the record keeps its bytes,
    // including those the notation cannot show.
    if (!(index == shownIndex_ && text == shownText_)) {
        const ui::EncodeResult encoded = ui::fromQt(text);
        const QString caption = QStringLiteral("Store Record");
        if (!encoded.ok()) {
            refuse(caption, QStringLiteral("Record n\u00B0%1 not stored.").arg(index),
                   QStringLiteral("Record n\u00B0%1 is not stored: %2 cannot be written in a quest file.")
                       .arg(index)
                       .arg(encoded.unmappable->describe()));
            return;
        }
        try {
            ParseRecordText(encoded.bytes, record, frenchLetters());
        } catch (const RecordTextError& error) {
            refuse(caption, QStringLiteral("Record n\u00B0%1 not stored.").arg(index),
                   QStringLiteral("Record n\u00B0%1 is not stored: %2").arg(index).arg(systemText(error.message(memoView))));
            return;
        }
    }
    ListBox->setFocus();
    selectRecord(index + 1);
    ShowRecord();
    QuestModified = true;
}

bool TForm1::SaveQRCFileClick() {
    if (QRCName.isEmpty()) {
        Log->appendLine(QStringLiteral("No quest loaded: nothing saved."));
        return false;
    }
    Log->clear();
    Log->appendLine(QStringLiteral("Open File ") + QRCName + QStringLiteral("..."));
    try {
        saveQuestFile(ui::localPath(questPath()), RecordTable_, [this](WriteStep step) {
            Log->appendLine(step == WriteStep::Created ? QStringLiteral("Write Header...")
                                                       : QStringLiteral("Save Quest..."));
        });
    } catch (const QuestFileError& error) {
        const QString reason = systemText(error.what());
        refuse(QStringLiteral("Save QRC File"), QStringLiteral("Cannot save %1: %2").arg(QRCName, reason),
               QStringLiteral("%1 was not saved: %2.\nThe file on disk is unchanged.").arg(QRCName, reason));
        return false;
    }
    QuestModified = false;
    Log->appendLine(QStringLiteral("File ") + QRCName + QStringLiteral(" saved."));
    return true;
}

// ---- the hidden open and close --------------------------------------------

void TForm1::OpenQRCFIle() {
    const auto chosen = dialogs_.openFile(
        this, ui::FileDialogRequest{QString(), kQuestFilter, kQuestSuffix, QStringLiteral("."), QString()});
    if (!chosen) return;
    if (!QRCName.isEmpty()) releaseQuest();
    const QString prefix = QDir::currentPath() + QDir::separator();
    QRCName = chosen->startsWith(prefix) ? chosen->mid(prefix.size()) : *chosen;
    saveDialogFileName_ = *chosen;
    Log->appendLine(QStringLiteral("Open File ") + QRCName + QStringLiteral("..."));
    if (!loadQuest(*chosen, LoadLines::HiddenOpen)) {
        releaseQuest();
        return;
    }
    setWindowTitle(kFilesEditorTitle + QStringLiteral(" {") + QRCName + QStringLiteral("}"));
    setApplicationTitle(QStringLiteral("{ ") + QRCName + QStringLiteral(" }"));
    selectRecord(0);
    ShowRecord();
    BCloseQRCFile->setEnabled(true);
    BStoreDialogs->setEnabled(true);
    BExportTXT->setEnabled(true);
}

void TForm1::CloseQRCFile() {
    if (QuestModified) {
        const auto chosen = dialogs_.saveFile(
            this, ui::FileDialogRequest{QString(), kQuestFilter, kQuestSuffix, QStringLiteral("."), saveDialogFileName_});
        if (chosen) {
            Log->clear();
            Log->appendLine(QStringLiteral("Save File..."));
            try {
                saveQuestFile(ui::localPath(*chosen), RecordTable_, [this](WriteStep step) {
                    Log->appendLine(step == WriteStep::Created ? QStringLiteral("File opened...")
                                                               : QStringLiteral("Write Header..."));
                });
            } catch (const QuestFileError& error) {
                // The quest stays open with its edits.
                const QString name = QFileInfo(*chosen).fileName();
                const QString reason = systemText(error.what());
                refuse(QStringLiteral("Close QRC File"), QStringLiteral("Cannot save %1: %2").arg(name, reason),
                       QStringLiteral("%1 was not saved: %2.\nThe quest stays open.").arg(name, reason));
                return;
            }
            Log->appendLine(QStringLiteral("File saved."));
        }
    } else {
        Log->appendLine(QStringLiteral("File closed."));
    }
    releaseQuest();
    QRCName.clear();
    setWindowTitle(kClosedCaption);
    setApplicationTitle(kFormCaption);
    BCloseQRCFile->setEnabled(false);
    BStoreDialogs->setEnabled(false);
    BExportTXT->setEnabled(false);
    QuestModified = false;
}

// ---- the exports -------------------------------------------------------------

std::vector<std::string> TForm1::exportLines(std::size_t index, MemoWrap& wrap) const {
    std::vector<std::string> lines;
    for (const QString& line : wrap.lines(displayText(index))) lines.push_back(ui::fromQt(line).bytes);
    return lines;
}

void TForm1::ExportTXTClick() {
    if (QRCName.isEmpty()) {
        Log->appendLine(QStringLiteral("No quest loaded: nothing exported."));
        return;
    }
    const QString name = QString::fromUtf8(exportFileName(QRCName.toUtf8().toStdString()));
    Log->appendLine(QStringLiteral("Export QRC file in") + name + QStringLiteral("..."));
    const QString caption = QStringLiteral("Export Current QRC in TXT");
    std::optional<FileWriter> out = createExport(caption, name);
    if (!out) return;
    MemoWrap wrap(Memo);
    std::string text;
    const std::size_t count = exportedRecordCount(static_cast<std::size_t>(ListBox->count()));
    for (std::size_t i = 0; i < count && i < RecordTable_.size(); ++i) text += recordBlock(i, exportLines(i, wrap));
    if (count > 0) {
        selectRecord(static_cast<int>(count - 1));
        ShowRecord();
    }
    finishExport(*out, text, caption, name);
}

void TForm1::ExportAllTXTClick() {
    const QString name = QString::fromLatin1(kAllQuestsFileName.data(), kAllQuestsFileName.size());
    Log->clear();
    Log->appendLine(QStringLiteral("Export all QRC files in ") + name + QStringLiteral("..."));
    const QString caption = QStringLiteral("Export All QRC in TXT");
    std::optional<FileWriter> out = createExport(caption, name);
    if (!out) return;
    MemoWrap wrap(Memo);
    std::string text;
    for (int row = 0; row < QRCList->count(); ++row) {
        {
            const QSignalBlocker block(QRCList);
            QRCList->setCurrentRow(row);
        }
        const Selection selection = selectQuest();
        if (selection == Selection::NotLeft) {
            Log->appendLine(QStringLiteral("Export stopped: ") + QRCName + QStringLiteral(" was not saved."));
            return;
        }
        if (selection == Selection::NotLoaded) continue;  // its refusal is in the log
        Log->appendLine(QStringLiteral("Export file ") + QRCName + QStringLiteral("..."));
        text += questSectionHeading(ui::fromQt(QRCName).bytes);
        const std::size_t count = exportedRecordCount(RecordTable_.size());
        for (std::size_t i = 0; i < count; ++i) text += recordBlock(i, exportLines(i, wrap));
    }
    const std::size_t count = exportedRecordCount(RecordTable_.size());
    if (count > 0) {
        selectRecord(static_cast<int>(count - 1));
        ShowRecord();
    }
    finishExport(*out, text, caption, name);
}

// ---- the window ------------------------------------------------------------

void TForm1::FormShow() {
    setApplicationTitle(kFilesEditorTitle);
}

bool TForm1::FormClose() {
    if (!QuestModified) return true;
    if (!dialogs_.askYesNo(this, kModifiedCaption, kModifiedQuestion)) return true;
    return SaveQRCFileClick();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace wright::questwright
