#pragma once

#include "platform/pickers.h"

namespace vellumite {

// The pickers as Qt's folder and file dialogs.
class DialogPickers final : public Pickers
{
public:
    std::optional<QString> pickFolder(QWidget *owner, const QString &title) override;
    std::optional<QString> pickOpenFile(QWidget *owner, const QString &filter,
                                        const QString &initialPath) override;
};

} // namespace vellumite
