#pragma once

class QWidget;

namespace vellumite {

// Gives a dialog a title bar whose only button is the close button, as the tool windows and fixed
// dialogs of the design have: minimising a modal dialog would take its owner off the screen with it,
// and maximising a fixed-size one means nothing. The window keeps its kind (dialog or tool window) and
// its other hints.
//
// Window managers that follow the Motif hints take the close button alone from Qt's flags. Openbox puts
// minimise and maximise on every window whatever those hints say, except on the toolbar kind of window:
// there the window is given that kind each time before it is shown. Openbox treats it as it treats a
// tool window (a helper of its owner, focused and stacked with it).
void showOnlyTheCloseButton(QWidget &window);

} // namespace vellumite
