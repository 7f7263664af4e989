#pragma once

#include <QString>

namespace vellumite::feedback {

// What became of an address handed to the desktop.
enum class OpenResult {
    // The opener started; whether it finds a mail program is its own affair.
    Started,
    // The address is longer than the system lets one program argument be.
    TooLong,
    // The opener could not be started.
    NotStarted,
};

// Hands an address to the desktop, which opens the program registered for it (the mail program for a
// "mailto:" address). Nothing waits for that program.
class FeedbackShell
{
public:
    virtual ~FeedbackShell();
    virtual OpenResult open(const QString &address) = 0;
};

// The desktop's own opener, started detached with the address as its single argument.
class DesktopOpener final : public FeedbackShell
{
public:
    // The longest argument, in bytes with its terminating zero, that Linux hands to a program.
    static qsizetype maxArgumentSize();

    OpenResult open(const QString &address) override;
};

} // namespace vellumite::feedback
