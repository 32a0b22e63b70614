#include "ui/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace wright::ui {

QIcon programIcon(const QString& program) {
    QSvgRenderer drawing(QStringLiteral(":/icons/%1.svg").arg(program));
    QIcon icon;
    if (!drawing.isValid()) return icon;
    // Drawn here rather than through the SVG icon plugin, so a window shows
    // its icon wherever the program's own libraries are.
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace wright::ui
