#include "base/inifile.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

const QString Firefox = u"/opt/firefox/firefox"_s;
const QString Opera = u"/opt/opera/opera"_s;

std::unique_ptr<BookmarkNode> node(const QString &name, const QString &link, bool category)
{
    TBookmark record = category ? makeRootRecord() : TBookmark();
    record.setName(name);
    record.Link = link;
    return std::make_unique<BookmarkNode>(record);
}

enum Gesture { DoubleClick, Enter, Command };

} // namespace

// The main window on a machine with Firefox (the default browser) and Opera installed.
class TestOpenWith : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeServices m_fakes;
    std::unique_ptr<TForm1> m_form;
    FakeProgramLauncher *m_launcher = nullptr;

    QModelIndex indexOf(const QString &name) const
    {
        const QModelIndexList found = m_form->model()->match(m_form->model()->index(0, 0), Qt::DisplayRole,
                                                             name, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    void startForm()
    {
        m_form = std::make_unique<TForm1>();
        m_form->FormCreate(m_fakes.services, m_dir.path());
    }
    // The form with a small tree, on screen.
    void showTree()
    {
        startForm();
        BookmarkModel *model = m_form->model();
        BookmarkNode *root = m_form->tree().firstNode();
        model->insertNode(root, node(u"News"_s, {}, true));
        model->insertNode(root, node(u"Search"_s, u"http://example.org/find?q=a b"_s, false));
        model->insertNode(root, node(u"Odd"_s, u"-new-instance"_s, false));
        m_form->VT()->expandAll();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QString settingsValue() const
    {
        IniFile ini(m_dir.filePath(SettingsFileName));
        return ini.load()
            ? ini.readString(SettingsKey::BrowserSection, SettingsKey::OpenWithBrowser, u"(none)"_s)
            : u"(unreadable)"_s;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(SettingsFileName));
        QFile::remove(m_dir.filePath(BookmarkFileName));
        m_fakes = makeFakeServices();
        FakeSystemLookup &lookup = *m_fakes.systemLookup;
        lookup.setRegistryString(RegistryRoot::LocalMachine, RegistryKeys::AppPaths + u"Firefox.exe",
                                 u"Path"_s, u"/opt/firefox"_s);
        lookup.setRegistryString(RegistryRoot::LocalMachine, RegistryKeys::Uninstall + u"Opera",
                                 u"DisplayName"_s, u"Opera"_s);
        lookup.setRegistryString(RegistryRoot::LocalMachine, RegistryKeys::Uninstall + u"Opera",
                                 u"InstallLocation"_s, u"/opt/opera/"_s);
        lookup.addFile(Firefox);
        lookup.addFile(Opera);
        lookup.setDefaultBrowser(Firefox);
        m_launcher = m_fakes.launcher;
    }
    void cleanup() { m_form.reset(); }

    // The open-with browser comes from the settings while it exists, else it is the default browser;
    // it is written back at exit and names the icon of every bookmark.
    void openWithBrowserAcrossRuns_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("code");
        QTest::newRow("no settings file") << QByteArray() << Firefox << int(BrowserFirefox);
        QTest::newRow("chosen before")
            << QByteArray("[Browser]\nOpenWithBrowser=/opt/opera/opera\n") << Opera << int(BrowserOpera);
        QTest::newRow("chosen browser removed since")
            << QByteArray("[Browser]\nOpenWithBrowser=/opt/gone/gone\n") << Firefox << int(BrowserFirefox);
    }

    void openWithBrowserAcrossRuns()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, expected);
        QFETCH(int, code);
        if (!settings.isEmpty()) {
            QFile file(m_dir.filePath(SettingsFileName));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        startForm();
        QCOMPARE(m_form->browserPaths().OpenWithBrowser, expected);
        QCOMPARE(m_form->browserPaths().DefaultBrowser.Tag, code);

        m_form->model()->insertNode(m_form->tree().firstNode(),
                                    node(u"Example"_s, u"http://example.org/"_s, false));
        QVERIFY(m_form->closeprogram());
        QCOMPARE(settingsValue(), expected);
        m_form.reset();

        startForm();
        const BookmarkNode *saved = m_form->tree().firstNode()->child(0);
        QCOMPARE(saved->record.ImageIndex, code);
    }

    void openWithItems()
    {
        startForm();
        QCOMPARE(m_form->browserPaths().OpenWithBrowser, Firefox);
        QCOMPARE(m_form->browserPaths().DefaultBrowser.Tag, int(BrowserFirefox));
        QStringList all;
        QStringList shown;
        const QList<QAction *> items = m_form->Openwith1->actions();
        for (const QAction *item : items) {
            all << item->objectName();
            if (item->isVisible())
                shown << item->text();
            QVERIFY2(!item->icon().isNull(), qPrintable(item->objectName()));
        }
        QCOMPARE(
            all,
            (QStringList { u"OpenWithIE"_s, u"OpenWithFirefox"_s, u"OpenWithOpera"_s, u"OpenWithSafari"_s,
                           u"OpenWithKMEleon"_s, u"OpenWithMozilla"_s, u"OpenWithNetscape"_s,
                           u"OpenWithAvant"_s, u"OpenWithMaxthon"_s, u"OpenWithTheWorld"_s }));
        QCOMPARE(shown, (QStringList { u"Firefox"_s, u"Opera"_s }));
        QCOMPARE(m_form->Openwith1->title(), u"Open with"_s);
        QVERIFY(!m_form->Openwith1->icon().isNull());
    }

    void openFocusedBookmark_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QStringList>("arguments"); // empty: nothing started
        QTest::addColumn<QString>("status");

        const QString link = u"http://example.org/find?q=a b"_s;
        const QString searchStatus = u"Search :::: "_s + link;
        QTest::newRow("double click")
            << u"Search"_s << true << DoubleClick << QStringList { link } << searchStatus;
        QTest::newRow("Enter") << u"Search"_s << true << Enter << QStringList { link } << searchStatus;
        QTest::newRow("focused but not selected")
            << u"Search"_s << false << Command << QStringList() << QString();
        QTest::newRow("category") << u"News"_s << true << Command << QStringList() << QString();
        QTest::newRow("link that reads as an option")
            << u"Odd"_s << true << Command << QStringList() << u"Odd :::: -new-instance"_s;
    }

    void openFocusedBookmark()
    {
        QFETCH(QString, focused);
        QFETCH(bool, selected);
        QFETCH(Gesture, gesture);
        QFETCH(QStringList, arguments);
        QFETCH(QString, status);

        showTree();
        QTreeView *vt = m_form->VT();
        const QModelIndex index = indexOf(focused);
        QVERIFY(index.isValid());
        vt->selectionModel()->setCurrentIndex(index,
                                              selected ? QItemSelectionModel::ClearAndSelect
                                                      | QItemSelectionModel::Rows
                                                       : QItemSelectionModel::Clear);
        vt->setFocus();
        const QPoint centre = vt->visualRect(index).center();
        switch (gesture) {
        case DoubleClick:
            QTest::mouseClick(vt->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(vt->viewport(), Qt::LeftButton, {}, centre);
            break;
        case Enter:
            QTest::keyClick(vt, Qt::Key_Return);
            break;
        case Command:
            m_form->VTDblClick();
            break;
        }

        if (arguments.isEmpty())
            QVERIFY(m_launcher->starts.isEmpty());
        else
            QCOMPARE(m_launcher->starts, (QList<FakeProgramLauncher::Start> { { Firefox, arguments } }));
        QCOMPARE(m_form->StatusBar1()->panelText(0), status);
    }

    void openWithChosenBrowser()
    {
        showTree();
        // The chosen browser opens the focused node, selected or not.
        m_form->VT()->selectionModel()->setCurrentIndex(indexOf(u"Search"_s), QItemSelectionModel::Clear);
        m_form->Openwith1->findChild<QAction *>(u"OpenWithOpera"_s)->trigger();
        QCOMPARE(m_launcher->starts,
                 (QList<FakeProgramLauncher::Start> { { Opera, { u"http://example.org/find?q=a b"_s } } }));
        QCOMPARE(m_form->StatusBar1()->panelText(0), u"Search :::: http://example.org/find?q=a b"_s);
    }
};

QTEST_MAIN(TestOpenWith)
#include "tst_openwith.moc"
