#include "platform/widgets/xkbkeystrokes.h"

#include <QTest>
#include <memory>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr quint16 Shift = 1u << 0;
constexpr quint16 Lock = 1u << 1;
constexpr quint16 NumLock = 1u << 4; // Mod2
constexpr quint16 AltGr = 1u << 7; // Mod5

struct KeymapFree
{
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};
struct ContextFree
{
    void operator()(xkb_context *context) const { xkb_context_unref(context); }
};

// The keymap an X server builds for these layouts on a PC keyboard; null without the layout data.
std::unique_ptr<xkb_keymap, KeymapFree> keymapOf(const char *layouts)
{
    const std::unique_ptr<xkb_context, ContextFree> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    const xkb_rule_names names { "evdev", "pc105", layouts, "", "" };
    return std::unique_ptr<xkb_keymap, KeymapFree>(
        context ? xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr);
}

using Strokes = QList<KeyStroke>;

} // namespace

namespace vellumite {
// Failures name the key and its modifiers.
char *toString(const KeyStroke &stroke)
{
    return qstrdup(QByteArray("key " + QByteArray::number(stroke.keycode) + " modifiers 0x"
                              + QByteArray::number(stroke.modifiers, 16))
                       .constData());
}
} // namespace vellumite

Q_DECLARE_METATYPE(Strokes)

// Which keys, and which of their levels, type a keysym in one layout of a keyboard.
class TestXkbKeyStrokes : public QObject
{
    Q_OBJECT

private slots:
    void strokesInTheLayoutInUse_data()
    {
        QTest::addColumn<QByteArray>("layouts");
        QTest::addColumn<uint>("layout");
        QTest::addColumn<uint>("keysym");
        QTest::addColumn<Strokes>("strokes");
        // X keycodes of a PC keyboard: 29 the key right of T, 52 the one right of left Shift.
        QTest::newRow("z under us") << "us"_ba << 0u << uint('z') << Strokes { { 52, 0 } };
        QTest::newRow("z under de") << "de"_ba << 0u << uint('z') << Strokes { { 29, 0 } };
        QTest::newRow("z, us,de in the us group") << "us,de"_ba << 0u << uint('z') << Strokes { { 52, 0 } };
        QTest::newRow("z, us,de in the de group") << "us,de"_ba << 1u << uint('z') << Strokes { { 29, 0 } };
        QTest::newRow("y, us,de in the de group") << "us,de"_ba << 1u << uint('y') << Strokes { { 52, 0 } };
        QTest::newRow("a group the keyboard lacks wraps")
            << "us"_ba << 1u << uint('z') << Strokes { { 52, 0 } };
        QTest::newRow("slash under de is Shift+7") << "de"_ba << 0u << uint('/') << Strokes { { 16, Shift } };
        QTest::newRow("slash under us, main and no keypad")
            << "us"_ba << 0u << uint('/') << Strokes { { 61, 0 } };
        QTest::newRow("at sign under de is AltGr+Q")
            << "de"_ba << 0u << uint('@') << Strokes { { 24, AltGr } };
        QTest::newRow("keypad digit without Num Lock held")
            << "us"_ba << 0u << uint(XKB_KEY_KP_0) << Strokes { { 90, 0 } };
        QTest::newRow("F5 on every layout") << "us,de"_ba << 1u << uint(XKB_KEY_F5) << Strokes { { 71, 0 } };
        QTest::newRow("a letter the group in use lacks, from the group that has it")
            << "us,de"_ba << 0u << uint(XKB_KEY_ssharp) << Strokes { { 20, 0 } };
        QTest::newRow("a Latin letter in the Cyrillic group")
            << "us,ru"_ba << 1u << uint('z') << Strokes { { 52, 0 } };
        QTest::newRow("a Latin letter in a Cyrillic first group")
            << "ru,us"_ba << 0u << uint('s') << Strokes { { 39, 0 } };
        QTest::newRow("a letter no layout has")
            << "us,de"_ba << 1u << uint(XKB_KEY_Greek_alpha) << Strokes {};
        QTest::newRow("no keysym") << "us"_ba << 0u << uint(XKB_KEY_NoSymbol) << Strokes {};
    }
    void strokesInTheLayoutInUse()
    {
        QFETCH(QByteArray, layouts);
        QFETCH(uint, layout);
        QFETCH(uint, keysym);
        QFETCH(Strokes, strokes);
        const auto keymap = keymapOf(layouts.constData());
        if (!keymap)
            QSKIP("the keyboard layout data (xkb-data) is needed");
        QCOMPARE(keyStrokesFor(keymap.get(), layout, keysym, Lock | NumLock), strokes);
    }

    void noKeymapGivesNoStrokes() { QVERIFY(keyStrokesFor(nullptr, 0, 'a', 0).isEmpty()); }
};

QTEST_APPLESS_MAIN(TestXkbKeyStrokes)
#include "tst_xkbkeystrokes.moc"
