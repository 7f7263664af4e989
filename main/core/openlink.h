#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vellumite {

class ProgramLauncher;

// The arguments that hand a link to a browser: the link as one argument, so that a link with blanks
// stays one page, and none for an empty link. No arguments at all (nullopt) for a link that starts
// with "-", which the browser would read as one of its options.
std::optional<QStringList> browserArgumentsForLink(const QString &link);

// Starts `program` detached with `link`. False when nothing was started: no program, or a link that
// must not be passed. Whether the program itself started is not known.
bool openLinkWith(ProgramLauncher &launcher, const QString &program, const QString &link);

// The status-bar text of an opened bookmark: its title, then its link.
QString openedLinkStatusText(const QString &title, const QString &link);

} // namespace vellumite
