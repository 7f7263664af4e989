// The import and export dialog on a real X server with a window manager: the buttons of its title bar,
// and the close requests a user makes while a run is under way.

#include "exchange/dialog/exchangeprogram.h"
#include "exchange/dialog/tfrimportexport.h"
#include "main/core/browserdetection.h"
#include "main/dialogs/tfabout.h"
#include "platform/fakes/fakeproductversion.h"
#include "platform/fakes/fakeprogramlauncher.h"
#include "platform/fakes/fakeshell.h"
#include "platform/widgets/xcbapplication.h"
#include "tests/common/testfiles.h"
#include "tests/common/windowmanager.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <thread>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

class FakeProgram final : public ExchangeProgram
{
public:
    FakeProgram()
    {
        root = tree.topLevel().appendChild(
            std::make_unique<BookmarkNode>(makeCategoryRecord(RootCategoryName)));
    }
    BookmarkNode *rootCategory() override { return root; }
    qint32 browserCode() const override { return 2; }
    void setExchangeRunning(bool) override { }
    void emptyRootCategory() override { root->removeChildren(0, root->childCount()); }
    void applyMerge(MergePlan plan) override { vellumite::applyMerge(std::move(plan)); }
    void importStoreFinished() override { }
    void showMessage(const QString &text) override { messages << text; }
    void showError(const QString &text) override { messages << text; }

    BookmarkTree tree;
    BookmarkNode *root = nullptr;
    QStringList messages;
};

// A store whose step lasts until the test lets it end.
class HeldStore final : public ExchangeStore
{
public:
    explicit HeldStore(const std::atomic<bool> &released)
        : m_released(released)
    { }
    StoreFormat format() const override { return StoreFormat::OperaHotlist; }
    NameMatch nameMatch() const override { return NameMatch::Exact; }
    StepResult read(BookmarkNode &, qint32) override
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!m_released && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return StepResult::done();
    }
    StepResult write(const BookmarkNode &, ExportMode) override { return StepResult::done(); }

private:
    const std::atomic<bool> &m_released;
};

// Counts the close requests and Escape presses that reach the program while a run is under way.
class RequestCounter final : public QObject
{
public:
    explicit RequestCounter(const TfrImportExport &dialog)
        : m_dialog(dialog)
    { }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_dialog.isRunning()) {
            if (event->type() == QEvent::Close && watched == &m_dialog)
                ++closes;
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                ++escapes;
        }
        return false;
    }
    int closes = 0;
    int escapes = 0;

private:
    const TfrImportExport &m_dialog;
};

// What the window manager lets the user do with a window (_NET_WM_ALLOWED_ACTIONS), as atom names.
QStringList allowedActions(const QWidget &window)
{
    const XcbDisplay display = applicationXcbDisplay();
    const QByteArray atoms
        = xcbProperty(display.connection, xcb_window_t(window.winId()),
                      xcbAtom(display.connection, "_NET_WM_ALLOWED_ACTIONS"), XCB_ATOM_ATOM, 64);
    QStringList names;
    for (qsizetype at = 0; at + 4 <= atoms.size(); at += 4) {
        xcb_atom_t atom;
        std::memcpy(&atom, atoms.constData() + at, sizeof atom);
        XcbReply<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(
            display.connection, xcb_get_atom_name(display.connection, atom), nullptr));
        if (name)
            names << QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                         xcb_get_atom_name_name_length(name.get()));
    }
    return names;
}

} // namespace

class TestX11ImportExport : public WindowManagedTest
{
    Q_OBJECT

public:
    TestX11ImportExport()
        : WindowManagedTest({ u"xdotool"_s })
    { }

private slots:
    // The dialog's title bar holds the close button alone, as the about box's does: a modal dialog
    // minimised would take the main window off the screen with it.
    void dialogsOfferOnlyTheCloseButton_data()
    {
        QTest::addColumn<bool>("exchange");
        QTest::newRow("import and export dialog") << true;
        QTest::newRow("about box") << false;
    }
    void dialogsOfferOnlyTheCloseButton()
    {
        QFETCH(bool, exchange);
        BrowserPaths paths;
        FakeProductVersionReader versions;
        FakeProgram program;
        FakeShell shell;
        FakeProgramLauncher launcher;
        std::unique_ptr<QDialog> dialog;
        if (exchange)
            dialog = std::make_unique<TfrImportExport>(paths, versions, program, StoreFactory());
        else
            dialog = std::make_unique<TfAbout>(shell, launcher, QString(), u"1.0"_s);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTRY_VERIFY(allowedActions(*dialog).contains(u"_NET_WM_ACTION_CLOSE"_s));
        const QStringList actions = allowedActions(*dialog);
        QVERIFY2(!actions.contains(u"_NET_WM_ACTION_MINIMIZE"_s), qPrintable(actions.join(u' ')));
        QVERIFY2(!actions.contains(u"_NET_WM_ACTION_MAXIMIZE_HORZ"_s), qPrintable(actions.join(u' ')));
        QVERIFY2(!actions.contains(u"_NET_WM_ACTION_RESIZE"_s), qPrintable(actions.join(u' ')));
        // The keys still reach it, and Escape closes it.
        xdotool({ u"key"_s, u"Escape"_s });
        QTRY_VERIFY(!dialog->isVisible());
    }

    // Escape and the window manager's close (Alt+F4) during a run are refused then, not kept for
    // later: the dialog stays open after the run. Afterwards Escape closes it as always.
    void closeRequestsDuringARunAreDropped()
    {
        QTemporaryDir dir;
        BrowserPaths paths;
        paths.OperaFavPath = dir.filePath(u"opera6.adr"_s);
        QVERIFY(testfiles::writeFile(paths.OperaFavPath, "Opera Hotlist version 2.0\n"));
        FakeProductVersionReader versions;
        FakeProgram program;
        std::atomic<bool> released = false;
        TfrImportExport dialog(paths, versions, program,
                               [&released](StoreFormat) { return std::make_unique<HeldStore>(released); });
        RequestCounter counter(dialog);
        qApp->installEventFilter(&counter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        // The user ticks the one row with Space and clicks the button.
        xdotool({ u"key"_s, u"space"_s });
        QTRY_COMPARE(dialog.VTSync1->topLevelItem(0)->checkState(0), Qt::Checked);
        bool sent = false;
        QTimer during;
        during.setInterval(20);
        connect(&during, &QTimer::timeout, &dialog, [&] {
            if (sent || !dialog.isRunning())
                return;
            sent = true;
            xdotool({ u"key"_s, u"Escape"_s });
            xdotool({ u"key"_s, u"alt+F4"_s });
            QTimer::singleShot(600, &dialog, [&released] { released = true; });
        });
        during.start();
        const QPoint button = dialog.btImportExport->mapToGlobal(dialog.btImportExport->rect().center());
        xdotool(
            { u"mousemove"_s, QString::number(button.x()), QString::number(button.y()), u"click"_s, u"1"_s });
        QTRY_VERIFY_WITH_TIMEOUT(sent && released && !dialog.isRunning(), 20000);
        during.stop();
        QTest::qWait(400);
        QVERIFY(dialog.isVisible());
        QVERIFY(counter.escapes >= 1);
        QVERIFY(counter.closes >= 1);
        QVERIFY(program.messages.isEmpty());

        xdotool({ u"key"_s, u"Escape"_s });
        QTRY_VERIFY(!dialog.isVisible());
        qApp->removeEventFilter(&counter);
    }
};

QTEST_MAIN(TestX11ImportExport)
#include "tst_x11importexport.moc"
