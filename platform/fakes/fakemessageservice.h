#pragma once

#include "platform/messageservice.h"

#include <QList>
#include <QQueue>

namespace vellumite {

// Records every message instead of showing it; questions take the answers queued with setNextAnswer,
// and No when none is left.
class FakeMessageService final : public MessageService
{
public:
    enum class Kind { Information, Error, Question };
    struct Message
    {
        Kind kind;
        QString title;
        QString text;

        friend bool operator==(const Message &, const Message &) = default;
    };

    void information(const QString &title, const QString &text) override;
    void error(const QString &title, const QString &text) override;
    MessageAnswer question(const QString &title, const QString &text) override;

    void setNextAnswer(MessageAnswer answer) { m_answers.enqueue(answer); }
    const QList<Message> &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QQueue<MessageAnswer> m_answers;
};

} // namespace vellumite
