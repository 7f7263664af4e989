#include "platform/fakes/fakefolderprobe.h"

namespace vellumite {

bool FakeFolderProbe::isWritable(const QString &folder) const
{
    m_probed.append(folder);
    return m_writable && !folder.isEmpty();
}

bool FakeFolderProbe::isFileWritable(const QString &) const
{
    return m_writable;
}

} // namespace vellumite
