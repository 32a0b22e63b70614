#pragma once
// Arcwright's window. Data flows one way per operation: a handler reads the
// options and lists from the controls, hands bytes to the archive core
// (MapsArchive and the region records, MonsterArchive), and puts what comes
// back into the lists and the Log. The core never sees a widget; the window
// never computes a position in an archive. Text crosses between the game's
// bytes and the controls only through ui/text_codec.
// The controls are built from the window design in tform1_controls.cpp; the
// handlers, one method each, are in tform1.cpp.

#include "arcwright/maps_archive.h"
#include "arcwright/monster_names.h"
#include "arcwright/name_field.h"
#include "ui/text_codec.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace wright::ui {
class Dialogs;
class LogPanel;
}  // namespace wright::ui

namespace wright::arcwright {

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(wright::ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // What ends the program once a damaged map archive has been reported
    // (both archives are closed first). The program leaves its message loop
    // with status 0; tests record the call instead.
    void setProgramEnd(std::function<void()> end) { programEnd_ = std::move(end); }

    // The open archives, for tests that make a write fail; null when closed.
    ArchiveFile* mapsFile() { return maps_ ? &maps_->file() : nullptr; }
    ArchiveFile* monsterFile() { return monster_ ? &monster_->file() : nullptr; }

    // The handlers, named after their controls.
    void FormShow();
    void OpenMaps();
    void RegionsChange();
    void LocationListClick();
    void LocationListKeyDown();
    // Whether a typed character may reach the names list.
    bool LocationListKeyPress(QChar key);
    void Timer1Timer();
    void CopyMapnames();
    void SaveMapnames();
    void SaveMapPItem();
    void ExportRegion();
    void ExportInMap();
    void OpenMonster();
    void SaveMonster();
    void Button14Click();
    void EchangeLettres();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopStrip();
    void buildMapsPage();
    void buildMonsterPage();
    void setTabOrder();

    // The three phases; false when the archive was found damaged and the
    // program is ending.
    bool LoadRegion();
    void RefreshNameInfo();
    void SaveMapDItem(InPlaceSave& save);
    void startTimer1();

    FrenchLetters french() const;
    QString regionText() const;
    void log(const QString& line);
    std::optional<QString> askArchive();
    // The lines as bytes, or nothing (and a Log line) when one holds a
    // character the code page cannot hold.
    std::optional<std::vector<std::string>> encodeLines(const QStringList& lines, const QString& what,
                                                        const QString& list, wright::ui::CodePage page);
    // Closes the archive, if open; a failing close is reported in Log.
    void closeArchive(ArchiveFile* file);
    void closeArchives();
    void endProgram();

    wright::ui::Dialogs& dialogs_;
    std::unique_ptr<wright::ui::LogPanel> log_;
    std::function<void()> programEnd_;
    QString dialogFileName_;

    std::unique_ptr<MapsArchive> maps_;
    std::int32_t mapNamesCount_ = 0;
    bool regionSound_ = false;  // whether the region in the lists was read whole
    std::unique_ptr<MonsterArchive> monster_;
    // The code page the monster list is shown in: the converter turns it to
    // Cyrillic letters.
    wright::ui::CodePage monsterPage_ = wright::ui::CodePage::Windows1252;
    bool shown_ = false;

    QPushButton* BOpenMAPSFile = nullptr;
    QPushButton* BOpenMonsterFile = nullptr;
    QCheckBox* CheckEchangeLettres = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Regions = nullptr;
    QPushButton* BExportRegion = nullptr;
    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* LocationRecordList = nullptr;
    QLabel* Label6 = nullptr;
    QListWidget* DungeonRecordList = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* LocationList = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* TIndexMAPN = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* TLengthMAPN = nullptr;
    QPushButton* BCopyMapnames = nullptr;
    QPushButton* BSaveMapnames = nullptr;
    QPushButton* BSaveMapitem = nullptr;
    QPushButton* BExportMap = nullptr;
    QPlainTextEdit* MonstersList = nullptr;
    QPushButton* BSaveMonsterNames = nullptr;
    QPushButton* Button14 = nullptr;
    QPlainTextEdit* Log = nullptr;
    QTimer* Timer1 = nullptr;
};

// The texts of the Regions list; item index = region number.
const QStringList& regionTexts();

}  // namespace wright::arcwright
