#pragma once
// What the window's two source files share: the captions that the archive
// buttons change between.

#include <QString>

namespace wright::arcwright {

const QString kOpenMaps = QStringLiteral("Open File MAPS.BSA");
const QString kCloseMaps = QStringLiteral("Close File MAPS.BSA");
const QString kOpenMonster = QStringLiteral("Open File MONSTER.BSA");
const QString kCloseMonster = QStringLiteral("Close File MONSTER.BSA");
const QString kLoadMonster = QStringLiteral("Load File MONSTER.BSA");

}  // namespace wright::arcwright
