#pragma once

#include <QString>

namespace vellumite {

// Can the program write into a folder? The program folder is tested anew before every read and write
// of its settings and every save of its bookmarks (IsFolderWritable).
class FolderProbe
{
public:
    virtual ~FolderProbe() = default;

    // `folder` may end with a separator or not; an empty folder is never writable.
    virtual bool isWritable(const QString &folder) const = 0;
    // A file the program replaces is writable unless it is marked read-only (no write permission for
    // anyone, as a read-only attribute is for every user) or this user may not write it. A missing file
    // is writable: the folder decides.
    virtual bool isFileWritable(const QString &path) const = 0;
};

} // namespace vellumite
