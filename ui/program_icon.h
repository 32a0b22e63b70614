#pragma once
// The programs' icons: the same drawings that are installed for the
// applications menu, built into the programs for their windows.

#include <QIcon>
#include <QString>

namespace wright::ui {

// The icon of a program ("arcwright", "pixwright", "questwright"), drawn at
// the sizes window systems ask for; an empty icon for an unknown name.
QIcon programIcon(const QString& program);

}  // namespace wright::ui
