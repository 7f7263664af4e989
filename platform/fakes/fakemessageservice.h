#pragma once

#include "platform/messageservice.h"

#include <QList>
#include <QQueue>
#include <functional>

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
    // Runs as each message comes, while a real one would be up.
    void setWhileShown(std::function<void(const Message &)> whileShown)
    {
        m_whileShown = std::move(whileShown);
    }
    const QList<Message> &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QQueue<MessageAnswer> m_answers;
    std::function<void(const Message &)> m_whileShown;

    void record(Kind kind, const QString &title, const QString &text);
};

} // namespace vellumite
