#include "platform/fakes/fakemessageservice.h"

namespace vellumite {

void FakeMessageService::record(Kind kind, const QString &title, const QString &text)
{
    const Message message { kind, title, text };
    m_messages.append(message);
    if (m_whileShown)
        m_whileShown(message);
}

void FakeMessageService::information(const QString &title, const QString &text)
{
    record(Kind::Information, title, text);
}

void FakeMessageService::error(const QString &title, const QString &text)
{
    record(Kind::Error, title, text);
}

MessageAnswer FakeMessageService::question(const QString &title, const QString &text)
{
    record(Kind::Question, title, text);
    return m_answers.isEmpty() ? MessageAnswer::No : m_answers.dequeue();
}

} // namespace vellumite
