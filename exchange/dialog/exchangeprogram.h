#pragma once

#include "exchange/core/stagingmerge.h"

#include <QString>

namespace vellumite {

// What the exchange dialog needs of the main window: its tree (changed only through the model, on the
// user-interface thread) and its message boxes.
class ExchangeProgram
{
public:
    virtual ~ExchangeProgram() = default;
    // The root category "Bookmarks", or nullptr when the tree has none.
    virtual BookmarkNode *rootCategory() = 0;
    // The code of the open-with browser: the icon of every imported bookmark.
    virtual qint32 browserCode() const = 0;
    // Marks the tree as owned by the run, so that nothing else changes it meanwhile.
    virtual void setExchangeRunning(bool running) = 0;
    virtual void emptyRootCategory() = 0;
    virtual void applyMerge(MergePlan plan) = 0;
    // The counts in the status bar, and the root category expanded.
    virtual void importStoreFinished() = 0;
    // A plain message with an OK button.
    virtual void showMessage(const QString &text) = 0;
    // The application's error display.
    virtual void showError(const QString &text) = 0;
};

} // namespace vellumite
