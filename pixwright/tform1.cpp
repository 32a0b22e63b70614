#include "pixwright/tform1.h"

#include "pixwright/picture_canvas.h"
#include "ui/dialogs.h"
#include "ui/local_path.h"
#include "ui/wright_application.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <utility>

namespace wright::pixwright {

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
    if (LoadIMG(loaded, ui::localPath(IMGDir), ui::localPath(IMGName), ui::localPath(PalDir),
                [this](LoadStep, const std::string& line) { log_.appendLine(QFile::decodeName(line.c_str())); }))
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
