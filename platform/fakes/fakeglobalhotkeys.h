#pragma once

#include "platform/globalhotkeys.h"

#include <QList>
#include <QSet>

namespace vellumite {

// Hot keys held in a table: a test refuses keys as if another program held them, presses keys, and
// looks at what is grabbed.
class FakeGlobalHotKeys final : public GlobalHotKeys
{
public:
    ~FakeGlobalHotKeys() override { releaseAll(); }

    void refuse(HotKeyValue value) { m_refused.insert(value); }
    void allow(HotKeyValue value) { m_refused.remove(value); }
    // A press of `value` anywhere in the system; reported only when it is grabbed.
    void press(HotKeyValue value) { reportPress(value); }
    const QList<HotKeyValue> &grabbed() const { return m_grabbed; }

protected:
    bool grabKey(HotKeyValue value) override
    {
        if (m_refused.contains(value))
            return false;
        m_grabbed.append(value);
        return true;
    }
    void releaseKey(HotKeyValue value) override { m_grabbed.removeOne(value); }

private:
    QSet<HotKeyValue> m_refused;
    QList<HotKeyValue> m_grabbed;
};

} // namespace vellumite
