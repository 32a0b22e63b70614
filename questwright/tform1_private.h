#pragma once
// What the window's two source files share: the caption the window is made
// with, which the hidden close gives back as the application title.

#include <QString>

namespace wright::questwright {

const QString kFormCaption = QStringLiteral("QAR2: Harrowmere QRC Editor");

}  // namespace wright::questwright
