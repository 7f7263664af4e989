#include "platform/hotkeytext.h"

#include <QStringList>
#include <array>

namespace vellumite {

namespace {

struct NamedKey
{
    quint8 code;
    QStringView name;
};

// Keys with a name of their own; letters, digits, the numeric pad's digits and F1 to F24 are computed.
constexpr std::array NamedKeys {
    NamedKey { VirtualKey::Backspace, u"BkSp" },
    NamedKey { VirtualKey::Tab, u"Tab" },
    NamedKey { VirtualKey::Enter, u"Enter" },
    NamedKey { VirtualKey::Pause, u"Pause" },
    NamedKey { VirtualKey::Escape, u"Esc" },
    NamedKey { VirtualKey::Space, u"Space" },
    NamedKey { VirtualKey::PageUp, u"PgUp" },
    NamedKey { VirtualKey::PageDown, u"PgDn" },
    NamedKey { VirtualKey::End, u"End" },
    NamedKey { VirtualKey::Home, u"Home" },
    NamedKey { VirtualKey::Left, u"Left" },
    NamedKey { VirtualKey::Up, u"Up" },
    NamedKey { VirtualKey::Right, u"Right" },
    NamedKey { VirtualKey::Down, u"Down" },
    NamedKey { VirtualKey::Insert, u"Ins" },
    NamedKey { VirtualKey::Delete, u"Del" },
    NamedKey { VirtualKey::NumpadMultiply, u"Num *" },
    NamedKey { VirtualKey::NumpadAdd, u"Num +" },
    NamedKey { VirtualKey::NumpadSubtract, u"Num -" },
    NamedKey { VirtualKey::NumpadDecimal, u"Num Del" },
    NamedKey { VirtualKey::NumpadDivide, u"Num /" },
    NamedKey { VirtualKey::Semicolon, u";" },
    NamedKey { VirtualKey::Equal, u"=" },
    NamedKey { VirtualKey::Comma, u"," },
    NamedKey { VirtualKey::Minus, u"-" },
    NamedKey { VirtualKey::Period, u"." },
    NamedKey { VirtualKey::Slash, u"/" },
    NamedKey { VirtualKey::Grave, u"`" },
    NamedKey { VirtualKey::BracketLeft, u"[" },
    NamedKey { VirtualKey::Backslash, u"\\" },
    NamedKey { VirtualKey::BracketRight, u"]" },
    NamedKey { VirtualKey::Apostrophe, u"'" },
};

struct NamedModifier
{
    HotKeyValue bit;
    QStringView prefix;
};

constexpr std::array Modifiers {
    NamedModifier { HotKeyModifier::Shift, u"Shift+" },
    NamedModifier { HotKeyModifier::Ctrl, u"Ctrl+" },
    NamedModifier { HotKeyModifier::Alt, u"Alt+" },
};

// The Windows key has no bit in the value; these are its names here and elsewhere.
constexpr std::array UnheldModifierPrefixes { QStringView(u"Win+"), QStringView(u"Super+"),
                                              QStringView(u"Meta+") };

quint8 virtualKeyOfName(QStringView name)
{
    if (name.isEmpty())
        return 0;
    for (int code = 1; code < 256; ++code) {
        const QString known = virtualKeyName(quint8(code));
        if (!known.isEmpty() && name.compare(known, Qt::CaseInsensitive) == 0)
            return quint8(code);
    }
    return 0;
}

// Removes the modifier prefixes from the front of `text`; the bits they name go to `modifiers`.
QStringView takeModifiers(QStringView text, HotKeyValue &modifiers, bool &unheld)
{
    bool found = true;
    while (found) {
        found = false;
        for (const NamedModifier &modifier : Modifiers) {
            if (text.startsWith(modifier.prefix, Qt::CaseInsensitive)) {
                modifiers |= modifier.bit;
                text = text.mid(modifier.prefix.size());
                found = true;
            }
        }
        for (QStringView prefix : UnheldModifierPrefixes) {
            if (text.startsWith(prefix, Qt::CaseInsensitive)) {
                unheld = true;
                text = text.mid(prefix.size());
                found = true;
            }
        }
    }
    return text;
}

} // namespace

QString virtualKeyName(quint8 code)
{
    if (code >= VirtualKey::LetterA && code <= VirtualKey::LetterA + 25)
        return QString(QChar(u'A' + (code - VirtualKey::LetterA)));
    if (code >= VirtualKey::Digit0 && code <= VirtualKey::Digit0 + 9)
        return QString(QChar(u'0' + (code - VirtualKey::Digit0)));
    if (code >= VirtualKey::Numpad0 && code <= VirtualKey::Numpad0 + 9)
        return u"Num " + QString(QChar(u'0' + (code - VirtualKey::Numpad0)));
    if (code >= VirtualKey::F1 && code <= VirtualKey::F1 + 23)
        return u'F' + QString::number(code - VirtualKey::F1 + 1);
    for (const NamedKey &key : NamedKeys) {
        if (key.code == code)
            return key.name.toString();
    }
    return {};
}

HotKeyValue TextToHotKey(QStringView text)
{
    HotKeyValue modifiers = 0;
    bool unheld = false;
    const QStringView keyName = takeModifiers(text.trimmed(), modifiers, unheld);
    if (unheld)
        return 0;
    const quint8 key = virtualKeyOfName(keyName);
    return key == 0 ? HotKeyValue(0) : HotKeyValue(modifiers | key);
}

QString HotKeyToText(HotKeyValue value)
{
    const QString key = virtualKeyName(hotKeyVirtualKey(value));
    if (key.isEmpty())
        return {};
    QString text;
    for (const NamedModifier &modifier : Modifiers) {
        if (value & modifier.bit)
            text += modifier.prefix;
    }
    return text + key;
}

bool namesUnheldModifier(QStringView text)
{
    HotKeyValue modifiers = 0;
    bool unheld = false;
    takeModifiers(text.trimmed(), modifiers, unheld);
    return unheld;
}

QString startupHotKeyText(const QString &stored)
{
    return namesUnheldModifier(stored) ? DefaultHotKeyText : stored;
}

} // namespace vellumite
