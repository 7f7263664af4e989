#include "platform/globalhotkeys.h"

namespace vellumite {

quint16 GlobalHotKeys::AddHotKey(HotKeyValue value)
{
    if (hotKeyVirtualKey(value) == 0 || m_registered.key(value, 0) != 0 || !grabKey(value))
        return 0;
    // Indices are never reused while an earlier one may still be held by a caller.
    do {
        ++m_lastIndex;
    } while (m_lastIndex == 0 || m_registered.contains(m_lastIndex));
    m_registered.insert(m_lastIndex, value);
    return m_lastIndex;
}

quint16 GlobalHotKeys::ChangeHotKey(quint16 index, HotKeyValue value)
{
    if (!RemoveHotKey(index))
        return 0;
    return AddHotKey(value);
}

bool GlobalHotKeys::RemoveHotKey(quint16 index)
{
    const auto found = m_registered.constFind(index);
    if (index == 0 || found == m_registered.cend())
        return false;
    const HotKeyValue value = *found;
    m_registered.erase(found);
    releaseKey(value);
    return true;
}

void GlobalHotKeys::releaseAll()
{
    const QMap<quint16, HotKeyValue> registered = std::exchange(m_registered, {});
    for (HotKeyValue value : registered)
        releaseKey(value);
}

void GlobalHotKeys::reportPress(HotKeyValue value)
{
    const quint16 index = m_registered.key(value, 0);
    if (index != 0)
        emit HotKeyPressed(value, index);
}

} // namespace vellumite
