#pragma once

#include "platform/folderprobe.h"

#include <QStringList>

namespace vellumite {

// Answers what the test sets (writable unless told otherwise) and records the folders asked about, by
// their shown paths.
class FakeFolderProbe final : public FolderProbe
{
public:
    bool isWritable(const ProgramFolder &folder) const override;
    // Follows the folder's answer.
    bool isFileWritable(const ProgramFolder &folder, const QString &name) const override;

    void setWritable(bool writable) { m_writable = writable; }
    const QStringList &probedFolders() const { return m_probed; }

private:
    bool m_writable = true;
    mutable QStringList m_probed;
};

} // namespace vellumite
