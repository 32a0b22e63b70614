#include "arcwright/tform1.h"
#include "arcwright/tform1_private.h"

#include "arcwright/in_place_save.h"
#include "arcwright/region_export.h"
#include "arcwright/region_records.h"
#include "common/cyrillic_letters.h"
#include "fileio/file_writer.h"
#include "ui/button_tag.h"
#include "ui/dialogs.h"
#include "ui/list_index.h"
#include "ui/local_path.h"
#include "ui/log_panel.h"
#include "ui/memo_lines.h"
#include "ui/wright_application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>

namespace wright::arcwright {

using wright::ui::CodePage;
using wright::ui::fromQt;
using wright::ui::toQt;

namespace {

// A line may be typed up to one character short of the 32-byte field.
constexpr int kLongestTypedLine = 31;

QStringList toLines(const std::vector<std::string>& names) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) lines << toQt(name);
    return lines;
}

QStringList listLines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

// A names list shows one name per line: a name holding a line-break byte
// would stand as two lines there, and the save, which matches lines to fields
// by position, would move every later name.
std::optional<std::size_t> nameWithLineBreak(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].find_first_of("\r\n") != std::string::npos) return i;
    return std::nullopt;
}

// The archive core's messages: their words, the paths and the system's
// reasons are UTF-8; a name in them came through mapsName.
QString systemText(const std::string& message) {
    return QString::fromUtf8(message);
}

// A name of the map archive inside a message, as the lists show it.
std::string mapsName(std::string_view name) {
    return toQt(name, CodePage::Windows1252).toStdString();
}

}  // namespace

// ---- helpers ----

FrenchLetters TForm1::french() const {
    return CheckEchangeLettres->isChecked() ? FrenchLetters::Replace : FrenchLetters::Keep;
}

QString TForm1::regionText() const {
    return Regions->currentText();
}

void TForm1::log(const QString& line) {
    log_->appendLine(line);
}

std::optional<QString> TForm1::askArchive() {
    const wright::ui::FileDialogRequest request{QStringLiteral("Open"), QStringLiteral("QAR: Harrowmere BSA files|*.BSA"),
                                                QStringLiteral("BSA"), QStringLiteral("."), dialogFileName_};
    const std::optional<QString> chosen = dialogs_.openFile(this, request);
    if (chosen) dialogFileName_ = *chosen;
    return chosen;
}

std::optional<std::vector<std::string>> TForm1::encodeLines(const QStringList& lines, const QString& what,
                                                            const QString& list, CodePage page) {
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        wright::ui::EncodeResult encoded = fromQt(lines[i], page);
        if (!encoded.ok()) {
            log(QStringLiteral("%1 not saved: line %2 of the %3 holds %4, which the game's code page cannot hold.")
                    .arg(what)
                    .arg(i)
                    .arg(list, encoded.unmappable->describe()));
            return std::nullopt;
        }
        bytes.push_back(std::move(encoded.bytes));
    }
    return bytes;
}

void TForm1::closeArchive(ArchiveFile* file) {
    if (!file) return;
    try {
        file->close();
    } catch (const std::exception& error) {
        log(systemText(error.what()));
    }
}

void TForm1::closeArchives() {
    closeArchive(mapsFile());
    closeArchive(monsterFile());
}

void TForm1::endProgram() {
    closeArchives();
    programEnd_();
}

// ---- start-up ----

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    Regions->setCurrentIndex(0);
}

// ---- MAPS.BSA ----

void TForm1::OpenMaps() {
    if (wright::ui::tag(BOpenMAPSFile) != 0) {
        closeArchive(mapsFile());
        maps_.reset();
        log(QStringLiteral("Closing File MAPS.BSA..."));
        BOpenMAPSFile->setText(kOpenMaps);
        wright::ui::setTag(BOpenMAPSFile, 0);
        log(QStringLiteral("File Closed."));
        LocationList->clear();
        LocationRecordList->clear();
        DungeonRecordList->clear();
        Panel1->setEnabled(false);
        return;
    }

    const std::optional<QString> path = askArchive();
    if (!path) return;
    log(QStringLiteral("Loading File MAPS.BSA..."));
    try {
        maps_ = std::make_unique<MapsArchive>(wright::ui::localPath(*path));
        if (const auto& note = maps_->file().recoveryNote()) log(systemText(*note));
    } catch (const ArchiveRejected& why) {
        log(QStringLiteral("MAPS.BSA not opened: %1 is not a map archive: %2.").arg(*path, systemText(why.what())));
        return;
    } catch (const wright::FileError& error) {
        log(QStringLiteral("MAPS.BSA not opened: %1").arg(systemText(error.what())));
        return;
    }
    BOpenMAPSFile->setText(kCloseMaps);
    wright::ui::setTag(BOpenMAPSFile, 1);
    log(QStringLiteral("File Loaded."));
    Panel1->setEnabled(true);
    if (!LoadRegion()) return;
    PageControl1->setCurrentWidget(TabSheet1);
    PageControl2->setCurrentWidget(TabSheet6);
    LocationList->setFocus();
}

void TForm1::RegionsChange() {
    if (maps_) LoadRegion();
}

bool TForm1::LoadRegion() {
    const int region = Regions->currentIndex();
    const QString text = regionText();
    // Saves are allowed only once every name of the region was read from
    // inside its record: a load that stops part way leaves them refused.
    regionSound_ = false;
    bool damaged = false;
    const auto reportDamage = [&](const std::vector<std::string>& problems) {
        for (const std::string& problem : problems) {
            log(systemText("Damaged record: " + problem + "."));
            damaged = true;
        }
    };

    log(QStringLiteral("Loading 'Location Names' (MAPNAMES) Region %1...").arg(text));
    LocationList->clear();
    const NamesLoad names = loadMapNames(*maps_, region, french());
    mapNamesCount_ = names.count;
    wright::ui::setMemoLines(LocationList, toLines(names.names));
    reportDamage(names.problems);
    if (const auto broken = nameWithLineBreak(names.names))
        reportDamage({"MAPNAMES: name " + std::to_string(*broken) + " holds a line break, which the names list cannot show"});
    startTimer1();
    log(QStringLiteral("Location Names data Completed."));

    log(QStringLiteral("Loading 'Location Record Data' (MAPPITEM) Region %1...").arg(text));
    LocationRecordList->clear();
    DungeonRecordList->clear();
    const NamesLoad locations = loadLocationNames(*maps_, region, mapNamesCount_, french());
    LocationRecordList->addItems(toLines(locations.names));
    for (std::size_t k = 0; k < locations.names.size(); ++k) DungeonRecordList->addItem(QString());
    reportDamage(locations.problems);
    log(QStringLiteral("Location Record data Completed."));

    log(QStringLiteral("Loading 'Dungeon Record Data' (MAPDITEM) Region %1...").arg(text));
    const NamesLoad dungeons = loadDungeonNames(*maps_, region, french());
    reportDamage(dungeons.problems);
    const DungeonPlacement placement = placeDungeons(locations.names, dungeons, mapsName);
    if (placement.problem) reportDamage({*placement.problem});
    for (std::size_t j = 0; j < placement.lines.size(); ++j)
        if (!placement.lines[j].empty()) DungeonRecordList->item(static_cast<int>(j))->setText(toQt(placement.lines[j]));
    if (placement.unmatched) {
        log(QStringLiteral("Incorrect dungeon : ") + toQt(dungeons.names[*placement.unmatched], CodePage::Windows1252));
        dialogs_.inform(this, QStringLiteral("Incorrect file"),
                        QStringLiteral("The dungeon indicated in Log panel has no equivalent name in MAPP"),
                        wright::ui::MessageIcon::None);
        endProgram();
        return false;
    }
    log(QStringLiteral("Dungeon Record data Completed."));
    regionSound_ = !damaged;
    return true;
}

void TForm1::startTimer1() {
    // A timer already running goes on: it is not restarted.
    if (!Timer1->isActive()) Timer1->start();
}

void TForm1::LocationListClick() {
    startTimer1();
}

void TForm1::LocationListKeyDown() {
    startTimer1();
}

void TForm1::Timer1Timer() {
    Timer1->stop();
    RefreshNameInfo();
}

void TForm1::RefreshNameInfo() {
    const QTextCursor cursor = LocationList->textCursor();
    const int line = cursor.blockNumber();
    const int length = static_cast<int>(cursor.block().text().length());
    QPalette palette = TLengthMAPN->palette();
    palette.setColor(QPalette::Text, length > kLongestTypedLine ? Qt::red : Qt::black);
    TLengthMAPN->setPalette(palette);
    TIndexMAPN->setText(QString::number(line));
    TLengthMAPN->setText(QString::number(length));
}

bool TForm1::LocationListKeyPress(QChar key) {
    if (key == QChar(u'\b')) return true;
    bool ok = false;
    const int line = TIndexMAPN->text().toInt(&ok);
    if (!ok) return true;
    const QTextBlock block = LocationList->document()->findBlockByNumber(line);
    const qsizetype length = block.isValid() ? block.text().length() : 0;
    return length < kLongestTypedLine;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LocationList && event->type() == QEvent::KeyPress) {
        LocationListKeyDown();
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty()) {
            const QChar c = text.front();
            // A character reaches the filter; Delete, arrows and control
            // chords (a paste among them) produce none.
            const bool character = c == u'\b' || c == u'\r' || c == u'\n' || (c >= u' ' && c != QChar(0x7F));
            if (character && !LocationListKeyPress(c)) return true;
        }
    } else if (watched == LocationList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        LocationListClick();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::CopyMapnames() {
    log(QStringLiteral("Copying MapNames into MAPPITEM..."));
    const QStringList lines = wright::ui::memoLines(LocationList);
    LocationRecordList->clear();
    LocationRecordList->addItems(lines);
    log(QStringLiteral("Copy of MapNames into MAPPITEM completed."));

    log(QStringLiteral("Copying MapNames into MAPDITEM (if exists)..."));
    for (int i = 0; i < lines.size(); ++i)
        if (!wright::ui::listItemText(DungeonRecordList, i).isEmpty())
            wright::ui::setListItemText(DungeonRecordList, i, lines[i]);
    log(QStringLiteral("Copy of MapNames into MAPDITEM completed."));
}

void TForm1::SaveMapnames() {
    const QStringList lines = wright::ui::memoLines(LocationList);
    log(QStringLiteral("Saving MapNames of %1...").arg(regionText()));
    const QString what = QStringLiteral("MapNames");
    if (!regionSound_) {
        log(QStringLiteral("MapNames not saved: the region was not loaded whole."));
        return;
    }
    const auto bytes = encodeLines(lines, what, QStringLiteral("names list"), CodePage::Windows1252);
    if (!bytes) return;
    const SavePlan plan = planMapNamesSave(*maps_, Regions->currentIndex(), mapNamesCount_, *bytes, french());
    if (plan.refusal) {
        log(systemText("MapNames not saved: " + *plan.refusal + "."));
        return;
    }
    try {
        writePatches(maps_->file(), plan.patches);
    } catch (const SaveError& error) {
        log(systemText(saveFailureLine("MapNames", error)));
        return;
    }
    log(QStringLiteral("Save of MapNames completed."));
}

void TForm1::SaveMapPItem() {
    const int region = Regions->currentIndex();
    log(QStringLiteral("Saving 'Location Record Data' Region %1...").arg(regionText()));
    if (!regionSound_) {
        log(QStringLiteral("MAPPITEM and MAPDITEM not saved: the region was not loaded whole."));
        return;
    }
    const QString what = QStringLiteral("MAPPITEM and MAPDITEM");
    const auto locationLines = encodeLines(listLines(LocationRecordList), what, QStringLiteral("location list"),
                                           CodePage::Windows1252);
    if (!locationLines) return;
    const auto dungeonLines = encodeLines(listLines(DungeonRecordList), what, QStringLiteral("dungeon list"),
                                          CodePage::Windows1252);
    if (!dungeonLines) return;
    // Both records are checked before the first name is written.
    const SavePlan locations = planLocationSave(*maps_, region, mapNamesCount_, *locationLines, french());
    const SavePlan dungeons = planDungeonSave(*maps_, region, *dungeonLines, french());
    for (const SavePlan* plan : {&locations, &dungeons}) {
        if (plan->refusal) {
            log(systemText("MAPPITEM and MAPDITEM not saved: " + *plan->refusal + "."));
            return;
        }
    }
    // The location and dungeon names are one save under one journal: a crash
    // between the two must not leave a dungeon without its location.
    std::vector<FieldPatch> patches = locations.patches;
    patches.insert(patches.end(), dungeons.patches.begin(), dungeons.patches.end());
    std::optional<InPlaceSave> save;
    try {
        save.emplace(maps_->file(), std::move(patches));
        save->write(locations.patches.size());
    } catch (const SaveError& error) {
        log(systemText(saveFailureLine("MAPPITEM and MAPDITEM", error)));
        return;
    }
    log(QStringLiteral("MAPPITEM Save Completed."));
    SaveMapDItem(*save);
}

void TForm1::SaveMapDItem(InPlaceSave& save) {
    log(QStringLiteral("Saving 'Dungeon Record Data' Region %1...").arg(regionText()));
    // The window processes its messages between the records: nothing that
    // could close the archive or change the lists may run meanwhile.
    const QList<QWidget*> held{Panel1, BOpenMAPSFile, BOpenMonsterFile};
    QList<bool> wasEnabled;
    for (QWidget* w : held) {
        wasEnabled << w->isEnabled();
        w->setEnabled(false);
    }
    bool saved = true;
    try {
        save.write(save.remaining(), [] { QCoreApplication::processEvents(); });
        save.commit();
    } catch (const SaveError& error) {
        // A failing dungeon write puts the location names back too.
        log(systemText(saveFailureLine("MAPPITEM and MAPDITEM", error)));
        saved = false;
    }
    for (qsizetype i = 0; i < held.size(); ++i) held[i]->setEnabled(wasEnabled[i]);
    if (saved) log(QStringLiteral("Dungon Record data Save Completed."));
}

void TForm1::ExportRegion() {
    exportRegionRecords(
        *maps_, Regions->currentIndex(), std::string(), [this](const std::string& line) { log(systemText(line)); },
        mapsName);
}

void TForm1::ExportInMap() {
    const int region = Regions->currentIndex();
    const wright::ui::EncodeResult text = fromQt(wright::ui::memoText(LocationList), CodePage::Windows1252);
    if (!text.ok()) {
        log(QStringLiteral("Mapnames not exported: the list holds %1, which the game's code page cannot hold.")
                .arg(text.unmappable->describe()));
        return;
    }
    try {
        wright::writeWholeFile(regionMapFileName(region), text.bytes);
    } catch (const wright::FileError& error) {
        log(systemText(std::string("Mapnames not exported: ") + error.what() + "."));
        return;
    }
    log(QStringLiteral("Mapnames exported into Region%1.map (text file)").arg(region));
}

// ---- MONSTER.BSA ----

void TForm1::OpenMonster() {
    if (wright::ui::tag(BOpenMonsterFile) != 0) {
        closeArchive(monsterFile());
        monster_.reset();
        log(QStringLiteral("Closing File MONSTER.BSA..."));
        log(QStringLiteral("File Closed."));
        MonstersList->clear();
        BOpenMonsterFile->setText(kLoadMonster);
        wright::ui::setTag(BOpenMonsterFile, 0);
        TabSheet2->setEnabled(false);
        return;
    }

    const std::optional<QString> path = askArchive();
    if (!path) return;
    log(QStringLiteral("Loading File MONSTER.BSA..."));
    std::unique_ptr<MonsterArchive> archive;
    std::vector<std::string> names;
    try {
        archive = std::make_unique<MonsterArchive>(wright::ui::localPath(*path));
        if (const auto& note = archive->file().recoveryNote()) log(systemText(*note));
        names = archive->readNames(french());
    } catch (const ArchiveRejected& why) {
        log(QStringLiteral("MONSTER.BSA not opened: %1 cannot hold the monster names: %2.")
                .arg(*path, systemText(why.what())));
        return;
    } catch (const wright::FileError& error) {
        log(QStringLiteral("MONSTER.BSA not opened: %1").arg(systemText(error.what())));
        return;
    }
    if (const auto broken = nameWithLineBreak(names)) {
        log(QStringLiteral("MONSTER.BSA not opened: monster name %1 holds a line break, which the monster list cannot show.")
                .arg(*broken));
        return;
    }
    monster_ = std::move(archive);
    monsterPage_ = CodePage::Windows1252;
    MonstersList->clear();
    QStringList lines;
    for (const std::string& name : names) lines << toQt(name, monsterPage_);
    wright::ui::setMemoLines(MonstersList, lines);
    BOpenMonsterFile->setText(kCloseMonster);
    wright::ui::setTag(BOpenMonsterFile, 1);
    log(QStringLiteral("Loading Completed."));
    TabSheet2->setEnabled(true);
    PageControl1->setCurrentWidget(TabSheet2);
    MonstersList->setFocus();
}

void TForm1::SaveMonster() {
    log(QStringLiteral("Saving Monster Names..."));
    QStringList lines;
    for (int i = 0; i < kMonsterCount; ++i) lines << wright::ui::memoLine(MonstersList, i);
    const auto bytes = encodeLines(lines, QStringLiteral("Monster Names"), QStringLiteral("monster list"), monsterPage_);
    if (!bytes) return;
    try {
        monster_->saveNames(*bytes, french());
    } catch (const SaveError& error) {
        log(systemText(saveFailureLine("Monster Names", error)));
        return;
    }
    log(QStringLiteral("Monster Names Saved."));
}

void TForm1::Button14Click() {
    const wright::ui::EncodeResult text = fromQt(wright::ui::memoText(MonstersList), monsterPage_);
    if (!text.ok()) {
        log(QStringLiteral("Not converted: the list holds %1.").arg(text.unmappable->describe()));
        return;
    }
    std::string bytes = text.bytes;
    wright::ui::setTag(Button14, ~wright::ui::tag(Button14));
    const bool toEng = wright::ui::tag(Button14) != 0;
    Button14->setText(toEng ? QStringLiteral("NewEng -> NewRus") : QStringLiteral("NewRus -> NewEng"));
    wright::ConvertRusEng(bytes, toEng ? wright::RusEngDirection::ToEng : wright::RusEngDirection::ToRus,
                          wright::MarkersRule::Off);
    // The converted bytes are Cyrillic letters or their codes: shown, and
    // saved, in the Cyrillic code page from now on.
    monsterPage_ = CodePage::Windows1251;
    MonstersList->setPlainText(toQt(bytes, monsterPage_));
}

void TForm1::EchangeLettres() {
    log(CheckEchangeLettres->isChecked() ? QStringLiteral("Conversion de lettres françaises activée")
                                         : QStringLiteral("Conversion de lettres françaises désactivée"));
}

}  // namespace wright::arcwright
