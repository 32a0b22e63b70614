#pragma once
// The window's picture area: a widget that shows one true-colour image at
// its top-left corner and takes exactly that image's size.

#include <QImage>
#include <QWidget>

namespace wright::pixwright {

class PictureCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PictureCanvas(QWidget* parent = nullptr);

    // Takes exactly size and shows image on it, so nothing of an earlier,
    // larger picture remains. An empty picture has a null image.
    void setImage(QSize size, QImage image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace wright::pixwright
