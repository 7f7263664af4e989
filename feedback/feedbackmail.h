#pragma once

#include <QString>

namespace vellumite::feedback {

// Where uninstall feedback goes.
inline const QString FeedbackAddress = QStringLiteral("feedback@vellumite.invalid");

// The "mailto:" address that carries the chosen reason and the user's comment to the mail program.
// Subject and body are percent-encoded, so no comment can add header fields or cut the text short.
QString FeedbackMailAddress(const QString &reason, const QString &comments);

// A mailto header value: line breaks become CR LF, the text UTF-8, and every byte but the unreserved
// ones (letters, digits, "-", ".", "_", "~") is percent-encoded.
QByteArray EncodeMailtoValue(const QString &value);

} // namespace vellumite::feedback
