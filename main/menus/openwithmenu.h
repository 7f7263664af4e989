#pragma once

#include "main/core/browserdetection.h"

#include <functional>

class QMenu;
class QWidget;

namespace vellumite {

// Creates the "Open with" submenu `Openwith1`: one item per browser (`OpenWithIE`, `OpenWithFirefox`,
// ...) with the browser's icon, in submenu order. Only the items of the installed browsers are visible;
// choosing one calls `open` with its browser code.
QMenu *createOpenWithMenu(QWidget *parent, const InstalledBrowsers &installed,
                          std::function<void(BrowserCode)> open);

// Shows the items of browsers installed since; an item once shown stays visible.
void updateOpenWithMenu(QMenu *menu, const InstalledBrowsers &installed);

} // namespace vellumite
