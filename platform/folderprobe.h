#pragma once

#include <QString>

namespace vellumite {

class ProgramFolder;

// Can the program write into its folder? The program folder is tested anew before every read and
// write of its settings and every save of its bookmarks (IsFolderWritable).
class FolderProbe
{
public:
    virtual ~FolderProbe() = default;

    // A folder that is not open is never writable.
    virtual bool isWritable(const ProgramFolder &folder) const = 0;
    // A file the program replaces is writable unless it is marked read-only (no write permission for
    // anyone, as a read-only attribute is for every user) or this user may not write it. A missing file
    // is writable: the folder decides.
    virtual bool isFileWritable(const ProgramFolder &folder, const QString &name) const = 0;
};

} // namespace vellumite
