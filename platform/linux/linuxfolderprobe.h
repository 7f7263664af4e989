#pragma once

#include "platform/folderprobe.h"

namespace vellumite {

// Probes a folder by creating "chk.tmp" in it exclusively and deleting it again, relative to the open
// folder.
class LinuxFolderProbe final : public FolderProbe
{
public:
    static inline const QString ProbeFileName = QStringLiteral("chk.tmp");

    bool isWritable(const ProgramFolder &folder) const override;
    bool isFileWritable(const ProgramFolder &folder, const QString &name) const override;
};

} // namespace vellumite
