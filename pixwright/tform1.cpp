#include "pixwright/tform1.h"

#include "pixwright/picture_canvas.h"
#include "ui/captions.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/program_icon.h"
#include "ui/wright_application.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace wright::pixwright {

namespace {

const QColor Silver(192, 192, 192);

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

// Paths cross to the byte-level reader in the file system's own encoding.
std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
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
    setBackground(IMGList, QPalette::Base, Silver);

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
    setBackground(Log, QPalette::Base, Silver);

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

    connect(BSelectDir, &QToolButton::clicked, this, &TForm1::BSelectDirClick);
    connect(IMGList, &QListWidget::currentRowChanged, this, &TForm1::IMGListClick);
    connect(IMGList, &QListWidget::itemClicked, this, &TForm1::listClicked);
    IMGList->viewport()->installEventFilter(this);
}

void TForm1::BSelectDirClick() {
    const std::optional<QString> chosen =
        dialogs_.chooseFolder(this, ui::FolderDialogRequest{QStringLiteral("Select directory..."), QStringLiteral(".")});
    if (!chosen) return;
    if (*chosen == IMGDir) return;  // the listed folder is not listed again

    IMGDir = *chosen;
    const QSignalBlocker quiet(IMGList);
    IMGList->clear();
    // Every kind of entry, hidden ones and folders too, in the order the
    // system gives them (QDir would sort them); the pattern ignores letter case.
    QStringList names;
    QDirIterator entries(IMGDir, {QStringLiteral("*.img")},
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) names << entries.nextFileInfo().fileName();
    if (names.isEmpty()) return;
    IMGList->addItems(names);
    IMGList->setCurrentRow(0);
    showFirstOfNewFolder_ = true;
    IMGListClick();
}

void TForm1::IMGListClick() {
    const QListWidgetItem* item = IMGList->currentItem();
    const bool firstOfNewFolder = std::exchange(showFirstOfNewFolder_, false);
    if (!item) return;
    const QString name = item->text();
    if (name == IMGName && !firstOfNewFolder) return;

    IMGName = name;
    log_.clear();
    IMGPicture loaded;
    std::optional<QImage> surface;
    if (LoadIMG(loaded, localPath(IMGDir), localPath(IMGName), localPath(PalDir),
                [this](const std::string& line) { log_.appendLine(QFile::decodeName(line.c_str())); }))
        surface = drawDoubled(loaded);
    if (!surface) {
        // The picture, the caption and the titles of the last load stay. The
        // entry is not taken as shown, so selecting it again tries again.
        IMGName.clear();
        return;
    }

    picture_ = std::move(loaded);
    setWindowTitle(QStringLiteral("QAR2: Harrowmere IMG Files Editor {") + IMGName + QStringLiteral("}"));
    if (auto* app = ui::WrightApplication::instance()) app->setTitle(QStringLiteral("{") + IMGName + QStringLiteral("}"));
    Image->setImage(QSize(2 * int{picture_.IMGWidth}, 2 * int{picture_.IMGHeight}), std::move(*surface));
}

std::optional<QImage> TForm1::drawDoubled(const IMGPicture& picture) {
    // A surface of exactly twice the picture, made for it alone; an empty
    // picture has none to draw on.
    const QSize size(2 * int{picture.IMGWidth}, 2 * int{picture.IMGHeight});
    if (size.isEmpty()) return QImage();
    QImage surface(size, QImage::Format_RGB32);
    if (surface.isNull()) {
        log_.appendLine(QStringLiteral("Not enough memory to draw %1 x %2 pixels.").arg(size.width()).arg(size.height()));
        return std::nullopt;
    }
    DrawIMG2x(picture, PixelSurface{surface.bits(), surface.width(), surface.height(), surface.bytesPerLine()});
    return surface;
}

void TForm1::listClicked() {
    // A click on the entry that was already current selects it again: it
    // shows nothing new unless its last load failed.
    const int pressed = std::exchange(rowAtPress_, -1);
    if (pressed >= 0 && pressed == IMGList->currentRow()) IMGListClick();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == IMGList->viewport() && event->type() == QEvent::MouseButtonPress) rowAtPress_ = IMGList->currentRow();
    return QWidget::eventFilter(watched, event);
}

}  // namespace wright::pixwright
