#include "main/dialogs/tfraddbookmark.h"
#include "main/options/hotkeyfield.h"
#include "main/options/tfroptions.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "platform/linux/mozillapagequery.h"
#include "platform/widgets/x11foregroundwindow.h"
#include "platform/widgets/x11globalhotkeys.h"
#include "platform/widgets/xcbxkb.h"
#include "tests/common/visibletoplevel.h"
#include "tests/common/windowmanager.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr HotKeyValue CtrlAlt = HotKeyModifier::Ctrl | HotKeyModifier::Alt;
constexpr HotKeyValue CtrlAltS = CtrlAlt | 'S';

// Another client of the X server: it holds keys and shows a window of its own.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }

    xcb_keycode_t keycodeOf(char letter) const { return keycodeOfKeysym(xcb_keysym_t(letter)); }
    xcb_keycode_t keycodeOfKeysym(xcb_keysym_t keysym) const
    {
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        auto *mapping = xcb_get_keyboard_mapping_reply(
            m_connection,
            xcb_get_keyboard_mapping(m_connection, setup->min_keycode,
                                     setup->max_keycode - setup->min_keycode + 1),
            nullptr);
        const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
        xcb_keycode_t found = 0;
        for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(mapping) && !found; ++i) {
            if (keysyms[i] == keysym)
                found = xcb_keycode_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
        }
        std::free(mapping);
        return found;
    }

    // Ctrl+Alt (and Shift) held and the key at `keycode` pressed, whatever it types, through XTest.
    // Not through xdotool: it switches the layout group for the keys it sends.
    void pressWithCtrlAlt(xcb_keycode_t keycode, bool shift = false)
    {
        QList<xcb_keycode_t> keys { keycodeOfKeysym(0xffe3), keycodeOfKeysym(0xffe9) }; // Control_L, Alt_L
        if (shift)
            keys.append(keycodeOfKeysym(0xffe1)); // Shift_L
        keys.append(keycode);
        for (xcb_keycode_t key : std::as_const(keys))
            xcb_test_fake_input(m_connection, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        for (qsizetype i = keys.size() - 1; i >= 0; --i)
            xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, keys.at(i), XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                                0);
        xcb_flush(m_connection);
    }

    // True when the server let this client grab Ctrl+Alt+letter (no lock) on the root window.
    bool grab(char letter) { return grabKeycode(keycodeOf(letter)); }
    bool grabKeycode(xcb_keycode_t keycode)
    {
        const xcb_void_cookie_t cookie
            = xcb_grab_key_checked(m_connection, 0, m_root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, keycode,
                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t *error = xcb_request_check(m_connection, cookie);
        const bool granted = !error;
        std::free(error);
        return granted;
    }
    // True when Ctrl+Alt on that key is free: taken for a moment and given back.
    bool isFree(xcb_keycode_t keycode)
    {
        if (!grabKeycode(keycode))
            return false;
        xcb_ungrab_key(m_connection, keycode, m_root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        return true;
    }

    // Locks the keyboard's layout group, as a group switch key does.
    void lockGroup(quint8 group)
    {
        xcb_xkb_use_extension_reply_t *used
            = xcb_xkb_use_extension_reply(m_connection, xcb_xkb_use_extension(m_connection, 1, 0), nullptr);
        std::free(used);
        xcb_xkb_latch_lock_state(m_connection, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
        xcb_flush(m_connection);
    }

    xcb_window_t showWindow(const QByteArray &wmClass, const QByteArray &title)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 50, 50, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                            8, quint32(wmClass.size()), wmClass.constData());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"),
                            atom("UTF8_STRING"), 8, quint32(title.size()), title.constData());
        xcb_map_window(m_connection, window);
        xcb_flush(m_connection);
        return window;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, quint16(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply->atom;
        std::free(reply);
        return value;
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
};

void pressWithXTest(const QString &keys)
{
    xdotool({ u"key"_s, u"--clearmodifiers"_s, keys });
}

TfrAddBookmark *visibleAddDialog()
{
    return visibleTopLevel<TfrAddBookmark>();
}

// The main window and Options of a program folder, with the real hot keys and the real window in
// front; the other services are fakes.
struct CaptureFixture
{
    QTemporaryDir folder;
    FakeServices fakes = makeFakeServices();
    TForm1 form;
    std::unique_ptr<TfrOptions> options;

    CaptureFixture()
    {
        fakes.services.hotKeys = std::make_unique<X11GlobalHotKeys>();
        fakes.services.foregroundWindow = std::make_unique<X11ForegroundWindow>();
        form.FormCreate(fakes.services, folder.path());
        options = std::make_unique<TfrOptions>(form, fakes.services);
    }
    ForegroundWindow &foreground() { return *fakes.services.foregroundWindow; }
};

// Activates `window` as a click on it would, until the window in front is the one of `title`: the
// window manager keeps a new window behind an open dialog, and asks are repeated until it is managed.
bool activateUntilInFront(xcb_window_t window, ForegroundWindow &foreground, const QString &title)
{
    return QTest::qWaitFor(
        [&] {
            xdotool({ u"windowactivate"_s, QString::number(window) });
            QTest::qWait(50);
            return foreground.current().value_or(ForegroundWindowInfo {}).title == title;
        },
        5000);
}

// X keycodes of a PC keyboard: the key right of T (Y on a US keyboard, Z on a German one) and the
// key right of the left Shift (Z on a US keyboard, Y on a German one).
constexpr xcb_keycode_t KeyRightOfT = 29;
constexpr xcb_keycode_t KeyRightOfShift = 52;

void setLayouts(const QString &layouts)
{
    QCOMPARE(QProcess::execute(u"setxkbmap"_s, { u"-layout"_s, layouts }), 0);
}

} // namespace

class TestX11HotKeys : public WindowManagedTest
{
    Q_OBJECT

public:
    TestX11HotKeys()
        : WindowManagedTest({ u"xdotool"_s })
    { }

private slots:
    void realGrabAndASecondClientRefused()
    {
        X11GlobalHotKeys keys;
        const quint16 index = keys.AddHotKey(CtrlAltS);
        QVERIFY(index != 0);
        OtherClient other;
        QVERIFY(!other.grab('s'));
        // Released, the key is free for the other client again.
        QVERIFY(keys.RemoveHotKey(index));
        QVERIFY(other.grab('s'));
        // Now the other client holds it: ours is refused, cleanly.
        QCOMPARE(keys.AddHotKey(CtrlAltS), quint16(0));
    }

    void pressReachesTheProgramInEveryLockState()
    {
        X11GlobalHotKeys keys;
        const quint16 index = keys.AddHotKey(CtrlAlt | 'K');
        QVERIFY(index != 0);
        QSignalSpy pressed(&keys, &GlobalHotKeys::HotKeyPressed);
        pressWithXTest(u"ctrl+alt+k"_s);
        QTRY_COMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0).at(1).value<quint16>(), index);
        // With Caps Lock on the key still counts.
        pressWithXTest(u"Caps_Lock"_s);
        pressWithXTest(u"ctrl+alt+k"_s);
        QTRY_COMPARE(pressed.size(), 2);
        pressWithXTest(u"Caps_Lock"_s);
    }

    // The hot key names a letter: the keys grabbed are those that type it in the layout in use, and
    // they follow a change of layout and a switch of the layout group.
    void keysFollowTheLayout()
    {
        setLayouts(u"us"_s);
        X11GlobalHotKeys keys;
        QVERIFY(keys.AddHotKey(CtrlAlt | 'Z') != 0);
        QSignalSpy pressed(&keys, &GlobalHotKeys::HotKeyPressed);
        OtherClient other;
        QVERIFY(!other.isFree(KeyRightOfShift));
        QVERIFY(other.isFree(KeyRightOfT));
        other.pressWithCtrlAlt(KeyRightOfShift);
        QTRY_COMPARE(pressed.size(), 1);

        setLayouts(u"de"_s);
        QTRY_VERIFY(other.isFree(KeyRightOfShift));
        QVERIFY(!other.isFree(KeyRightOfT));
        other.pressWithCtrlAlt(KeyRightOfShift);
        other.pressWithCtrlAlt(KeyRightOfT);
        QTRY_COMPARE(pressed.size(), 2);
        QTest::qWait(100);
        QCOMPARE(pressed.size(), 2);

        // Two layouts: only the group in use counts, so the other group's Z leaves Y to everyone else.
        setLayouts(u"us,de"_s);
        QTRY_VERIFY(!other.isFree(KeyRightOfShift));
        QVERIFY(other.isFree(KeyRightOfT));
        other.lockGroup(1);
        QTRY_VERIFY(other.isFree(KeyRightOfShift));
        QVERIFY(!other.isFree(KeyRightOfT));
        other.pressWithCtrlAlt(KeyRightOfT);
        QTRY_COMPARE(pressed.size(), 3);
        other.lockGroup(0);
        QTRY_VERIFY(!other.isFree(KeyRightOfShift));
        setLayouts(u"us"_s);
    }

    // A character on a shifted level is grabbed with the Shift it needs: "/" is Shift+7 on a German
    // keyboard. Released, every combination is free again.
    void shiftedCharacterAndRelease()
    {
        setLayouts(u"de"_s);
        X11GlobalHotKeys keys;
        const quint16 index = keys.AddHotKey(CtrlAlt | VirtualKey::Slash);
        QVERIFY(index != 0);
        QSignalSpy pressed(&keys, &GlobalHotKeys::HotKeyPressed);
        OtherClient other;
        other.pressWithCtrlAlt(16, true);
        QTRY_COMPARE(pressed.size(), 1);
        QVERIFY(keys.RemoveHotKey(index));
        QVERIFY(other.isFree(16));
        setLayouts(u"us"_s);
    }

    // With a modal window open (Options, as its toolbar button runs it), the key brings that window
    // to the front and the add dialog waits for it to close: nothing typed meanwhile lands in a window
    // that takes no input. Once Options is closed, the dialog comes with the keyboard.
    void captureWaitsForTheModalOptionsWindow()
    {
        CaptureFixture f;
        TForm1 &form = f.form;
        TfrOptions &options = *f.options;
        form.setOptionsWindow(&options);
        QVERIFY(options.HotKey1->Tag != 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // As exec() shows it, without a loop of its own that would hold the test.
        options.setWindowModality(Qt::ApplicationModal);
        options.show();
        QVERIFY(QTest::qWaitForWindowActive(&options));

        OtherClient browser;
        const xcb_window_t shown = browser.showWindow("Navigator\0firefox-esr\0"_ba,
                                                      "Waiting page \xe2\x80\x94 Mozilla Firefox"_ba);
        QVERIFY(activateUntilInFront(shown, f.foreground(), u"Waiting page \u2014 Mozilla Firefox"_s));

        pressWithXTest(u"ctrl+alt+s"_s);
        QTRY_VERIFY(options.isActiveWindow());
        QTest::qWait(300);
        QVERIFY(!visibleAddDialog());
        xdotool({ u"key"_s, u"Escape"_s });
        QTRY_VERIFY(!options.isVisible());
        QTRY_VERIFY(visibleAddDialog());
        TfrAddBookmark *dialog = visibleAddDialog();
        QCOMPARE(dialog->DescrEdit->text(), u"Waiting page"_s);
        QTRY_VERIFY(dialog->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), dialog->DescrEdit);
        dialog->DescrEdit->selectAll();
        xdotool({ u"type"_s, u"--delay"_s, u"20"_s, u"typed"_s });
        QTRY_COMPARE(dialog->DescrEdit->text(), u"typed"_s);
        dialog->hide();
    }

    void captureOpensTheAddDialogWithTheForegroundTitle()
    {
        CaptureFixture f;
        f.fakes.services.pageQuery = std::make_unique<MozillaPageQuery>();
        QVERIFY(f.options->HotKey1->Tag != 0);

        OtherClient browser;
        browser.showWindow("Navigator\0firefox-esr\0"_ba, "Example page \xe2\x80\x94 Mozilla Firefox"_ba);
        QTRY_COMPARE(f.foreground().current().value_or(ForegroundWindowInfo {}).title,
                     u"Example page \u2014 Mozilla Firefox"_s);
        QCOMPARE(f.foreground().current()->className, u"firefox-esr"_s);

        pressWithXTest(u"ctrl+alt+s"_s);
        QTRY_VERIFY(visibleAddDialog());
        TfrAddBookmark *dialog = visibleAddDialog();
        QCOMPARE(dialog->DescrEdit->text(), u"Example page"_s);
        QCOMPARE(dialog->LinkEdit->text(), QString());
        dialog->hide();
    }

    // A minimised main window is restored by the window manager after the key, and it takes the focus
    // as it comes back: typing must reach the dialog's first field all the same.
    void captureDialogTakesTheKeyboard_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("dialogLeftOpen");
        QTest::newRow("main window minimised") << true << false;
        QTest::newRow("main window behind the browser") << false << false;
        QTest::newRow("dialog left open, focus in its comment") << false << true;
    }
    void captureDialogTakesTheKeyboard()
    {
        QFETCH(bool, minimised);
        QFETCH(bool, dialogLeftOpen);
        CaptureFixture f;
        TForm1 &form = f.form;
        QVERIFY(f.options->HotKey1->Tag != 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (minimised) {
            form.showMinimized();
            QTRY_VERIFY(!form.isActiveWindow());
        }
        if (dialogLeftOpen) {
            TfrAddBookmark *open = form.AddBookmarkCategory(AddKind::Bookmark);
            QVERIFY(QTest::qWaitForWindowActive(open));
            open->CommentText->setFocus();
        }
        OtherClient browser;
        const xcb_window_t shown = browser.showWindow("Navigator\0firefox-esr\0"_ba,
                                                      "Typing target \xe2\x80\x94 Mozilla Firefox"_ba);
        QVERIFY(activateUntilInFront(shown, f.foreground(), u"Typing target \u2014 Mozilla Firefox"_s));

        pressWithXTest(u"ctrl+alt+s"_s);
        QTRY_VERIFY(visibleAddDialog());
        TfrAddBookmark *dialog = visibleAddDialog();
        // A dialog left open is visible before the key: the new title tells the capture has run.
        QTRY_COMPARE(dialog->DescrEdit->text(), u"Typing target"_s);
        QTRY_VERIFY(dialog->isActiveWindow());
        // Long enough for the window manager to have finished restoring the main window.
        QTest::qWait(700);
        QVERIFY(dialog->isActiveWindow());
        QVERIFY(!form.isMinimized());
        QCOMPARE(QApplication::focusWidget(), dialog->DescrEdit);
        dialog->DescrEdit->selectAll();
        xdotool({ u"type"_s, u"--delay"_s, u"20"_s, u"typed"_s });
        QTRY_COMPARE(dialog->DescrEdit->text(), u"typed"_s);
        dialog->hide();
    }
};

QTEST_MAIN(TestX11HotKeys)
#include "tst_x11hotkeys.moc"
