#include "platform/messageservice.h"

namespace vellumite {

QString errorDisplayText(const QString &text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}

} // namespace vellumite
