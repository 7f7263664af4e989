#pragma once

#include <QString>

namespace vellumite {

// Hands work to the desktop's opener: a file to the program associated with it, a "mailto:" address to
// the mail program. Nothing waits for the started program or tests whether it started.
class Shell
{
public:
    virtual ~Shell();

    // Opens a file with the program the desktop associates with it.
    virtual void openFile(const QString &path) = 0;
    // Opens a "mailto:" address in the desktop's mail program.
    virtual void openMailAddress(const QString &address) = 0;
};

} // namespace vellumite
