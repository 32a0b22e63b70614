// TForm1's controls: their names, captions, fonts, places and initial
// states, and the connections to the handlers.

#include "questwright/tform1.h"
#include "questwright/tform1_private.h"

#include "ui/button_tag.h"
#include "ui/captions.h"
#include "ui/fonts.h"
#include "ui/handler_guard.h"
#include "ui/program_icon.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace wright::questwright {

using ui::guarded;

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

// Rows of a fixed height, as the lists of the window design have.
class RowHeightDelegate final : public QStyledItemDelegate {
public:
    RowHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

void setSilver(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, kSilver);
    widget->setPalette(palette);
}

}  // namespace

TForm1::TForm1(ui::Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kFormCaption);
    setFont(ui::formFont(11));
    move(278, 119);
    resize(814, 700);
    buildControls();
    ui::fitCaptions(this);
    setWindowIcon(ui::programIcon(QStringLiteral("questwright")));
    Log.emplace(LogEdit);
}

QToolButton* TForm1::speedButton(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setGeometry(place);
    return b;
}

QPushButton* TForm1::button(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(place);
    return b;
}

void TForm1::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(65);
    BSelectDir = speedButton(Panel2, "BSelectDir", QStringLiteral("Select QRC Dir"), {3, 3, 118, 25});
    BExportTXT = speedButton(Panel2, "BExportTXT", QStringLiteral("Export Current QRC in TXT"), {128, 3, 153, 25});
    BOpenQRCFile = button(Panel2, "BOpenQRCFile", QStringLiteral("Open QRC File"), {424, 8, 118, 25});
    BCloseQRCFile = button(Panel2, "BCloseQRCFile", QStringLiteral("Close QRC File"), {552, 8, 118, 25});
    Button4 = speedButton(Panel2, "Button4", QStringLiteral("Rus -> Eng"), {680, 8, 115, 25});
    BSaveQRCFile = speedButton(Panel2, "BSaveQRCFile", QStringLiteral("Save QRC File"), {3, 35, 118, 25});
    BExportAllTXT = button(Panel2, "BExportAllTXT", QStringLiteral("Export All QRC in TXT"), {144, 32, 121, 25});
    CheckEchangeLettres = new QCheckBox(QStringLiteral("Replace French Letters"), Panel2);
    CheckEchangeLettres->setObjectName(QStringLiteral("CheckEchangeLettres"));
    CheckEchangeLettres->setGeometry(280, 32, 137, 25);
    CheckEchangeLettres->setChecked(true);
    BStoreDialogs = speedButton(Panel2, "BStoreDialogs", QStringLiteral("Store Record"), {461, 35, 118, 25});
    FixBox = new QCheckBox(QStringLiteral("Permanent russian letters"), Panel2);
    FixBox->setObjectName(QStringLiteral("FixBox"));
    FixBox->setGeometry(652, 40, 149, 15);
    ui::setTag(Button4, 0);

    BExportTXT->setEnabled(false);
    BSaveQRCFile->setEnabled(false);
    BExportAllTXT->setEnabled(false);
    BStoreDialogs->setEnabled(false);
    BCloseQRCFile->setEnabled(false);
    // Part of the window with their behaviour, never shown.
    BOpenQRCFile->setVisible(false);
    BCloseQRCFile->setVisible(false);
    Button4->setVisible(false);
    FixBox->setVisible(false);
    root->addWidget(Panel2);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setFixedHeight(3);
    root->addWidget(Bevel1);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    root->addLayout(middle, 1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(248);
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    panel1Layout->setSpacing(0);
    Panel3 = new QWidget(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(19);
    QFont labelFont = font();
    labelFont.setUnderline(true);
    Label1 = new QLabel(QStringLiteral("Quests"), Panel3);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(4, 4, 121, 13);
    Label2 = new QLabel(QStringLiteral("Records"), Panel3);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(132, 4, 109, 13);
    for (QLabel* label : {Label1, Label2}) {
        label->setAlignment(Qt::AlignCenter);
        label->setFont(labelFont);
    }
    panel1Layout->addWidget(Panel3);
    auto* lists = new QHBoxLayout;
    lists->setContentsMargins(0, 0, 0, 0);
    lists->setSpacing(0);
    QRCList = new QListWidget(Panel1);
    QRCList->setObjectName(QStringLiteral("QRCList"));
    QRCList->setFixedWidth(128);
    QRCList->setFont(ui::fixedPitchFont(13, true));
    QRCList->setItemDelegate(new RowHeightDelegate(16, QRCList));
    ListBox = new QListWidget(Panel1);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setItemDelegate(new RowHeightDelegate(13, ListBox));
    ListBox->setUniformItemSizes(true);
    lists->addWidget(QRCList);
    lists->addWidget(ListBox, 1);
    panel1Layout->addLayout(lists, 1);
    middle->addWidget(Panel1);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setFont(ui::fixedPitchFont(13, true));
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    middle->addWidget(Memo, 1);

    LogEdit = new QPlainTextEdit(this);
    LogEdit->setObjectName(QStringLiteral("Log"));
    LogEdit->setReadOnly(true);
    LogEdit->setFixedHeight(100);
    LogEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogEdit->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    root->addWidget(LogEdit);

    for (QWidget* w : {static_cast<QWidget*>(QRCList), static_cast<QWidget*>(ListBox),
                       static_cast<QWidget*>(Memo), static_cast<QWidget*>(LogEdit)})
        setSilver(w);

    connect(BSelectDir, &QToolButton::clicked, this, guarded(this, &TForm1::SelectDirClick));
    connect(BExportTXT, &QToolButton::clicked, this, guarded(this, &TForm1::ExportTXTClick));
    connect(BOpenQRCFile, &QPushButton::clicked, this, guarded(this, &TForm1::OpenQRCFIle));
    connect(BCloseQRCFile, &QPushButton::clicked, this, guarded(this, &TForm1::CloseQRCFile));
    connect(Button4, &QToolButton::clicked, this, guarded(this, &TForm1::Button4Click));
    connect(BSaveQRCFile, &QToolButton::clicked, this, guarded(this, &TForm1::SaveQRCFileClick));
    connect(BExportAllTXT, &QPushButton::clicked, this, guarded(this, &TForm1::ExportAllTXTClick));
    connect(CheckEchangeLettres, &QCheckBox::clicked, this, guarded(this, &TForm1::EchangeLettres));
    connect(BStoreDialogs, &QToolButton::clicked, this, guarded(this, &TForm1::StoreRecordClick));
    connect(FixBox, &QCheckBox::clicked, this, guarded(this, &TForm1::FixBoxClick));
    connect(QRCList, &QListWidget::currentRowChanged, this, guarded(this, &TForm1::QRCListClick));
    connect(ListBox, &QListWidget::currentRowChanged, this, guarded(this, &TForm1::ListBoxClick));
}

}  // namespace wright::questwright
