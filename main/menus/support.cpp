#include "main/menus/support.h"

#include "main/core/openlink.h"
#include "platform/shell.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace vellumite {

QString SupportMailText()
{
    return u"mailto:"_s + SupportAddress + u"?subject="_s + SupportMailSubject;
}

void SendSupportMail(Shell &shell)
{
    shell.openMailAddress(SupportMailText());
}

void OpenWebPage(ProgramLauncher &launcher, const QString &browserExecutable)
{
    openLinkWith(launcher, browserExecutable, WebPageAddress);
}

QString WebPageHost()
{
    return QUrl(WebPageAddress).host();
}

} // namespace vellumite
