#include "platform/fakes/fakefolderprobe.h"

#include "base/programfolder.h"

namespace vellumite {

bool FakeFolderProbe::isWritable(const ProgramFolder &folder) const
{
    m_probed.append(folder.shownPath());
    return m_writable && folder.isOpen();
}

bool FakeFolderProbe::isFileWritable(const ProgramFolder &, const QString &) const
{
    return m_writable;
}

} // namespace vellumite
