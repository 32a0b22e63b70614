// TForm1's controls: their names, captions, fonts, places and initial
// states, the tab order, and the connections to the handlers.

#include "arcwright/tform1.h"
#include "arcwright/region_names.h"
#include "arcwright/tform1_private.h"

#include "ui/button_tag.h"
#include "ui/captions.h"
#include "ui/fonts.h"
#include "ui/handler_guard.h"
#include "ui/log_panel.h"
#include "ui/program_icon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace wright::arcwright {

using wright::ui::guarded;

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

}  // namespace

const QStringList& regionTexts() {
    static const QStringList texts = [] {
        QStringList list;
        for (std::string_view text : wright::arcwright::kRegionTexts)
            list << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        return list;
    }();
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
    wright::ui::fitCaptions(this);
    setWindowIcon(wright::ui::programIcon(QStringLiteral("arcwright")));
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

}  // namespace wright::arcwright
