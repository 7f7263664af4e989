#pragma once

#include "platform/sessionend.h"

namespace vellumite {

class TerminationSignals;

// The end of the desktop session (the session manager's request to save) and the termination signals
// of the process, as one source of endRequested.
class DesktopSessionEnd final : public SessionEnd
{
    Q_OBJECT

public:
    // Needs the QGuiApplication to exist.
    explicit DesktopSessionEnd(QObject *parent = nullptr);

private:
    TerminationSignals *m_signals;
};

} // namespace vellumite
