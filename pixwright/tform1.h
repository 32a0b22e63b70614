#pragma once
// Pixwright's window: a button that chooses a folder, the folder's *.img
// pictures down the left, the selected picture at twice its size in a
// scrolling area, and the log of each load along the bottom.
// The controls are built from the window design in tform1_controls.cpp; the
// handlers, one method each, are in tform1.cpp.

#include "pixwright/img_picture.h"
#include "ui/log_panel.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>

class QFrame;
class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class QToolButton;

namespace wright::ui {
class Dialogs;
}

namespace wright::pixwright {

class PictureCanvas;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(ui::Dialogs& dialogs, QWidget* parent = nullptr);

    // Chooses a folder; a folder other than the listed one is listed and its
    // first picture shown.
    void BSelectDirClick();
    // Shows the selected picture unless it is the one shown.
    void IMGListClick();

    const QString& imgName() const { return IMGName; }
    const QString& imgDir() const { return IMGDir; }
    const QString& palDir() const { return PalDir; }
    const IMGPicture& picture() const { return picture_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The picture at twice its size, or nothing when no surface can be had.
    std::optional<QImage> drawDoubled(const IMGPicture& picture);
    void listClicked();

    ui::Dialogs& dialogs_;

    QFrame* Panel2 = nullptr;
    QToolButton* BSelectDir = nullptr;
    QFrame* Bevel1 = nullptr;
    QListWidget* IMGList = nullptr;
    QFrame* Panel1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    PictureCanvas* Image = nullptr;
    QFrame* Panel3 = nullptr;
    QPlainTextEdit* Log = nullptr;
    ui::LogPanel log_;

    QString IMGName;               // the picture shown, without its folder
    QString IMGDir = QStringLiteral(".");  // never equal to a chosen folder's absolute path
    QString PalDir = QStringLiteral(".");  // where map.pal is looked for: fixed when the window is made
    IMGPicture picture_;

    // A newly listed folder shows its first picture even when a picture of the
    // same name is shown.
    bool showFirstOfNewFolder_ = false;
    // The entry that was current when a mouse button went down on the list: a
    // click on it selects it again, which no selection change reports.
    int rowAtPress_ = -1;
};

}  // namespace wright::pixwright
