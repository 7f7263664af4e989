#include "main/dialogs/tfraddbookmark.h"
#include "main/options/hotkeyfield.h"
#include "main/options/tfroptions.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "platform/linux/mozillapagequery.h"
#include "platform/widgets/x11foregroundwindow.h"
#include "platform/widgets/x11globalhotkeys.h"
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

    xcb_keycode_t keycodeOf(char letter) const
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
            if (keysyms[i] == xcb_keysym_t(letter))
                found = xcb_keycode_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
        }
        std::free(mapping);
        return found;
    }

    // True when the server let this client grab Ctrl+Alt+letter (no lock) on the root window.
    bool grab(char letter)
    {
        const xcb_void_cookie_t cookie
            = xcb_grab_key_checked(m_connection, 0, m_root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1,
                                   keycodeOf(letter), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t *error = xcb_request_check(m_connection, cookie);
        const bool granted = !error;
        std::free(error);
        return granted;
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

} // namespace

class TestX11HotKeys : public QObject
{
    Q_OBJECT

    TestWindowManager m_windowManager;

private slots:
    void initTestCase()
    {
        if (const QString missing = m_windowManager.start({ u"xdotool"_s }); !missing.isEmpty())
            QSKIP(qPrintable(missing));
    }
    void cleanupTestCase() { m_windowManager.stop(); }

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

    void captureOpensTheAddDialogWithTheForegroundTitle()
    {
        QTemporaryDir folder;
        FakeServices fakes = makeFakeServices();
        fakes.services.hotKeys = std::make_unique<X11GlobalHotKeys>();
        fakes.services.foregroundWindow = std::make_unique<X11ForegroundWindow>();
        fakes.services.pageQuery = std::make_unique<MozillaPageQuery>();
        TForm1 form;
        form.FormCreate(fakes.services, folder.path());
        TfrOptions options(form, fakes.services);
        QVERIFY(options.HotKey1->Tag != 0);

        OtherClient browser;
        browser.showWindow("Navigator\0firefox-esr\0"_ba, "Example page \xe2\x80\x94 Mozilla Firefox"_ba);
        QTRY_COMPARE(fakes.services.foregroundWindow->current().value_or(ForegroundWindowInfo {}).title,
                     u"Example page \u2014 Mozilla Firefox"_s);
        QCOMPARE(fakes.services.foregroundWindow->current()->className, u"firefox-esr"_s);

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
        QTemporaryDir folder;
        FakeServices fakes = makeFakeServices();
        fakes.services.hotKeys = std::make_unique<X11GlobalHotKeys>();
        fakes.services.foregroundWindow = std::make_unique<X11ForegroundWindow>();
        TForm1 form;
        form.FormCreate(fakes.services, folder.path());
        TfrOptions options(form, fakes.services);
        QVERIFY(options.HotKey1->Tag != 0);
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
        // Activated as a click on it would: the window manager keeps a new window behind an open
        // dialog. Asked again until it is managed and in front.
        const auto browserInFront = [&] {
            xdotool({ u"windowactivate"_s, QString::number(shown) });
            QTest::qWait(50);
            return fakes.services.foregroundWindow->current().value_or(ForegroundWindowInfo {}).title
                == u"Typing target \u2014 Mozilla Firefox"_s;
        };
        QVERIFY(QTest::qWaitFor(browserInFront, 5000));

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
