#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace vellumite {

// The desktop's folder and file pickers, shown modally over `owner`.
class Pickers
{
public:
    virtual ~Pickers() = default;

    // A folder chosen by the user, or nothing when the picker was cancelled.
    virtual std::optional<QString> pickFolder(QWidget *owner, const QString &title) = 0;
    // An existing file to open, chosen among those matching `filter` ("Name (*.ext)"); the picker
    // starts at `initialPath` (a folder or a file). Nothing when cancelled.
    virtual std::optional<QString> pickOpenFile(QWidget *owner, const QString &filter,
                                                const QString &initialPath)
        = 0;
};

} // namespace vellumite
