#include "main/core/bookmarkfile.h"
#include "main/core/bookmarktree.h"
#include "main/core/programlifecycle.h"
#include "platform/fakes/fakefolderprobe.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using namespace vellumite;
using Kind = ProgramLifecycle::MessageKind;

class TestProgramLifecycle : public QObject
{
    Q_OBJECT

private:
    struct Shown
    {
        Kind kind;
        QString text;
    };

    // A root holding one bookmark with image 4.
    static QByteArray smallTreeFile()
    {
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        root->appendChild(std::make_unique<BookmarkNode>(
            makeBookmarkRecord(QStringLiteral("Example"), QStringLiteral("http://example.org/"), 4)));
        return BookmarkFile::save(tree);
    }

    ProgramLifecycle lifecycle()
    {
        return ProgramLifecycle(m_probe, m_dir.path(), [this](Kind kind, const QString &text) {
            m_shown.append({ kind, text });
        });
    }

    QString bookmarkFile() const { return m_dir.filePath(BookmarkFileName); }

    QTemporaryDir m_dir;
    FakeFolderProbe m_probe;
    QList<Shown> m_shown;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_probe.setWritable(true);
        m_shown.clear();
    }
    void cleanup()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void aFreshStartCreatesAndSavesTheRoot()
    {
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 2), ProgramLifecycle::StartupResult::Ready);
        QCOMPARE(tree.totalCount(), 1);
        QVERIFY(QFile::exists(bookmarkFile()));
        QVERIFY(m_shown.isEmpty());
    }

    void aFreshStartInAReadOnlyFolderSavesNothingAndSaysSo()
    {
        m_probe.setWritable(false);
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 2), ProgramLifecycle::StartupResult::Ready);
        QCOMPARE(tree.totalCount(), 1);
        QVERIFY(!QFile::exists(bookmarkFile()));
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Information);
        QCOMPARE(m_shown.first().text, FolderNotWritableMessage);
        // At exit the read-only folder again ends the program without writing anything.
        QCOMPARE(policy.prepareExit(ExitSettings()), ProgramLifecycle::ExitStep::Close);
        QCOMPARE(m_shown.size(), 2);
        QVERIFY(QDir(m_dir.path()).isEmpty());
    }

    void aLoadedTreeGetsTheBrowserIconOnEveryBookmark()
    {
        QVERIFY(testfiles::writeFile(bookmarkFile(), smallTreeFile()));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::Ready);
        QCOMPARE(tree.totalCount(), 2);
        QCOMPARE(tree.topLevel().child(0)->child(0)->record.ImageIndex, 7);
        QVERIFY(m_shown.isEmpty());
    }

    void aFileThatFailsToLoadIsKeptAsideBeforeTheSave()
    {
        const QByteArray broken = smallTreeFile().left(40);
        QVERIFY(testfiles::writeFile(bookmarkFile(), broken));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QVERIFY(!tree.isEmpty());
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Error);

        QCOMPARE(policy.prepareExit(ExitSettings()), ProgramLifecycle::ExitStep::SaveTree);
        QCOMPARE(testfiles::readFile(bookmarkFile() + QStringLiteral(".bad")), broken);
        QVERIFY(!QFile::exists(bookmarkFile()));
        // The settings are written before the tree.
        QVERIFY(QFile::exists(settingsFilePath(m_dir.path())));
        QCOMPARE(m_shown.size(), 2);
        QCOMPARE(m_shown.last().kind, Kind::Information);
        QVERIFY(m_shown.last().text.contains(QStringLiteral("Bookmarks.lkb.bad")));
    }

    // A file cut short within the root's record: the root read has no record; the tree shown and saved
    // gets a whole root "Bookmarks" again, with the bookmarks that were read below it.
    void aPartlyLoadedTreeIsMadeWhole()
    {
        const QByteArray whole = smallTreeFile();
        const QByteArray cut = whole.left(whole.size() - 26 - 5); // inside the root's record
        QVERIFY(testfiles::writeFile(bookmarkFile(), cut));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QCOMPARE(tree.topLevel().childCount(), 1);
        const BookmarkNode *root = tree.firstNode();
        QCOMPARE(root->record, makeRootRecord());
        QCOMPARE(root->childCount(), 1);
        QCOMPARE(root->child(0)->record.Description, QStringLiteral("Example"));
        tree.forEach([](const BookmarkNode &node) { QVERIFY(node.hasRecord); });
    }

    void aFailedSaveKeepsTheProgramRunning()
    {
        ProgramLifecycle policy = lifecycle();
        QVERIFY(policy.finishExit(QString()));
        QVERIFY(m_shown.isEmpty());
        QVERIFY(!policy.finishExit(QStringLiteral("disk full")));
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Error);
        QCOMPARE(m_shown.first().text, QStringLiteral("disk full"));
    }

    // A settings file that cannot be read is never written, and the user hears of it once in a run: at
    // the start when it was unreadable then, else at the first exit that meets it.
    void anUnreadableSettingsFileIsToldOnceAndKept_data()
    {
        QTest::addColumn<bool>("unreadableAtStart");
        QTest::newRow("unreadable at the start") << true;
        QTest::newRow("unreadable from the exit on") << false;
    }
    void anUnreadableSettingsFileIsToldOnceAndKept()
    {
        QFETCH(bool, unreadableAtStart);
        QByteArray oversized = "[Program]\nWidth=700\nHotKey1=Ctrl+Alt+M\n";
        oversized += QByteArray(IniFile::MaximumSize, ';');
        const QString settings = settingsFilePath(m_dir.path());
        if (unreadableAtStart)
            QVERIFY(testfiles::writeFile(settings, oversized));
        ProgramLifecycle policy = lifecycle();
        const ScreenLayout screen { { QRect(0, 0, 1024, 768) } };
        QCOMPARE(policy.readSettings(screen).placement.bounds.width(), 650);
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::Ready);
        QVERIFY(m_shown.isEmpty());
        policy.reportUnreadableSettings();
        QCOMPARE(m_shown.size(), unreadableAtStart ? 1 : 0);
        if (!unreadableAtStart)
            QVERIFY(testfiles::writeFile(settings, oversized));

        for (int exit = 0; exit < 2; ++exit) {
            QCOMPARE(policy.prepareExit(ExitSettings()), ProgramLifecycle::ExitStep::SaveTree);
            policy.reportUnreadableSettings();
        }
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Error);
        QCOMPARE(m_shown.first().text,
                 QStringLiteral("The settings file \"%1\" cannot be read, so its settings do not apply and "
                                "none are saved into it: It is larger than 1 MB.")
                     .arg(QDir::toNativeSeparators(settings)));
        QCOMPARE(testfiles::readFile(settings), oversized);
    }

    // Something other than a regular file where the settings file belongs: the start does not wait on
    // it, the user hears of it once, and neither the exit nor a second one replaces it.
    void aSettingsFileThatIsNoFileIsToldOnceAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString notRegular = QStringLiteral("It is not a regular file.");
        QTest::newRow("FIFO") << QStringLiteral("fifo") << notRegular;
        QTest::newRow("folder") << QStringLiteral("folder") << notRegular;
        QTest::newRow("link to a device") << QStringLiteral("/dev/zero") << notRegular;
        QTest::newRow("dangling link")
            << QStringLiteral("gone")
            << QStringLiteral("It is a symbolic link to a file that does not exist.");
    }
    void aSettingsFileThatIsNoFileIsToldOnceAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString settings = settingsFilePath(m_dir.path());
        const QByteArray encoded = QFile::encodeName(settings);
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(encoded.constData(), 0600), 0);
        else if (kind == u"folder")
            QVERIFY(QDir(m_dir.path()).mkdir(SettingsFileName));
        else
            QVERIFY(QFile::link(kind, settings));
        struct stat before;
        QCOMPARE(::lstat(encoded.constData(), &before), 0);

        auto policy = std::make_shared<ProgramLifecycle>(lifecycle());
        auto steps = std::make_shared<QList<ProgramLifecycle::ExitStep>>();
        const ScreenLayout screen { { QRect(0, 0, 1024, 768) } };
        QVERIFY(testfiles::finishesWithin(5000, [=] {
            policy->readSettings(screen);
            BookmarkTree tree;
            policy->loadOrCreateTree(tree, 7);
            policy->reportUnreadableSettings();
            for (int exit = 0; exit < 2; ++exit)
                steps->append(policy->prepareExit(ExitSettings()));
        }));
        QCOMPARE(*steps, QList<ProgramLifecycle::ExitStep>(2, ProgramLifecycle::ExitStep::SaveTree));
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().text,
                 QStringLiteral("The settings file \"%1\" cannot be read, so its settings do not apply and "
                                "none are saved into it: %2")
                     .arg(QDir::toNativeSeparators(settings), reason));
        struct stat after;
        QCOMPARE(::lstat(encoded.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QVERIFY(QFileInfo(bookmarkFile()).isFile());
    }

    // On a termination request nothing is shown before or between the saves: the settings, the failed
    // file kept aside, and every message held back for the caller to report afterwards.
    void aTerminationShowsNothingBeforeOrBetweenTheSaves()
    {
        QVERIFY(testfiles::writeFile(bookmarkFile(), QByteArray()));
        QVERIFY(QDir(m_dir.path()).mkdir(SettingsFileName)); // the settings cannot be written
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        m_shown.clear();

        const auto termination = ProgramLifecycle::ExitKind::Termination;
        QCOMPARE(policy.prepareExit(ExitSettings(), termination), ProgramLifecycle::ExitStep::SaveTree);
        QVERIFY(QFile::exists(bookmarkFile() + QStringLiteral(".bad")));
        QVERIFY(!policy.finishExit(QStringLiteral("disk full"), termination));
        QVERIFY(m_shown.isEmpty());
        const QStringList deferred = policy.takeDeferredMessages();
        QCOMPARE(deferred.size(), 3); // the settings, the kept file, the failed save
        QVERIFY(deferred.at(1).contains(QStringLiteral("Bookmarks.lkb.bad")));
        QCOMPARE(deferred.last(), QStringLiteral("disk full"));
        QVERIFY(policy.takeDeferredMessages().isEmpty());

        m_probe.setWritable(false);
        QCOMPARE(policy.prepareExit(ExitSettings(), termination), ProgramLifecycle::ExitStep::Close);
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(policy.takeDeferredMessages(), QStringList { FolderNotWritableMessage });
    }
};

QTEST_GUILESS_MAIN(TestProgramLifecycle)
#include "tst_programlifecycle.moc"
