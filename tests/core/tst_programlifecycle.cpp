#include "base/inifile.h"
#include "base/programfolder.h"
#include "main/core/bookmarkfile.h"
#include "main/core/bookmarkrecord.h"
#include "main/core/bookmarktree.h"
#include "main/core/programlifecycle.h"
#include "platform/fakes/fakefolderprobe.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/testfiles.h"
#include "tests/common/treetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <memory>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::StringLiterals;
using Kind = ProgramLifecycle::MessageKind;
using ExitKind = ProgramLifecycle::ExitKind;
using ExitStep = ProgramLifecycle::ExitStep;

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

    // A root holding the category "News" (bookmarks a and b) and the bookmark "loose".
    static QByteArray twoLevelFile()
    {
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        BookmarkNode *news = treetext::addCategory(*root, u"News"_s);
        treetext::addBookmark(*news, u"a"_s, u"http://a/"_s);
        treetext::addBookmark(*news, u"b"_s, u"http://b/"_s);
        treetext::addBookmark(*root, u"loose"_s, u"http://l/"_s);
        return BookmarkFile::save(tree);
    }

    ProgramLifecycle lifecycle()
    {
        return ProgramLifecycle(m_probe, m_folder, [this](Kind kind, const QString &text) {
            m_shown.append({ kind, text });
            if (m_whileShown)
                m_whileShown();
        });
    }

    static QStringList texts(const QList<ProgramLifecycle::Message> &messages)
    {
        QStringList result;
        for (const ProgramLifecycle::Message &message : messages)
            result << message.text;
        return result;
    }

    QString keptFilesInSettings() const
    {
        IniFile ini(settingsFilePath(m_dir.path()));
        return ini.load() ? ini.readString(SettingsKey::ProgramSection, SettingsKey::KeptBookmarkFiles, {})
                          : u"(unreadable)"_s;
    }

    QString bookmarkFile() const { return m_dir.filePath(BookmarkFileName); }

    QTemporaryDir m_dir;
    ProgramFolder m_folder;
    FakeFolderProbe m_probe;
    QList<Shown> m_shown;
    // Runs while a message is up, as a termination request would.
    std::function<void()> m_whileShown;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = ProgramFolder(m_dir.path());
        m_probe.setWritable(true);
        m_shown.clear();
        m_whileShown = nullptr;
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
        QVERIFY(m_shown.isEmpty()); // told once the window shows the tree
        policy.reportStartup();
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Information);
        QCOMPARE(m_shown.first().text, FolderNotWritableMessage);
        QVERIFY(policy.isReadOnly());
        // At exit the read-only folder again ends the program without writing anything.
        QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::Close);
        QCOMPARE(texts(policy.takeExitMessages()), QStringList { FolderNotWritableMessage });
        QVERIFY(QDir(m_dir.path()).isEmpty());
    }

    // An existing file in a folder that cannot be written: the tree loads, and the user hears at once
    // that nothing will be saved, not first at the exit.
    void aReadOnlyFolderWithItsFileIsToldAtTheStart()
    {
        const QByteArray original = smallTreeFile();
        QVERIFY(testfiles::writeFile(bookmarkFile(), original));
        m_probe.setWritable(false);
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 2), ProgramLifecycle::StartupResult::Ready);
        QCOMPARE(tree.totalCount(), 2);
        QVERIFY(policy.isReadOnly());
        policy.reportStartup();
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().text, FolderNotWritableMessage);
        QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::Close);
        QCOMPARE(testfiles::readFile(bookmarkFile()), original);
    }

    // A folder that can no longer be written while the program runs (a medium made read-only, or
    // gone): a close keeps the window open once, so that the user can still save elsewhere or free
    // the medium; a termination cannot wait. Writable again, the exit saves.
    void aFolderThatBecomesReadOnlyKeepsTheWindowOpenOnce()
    {
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 2), ProgramLifecycle::StartupResult::Ready);
        policy.reportStartup();
        QVERIFY(!policy.isReadOnly());
        QVERIFY(m_shown.isEmpty());

        m_probe.setWritable(false);
        QCOMPARE(policy.prepareExit(ExitSettings(), ExitKind::Close), ExitStep::StayOpen);
        QVERIFY(policy.isReadOnly());
        QCOMPARE(texts(policy.takeExitMessages()), QStringList { FolderNotWritableMessage });
        QCOMPARE(policy.prepareExit(ExitSettings(), ExitKind::Close), ExitStep::Close);
        policy.takeExitMessages();

        m_probe.setWritable(true);
        QCOMPARE(policy.prepareExit(ExitSettings(), ExitKind::Close), ExitStep::SaveTree);
        QVERIFY(!policy.isReadOnly());
        QVERIFY(policy.takeExitMessages().isEmpty());
        m_probe.setWritable(false);
        QCOMPARE(policy.prepareExit(ExitSettings(), ExitKind::Termination), ExitStep::Close);
        QCOMPARE(texts(policy.takeExitMessages()), QStringList { FolderNotWritableMessage });
        QVERIFY(m_shown.isEmpty());
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

    // The copy is made when the load fails: the file itself is never missing, and the message that
    // tells of the failure names the copy. The exit then saves the tree over the file, with nothing
    // left to tell.
    void aFileThatFailsToLoadIsCopiedAsideAtOnce()
    {
        const QByteArray broken = smallTreeFile().left(40);
        QVERIFY(testfiles::writeFile(bookmarkFile(), broken));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QVERIFY(!tree.isEmpty());
        const QString keptAs = bookmarkFile() + u".bad"_s;
        QCOMPARE(testfiles::readFile(keptAs), broken);
        QCOMPARE(testfiles::readFile(bookmarkFile()), broken);
        QVERIFY(m_shown.isEmpty());
        policy.reportStartup();
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().kind, Kind::Error);
        QCOMPARE(
            m_shown.first().text,
            StreamReadErrorMessage
                + u"\r\n\r\nThe tree shows what could be read of the file. The whole file is kept as \"%1\"."_s
                      .arg(QDir::toNativeSeparators(keptAs)));

        QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::SaveTree);
        QVERIFY(policy.takeExitMessages().isEmpty());
        // The settings are written before the tree.
        QVERIFY(QFile::exists(settingsFilePath(m_dir.path())));
        QCOMPARE(keptFilesInSettings(), QString());
    }

    // A copy that cannot be made (here: a pipe in the file's place) is said at the start; the file is
    // then moved aside before the exit saves, and that is told after the save.
    void aFileThatCannotBeCopiedIsMovedAsideAtTheExit()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(bookmarkFile()).constData(), 0600), 0);
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QCOMPARE(tree.totalCount(), 1);
        policy.reportStartup();
        QCOMPARE(m_shown.size(), 1);
        QVERIFY(m_shown.first().text.endsWith(
            u"No copy of the file could be kept (It is not a regular file.): the file is moved aside "
            "before the bookmarks are saved."_s));
        QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::SaveTree);
        QVERIFY(!QFileInfo::exists(bookmarkFile()));
        QCOMPARE(texts(policy.takeExitMessages()),
                 QStringList { u"The bookmark file that could not be loaded was kept as \"%1\"."_s.arg(
                     QDir::toNativeSeparators(bookmarkFile() + u".bad"_s)) });
    }

    // What a damaged file shows: only nodes the file held, each at its depth. A node whose own record
    // was lost stands as the root (the file's first node) or as a category named so, holding what was
    // read below it; one of which nothing was read is no node at all.
    void aDamagedFileShowsOnlyWhatItHeld_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("shown");
        const QByteArray whole = twoLevelFile();
        // The identification and the count, then the root's node and base chunk headers.
        constexpr qsizetype rootChildCount = 16 + 8 + 8;
        // The root's base body, then the category's node and base chunk headers.
        constexpr qsizetype newsChildCount = rootChildCount + 17 + 8 + 8;
        QByteArray raised = whole;
        qToLittleEndian<quint32>(3, raised.data() + rootChildCount);
        QTest::newRow("the root's child count raised")
            << raised << AnchorChunkMissingMessage
            << u"[Bookmarks [News a=http://a/ b=http://b/] loose=http://l/]"_s;
        raised = whole;
        qToLittleEndian<quint32>(3, raised.data() + newsChildCount);
        QTest::newRow("a category's child count raised")
            << raised << AnchorChunkMissingMessage
            << u"[Bookmarks [Unreadable category a=http://a/ b=http://b/]]"_s;
        QByteArray flipped = whole;
        QByteArray recordOfB;
        VTSaveNode(recordOfB, makeBookmarkRecord(u"b"_s, u"http://b/"_s, 1));
        const qsizetype recordAt = flipped.indexOf(recordOfB);
        QVERIFY(recordAt > 0);
        flipped[recordAt] = 0x7F; // no tag of a value
        QTest::newRow("a byte flipped in a record")
            << flipped << u"Invalid property value"_s << u"[Bookmarks [Unreadable category a=http://a/]]"_s;
        QString firstFour;
        for (int link = 1; link <= 4; ++link)
            firstFour += u" Link 1.%1=https://example.org/1/%1"_s.arg(link);
        QTest::newRow("lowered inner child count")
            << testfiles::readFile(QStringLiteral(VELLUMITE_TEST_DATA "/lowered-inner-child-count.lkb"))
            << ChildCountMismatchMessage << u"[Bookmarks [Unreadable category%1]]"_s.arg(firstFour);
    }
    void aDamagedFileShowsOnlyWhatItHeld()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, failure);
        QFETCH(QString, shown);
        QVERIFY(testfiles::writeFile(bookmarkFile(), file));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QCOMPARE(treetext::describe(tree.topLevel()), shown);
        QCOMPARE(tree.firstNode()->record, makeRootRecord());
        tree.forEach([](const BookmarkNode &node) {
            QVERIFY(node.hasRecord);
            QVERIFY(!node.record.name().isEmpty());
        });
        policy.reportStartup();
        QVERIFY(m_shown.first().text.startsWith(failure + u"\r\n"_s));
        QCOMPARE(testfiles::readFile(bookmarkFile() + u".bad"_s), file);
    }

    // A termination while the message of the kept copy is up: the exit saves, and notes the copy for
    // the next start, which tells of it once, as long as the copy is there.
    void aKeptCopyIsToldAtTheNextStartWhenTheProgramEndedBeforeItsMessageWasRead()
    {
        QVERIFY(testfiles::writeFile(bookmarkFile(), twoLevelFile().left(100)));
        {
            ProgramLifecycle policy = lifecycle();
            BookmarkTree tree;
            policy.loadOrCreateTree(tree, 7);
            m_whileShown = [&policy] {
                QCOMPARE(policy.prepareExit(ExitSettings(), ExitKind::Termination), ExitStep::SaveTree);
            };
            policy.reportStartup();
            m_whileShown = nullptr;
            QCOMPARE(BookmarkFile::saveToFile(tree, bookmarkFile()), QString());
        }
        QCOMPARE(keptFilesInSettings(), u"Bookmarks.lkb.bad"_s);
        m_shown.clear();

        const QString reminder = u"A bookmark file could not be loaded whole at an earlier start: the tree "
                                 "shows what could be read of it. The whole file is kept as \"%1\"."_s.arg(
                                     QDir::toNativeSeparators(bookmarkFile() + u".bad"_s));
        for (int start = 0; start < 2; ++start) {
            ProgramLifecycle policy = lifecycle();
            const ScreenLayout screen { { QRect(0, 0, 1024, 768) } };
            policy.readSettings(screen);
            BookmarkTree tree;
            QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::Ready);
            policy.reportStartup();
            QCOMPARE(m_shown.size(), 1); // the second start tells nothing more
            QCOMPARE(m_shown.first().text, reminder);
            QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::SaveTree);
            QCOMPARE(keptFilesInSettings(), QString());
        }
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
        QVERIFY(policy.takeExitMessages().isEmpty());
        QVERIFY(!policy.finishExit(u"disk full"_s));
        const QList<ProgramLifecycle::Message> held = policy.takeExitMessages();
        QCOMPARE(held.size(), 1);
        QCOMPARE(held.first().kind, Kind::Error);
        QCOMPARE(held.first().text, u"disk full"_s);
        QVERIFY(m_shown.isEmpty());
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
            QCOMPARE(policy.prepareExit(ExitSettings()), ExitStep::SaveTree);
            policy.reportUnreadableSettings();
            for (const ProgramLifecycle::Message &held : policy.takeExitMessages())
                m_shown.append({ held.kind, held.text });
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

    // Nothing is shown before or between the saves, whether the window is closed or the program is
    // asked to end: every message is held for after them. A settings file that cannot be written is
    // named.
    void anExitShowsNothingBeforeOrBetweenTheSaves_data()
    {
        QTest::addColumn<ExitKind>("kind");
        QTest::newRow("close") << ExitKind::Close;
        QTest::newRow("termination") << ExitKind::Termination;
    }
    void anExitShowsNothingBeforeOrBetweenTheSaves()
    {
        QFETCH(ExitKind, kind);
        QVERIFY(testfiles::writeFile(bookmarkFile(), QByteArray()));
        const QByteArray settings = "[Program]\n" + QByteArray(2000, ';') + '\n';
        QVERIFY(testfiles::writeFile(settingsFilePath(m_dir.path()), settings));
        ProgramLifecycle policy = lifecycle();
        BookmarkTree tree;
        QCOMPARE(policy.loadOrCreateTree(tree, 7), ProgramLifecycle::StartupResult::LoadFailed);
        QVERIFY(QFile::exists(bookmarkFile() + u".bad"_s));

        {
            // The disk is full, as far as the settings go.
            const testfiles::FileSizeLimit limit(1000);
            QVERIFY(limit.isSet());
            QCOMPARE(policy.prepareExit(ExitSettings(), kind), ExitStep::SaveTree);
        }
        QCOMPARE(testfiles::readFile(settingsFilePath(m_dir.path())), settings);
        QVERIFY(!policy.finishExit(u"disk full"_s));
        QVERIFY(m_shown.isEmpty());
        const QStringList held = texts(policy.takeExitMessages());
        QCOMPARE(held.size(), 2); // the settings, the failed save
        QVERIFY(held.first().startsWith(
            u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(settingsFilePath(m_dir.path())))));
        QCOMPARE(held.last(), u"disk full"_s);
        QVERIFY(policy.takeExitMessages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProgramLifecycle)
#include "tst_programlifecycle.moc"
