#pragma once
// A TForm1 on the offscreen platform with scripted dialogs, and the archives
// it works on in a temporary folder.

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/tform1.h"
#include "tests/support/reported_errors.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"
#include "ui/button_tag.h"
#include "ui/dialogs.h"
#include "ui/list_index.h"
#include "ui/memo_lines.h"
#include "ui/testing/scripted_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace wright::arcwright::testing {

inline const std::string k31 = "The Old Crossroads of Ironhaven";   // 31 characters
inline const std::string k32 = "The Old Crossroads of Ironhavens";  // 32 characters

// Region 0 of most window tests: French codes, names of 31 and 32
// characters, dungeons on lines 1 and 5.
inline fixtures::RegionContent sampleRegion() {
    return fixtures::regionOf({"Sentinel", "Ch^ne", k31, k32, "Oakford", "Crypt of Ash"}, {1, 5});
}

inline bool processHasOpen(const std::string& path) {
    const auto wanted = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target == wanted) return true;
    }
    return false;
}

class WindowTest : public ::testing::Test {
public:
    void SetUp() override {
        cwd_ = QDir::currentPath();
        wright::testing::reportedErrors().clear();
        form = std::make_unique<TForm1>(dialogs);
        form->setProgramEnd([this] { ++programEnds; });
        form->show();
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(cwd_);
    }

    template <typename W>
    W* get(const char* name) {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QPlainTextEdit* memo(const char* name) { return get<QPlainTextEdit>(name); }
    QListWidget* list(const char* name) { return get<QListWidget>(name); }
    QStringList lines(const char* name) { return wright::ui::memoLines(memo(name)); }
    QStringList items(const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i) out << list(name)->item(i)->text();
        return out;
    }
    // The Log lines written since the last clearLog().
    QStringList log() { return lines("Log").mid(logMark_); }
    void clearLog() { logMark_ = static_cast<int>(lines("Log").size()); }

    std::string mapsPath() const { return dir.file("MAPS.BSA"); }
    std::string monsterPath() const { return dir.file("MONSTER.BSA"); }
    fixtures::BuiltArchive writeMaps(const std::vector<fixtures::RegionContent>& regions) {
        return fixtures::writeMapsArchive(mapsPath(), regions);
    }
    void openMaps(const std::string& path) {
        backend.chooseFile(QString::fromStdString(path));
        click("BOpenMAPSFile");
    }
    void openMaps() { openMaps(mapsPath()); }
    // Selects a region as the user does, with the keyboard on the list.
    void chooseRegion(int region) {
        QComboBox* regions = get<QComboBox>("Regions");
        regions->setCurrentIndex(region - 1);
        QTest::keyClick(regions, Qt::Key_Down);
    }
    static bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > 2000) return false;
            QTest::qWait(2);
        }
        return true;
    }

    wright::ui::testing::ScriptedDialogs backend;
    wright::ui::Dialogs dialogs{backend};
    wright::testing::TempDir dir;
    std::unique_ptr<TForm1> form;
    int programEnds = 0;

private:
    QString cwd_;
    int logMark_ = 0;
};

inline QStringList regionLoadLines(const QString& text) {
    return {"Loading 'Location Names' (MAPNAMES) Region " + text + "...",
            "Location Names data Completed.",
            "Loading 'Location Record Data' (MAPPITEM) Region " + text + "...",
            "Location Record data Completed.",
            "Loading 'Dungeon Record Data' (MAPDITEM) Region " + text + "...",
            "Dungeon Record data Completed."};
}

}  // namespace wright::arcwright::testing
