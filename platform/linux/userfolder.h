#pragma once

#include "base/uniquedescriptor.h"

#include <QString>
#include <optional>

namespace vellumite {

// A folder that no one but this user can change: it belongs to the effective user and neither its group
// nor others may write it. It is held open, and its files are opened relative to it, so that its name
// cannot be turned to another folder between the test and the reads.
class UserFolder
{
public:
    // Nothing when `path` is no such folder (or no folder at all).
    static std::optional<UserFolder> open(const QString &path);

    // The folder's descriptor, for openat and its kin.
    int fd() const { return m_fd.get(); }
    const QString &path() const { return m_path; }

private:
    UserFolder(UniqueDescriptor fd, QString path);

    UniqueDescriptor m_fd;
    QString m_path;
};

} // namespace vellumite
