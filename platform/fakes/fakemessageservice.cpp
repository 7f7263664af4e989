#include "platform/fakes/fakemessageservice.h"

namespace vellumite {

void FakeMessageService::information(const QString &title, const QString &text)
{
    m_messages.append({ Kind::Information, title, text });
}

void FakeMessageService::error(const QString &title, const QString &text)
{
    m_messages.append({ Kind::Error, title, text });
}

MessageAnswer FakeMessageService::question(const QString &title, const QString &text)
{
    m_messages.append({ Kind::Question, title, text });
    return m_answers.isEmpty() ? MessageAnswer::No : m_answers.dequeue();
}

} // namespace vellumite
