#pragma once

#include "exchange/core/exchangerun.h"

#include <QString>

namespace vellumite {

// What the exchange dialog needs of the main window: its tree (changed only through the model, on the
// user-interface thread) and its message boxes.
class ExchangeProgram : public ExchangeTarget
{
public:
    // Marks the tree as owned by the run, so that nothing else changes it meanwhile.
    virtual void setExchangeRunning(bool running) = 0;
    // A plain message with an OK button.
    virtual void showMessage(const QString &text) = 0;
    // The application's error display.
    virtual void showError(const QString &text) = 0;
};

} // namespace vellumite
