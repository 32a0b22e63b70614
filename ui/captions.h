#pragma once
// The windows were laid out for MS Sans Serif at 11 pixels. The sans serif a
// Linux desktop substitutes is wider, so a caption that filled its control
// there would be cut at the control's edge here. fitCaptions sets such a
// caption narrower, first condensed, then a pixel smaller at a time; its text
// never changes.

class QWidget;

namespace wright::ui {

// Narrows the caption of every button, check box and label of the window
// that does not fit its control. Run once, after the controls have their
// places and sizes.
void fitCaptions(QWidget* window);

}  // namespace wright::ui
