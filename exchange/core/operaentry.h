#pragma once

#include <QString>

namespace vellumite {

// Rewrites the stored hotlist entry of a node after the user edited it: every "NAME=", "URL=" and
// "DESCRIPTION=" line takes the new value, and every other line (the header and the keys this program
// does not understand) stays byte for byte. An entry without a DESCRIPTION line gets one as its last
// line; one without NAME or URL gets none. Each line of the result ends with CR LF, so rebuilding the
// result again with the same values returns it unchanged. Line breaks inside a value are encoded the
// hotlist's way and never end the key line.
QString RebuildOperaBlock(const QString &block, const QString &name, const QString &comment,
                          const QString &link);

} // namespace vellumite
