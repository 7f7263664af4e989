#pragma once

#include "platform/shell.h"

#include <QList>

class QDebug;

namespace vellumite {

// One request handed to the shell.
struct ShellRequest
{
    enum class Kind { OpenFile, OpenMailAddress };

    Kind kind;
    QString target; // the file or the mail address

    bool operator==(const ShellRequest &) const = default;
};

QDebug operator<<(QDebug debug, const ShellRequest &request);

// Records what it is asked to open and starts nothing.
class FakeShell final : public Shell
{
public:
    void openFile(const QString &path) override;
    void openMailAddress(const QString &address) override;

    QList<ShellRequest> requests;
};

} // namespace vellumite
