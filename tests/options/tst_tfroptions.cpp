#include "base/inifile.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/options/hotkeyfield.h"
#include "main/options/tfroptions.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/testfiles.h"
#include "tests/common/visibletoplevel.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr HotKeyValue CtrlAlt = HotKeyModifier::Ctrl | HotKeyModifier::Alt;
constexpr HotKeyValue CtrlAltS = CtrlAlt | 'S';

QStringList listTexts(const QComboBox &box)
{
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
}

TfrAddBookmark *visibleAddDialog()
{
    return visibleTopLevel<TfrAddBookmark>();
}

} // namespace

class TestTfrOptions : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeServices m_fakes;
    std::unique_ptr<TForm1> m_form;

    QString settingsFile() const { return m_dir.filePath(u"Settings.ini"_s); }
    void writeSettings(const QByteArray &text)
    {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QString storedHotKey() const
    {
        IniFile ini(settingsFile());
        ini.load();
        return ini.readString(u"Program"_s, u"HotKey1"_s, u"(none)"_s);
    }
    // A stub executable for a browser, so that the list offers it.
    QString stub(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(settingsFile());
        m_fakes = makeFakeServices();
        m_form = std::make_unique<TForm1>();
        m_form->FormCreate(m_fakes.services, m_dir.path());
    }
    void cleanup() { m_form.reset(); }

    void hotKeyFromTheSettings_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("value");
        QTest::newRow("no file") << QByteArray() << true << u"Ctrl+Alt+S"_s << int(CtrlAltS);
        QTest::newRow("stored key") << "[Program]\r\nHotKey1=Shift+Ctrl+F5\r\n"_ba << true
                                    << u"Shift+Ctrl+F5"_s
                                    << int(HotKeyModifier::Shift | HotKeyModifier::Ctrl | 0x74);
        QTest::newRow("names no key")
            << "[Program]\r\nHotKey1=Ctrl+Banana\r\n"_ba << true << u"Ctrl+Banana"_s << 0;
        QTest::newRow("Windows key: the default")
            << "[Program]\r\nHotKey1=Win+B\r\n"_ba << true << u"Ctrl+Alt+S"_s << int(CtrlAltS);
        QTest::newRow("folder not writable")
            << "[Program]\r\nHotKey1=Ctrl+Alt+D\r\n"_ba << false << u"Ctrl+Alt+S"_s << int(CtrlAltS);
    }
    void hotKeyFromTheSettings()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, writable);
        QFETCH(QString, hint);
        QFETCH(int, value);
        if (!settings.isEmpty())
            writeSettings(settings);
        m_fakes.folderProbe->setWritable(writable);
        TfrOptions options(*m_form, m_fakes.services);
        QCOMPARE(options.HotKey1->Hint, hint);
        QCOMPARE(int(options.HotKey1->HotKey()), value);
        QCOMPARE(options.HotKey1->Tag != 0, value != 0);
        QCOMPARE(m_fakes.hotKeys->grabbed(),
                 value ? QList<HotKeyValue> { HotKeyValue(value) } : QList<HotKeyValue> {});
        // Closing writes the text, changed or not, but never into a folder that cannot be written.
        options.ButtonCloseClick();
        QCOMPARE(storedHotKey(), writable ? hint : (settings.isEmpty() ? u"(none)"_s : u"Ctrl+Alt+D"_s));
    }

    void modifierRuleOfTheField_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("no modifier") << int(Qt::Key_D) << int(Qt::NoModifier) << u"Ctrl+Alt+D"_s;
        QTest::newRow("Shift alone") << int(Qt::Key_D) << int(Qt::ShiftModifier) << u"Ctrl+Alt+D"_s;
        QTest::newRow("Ctrl") << int(Qt::Key_D) << int(Qt::ControlModifier) << u"Ctrl+D"_s;
        QTest::newRow("Shift and Alt")
            << int(Qt::Key_F5) << int(Qt::ShiftModifier | Qt::AltModifier) << u"Shift+Alt+F5"_s;
        QTest::newRow("numeric pad") << int(Qt::Key_7) << int(Qt::AltModifier | Qt::KeypadModifier)
                                     << u"Alt+Num 7"_s;
        QTest::newRow("Backspace clears") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << QString();
    }
    void modifierRuleOfTheField()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        TfrOptions options(*m_form, m_fakes.services);
        QTest::keyClick(options.HotKey1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(HotKeyToText(options.HotKey1->HotKey()), text);
        QCOMPARE(options.HotKey1->Hint, text);
    }

    void refusedKeyIsTriedAgainAfterAChange()
    {
        m_fakes.hotKeys->refuse(CtrlAltS);
        TfrOptions options(*m_form, m_fakes.services);
        QCOMPARE(options.HotKey1->Tag, quint16(0));
        QTest::keyClick(options.HotKey1, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        options.HotKey1Exit();
        QVERIFY(options.HotKey1->Tag != 0);
        QCOMPARE(m_fakes.hotKeys->grabbed(), QList<HotKeyValue> { HotKeyValue(CtrlAlt | 'D') });
    }

    void closingWithTheFieldFocusedRegistersAndSaves()
    {
        TfrOptions options(*m_form, m_fakes.services);
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        options.HotKey1->setFocus();
        QTest::keyClick(options.HotKey1, Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(options.HotKey1, &escape);
        QVERIFY(!options.isVisible());
        QCOMPARE(m_fakes.hotKeys->grabbed(), QList<HotKeyValue> { HotKeyValue(CtrlAlt | 'B') });
        QCOMPARE(storedHotKey(), u"Ctrl+Alt+B"_s);
    }

    // A full disk says which file it could not write, and leaves that file as it was.
    void fullDiskWhenTheHotKeyIsSavedNamesTheFile()
    {
        const QByteArray former = "[Program]\nHotKey1=Ctrl+Alt+S\n" + QByteArray(2000, ';') + '\n';
        writeSettings(former);
        TfrOptions options(*m_form, m_fakes.services);
        QTest::keyClick(options.HotKey1, Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
        {
            const testfiles::FileSizeLimit limit(1000);
            QVERIFY(limit.isSet());
            options.ButtonCloseClick();
        }
        QCOMPARE(m_fakes.messages->messages().size(), 1);
        QVERIFY(m_fakes.messages->messages().first().text.startsWith(
            u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(settingsFile()))));
        QCOMPARE(testfiles::readFile(settingsFile()), former);
    }

    void browserListFromStubExecutables()
    {
        BrowserPaths &paths = m_form->browserPaths();
        paths.PathToFirefox = stub(u"firefox"_s);
        paths.PathToOpera = stub(u"opera"_s);
        paths.PathToMozilla = stub(u"seamonkey"_s);
        paths.PathToSafari = m_dir.filePath(u"missing"_s);
        paths.DefaultBrowser.Tag = BrowserSeaMonkey;
        {
            TfrOptions options(*m_form, m_fakes.services);
            QCOMPARE(listTexts(*options.cbBrowser),
                     (QStringList { u"Mozilla Firefox"_s, u"Opera"_s, u"SeaMonkey"_s }));
            QCOMPARE(options.cbBrowser->currentText(), u"SeaMonkey"_s);
        }
        // An open-with browser that is not listed selects nothing.
        paths.DefaultBrowser.Tag = BrowserIExplorer;
        TfrOptions options(*m_form, m_fakes.services);
        QCOMPARE(options.cbBrowser->currentIndex(), -1);
    }

    void browserChangeRestampsCollapsedBookmarks()
    {
        BrowserPaths &paths = m_form->browserPaths();
        paths.PathToFirefox = stub(u"firefox/firefox"_s.replace(u'/', u'-'));
        paths.PathToOpera = stub(u"opera"_s);
        BookmarkNode *root = m_form->tree().topLevel().firstChild();
        QVERIFY(root);
        TBookmark folder = makeRootRecord();
        folder.CategoryName = u"folder"_s;
        folder.Editable = true;
        BookmarkNode *category = root->appendChild(std::make_unique<BookmarkNode>(folder));
        TBookmark link;
        link.Description = u"inside"_s;
        link.ImageIndex = BrowserFirefox;
        category->appendChild(std::make_unique<BookmarkNode>(link));
        m_form->model()->reloadSorted();
        TfrOptions options(*m_form, m_fakes.services);
        const int opera = options.cbBrowser->findText(u"Opera"_s);
        options.cbBrowser->setCurrentIndex(opera);
        options.cbBrowserChange(opera);
        QCOMPARE(paths.OpenWithBrowser, paths.PathToOpera);
        QCOMPARE(paths.DefaultBrowser.Tag, qint32(BrowserOpera));
        QCOMPARE(category->firstChild()->record.ImageIndex, qint32(BrowserOpera));
        QCOMPARE(category->record.ImageIndex, qint32(FolderImageIndex));
    }

    void storePickers()
    {
        m_form->browserPaths().PathToFirefox = u"/opt/firefox/firefox"_s;
        TfrOptions options(*m_form, m_fakes.services);
        m_fakes.pickers->setNextAnswer(u"/home/u/Favorites"_s);
        options.IEbutFavClick();
        QCOMPARE(m_fakes.pickers->requests().last().titleOrFilter,
                 u"Please select a directory of IExplorer Favorites"_s);
        QCOMPARE(m_fakes.pickers->requests().last().owner, &options);
        QCOMPARE(m_form->browserPaths().ExplorerFavoritesPath, u"/home/u/Favorites"_s);
        QCOMPARE(options.edIEFav->text(), u"/home/u/Favorites"_s);

        // The filter follows the store the detection decided on, not the executable's version alone.
        m_form->browserPaths().firefoxStore = FirefoxStore::PlacesDatabase;
        m_fakes.productVersions->setVersion(u"/opt/firefox/firefox"_s, QString());
        m_fakes.pickers->setNextAnswer(u"/p/places.sqlite"_s);
        options.FirefbutBookClick();
        QCOMPARE(m_fakes.pickers->requests().last().titleOrFilter, u"Firefox 3 bookmars files (*.sqlite)"_s);
        QCOMPARE(m_form->browserPaths().PathFavFirefox, u"/p/places.sqlite"_s);
        m_form->browserPaths().firefoxStore = FirefoxStore::BookmarkFile;
        m_fakes.productVersions->setVersion(u"/opt/firefox/firefox"_s, u"153.8.0"_s);
        m_fakes.pickers->setNextAnswer(std::nullopt);
        options.FirefbutBookClick();
        QCOMPARE(m_fakes.pickers->requests().last().titleOrFilter, u"Firefox Bookmars files (*.html)"_s);
        QCOMPARE(m_fakes.pickers->requests().last().initialPath, u"/p/places.sqlite"_s);
        QCOMPARE(m_form->browserPaths().PathFavFirefox, u"/p/places.sqlite"_s); // cancel keeps it

        m_fakes.pickers->setNextAnswer(u"/o/opera6.adr"_s);
        options.OperabtBookClick();
        QCOMPARE(m_fakes.pickers->requests().last().titleOrFilter, u"Opera Bookmars files (*.adr)"_s);
        QCOMPARE(m_form->browserPaths().OperaFavPath, u"/o/opera6.adr"_s);
        QCOMPARE(options.edOperaBookm->text(), u"/o/opera6.adr"_s);
    }

    void captureReadsTheForegroundBeforeTheDialogShows()
    {
        TfrOptions options(*m_form, m_fakes.services);
        m_fakes.foregroundWindow->setWindow(ForegroundWindowInfo {
            u"firefox-esr"_s, u"Navigator"_s, u"Example page \u2014 Mozilla Firefox"_s, 7, {} });
        m_fakes.pageQuery->setReply(WindowInfoReply { u"http://127.0.0.1:8000/"_s, u"Example page"_s });
        bool dialogShownWhenAsked = true;
        m_fakes.foregroundWindow->onAsked = [&] { dialogShownWhenAsked = visibleAddDialog() != nullptr; };

        m_fakes.hotKeys->press(CtrlAltS);
        QVERIFY(!dialogShownWhenAsked);
        TfrAddBookmark *dialog = visibleAddDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->DescrEdit->text(), u"Example page"_s);
        QCOMPARE(dialog->LinkEdit->text(), u"http://127.0.0.1:8000/"_s);

        // A second press in another program resets the fields first.
        m_fakes.foregroundWindow->setWindow(
            ForegroundWindowInfo { u"XTerm"_s, u"xterm"_s, u"shell"_s, 8, {} });
        m_fakes.hotKeys->press(CtrlAltS);
        QCOMPARE(dialog->DescrEdit->text(), QString());
        QCOMPARE(dialog->LinkEdit->text(), QString());
        dialog->hide();
    }

    // While a modal window is open it takes every key: the capture waits until the last one has closed,
    // with the page in front at the moment of the key, and the window in the way comes to the front.
    void captureWaitsForModalWindows()
    {
        TfrOptions options(*m_form, m_fakes.services);
        m_form->show();
        QDialog outer(m_form.get());
        outer.setWindowModality(Qt::ApplicationModal);
        outer.show();
        QDialog inner(&outer);
        inner.setWindowModality(Qt::ApplicationModal);
        inner.show();
        QCOMPARE(QApplication::activeModalWidget(), &inner);
        m_fakes.foregroundWindow->setWindow(ForegroundWindowInfo {
            u"firefox-esr"_s, u"Navigator"_s, u"Example page \u2014 Mozilla Firefox"_s, 7, {} });
        m_fakes.pageQuery->setReply(WindowInfoReply { u"http://127.0.0.1:8000/"_s, u"Example page"_s });

        m_fakes.hotKeys->press(CtrlAltS);
        m_fakes.foregroundWindow->setWindow(
            ForegroundWindowInfo { u"XTerm"_s, u"xterm"_s, u"shell"_s, 8, {} });
        QTRY_COMPARE(QApplication::activeWindow(), &inner);
        inner.hide();
        QTest::qWait(50);
        QVERIFY(!visibleAddDialog());
        outer.hide();
        QTRY_VERIFY(visibleAddDialog());
        TfrAddBookmark *dialog = visibleAddDialog();
        QCOMPARE(dialog->DescrEdit->text(), u"Example page"_s);
        QCOMPARE(dialog->LinkEdit->text(), u"http://127.0.0.1:8000/"_s);
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        QCOMPARE(m_fakes.foregroundWindow->asked(), 1);
        dialog->hide();

        // The exit save began while the key waited: the dialog stays away.
        outer.show();
        m_fakes.hotKeys->press(CtrlAltS);
        m_form->setTreeBusy(true);
        outer.hide();
        QTest::qWait(50);
        QVERIFY(!visibleAddDialog());
        m_form->setTreeBusy(false);
    }

    void pressesThatChangeNothing()
    {
        TfrOptions options(*m_form, m_fakes.services);
        // Another registered key of the system (another index) is not the capture key.
        const quint16 other = m_fakes.hotKeys->AddHotKey(CtrlAlt | 'Q');
        QVERIFY(other != 0);
        m_fakes.hotKeys->press(CtrlAlt | 'Q');
        QVERIFY(!visibleAddDialog());
        // While the exit save owns the tree a press changes nothing.
        m_form->setTreeBusy(true);
        m_fakes.hotKeys->press(CtrlAltS);
        QVERIFY(!visibleAddDialog());
        m_form->setTreeBusy(false);
        // A press that arrives once the main window has closed (it waited for the exit save).
        m_form->show();
        QVERIFY(m_form->close());
        m_fakes.hotKeys->press(CtrlAltS);
        QVERIFY(!visibleAddDialog());
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_fakes.foregroundWindow->asked(), 0);
    }
};

QTEST_MAIN(TestTfrOptions)
#include "tst_tfroptions.moc"
