#pragma once

#include <QString>

namespace vellumite {

class ProgramLauncher;
class Shell;

// The product's support address and web page, the one place that names them.
inline const QString SupportAddress = QStringLiteral("support@vellumite.invalid");
inline const QString WebPageAddress = QStringLiteral("https://vellumite.invalid/");
inline const QString SupportMailSubject = QStringLiteral("Portable Vellumite - support");

// "mailto:" + the support address + "?subject=" + the subject, percent-encoded (blanks as %20).
QString SupportMailText();

// Opens a new support mail in the desktop's mail program.
void SendSupportMail(Shell &shell);

// Starts the browser with the web page; with no browser known nothing starts.
void OpenWebPage(ProgramLauncher &launcher, const QString &browserExecutable);

// The host name of the web page, as the about box shows it.
QString WebPageHost();

} // namespace vellumite
