#include "base/inifile.h"
#include "main/core/bookmarkfile.h"
#include "main/core/bookmarkrecord.h"
#include "main/options/hotkeyfield.h"
#include "main/options/tfroptions.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <sys/stat.h>

using namespace vellumite;
using Kind = FakeMessageService::Kind;

class TestStartupShutdown : public QObject
{
    Q_OBJECT

private:
    // A root with one category (expanded, selected) holding one bookmark.
    static QByteArray smallTreeFile()
    {
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        TBookmark category = makeCategoryRecord(QStringLiteral("News"));
        BookmarkNode *news = root->appendChild(std::make_unique<BookmarkNode>(category));
        news->setState(NodeState::Expanded | NodeState::Selected, true);
        root->setState(NodeState::Expanded, true);
        TBookmark link
            = makeBookmarkRecord(QStringLiteral("Example"), QStringLiteral("http://example.org/"), 4);
        link.PriorityColor = PriorityHigh;
        news->appendChild(std::make_unique<BookmarkNode>(link));
        return BookmarkFile::save(tree);
    }

    QTemporaryDir m_dir;

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void freshStartSavesTheRootAtOnceAndWritesEveryKeyAtExit()
    {
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        QCOMPARE(testfiles::readFile(m_dir.filePath(BookmarkFileName)).size(), 133);
        QCOMPARE(form.tree().totalCount(), 1);
        QCOMPARE(form.StatusBar1()->panelText(2), QStringLiteral("Categories: 0"));
        QCOMPARE(form.StatusBar1()->panelText(3), QStringLiteral("Links: 0"));
        QCOMPARE(form.VT()->header()->sectionSize(0), 270);
        QCOMPARE(form.size(), QSize(650, 580));
        QVERIFY(fakes.messages->messages().isEmpty());

        QVERIFY(form.closeprogram());
        IniFile ini(m_dir.filePath(SettingsFileName));
        QVERIFY(ini.load());
        for (const QString &key : { u"Show"_qs, u"Left"_qs, u"Top"_qs, u"Width"_qs, u"Height"_qs,
                                    u"ClDescr"_qs, u"ClLink"_qs, u"ClState"_qs })
            QVERIFY2(ini.contains(SettingsKey::ProgramSection, key), qPrintable(key));
        QVERIFY(ini.contains(SettingsKey::BrowserSection, SettingsKey::OpenWithBrowser));
        QVERIFY(!ini.contains(SettingsKey::ProgramSection, SettingsKey::HotKey));
    }

    void loadedTreeComesBackExpandedSelectedAndStamped()
    {
        QVERIFY(testfiles::writeFile(m_dir.filePath(BookmarkFileName), smallTreeFile()));
        QVERIFY(testfiles::writeFile(m_dir.filePath(SettingsFileName),
                                     "[Program]\r\nHotKey1=Ctrl+Alt+B\r\nWidth=0x2BC\r\nExtra=1\r\n"));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        QCOMPARE(form.width(), 700);
        BookmarkNode *news = form.tree().firstNode()->child(0);
        const QModelIndex newsIndex = form.model()->indexFromNode(news);
        QVERIFY(form.VT()->isExpanded(newsIndex));
        QVERIFY(form.VT()->selectionModel()->isRowSelected(newsIndex.row(), newsIndex.parent()));
        // Every bookmark shows the open-with browser's icon, whatever the file held.
        QCOMPARE(news->child(0)->record.ImageIndex, 0);
        QCOMPARE(form.StatusBar1()->panelText(2), QStringLiteral("Categories: 1"));
        QCOMPARE(form.StatusBar1()->panelText(3), QStringLiteral("Links: 1"));

        QVERIFY(form.closeprogram());
        BookmarkTree reloaded;
        QCOMPARE(BookmarkFile::loadFromFile(reloaded, m_dir.filePath(BookmarkFileName)), QString());
        BookmarkNode *savedNews = reloaded.firstNode()->child(0);
        QVERIFY(savedNews->hasState(NodeState::Expanded));
        QVERIFY(savedNews->hasState(NodeState::Selected));
        IniFile ini(m_dir.filePath(SettingsFileName));
        QVERIFY(ini.load());
        QCOMPARE(ini.readString(SettingsKey::ProgramSection, SettingsKey::HotKey, {}),
                 QStringLiteral("Ctrl+Alt+B"));
        QCOMPARE(ini.readString(SettingsKey::ProgramSection, u"Extra"_qs, {}), QStringLiteral("1"));
        QCOMPARE(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Width, 0), 700);
    }

    void renameTypedInAnOpenEditorIsInTheExitSave()
    {
        QVERIFY(testfiles::writeFile(m_dir.filePath(BookmarkFileName), smallTreeFile()));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        BookmarkNode *news = form.tree().firstNode()->child(0);
        form.VT()->setCurrentIndex(form.model()->indexFromNode(news));
        form.VT()->setFocus();
        QTest::keyClick(form.VT(), Qt::Key_F2);
        auto *editor = form.VT()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, u"Renamed"_qs);

        QVERIFY(form.closeprogram());
        BookmarkTree reloaded;
        QCOMPARE(BookmarkFile::loadFromFile(reloaded, m_dir.filePath(BookmarkFileName)), QString());
        QCOMPARE(reloaded.firstNode()->child(0)->record.name(), u"Renamed"_qs);
    }

    // The user hears at the start that nothing can be saved, and the title says so while it holds; the
    // exit tells again and saves nothing.
    void readOnlyFolderReadsNothingAndSavesNothing()
    {
        const QByteArray original = smallTreeFile();
        QVERIFY(testfiles::writeFile(m_dir.filePath(BookmarkFileName), original));
        QVERIFY(testfiles::writeFile(m_dir.filePath(SettingsFileName),
                                     "[Program]\r\nLeft=5\r\nTop=5\r\nClDescr=400\r\n"));
        FakeServices fakes = makeFakeServices();
        fakes.folderProbe->setWritable(false);
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        // The saved tree still shows; the settings stay the designed ones.
        QCOMPARE(form.tree().totalCount(), 3);
        QCOMPARE(form.geometry(), QRect(213, 108, 650, 592));
        QCOMPARE(form.VT()->header()->sectionSize(0), 270);
        const FakeMessageService::Message told { Kind::Information, ApplicationTitle,
                                                 FolderNotWritableMessage };
        QCOMPARE(fakes.messages->messages(), QList { told });
        QCOMPARE(form.windowTitle(), ApplicationTitle + TForm1::ReadOnlyTitleMark);

        QVERIFY(form.closeprogram());
        QCOMPARE(fakes.messages->messages(), QList({ told, told }));
        QCOMPARE(testfiles::readFile(m_dir.filePath(BookmarkFileName)), original);
    }

    // A folder that cannot be written any more, found at a close: the window stays open with the
    // bookmarks, marked; a second close ends the program without a save.
    void folderBecomingReadOnlyKeepsTheWindowOpen()
    {
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), ApplicationTitle);
        fakes.folderProbe->setWritable(false);
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(fakes.messages->messages().first().text, FolderNotWritableMessage);
        QCOMPARE(form.windowTitle(), ApplicationTitle + TForm1::ReadOnlyTitleMark);
        QVERIFY(form.close());
    }

    void freshStartInReadOnlyFolderKeepsTheRootInMemory()
    {
        FakeServices fakes = makeFakeServices();
        fakes.folderProbe->setWritable(false);
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        QCOMPARE(form.tree().totalCount(), 1);
        QVERIFY(!QFile::exists(m_dir.filePath(BookmarkFileName)));
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(fakes.messages->messages().first().text, FolderNotWritableMessage);
    }

    // A termination request while a close's message is up (the close found the folder read-only) is
    // not kept waiting by it: it ends the program.
    void terminationWhileACloseTellsSomethingEndsTheProgram()
    {
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        fakes.folderProbe->setWritable(false);
        bool requested = false;
        bool endedMeanwhile = false;
        fakes.messages->setWhileShown([&](const FakeMessageService::Message &) {
            if (std::exchange(requested, true))
                return;
            endedMeanwhile = form.closeprogram(ProgramLifecycle::ExitKind::Termination);
        });
        QVERIFY(!form.closeprogram());
        QVERIFY(endedMeanwhile);
        QVERIFY(form.isTerminated());
    }

    void failedLoadIsShownWithItsCopyAndTheExitSavesAtOnce_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("message");
        QByteArray truncated = smallTreeFile();
        truncated.truncate(truncated.size() - 30);
        QTest::newRow("truncated") << truncated << StreamReadErrorMessage;
        // Still parses: six node chunks stand after the four children its category announces.
        QTest::newRow("lowered inner child count")
            << testfiles::readFile(QStringLiteral(VELLUMITE_TEST_DATA "/lowered-inner-child-count.lkb"))
            << ChildCountMismatchMessage;
        QTest::newRow("empty") << QByteArray() << NotEnoughDataMessage;
    }
    void failedLoadIsShownWithItsCopyAndTheExitSavesAtOnce()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(QString, message);
        QVERIFY(testfiles::writeFile(m_dir.filePath(BookmarkFileName), damaged));
        FakeServices fakes = makeFakeServices();
        const QString keptAs = m_dir.filePath(BookmarkFileName + u".bad"_qs);
        // The copy is there before the user hears of it.
        bool copiedBefore = false;
        fakes.messages->setWhileShown([&](const FakeMessageService::Message &) {
            copiedBefore = QFile::exists(keptAs) && testfiles::readFile(keptAs) == damaged;
        });
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        QVERIFY(copiedBefore);
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(fakes.messages->messages().first().kind, Kind::Error);
        QCOMPARE(
            fakes.messages->messages().first().text,
            message
                + u"\r\n\r\nThe tree shows what could be read of the file. The whole file is kept as \"%1\"."_qs
                      .arg(QDir::toNativeSeparators(keptAs)));
        QVERIFY(!form.tree().isEmpty());
        QCOMPARE(form.tree().firstNode()->record, makeRootRecord());
        // Nothing is written at start: the damaged file stays as it was, beside its copy.
        QCOMPARE(testfiles::readFile(m_dir.filePath(BookmarkFileName)), damaged);

        fakes.messages->setWhileShown({});
        fakes.messages->clear();
        QVERIFY(form.closeprogram());
        QVERIFY(fakes.messages->messages().isEmpty());
        QCOMPARE(testfiles::readFile(keptAs), damaged);
        BookmarkTree saved;
        QCOMPARE(BookmarkFile::loadFromFile(saved, m_dir.filePath(BookmarkFileName)), QString());
        QCOMPARE(saved.totalCount(), form.tree().totalCount());
    }

    // What the exit has to tell comes after the saves: while its box is up, the tree is on the disk.
    void exitMessagesComeAfterTheSaves()
    {
        const QString bookmarks = m_dir.filePath(BookmarkFileName);
        QCOMPARE(::mkfifo(QFile::encodeName(bookmarks).constData(), 0600), 0);
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        fakes.messages->clear();
        bool savedBefore = false;
        fakes.messages->setWhileShown([&](const FakeMessageService::Message &) {
            BookmarkTree saved;
            savedBefore = BookmarkFile::loadFromFile(saved, bookmarks).isEmpty() && saved.totalCount() == 1;
        });
        QVERIFY(form.closeprogram());
        QCOMPARE(fakes.messages->messages().size(), 1);
        QVERIFY(fakes.messages->messages().first().text.contains(u".bad"_qs));
        QVERIFY(savedBefore);
    }

    void failedExitSaveIsShownAndTheWindowStaysOpen()
    {
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        // A folder in the file's place makes the save fail.
        QVERIFY(QFile::remove(m_dir.filePath(BookmarkFileName)));
        QVERIFY(QDir(m_dir.path()).mkdir(BookmarkFileName));
        form.show();
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(fakes.messages->messages().first().kind, Kind::Error);
        QVERIFY(fakes.messages->messages().first().text.startsWith(u"Cannot create file"_qs));
    }

    // Numbers no window can have: the position is the default one, the size is cut to the screen, and
    // the window then fills the screen's available area; the exit writes back the bounds it had.
    void unreachablePlacementIsReplacedAndNotWrittenBack()
    {
        QVERIFY(testfiles::writeFile(m_dir.filePath(SettingsFileName),
                                     "[Program]\nLeft=99999999999\nTop=-99999999999\nWidth=2147483647\n"
                                     "Height=999999999\n"));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect bounds = form.geometry();
        QCOMPARE(bounds, QRect(available.topLeft(), available.size().expandedTo(MinimumWindowSize)));

        QVERIFY(form.closeprogram());
        IniFile ini(m_dir.filePath(SettingsFileName));
        QVERIFY(ini.load());
        const QRect written(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Left, -1),
                            ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Top, -1),
                            ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Width, -1),
                            ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Height, -1));
        QCOMPARE(written, bounds);
    }

    // A settings file over 1 MB: none of it applies, the user is told once, after the tree is loaded,
    // and neither the exit nor the options window writes into it.
    void oversizedSettingsFileIsToldOnceAndKept()
    {
        QByteArray oversized = "[Program]\nWidth=700\nClDescr=300\nHotKey1=Ctrl+Alt+M\n";
        oversized += QByteArray(IniFile::MaximumSize, ';');
        const QString settings = m_dir.filePath(SettingsFileName);
        QVERIFY(testfiles::writeFile(settings, oversized));
        QVERIFY(testfiles::writeFile(m_dir.filePath(BookmarkFileName), smallTreeFile()));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        QCOMPARE(form.geometry().width(), 650);
        QCOMPARE(form.VT()->header()->sectionSize(0), 270);
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(fakes.messages->messages().first().kind, Kind::Error);
        QVERIFY(fakes.messages->messages().first().text.contains(QDir::toNativeSeparators(settings)));
        QVERIFY(fakes.messages->messages().first().text.endsWith(u"It is larger than 1 MB."_qs));

        {
            TfrOptions options(form, fakes.services);
            QCOMPARE(options.HotKey1->Hint, u"Ctrl+Alt+S"_qs);
            options.ButtonCloseClick();
        }
        QVERIFY(form.closeprogram());
        QCOMPARE(fakes.messages->messages().size(), 1);
        QCOMPARE(testfiles::readFile(settings), oversized);
        BookmarkTree saved;
        QCOMPARE(BookmarkFile::loadFromFile(saved, m_dir.filePath(BookmarkFileName)), QString());
        QCOMPARE(saved.totalCount(), 3);
    }

    // The bounds read at the start are the ones written at the exit: the window does not creep by its
    // frame from one run to the next, and a minimized window keeps its normal bounds.
    void storedBoundsComeBackUnchanged_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::newRow("normal") << false;
        QTest::newRow("minimized") << true;
    }
    void storedBoundsComeBackUnchanged()
    {
        QFETCH(bool, minimized);
        const QByteArray stored = "[Program]\nShow=0\nLeft=100\nTop=120\nWidth=700\nHeight=600\n";
        QVERIFY(testfiles::writeFile(m_dir.filePath(SettingsFileName), stored));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, m_dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (minimized)
            form.showMinimized();
        QVERIFY(form.closeprogram());
        IniFile ini(m_dir.filePath(SettingsFileName));
        QVERIFY(ini.load());
        QCOMPARE(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Left, -1), 100);
        QCOMPARE(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Top, -1), 120);
        QCOMPARE(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Width, -1), 700);
        QCOMPARE(ini.readInteger(SettingsKey::ProgramSection, SettingsKey::Height, -1), 600);
    }
};

QTEST_MAIN(TestStartupShutdown)
#include "tst_startupshutdown.moc"
