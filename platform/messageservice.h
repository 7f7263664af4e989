#pragma once

#include <QString>

namespace vellumite {

enum class MessageAnswer { Yes, No };

// The program's message boxes. Readers and writers never show one; the windows do, through this.
class MessageService
{
public:
    virtual ~MessageService() = default;

    // A plain message with an OK button.
    virtual void information(const QString &title, const QString &text) = 0;
    // The default error display: a stop icon, an OK button and errorDisplayText(text).
    virtual void error(const QString &title, const QString &text) = 0;
    // A question with the question icon and the buttons Yes and No.
    virtual MessageAnswer question(const QString &title, const QString &text) = 0;
};

// The text of the default error display: a full stop is added when the last character comes after "."
// in character order (a letter or a digit does, a "." or a "!" does not).
QString errorDisplayText(const QString &text);

} // namespace vellumite
