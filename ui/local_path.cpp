#include "ui/local_path.h"

#include <QFile>

namespace wright::ui {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace wright::ui
