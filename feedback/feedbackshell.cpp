#include "feedback/feedbackshell.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {

FeedbackShell::~FeedbackShell() = default;

void DesktopOpener::open(const QString &address)
{
    // Never through a shell: the address reaches the opener as one argument, whatever it holds.
    QProcess::startDetached(u"xdg-open"_s, { address });
}

} // namespace vellumite::feedback
