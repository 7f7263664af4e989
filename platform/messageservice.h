#pragma once

#include <QString>
#include <functional>

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

// A message as a box shows it: every quoted absolute path (the program's messages put paths between
// double quotes) replaced by what `shorten` makes of it, so that a long path does not fill the screen.
struct ShortenedMessage
{
    QString text;
    // Whether any path came back shorter; the box then keeps the whole text in its details.
    bool shortened = false;
};
ShortenedMessage shortenQuotedPaths(const QString &text,
                                    const std::function<QString(const QString &)> &shorten);

} // namespace vellumite
