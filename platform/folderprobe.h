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
};

} // namespace vellumite
