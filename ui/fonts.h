#pragma once
// The windows' fonts. The name lists ask for Courier New; where the machine
// lacks it, the family is matched to a fixed-pitch font, so a 32-character
// name still stands on one line.

#include <QFont>

namespace wright::ui {

// Courier New at a pixel height, or the system's fixed-pitch font.
QFont fixedPitchFont(int pixelSize, bool bold);
// The window's default font: MS Sans Serif at a pixel height, or the system's sans serif.
QFont formFont(int pixelSize);

}  // namespace wright::ui
