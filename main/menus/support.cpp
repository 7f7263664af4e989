#include "main/menus/support.h"

#include "main/core/openlink.h"
#include "platform/shell.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace vellumite {

QString SupportMailText()
{
    // A mailto URI holds no raw blanks: the subject is percent-encoded, as the feedback mail's fields.
    return u"mailto:"_s + SupportAddress + u"?subject="_s
        + QString::fromLatin1(QUrl::toPercentEncoding(SupportMailSubject));
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
