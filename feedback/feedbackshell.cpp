#include "feedback/feedbackshell.h"

#include <QProcess>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {

FeedbackShell::~FeedbackShell() = default;

qsizetype DesktopOpener::maxArgumentSize()
{
    // The kernel refuses a single argument of 32 pages or more, whatever room the others leave.
    return 32 * static_cast<qsizetype>(::sysconf(_SC_PAGESIZE));
}

OpenResult DesktopOpener::open(const QString &address)
{
    // The start would fail as well; told apart, the user learns that a shorter comment goes through.
    if (address.toLocal8Bit().size() + 1 > maxArgumentSize())
        return OpenResult::TooLong;
    // Never through a shell: the address reaches the opener as one argument, whatever it holds.
    return QProcess::startDetached(u"xdg-open"_s, { address }) ? OpenResult::Started : OpenResult::NotStarted;
}

} // namespace vellumite::feedback
