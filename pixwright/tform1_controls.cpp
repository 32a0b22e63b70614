// TForm1's controls: their names, captions, fonts, places and initial
// states, and the connections to the handlers.

#include "pixwright/tform1.h"

#include "pixwright/picture_canvas.h"
#include "ui/captions.h"
#include "ui/fonts.h"
#include "ui/handler_guard.h"
#include "ui/program_icon.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace wright::pixwright {

using ui::guarded;

namespace {

const QColor kSilver(192, 192, 192);

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFrame* makePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

}  // namespace

TForm1::TForm1(ui::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), Log(new QPlainTextEdit(this)), log_(Log) {
    buildControls();
    ui::fitCaptions(this);
    setWindowIcon(ui::programIcon(QStringLiteral("pixwright")));
    PalDir = QDir::currentPath();
}

void TForm1::buildControls() {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Form1"));
    move(280, 132);
    resize(872, 760);
    setFont(ui::formFont(11));  // 8 points at 96 dots per inch
    setBackground(this, QPalette::Window, palette().color(QPalette::Button));
    setAutoFillBackground(true);

    Panel2 = makePanel(this, "Panel2");
    Panel2->setFixedHeight(59);
    BSelectDir = new QToolButton(Panel2);
    BSelectDir->setObjectName(QStringLiteral("BSelectDir"));
    BSelectDir->setText(QStringLiteral("Select IMG Directory"));
    BSelectDir->setFocusPolicy(Qt::NoFocus);
    BSelectDir->setGeometry(11, 15, 118, 25);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFixedHeight(3);
    Bevel1->setStyleSheet(QStringLiteral("QFrame#Bevel1 { border: none; border-top: 1px solid palette(mid); }"));

    IMGList = new QListWidget(this);
    IMGList->setObjectName(QStringLiteral("IMGList"));
    IMGList->setFixedWidth(128);
    IMGList->setSelectionMode(QAbstractItemView::SingleSelection);
    IMGList->setSortingEnabled(false);
    // The names come from the file system as text already, so no character
    // set needs choosing for them.
    IMGList->setFont(ui::fixedPitchFont(13, true));
    setBackground(IMGList, QPalette::Base, kSilver);

    Panel1 = makePanel(this, "Panel1");
    ScrollBox1 = new QScrollArea(Panel1);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->verticalScrollBar()->setTracking(true);
    ScrollBox1->horizontalScrollBar()->setTracking(false);
    Image = new PictureCanvas;
    Image->setObjectName(QStringLiteral("Image"));
    Image->resize(649, 489);
    ScrollBox1->setWidget(Image);
    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel3->setFixedHeight(41);
    auto* middle = new QVBoxLayout(Panel1);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(ScrollBox1, 1);
    middle->addWidget(Panel3);

    Log->setObjectName(QStringLiteral("Log"));
    Log->setFixedHeight(89);
    Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Log->setFocusPolicy(Qt::ClickFocus);  // the Tab key passes it by
    setBackground(Log, QPalette::Base, kSilver);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(IMGList);
    row->addWidget(Panel1, 1);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addWidget(Panel2);
    form->addWidget(Bevel1);
    form->addLayout(row, 1);
    form->addWidget(Log);

    connect(BSelectDir, &QToolButton::clicked, this, guarded(this, &TForm1::BSelectDirClick));
    connect(IMGList, &QListWidget::currentRowChanged, this, guarded(this, &TForm1::IMGListClick));
    connect(IMGList, &QListWidget::itemClicked, this, guarded(this, &TForm1::listClicked));
    IMGList->viewport()->installEventFilter(this);
}

}  // namespace wright::pixwright
