#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace wright::ui {

QFont fixedPitchFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont formFont(int pixelSize) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace wright::ui
