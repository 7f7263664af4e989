#include "platform/widgets/desktopsessionend.h"

#include "platform/linux/terminationsignals.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace vellumite {

DesktopSessionEnd::DesktopSessionEnd(QObject *parent)
    : SessionEnd(parent)
    , m_signals(new TerminationSignals(this))
{
    connect(m_signals, &SessionEnd::endRequested, this, &SessionEnd::endRequested);
    Q_ASSERT(qGuiApp);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { emit endRequested(Reason::SessionEnding); });
}

} // namespace vellumite
