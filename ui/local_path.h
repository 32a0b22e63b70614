#pragma once
// Paths cross from Qt to the byte-level cores in the file system's own
// encoding, so a name that is not valid UTF-8 still opens the file it names.

#include <QString>

#include <string>

namespace wright::ui {

std::string localPath(const QString& path);

}  // namespace wright::ui
