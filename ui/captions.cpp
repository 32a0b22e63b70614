#include "ui/captions.h"

#include <QAbstractButton>
#include <QFont>
#include <QLabel>
#include <QWidget>

namespace wright::ui {
namespace {

// Below this a caption would be fitted but no longer read.
constexpr int kSmallestPixels = 8;

bool hasCaption(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return !button->text().isEmpty();
    if (auto* label = qobject_cast<const QLabel*>(control)) return !label->text().isEmpty();
    return false;
}

// The control's size hint is the width its caption needs in its font,
// with the frame, the margins and the check box's mark that the style adds.
bool fits(const QWidget* control) {
    return control->sizeHint().width() <= control->width();
}

void fitCaption(QWidget* control) {
    if (fits(control)) return;
    QFont font = control->font();
    for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
        font.setStretch(stretch);
        control->setFont(font);
        if (fits(control)) return;
    }
    while (!fits(control) && font.pixelSize() > kSmallestPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        control->setFont(font);
    }
}

}  // namespace

void fitCaptions(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>())
        if (hasCaption(control)) fitCaption(control);
}

}  // namespace wright::ui
