#pragma once

#include <QString>

namespace vellumite::feedback {

// Hands an address to the desktop, which opens the program registered for it (the mail program for a
// "mailto:" address). Nothing waits for that program or tests whether it started.
class FeedbackShell
{
public:
    virtual ~FeedbackShell();
    virtual void open(const QString &address) = 0;
};

// The desktop's own opener, started detached with the address as its single argument.
class DesktopOpener final : public FeedbackShell
{
public:
    void open(const QString &address) override;
};

} // namespace vellumite::feedback
