#include "platform/fakes/fakeglobalhotkeys.h"
#include "platform/hotkeytext.h"

#include <QSignalSpy>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {
constexpr HotKeyValue CtrlAlt = HotKeyModifier::Ctrl | HotKeyModifier::Alt;
constexpr HotKeyValue CtrlAltS = CtrlAlt | 'S';
} // namespace

// The text form of a hot key and its 16-bit value, and the registration indices.
class TestHotKeys : public QObject
{
    Q_OBJECT

private slots:
    void textAndValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("default") << u"Ctrl+Alt+S"_s << int(CtrlAltS);
        QTest::newRow("all three") << u"Shift+Ctrl+Alt+F12"_s << int(HotKeyModifier::All | 0x7B);
        QTest::newRow("no modifier") << u"Home"_s << int(VirtualKey::Home);
        QTest::newRow("digit") << u"Alt+7"_s << int(HotKeyModifier::Alt | '7');
        QTest::newRow("numeric pad") << u"Ctrl+Num 3"_s << int(HotKeyModifier::Ctrl | 0x63);
        QTest::newRow("numeric plus") << u"Ctrl+Num +"_s << int(HotKeyModifier::Ctrl | VirtualKey::NumpadAdd);
        QTest::newRow("punctuation") << u"Ctrl+Alt+]"_s << int(CtrlAlt | VirtualKey::BracketRight);
        QTest::newRow("F24") << u"Shift+F24"_s << int(HotKeyModifier::Shift | 0x87);
    }
    void textAndValue()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int(TextToHotKey(text)), value);
        QCOMPARE(HotKeyToText(HotKeyValue(value)), text);
    }

    void textsReadLeniently_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("any case") << u"ctrl+ALT+s"_s << int(CtrlAltS);
        QTest::newRow("any order") << u"Alt+Ctrl+S"_s << int(CtrlAltS);
        QTest::newRow("blanks around") << u"  Ctrl+Alt+S "_s << int(CtrlAltS);
        QTest::newRow("no key") << u"Ctrl+Alt+"_s << 0;
        QTest::newRow("unknown key") << u"Ctrl+Alt+Banana"_s << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("plus only") << u"+"_s << 0;
        QTest::newRow("modifier as key") << u"Ctrl"_s << 0;
        QTest::newRow("Windows key") << u"Win+Ctrl+S"_s << 0;
        QTest::newRow("Super key") << u"Super+S"_s << 0;
        QTest::newRow("control characters") << u"\u0001\u0000+\uFFFF"_s << 0;
        QTest::newRow("two keys") << u"Ctrl+S+D"_s << 0;
    }
    void textsReadLeniently()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int(TextToHotKey(text)), value);
    }

    void everyValueHasAStableText()
    {
        // Any 16-bit value gives a text that reads back as the same value, or no text at all.
        for (int value = 0; value <= 0xFFFF; ++value) {
            const QString text = HotKeyToText(HotKeyValue(value));
            if (!text.isEmpty())
                QCOMPARE(int(TextToHotKey(text)), value & (HotKeyModifier::All | 0xFF));
        }
    }

    void unheldModifierGivesTheDefaultAtStart()
    {
        QCOMPARE(startupHotKeyText(u"Win+S"_s), DefaultHotKeyText);
        QCOMPARE(startupHotKeyText(u"Ctrl+Super+S"_s), DefaultHotKeyText);
        // A text that names no key is kept: it gives the value 0 and the field shows no key.
        QCOMPARE(startupHotKeyText(u"Banana"_s), u"Banana"_s);
        QCOMPARE(startupHotKeyText(u"Shift+F2"_s), u"Shift+F2"_s);
    }

    void registrationIndices()
    {
        FakeGlobalHotKeys keys;
        QSignalSpy pressed(&keys, &GlobalHotKeys::HotKeyPressed);
        const quint16 first = keys.AddHotKey(CtrlAltS);
        QVERIFY(first != 0);
        QCOMPARE(keys.grabbed(), QList<HotKeyValue> { CtrlAltS });
        // The same key twice, no key at all, and a key another program holds are refused.
        QCOMPARE(keys.AddHotKey(CtrlAltS), quint16(0));
        QCOMPARE(keys.AddHotKey(0), quint16(0));
        keys.refuse(CtrlAlt | 'B');
        QCOMPARE(keys.AddHotKey(CtrlAlt | 'B'), quint16(0));

        keys.press(CtrlAlt | 'X');
        QCOMPARE(pressed.size(), 0);
        keys.press(CtrlAltS);
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0).at(1).value<quint16>(), first);

        // A change releases the old key and gives a new index.
        const quint16 second = keys.ChangeHotKey(first, CtrlAlt | 'D');
        QVERIFY(second != 0 && second != first);
        QCOMPARE(keys.grabbed(), QList<HotKeyValue> { HotKeyValue(CtrlAlt | 'D') });
        QVERIFY(!keys.isRegistered(first));
        // A change of an index that is not registered registers nothing.
        QCOMPARE(keys.ChangeHotKey(first, CtrlAlt | 'E'), quint16(0));
        QCOMPARE(keys.ChangeHotKey(0, CtrlAlt | 'E'), quint16(0));
        QCOMPARE(keys.grabbed().size(), 1);
        // A change to a refused key loses the old registration too.
        QCOMPARE(keys.ChangeHotKey(second, CtrlAlt | 'B'), quint16(0));
        QVERIFY(keys.grabbed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHotKeys)
#include "tst_hotkeys.moc"
