#pragma once

#include "platform/hotkeytext.h"

#include <QMap>
#include <QObject>

namespace vellumite {

// System-wide hot keys: a registered key is reported on the user-interface thread whichever program
// is in front. Each registration gets an index of its own; 0 stands for a refused one.
class GlobalHotKeys : public QObject
{
    Q_OBJECT

public:
    // Registers `value`; its index, or 0 when the system refuses it (another program holds the key,
    // the value names no key, or this object already holds it).
    quint16 AddHotKey(HotKeyValue value);
    // Releases the key registered under `index` and registers `value`: the new index, or 0 when that
    // registration fails. An index that is not registered gives 0 and registers nothing.
    quint16 ChangeHotKey(quint16 index, HotKeyValue value);
    // Releases the key registered under `index`; false when nothing was registered under it.
    bool RemoveHotKey(quint16 index);

    bool isRegistered(quint16 index) const { return m_registered.contains(index); }
    HotKeyValue registeredValue(quint16 index) const { return m_registered.value(index); }

signals:
    // A registered key was pressed, with the pressed value and its registration index.
    void HotKeyPressed(vellumite::HotKeyValue hotKey, quint16 index);

protected:
    using QObject::QObject;

    // The system's side: take and release one key. The backings call releaseAll from their destructor.
    virtual bool grabKey(HotKeyValue value) = 0;
    virtual void releaseKey(HotKeyValue value) = 0;
    void releaseAll();
    // A backing reports a press of a value it grabbed.
    void reportPress(HotKeyValue value);

private:
    QMap<quint16, HotKeyValue> m_registered;
    quint16 m_lastIndex = 0;
};

} // namespace vellumite
