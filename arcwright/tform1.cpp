#include "arcwright/tform1.h"

#include "arcwright/in_place_save.h"
#include "arcwright/region_export.h"
#include "arcwright/region_records.h"
#include "common/cyrillic_letters.h"
#include "ui/button_tag.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/list_index.h"
#include "ui/log_panel.h"
#include "ui/memo_lines.h"
#include "ui/wright_application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace arcwright {

using wright::ui::CodePage;
using wright::ui::fromQt;
using wright::ui::toQt;

namespace {

constexpr int kClientWidth = 545;
constexpr int kClientHeight = 666;
constexpr int kTopStripHeight = 95;
constexpr int kPageControlHeight = 497;
constexpr int kLogHeight = 74;
constexpr int kNameListWidth = 288;
constexpr int kNameFontPixels = 13;
constexpr int kFormFontPixels = 11;
constexpr int kTimerMilliseconds = 10;
// A line may be typed up to one character short of the 32-byte field.
constexpr int kLongestTypedLine = 31;

const QString kOpenMaps = QStringLiteral("Open File MAPS.BSA");
const QString kCloseMaps = QStringLiteral("Close File MAPS.BSA");
const QString kOpenMonster = QStringLiteral("Open File MONSTER.BSA");
const QString kCloseMonster = QStringLiteral("Close File MONSTER.BSA");
const QString kLoadMonster = QStringLiteral("Load File MONSTER.BSA");

template <typename W, typename... Args>
W* make(QWidget* parent, const char* name, Args&&... args) {
    W* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* underlinedLabel(QWidget* parent, const char* name, const QString& text) {
    QLabel* label = make<QLabel>(parent, name, text);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

QListWidget* nameList(QWidget* parent, const char* name) {
    QListWidget* list = make<QListWidget>(parent, name);
    list->setFont(wright::ui::fixedPitchFont(kNameFontPixels, true));
    list->setGeometry(8, 24, kNameListWidth, 350);
    return list;
}

QLineEdit* display(QWidget* parent, const char* name) {
    QLineEdit* edit = make<QLineEdit>(parent, name);
    edit->setEnabled(false);
    QFont font = edit->font();
    font.setBold(true);
    edit->setFont(font);
    // A display, not a dead field: its figures stay readable while disabled.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
    edit->setPalette(palette);
    return edit;
}

// Where the form's font is wider than the one the layout was drawn for, a
// long caption is set narrower rather than cut.
void fitCaption(QPushButton* button) {
    QFont font = button->font();
    for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
        if (QFontMetrics(font).horizontalAdvance(button->text()) + 12 <= button->width()) break;
        font.setStretch(stretch);
    }
    while (QFontMetrics(font).horizontalAdvance(button->text()) + 12 > button->width() && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    if (font != button->font()) button->setFont(font);
}

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

std::string fileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A handler run from a signal. Qt's event delivery is not exception-safe, so
// an error ends here, in the application's error dialog, and the window goes
// on with the next message.
template <typename Form>
auto guarded(Form* form, void (Form::*handler)()) {
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const std::exception& error) {
            if (auto* app = wright::ui::WrightApplication::instance()) app->reportError(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            if (auto* app = wright::ui::WrightApplication::instance()) app->reportError(QString());
        }
    };
}

}  // namespace

const QStringList& regionTexts() {
    static const QStringList texts{
        QStringLiteral("00 = Alik'r Desert"), QStringLiteral("01 = Dragontail Mountains"),
        QStringLiteral("02 = Glenpoint Foothills*"), QStringLiteral("03 = Harrowmere Bluffs*"),
        QStringLiteral("04 = Yeorth Burrowland*"), QStringLiteral("05 = Dwynnen"),
        QStringLiteral("06 = Ravennian Forest*"), QStringLiteral("07 = Devilrock*"),
        QStringLiteral("08 = Malekna Forest*"), QStringLiteral("09 = Isle of Balfiera"),
        QStringLiteral("10 = Bantha*"), QStringLiteral("11 = Dak'fron"),
        QStringLiteral("12 = Islands in the Western Iliac Bay*"), QStringLiteral("13 = Tamarilyn Point*"),
        QStringLiteral("14 = Lainlyn Cliffs*"), QStringLiteral("15 = Bjoulsae River*"),
        QStringLiteral("16 = Wrothgarian Mountains"), QStringLiteral("17 = Harrowmere"),
        QStringLiteral("18 = Glenpoint"), QStringLiteral("19 = Betony"),
        QStringLiteral("20 = Sentinel"), QStringLiteral("21 = Anticlere"),
        QStringLiteral("22 = Lainlyn"), QStringLiteral("23 = Wayrest"),
        QStringLiteral("24 = Gen Tem High Rock village*"), QStringLiteral("25 = Gen Rai Hammerfell village*"),
        QStringLiteral("26 = Orsinium Area"), QStringLiteral("27 = Skeffington Wood*"),
        QStringLiteral("28 = Hammerfell bay coast*"), QStringLiteral("29 = Hammerfell sea coast*"),
        QStringLiteral("30 = High Rock bay coast*"), QStringLiteral("31 = High Rock sea coast"),
        QStringLiteral("32 = Northmoor"), QStringLiteral("33 = Menevia"),
        QStringLiteral("34 = Alcaire"), QStringLiteral("35 = Koegria"),
        QStringLiteral("36 = Bhoriane"), QStringLiteral("37 = Kambria"),
        QStringLiteral("38 = Phrygias"), QStringLiteral("39 = Urvaius"),
        QStringLiteral("40 = Ykalon"), QStringLiteral("41 = Daenia"),
        QStringLiteral("42 = Shalgora"), QStringLiteral("43 = Abibon-Gora"),
        QStringLiteral("44 = Kairou"), QStringLiteral("45 = Pothago"),
        QStringLiteral("46 = Myrkwasa"), QStringLiteral("47 = Ayasofya"),
        QStringLiteral("48 = Tigonus"), QStringLiteral("49 = Kozanset"),
        QStringLiteral("50 = Satakalaam"), QStringLiteral("51 = Totambu"),
        QStringLiteral("52 = Mournoth"), QStringLiteral("53 = Ephesus"),
        QStringLiteral("54 = Santaki"), QStringLiteral("55 = Antiphyllos"),
        QStringLiteral("56 = Bergama"), QStringLiteral("57 = Gavaudon"),
        QStringLiteral("58 = Tulune"), QStringLiteral("59 = Glenumbra Moors"),
        QStringLiteral("60 = Ilessan Hills"), QStringLiteral("61 = Cybiades"),
    };
    return texts;
}

TForm1::TForm1(wright::ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), programEnd_([] { QCoreApplication::exit(0); }),
      dialogFileName_(QStringLiteral("MAPS")) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("QAR2: Harrowmere BSA Editor"));
    setFont(wright::ui::formFont(kFormFontPixels));
    setFixedSize(kClientWidth, kClientHeight);

    buildTopStrip();
    PageControl1 = make<QTabWidget>(this, "PageControl1");
    PageControl1->setGeometry(0, kTopStripHeight, kClientWidth, kPageControlHeight);
    buildMapsPage();
    buildMonsterPage();
    PageControl1->setCurrentWidget(TabSheet2);

    Log = make<QPlainTextEdit>(this, "Log");
    Log->setGeometry(0, kTopStripHeight + kPageControlHeight, kClientWidth, kLogHeight);
    Log->setReadOnly(true);
    Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_ = std::make_unique<wright::ui::LogPanel>(Log);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kTimerMilliseconds);
    connect(Timer1, &QTimer::timeout, this, guarded(this, &TForm1::Timer1Timer));

    setTabOrder();
    for (QPushButton* button : findChildren<QPushButton*>()) fitCaption(button);
}

TForm1::~TForm1() = default;

void TForm1::buildTopStrip() {
    BOpenMAPSFile = make<QPushButton>(this, "BOpenMAPSFile", kOpenMaps);
    BOpenMAPSFile->setGeometry(16, 14, 185, 30);
    wright::ui::setTag(BOpenMAPSFile, 0);
    connect(BOpenMAPSFile, &QPushButton::clicked, this, guarded(this, &TForm1::OpenMaps));

    BOpenMonsterFile = make<QPushButton>(this, "BOpenMonsterFile", kOpenMonster);
    BOpenMonsterFile->setGeometry(16, 52, 185, 30);
    wright::ui::setTag(BOpenMonsterFile, 0);
    connect(BOpenMonsterFile, &QPushButton::clicked, this, guarded(this, &TForm1::OpenMonster));

    CheckEchangeLettres = make<QCheckBox>(this, "CheckEchangeLettres", QStringLiteral("Replace French Letters"));
    CheckEchangeLettres->setGeometry(232, 36, 200, 22);
    CheckEchangeLettres->setChecked(true);
    connect(CheckEchangeLettres, &QCheckBox::clicked, this, guarded(this, &TForm1::EchangeLettres));
}

void TForm1::buildMapsPage() {
    TabSheet1 = make<QWidget>(nullptr, "TabSheet1");
    PageControl1->addTab(TabSheet1, QStringLiteral("MAPS.BSA"));
    auto* fill = new QVBoxLayout(TabSheet1);
    fill->setContentsMargins(0, 0, 0, 0);
    Panel1 = make<QFrame>(TabSheet1, "Panel1");
    fill->addWidget(Panel1);
    Panel1->setEnabled(false);

    Label1 = underlinedLabel(Panel1, "Label1", QStringLiteral("Harrowmere's Region"));
    Label1->setGeometry(8, 6, 200, 16);
    Regions = make<QComboBox>(Panel1, "Regions");
    Regions->setEditable(false);
    Regions->setMaxVisibleItems(20);
    Regions->addItems(regionTexts());
    Regions->setGeometry(8, 24, 300, 24);
    connect(Regions, &QComboBox::activated, this, guarded(this, &TForm1::RegionsChange));
    BExportRegion = make<QPushButton>(Panel1, "BExportRegion", QStringLiteral("Export Region Data Files"));
    BExportRegion->setGeometry(320, 22, 200, 28);
    connect(BExportRegion, &QPushButton::clicked, this, guarded(this, &TForm1::ExportRegion));

    PageControl2 = make<QTabWidget>(Panel1, "PageControl2");
    PageControl2->setGeometry(2, 56, 537, 412);
    TabSheet3 = make<QWidget>(nullptr, "TabSheet3");
    TabSheet4 = make<QWidget>(nullptr, "TabSheet4");
    TabSheet6 = make<QWidget>(nullptr, "TabSheet6");
    PageControl2->addTab(TabSheet3, QStringLiteral("MAPPITEM"));
    PageControl2->addTab(TabSheet4, QStringLiteral("MAPDITEM"));
    PageControl2->addTab(TabSheet6, QStringLiteral("MAPNAMES"));
    PageControl2->setCurrentWidget(TabSheet6);

    Label3 = make<QLabel>(TabSheet3, "Label3", QStringLiteral("Location Names List"));
    Label3->setGeometry(8, 4, 200, 16);
    LocationRecordList = nameList(TabSheet3, "LocationRecordList");
    Label6 = make<QLabel>(TabSheet4, "Label6", QStringLiteral("Dungeon Names List"));
    Label6->setGeometry(8, 4, 200, 16);
    DungeonRecordList = nameList(TabSheet4, "DungeonRecordList");

    const int column = 8, width = 226, listLeft = column + width + 6;
    BCopyMapnames = make<QPushButton>(TabSheet6, "BCopyMapnames", QStringLiteral("Copy MAPNAMES into MAPP and MAPD"));
    BSaveMapnames = make<QPushButton>(TabSheet6, "BSaveMapnames", QStringLiteral("Save MAPNAMES"));
    BSaveMapitem = make<QPushButton>(TabSheet6, "BSaveMapitem", QStringLiteral("Save MAPPITEM and MAPDITEM"));
    BExportMap = make<QPushButton>(TabSheet6, "BExportMap", QStringLiteral("Export RegionX's Mapnames in RegionX.map"));
    int top = 24;
    for (QPushButton* button : {BCopyMapnames, BSaveMapnames, BSaveMapitem, BExportMap}) {
        button->setGeometry(column, top, width, 30);
        top += 38;
    }
    connect(BCopyMapnames, &QPushButton::clicked, this, guarded(this, &TForm1::CopyMapnames));
    connect(BSaveMapnames, &QPushButton::clicked, this, guarded(this, &TForm1::SaveMapnames));
    connect(BSaveMapitem, &QPushButton::clicked, this, guarded(this, &TForm1::SaveMapPItem));
    connect(BExportMap, &QPushButton::clicked, this, guarded(this, &TForm1::ExportInMap));

    Label4 = make<QLabel>(TabSheet6, "Label4", QStringLiteral("Index"));
    Label4->setGeometry(column, top + 8, 60, 16);
    TIndexMAPN = display(TabSheet6, "TIndexMAPN");
    TIndexMAPN->setGeometry(column + 64, top + 4, 80, 24);
    Label5 = make<QLabel>(TabSheet6, "Label5", QStringLiteral("Length"));
    Label5->setGeometry(column, top + 40, 60, 16);
    TLengthMAPN = display(TabSheet6, "TLengthMAPN");
    TLengthMAPN->setGeometry(column + 64, top + 36, 80, 24);

    Label2 = underlinedLabel(TabSheet6, "Label2", QStringLiteral("Map Names List"));
    Label2->setGeometry(listLeft, 4, 200, 16);
    LocationList = make<QPlainTextEdit>(TabSheet6, "LocationList");
    LocationList->setFont(wright::ui::fixedPitchFont(kNameFontPixels, true));
    LocationList->setGeometry(listLeft, 24, kNameListWidth, 350);
    LocationList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LocationList->setLineWrapMode(QPlainTextEdit::NoWrap);
    LocationList->setTabChangesFocus(true);
    LocationList->installEventFilter(this);
    LocationList->viewport()->installEventFilter(this);
}

void TForm1::buildMonsterPage() {
    TabSheet2 = make<QWidget>(nullptr, "TabSheet2");
    PageControl1->addTab(TabSheet2, QStringLiteral("MONSTER.BSA"));
    TabSheet2->setEnabled(false);
    MonstersList = make<QPlainTextEdit>(TabSheet2, "MonstersList");
    MonstersList->setFont(wright::ui::fixedPitchFont(kNameFontPixels, true));
    MonstersList->setGeometry(8, 8, 300, 450);
    MonstersList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MonstersList->setLineWrapMode(QPlainTextEdit::NoWrap);
    MonstersList->setTabChangesFocus(true);
    BSaveMonsterNames = make<QPushButton>(TabSheet2, "BSaveMonsterNames", QStringLiteral("Save Monster Names in File"));
    BSaveMonsterNames->setGeometry(320, 8, 200, 30);
    connect(BSaveMonsterNames, &QPushButton::clicked, this, guarded(this, &TForm1::SaveMonster));
    Button14 = make<QPushButton>(TabSheet2, "Button14", QStringLiteral("NewRus -> NewEng"));
    Button14->setGeometry(320, 48, 200, 30);
    Button14->setVisible(false);
    wright::ui::setTag(Button14, 0);
    connect(Button14, &QPushButton::clicked, this, guarded(this, &TForm1::Button14Click));
}

void TForm1::setTabOrder() {
    const QList<QWidget*> order{BOpenMAPSFile, BOpenMonsterFile, CheckEchangeLettres, PageControl1,
                                Regions,       BExportRegion,    PageControl2,        LocationRecordList,
                                DungeonRecordList, BCopyMapnames, BSaveMapnames,      BSaveMapitem,
                                BExportMap,    LocationList,     MonstersList,        BSaveMonsterNames,
                                Button14,      Log};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

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

void TForm1::logBytes(const std::string& line) {
    log_->appendLine(toQt(line));
}

std::optional<QString> TForm1::askArchive() {
    const wright::ui::FileDialogRequest request{QStringLiteral("Open"), QStringLiteral("QAR: Harrowmere BSA files|*.BSA"),
                                                QStringLiteral("BSA"), QStringLiteral("."), dialogFileName_};
    const std::optional<QString> chosen = dialogs_.openFile(this, request);
    if (chosen) dialogFileName_ = *chosen;
    return chosen;
}

std::optional<std::vector<std::string>> TForm1::encodeLines(const QStringList& lines, const QString& what,
                                                            CodePage page) {
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        wright::ui::EncodeResult encoded = fromQt(lines[i], page);
        if (!encoded.ok()) {
            log(QStringLiteral("%1 not saved: line %2 holds %3, which the game's code page cannot hold.")
                    .arg(what)
                    .arg(i)
                    .arg(encoded.unmappable->describe()));
            return std::nullopt;
        }
        bytes.push_back(std::move(encoded.bytes));
    }
    return bytes;
}

void TForm1::closeArchives() {
    for (auto* file : {mapsFile(), monsterFile()}) {
        if (!file) continue;
        try {
            file->close();
        } catch (const std::exception& error) {
            log(QString::fromLocal8Bit(error.what()));
        }
    }
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
        if (maps_) {
            try {
                maps_->file().close();
            } catch (const std::exception& error) {
                log(QString::fromLocal8Bit(error.what()));
            }
        }
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
        maps_ = std::make_unique<MapsArchive>(fileName(*path));
    } catch (const ArchiveRejected& why) {
        log(QStringLiteral("MAPS.BSA not opened: %1 is not a map archive: %2.").arg(*path, QString::fromLocal8Bit(why.what())));
        return;
    } catch (const wright::FileError& error) {
        log(QStringLiteral("MAPS.BSA not opened: %1").arg(QString::fromLocal8Bit(error.what())));
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
    const auto reportDamage = [this](const std::vector<std::string>& problems) {
        for (const std::string& problem : problems) {
            logBytes("Damaged record: " + problem + ".");
            regionSound_ = false;
        }
    };
    regionSound_ = true;

    log(QStringLiteral("Loading 'Location Names' (MAPNAMES) Region %1...").arg(text));
    LocationList->clear();
    const NamesLoad names = loadMapNames(*maps_, region, french());
    mapNamesCount_ = names.count;
    wright::ui::setMemoLines(LocationList, toLines(names.names));
    reportDamage(names.problems);
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
    const DungeonPlacement placement = placeDungeons(locations.names, dungeons);
    for (std::size_t j = 0; j < placement.lines.size(); ++j)
        if (!placement.lines[j].empty()) DungeonRecordList->item(static_cast<int>(j))->setText(toQt(placement.lines[j]));
    if (placement.unmatched) {
        logBytes("Incorrect dungeon : " + dungeons.names[*placement.unmatched]);
        dialogs_.inform(this, QStringLiteral("Incorrect file"),
                        QStringLiteral("The dungeon indicated in Log panel has no equivalent name in MAPP"),
                        wright::ui::MessageIcon::None);
        endProgram();
        return false;
    }
    log(QStringLiteral("Dungeon Record data Completed."));
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
        log(QStringLiteral("MapNames not saved: the region was loaded with names outside their records."));
        return;
    }
    const auto bytes = encodeLines(lines, what, CodePage::Windows1252);
    if (!bytes) return;
    const SavePlan plan = planMapNamesSave(*maps_, Regions->currentIndex(), mapNamesCount_, *bytes, french());
    if (plan.refusal) {
        logBytes("MapNames not saved: " + *plan.refusal + ".");
        return;
    }
    try {
        writePatches(maps_->file(), plan.patches);
    } catch (const SaveError& error) {
        logBytes(std::string("MapNames not saved: ") + error.what() + ".");
        return;
    }
    log(QStringLiteral("Save of MapNames completed."));
}

void TForm1::SaveMapPItem() {
    const int region = Regions->currentIndex();
    log(QStringLiteral("Saving 'Location Record Data' Region %1...").arg(regionText()));
    if (!regionSound_) {
        log(QStringLiteral("MAPPITEM and MAPDITEM not saved: the region was loaded with names outside their records."));
        return;
    }
    const QString what = QStringLiteral("MAPPITEM and MAPDITEM");
    const auto locationLines = encodeLines(listLines(LocationRecordList), what, CodePage::Windows1252);
    if (!locationLines) return;
    const auto dungeonLines = encodeLines(listLines(DungeonRecordList), what, CodePage::Windows1252);
    if (!dungeonLines) return;
    // Both records are checked before the first name is written.
    const SavePlan locations = planLocationSave(*maps_, region, mapNamesCount_, *locationLines, french());
    const SavePlan dungeons = planDungeonSave(*maps_, region, *dungeonLines, french());
    for (const SavePlan* plan : {&locations, &dungeons}) {
        if (plan->refusal) {
            logBytes("MAPPITEM and MAPDITEM not saved: " + *plan->refusal + ".");
            return;
        }
    }
    try {
        writePatches(maps_->file(), locations.patches);
    } catch (const SaveError& error) {
        logBytes(std::string("MAPPITEM and MAPDITEM not saved: ") + error.what() + ".");
        return;
    }
    log(QStringLiteral("MAPPITEM Save Completed."));
    SaveMapDItem(dungeons.patches);
}

void TForm1::SaveMapDItem(const std::vector<FieldPatch>& patches) {
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
        writePatches(maps_->file(), patches, [] { QCoreApplication::processEvents(); });
    } catch (const SaveError& error) {
        logBytes(std::string("MAPDITEM not saved: ") + error.what() + ".");
        saved = false;
    }
    for (qsizetype i = 0; i < held.size(); ++i) held[i]->setEnabled(wasEnabled[i]);
    if (saved) log(QStringLiteral("Dungon Record data Save Completed."));
}

void TForm1::ExportRegion() {
    exportRegionRecords(*maps_, Regions->currentIndex(), std::string(), [this](const std::string& line) { logBytes(line); });
}

void TForm1::ExportInMap() {
    const int region = Regions->currentIndex();
    const wright::ui::EncodeResult text = fromQt(LocationList->toPlainText(), CodePage::Windows1252);
    if (!text.ok()) {
        log(QStringLiteral("Mapnames not exported: the list holds %1, which the game's code page cannot hold.")
                .arg(text.unmappable->describe()));
        return;
    }
    replaceFile(regionMapFileName(region), text.bytes);
    log(QStringLiteral("Mapnames exported into Region%1.map (text file)").arg(region));
}

// ---- MONSTER.BSA ----

void TForm1::OpenMonster() {
    if (wright::ui::tag(BOpenMonsterFile) != 0) {
        if (monster_) {
            try {
                monster_->file().close();
            } catch (const std::exception& error) {
                log(QString::fromLocal8Bit(error.what()));
            }
        }
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
        archive = std::make_unique<MonsterArchive>(fileName(*path));
        names = archive->readNames(french());
    } catch (const ArchiveRejected& why) {
        log(QStringLiteral("MONSTER.BSA not opened: %1 cannot hold the monster names: %2.")
                .arg(*path, QString::fromLocal8Bit(why.what())));
        return;
    } catch (const wright::FileError& error) {
        log(QStringLiteral("MONSTER.BSA not opened: %1").arg(QString::fromLocal8Bit(error.what())));
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
    const auto bytes = encodeLines(lines, QStringLiteral("Monster Names"), monsterPage_);
    if (!bytes) return;
    try {
        monster_->saveNames(*bytes, french());
    } catch (const SaveError& error) {
        logBytes(std::string("Monster Names not saved: ") + error.what() + ".");
        return;
    }
    log(QStringLiteral("Monster Names Saved."));
}

void TForm1::Button14Click() {
    const wright::ui::EncodeResult text = fromQt(MonstersList->toPlainText(), monsterPage_);
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

}  // namespace arcwright
