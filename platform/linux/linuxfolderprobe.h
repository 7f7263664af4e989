#pragma once

#include "platform/folderprobe.h"

namespace vellumite {

// Probes a folder by creating "chk.tmp" in it exclusively and deleting it again.
class LinuxFolderProbe final : public FolderProbe
{
public:
    static inline const QString ProbeFileName = QStringLiteral("chk.tmp");

    bool isWritable(const QString &folder) const override;
    bool isFileWritable(const QString &path) const override;
};

} // namespace vellumite
