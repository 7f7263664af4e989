#include "exchange/dialog/exchangeprogram.h"
#include "exchange/dialog/tfrimportexport.h"
#include "main/core/browserdetection.h"
#include "main/dialogs/balloonhint.h"
#include "platform/fakes/fakeproductversion.h"
#include "tests/common/visibletoplevel.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <thread>
#include <tuple>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

class FakeBalloon final : public BalloonHint
{
public:
    void showBalloon(QWidget *anchor, QPoint point, BalloonIcon, const QString &title, const QString &text,
                     int preferredWidth) override
    {
        shown << title + u"|"_s + text;
        lastAnchor = anchor;
        lastPoint = point;
        lastWidth = preferredWidth;
    }
    void hideBalloon() override { ++hidden; }
    QStringList shown;
    int hidden = 0;
    QWidget *lastAnchor = nullptr;
    QPoint lastPoint;
    int lastWidth = 0;
};

// The main window's side over a plain tree.
class FakeProgram final : public ExchangeProgram
{
public:
    FakeProgram()
    {
        root = tree.topLevel().appendChild(
            std::make_unique<BookmarkNode>(makeCategoryRecord(RootCategoryName)));
        root->appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(u"old"_s, u"http://old/"_s, 1)));
    }
    BookmarkNode *rootCategory() override { return root; }
    qint32 browserCode() const override { return 2; }
    void setExchangeRunning(bool running) override { runningChanges << running; }
    void emptyRootCategory() override { root->removeChildren(0, root->childCount()); }
    void applyMerge(MergePlan plan) override { vellumite::applyMerge(std::move(plan)); }
    void importStoreFinished() override { ++counted; }
    void showMessage(const QString &text) override
    {
        messages << u"message: "_s + text;
        if (onMessage)
            onMessage();
    }
    void showError(const QString &text) override
    {
        messages << u"error: "_s + text;
        if (onMessage)
            onMessage();
    }
    std::function<void()> onMessage;

    BookmarkTree tree;
    BookmarkNode *root = nullptr;
    QList<bool> runningChanges;
    QStringList messages;
    int counted = 0;
};

// A store step that adds one bookmark named after its format, or fails as told; it can be made to take
// a while so that the dialog can be looked at during the block.
class FakeStore final : public ExchangeStore
{
public:
    FakeStore(StoreFormat format, StepResult result, int millis, std::atomic<int> &ended)
        : m_format(format)
        , m_result(result)
        , m_millis(millis)
        , m_ended(ended)
    { }
    StoreFormat format() const override { return m_format; }
    NameMatch nameMatch() const override { return NameMatch::Exact; }
    StepResult read(BookmarkNode &staging, qint32 code) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_millis));
        staging.appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(name(), u"http://x/"_s, code)));
        ++m_ended;
        return m_result;
    }
    StepResult write(const BookmarkNode &, ExportMode) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_millis));
        return m_result;
    }
    QString name() const { return u"store %1"_s.arg(int(m_format)); }

private:
    StoreFormat m_format;
    StepResult m_result;
    int m_millis;
    std::atomic<int> &m_ended;
};

struct Stores
{
    std::map<StoreFormat, StepResult> results;
    int millis = 0;
    QList<StoreFormat> made;
    std::atomic<int> ended = 0;
    StoreFactory factory()
    {
        return [this](StoreFormat format) {
            made << format;
            const auto found = results.find(format);
            return std::make_unique<FakeStore>(
                format, found == results.end() ? StepResult::done() : found->second, millis, ended);
        };
    }
};

// A temporary folder holding the stores asked for.
struct Disk
{
    QTemporaryDir dir;
    BrowserPaths paths;
    FakeProductVersionReader versions;

    explicit Disk(const QString &which)
    {
        const QString ie = dir.filePath(u"Favorites"_s);
        const QString firefox = dir.filePath(u"bookmarks.html"_s);
        const QString opera = dir.filePath(u"opera6.adr"_s);
        QDir(dir.path()).mkpath(which.contains(u'i') ? ie : dir.filePath(u"nothing"_s));
        if (which.contains(u'f'))
            touch(firefox);
        if (which.contains(u'o'))
            touch(opera);
        if (which.contains(u'F')) // a folder where the Firefox file should be
            QDir(dir.path()).mkpath(firefox);
        if (which.contains(u'I')) // a file where the Favorites folder should be
            touch(ie);
        paths.ExplorerFavoritesPath = ie;
        paths.PathFavFirefox = firefox;
        paths.OperaFavPath = opera;
        paths.PathToIExplorer = u"/bin/ie"_s;
        paths.PathToFirefox = u"/bin/firefox"_s;
        paths.PathToOpera = u"/bin/opera"_s;
        versions.setVersion(paths.PathToFirefox, u" 2.0.0.20\r\n"_s);
        versions.setVersion(paths.PathToOpera, u"9.64"_s);
    }
    static void touch(const QString &path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
};

QStringList rowTitles(const TfrImportExport &dialog)
{
    QStringList titles;
    for (int row = 0; row < dialog.VTSync1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = dialog.VTSync1->topLevelItem(row);
        titles << item->data(0, TfrImportExport::StoreTitleRole).toString() + u"|"_s
                + item->data(0, TfrImportExport::VersionLineRole).toString() + u"|"_s
                + QString::number(item->data(0, TfrImportExport::StoreKindRole).toInt());
    }
    return titles;
}

void tick(TfrImportExport &dialog, int row, bool on = true)
{
    dialog.VTSync1->topLevelItem(row)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class tst_ImportExportDialog : public QObject
{
    Q_OBJECT

private slots:
    void rowsByWhichStoresExist_data();
    void rowsByWhichStoresExist();
    void buttonFollowsTickedRows();
    void spaceTogglesCurrentRowEscapeCloses();
    void captionsByMode_data();
    void captionsByMode();
    void mergeWarning_data();
    void mergeWarning();
    void mergeWarningGoesWhenTickedOrRunStarts();
    void firstShowMarksTheCurrentRow();
    void spinnerOnlyForProcessedRow();
    void runLocksDialogAndSpinnerTurns();
    void importRunOrderAndRootEmptiedOnce();
    void databaseFailureShowsMessageAndGoesOn();
    void uncaughtFailureUnlocksDialog();
    void firefoxStoreFromDetection();
    void waitForRunningStep();
};

void tst_ImportExportDialog::rowsByWhichStoresExist_data()
{
    QTest::addColumn<QString>("stores");
    QTest::addColumn<QStringList>("rows");
    const QString ie = u"Internet Explorer|Product version : |0"_s;
    const QString ff = u"Firefox Bookmarks|Product version : 2.0.0.20|1"_s;
    const QString op = u"Opera Bookmarks|Product version : 9.64|2"_s;
    QTest::newRow("none") << QString() << QStringList();
    QTest::newRow("all three") << u"ifo"_s << QStringList { ie, ff, op };
    QTest::newRow("only Firefox") << u"f"_s << QStringList { ff };
    QTest::newRow("Favorites and Opera") << u"io"_s << QStringList { ie, op };
    QTest::newRow("a file is no Favorites folder") << u"Io"_s << QStringList { op };
    QTest::newRow("a folder is no Firefox store") << u"F"_s << QStringList();
}

void tst_ImportExportDialog::rowsByWhichStoresExist()
{
    QFETCH(QString, stores);
    QFETCH(QStringList, rows);
    Disk disk(stores);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    QCOMPARE(rowTitles(dialog), rows);
    QVERIFY(!dialog.btImportExport->isEnabled());
    for (int row = 0; row < dialog.VTSync1->topLevelItemCount(); ++row)
        QCOMPARE(dialog.VTSync1->topLevelItem(row)->checkState(0), Qt::Unchecked);
    QVERIFY(dialog.cbMergeBookmarks->isChecked());
}

void tst_ImportExportDialog::buttonFollowsTickedRows()
{
    Disk disk(u"ifo"_s);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    tick(dialog, 1);
    QVERIFY(dialog.btImportExport->isEnabled());
    tick(dialog, 2);
    tick(dialog, 1, false);
    QVERIFY(dialog.btImportExport->isEnabled());
    tick(dialog, 2, false);
    QVERIFY(!dialog.btImportExport->isEnabled());
    // The mixed state does not count as ticked.
    dialog.VTSync1->topLevelItem(0)->setCheckState(0, Qt::PartiallyChecked);
    QVERIFY(!dialog.btImportExport->isEnabled());
}

void tst_ImportExportDialog::spaceTogglesCurrentRowEscapeCloses()
{
    Disk disk(u"fo"_s);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.VTSync1->setFocus();
    dialog.VTSync1->setCurrentItem(dialog.VTSync1->topLevelItem(1));
    QTest::keyClick(dialog.VTSync1, Qt::Key_Space);
    QCOMPARE(dialog.VTSync1->topLevelItem(1)->checkState(0), Qt::Checked);
    QVERIFY(dialog.btImportExport->isEnabled());
    QTest::keyClick(dialog.VTSync1, Qt::Key_Space);
    QCOMPARE(dialog.VTSync1->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QVERIFY(!dialog.btImportExport->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_ImportExportDialog::captionsByMode_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("merge");
    QTest::newRow("import") << 0 << u"Import"_s << u"Add bookmarks to program"_s;
    QTest::newRow("export") << 1 << u"Export"_s << u"Add bookmarks to browsers source"_s;
    QTest::newRow("any other tag exports") << -3 << u"Export"_s << u"Add bookmarks to browsers source"_s;
}

void tst_ImportExportDialog::captionsByMode()
{
    QFETCH(int, tag);
    QFETCH(QString, caption);
    QFETCH(QString, merge);
    Disk disk(u"f"_s);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    dialog.Tag = tag;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(dialog.btImportExport->text(), caption);
    QCOMPARE(dialog.cbMergeBookmarks->text(), merge);
    QCOMPARE(dialog.size(), QSize(321, 224));
}

void tst_ImportExportDialog::mergeWarning_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("text");
    QTest::newRow("import")
        << 0 << u"Warning!|Option is not selected.\r\nThe bookmarks of a program will be overwrite!"_s;
    QTest::newRow("export")
        << 1 << u"Warning!|Option is not selected.\r\nThe bookmarks of a browser will be overwrite!"_s;
}

void tst_ImportExportDialog::mergeWarning()
{
    QFETCH(int, tag);
    QFETCH(QString, text);
    Disk disk(u"f"_s);
    FakeProgram program;
    FakeBalloon balloon;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    dialog.setBalloonHint(&balloon);
    dialog.Tag = tag;
    dialog.show();
    dialog.cbMergeBookmarks->click();
    QCOMPARE(balloon.shown, QStringList { text });
    QCOMPARE(balloon.lastAnchor, dialog.cbMergeBookmarks);
    QCOMPARE(balloon.lastPoint, QPoint(10, 10));
    QCOMPARE(balloon.lastWidth, 300);
    // Ticked again, the warning goes; cleared again, it comes back.
    QCOMPARE(balloon.hidden, 0);
    dialog.cbMergeBookmarks->click();
    QCOMPARE(balloon.shown.size(), 1);
    QCOMPARE(balloon.hidden, 1);
    dialog.cbMergeBookmarks->click();
    QCOMPARE(balloon.shown, QStringList({ text, text }));
}

// The balloon the program draws: gone when the box is ticked again, and when a run starts, so it never
// floats over the run's messages.
void tst_ImportExportDialog::mergeWarningGoesWhenTickedOrRunStarts()
{
    Disk disk(u"o"_s);
    FakeProgram program;
    Stores stores;
    TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto balloon = [] { return visibleTopLevel<BalloonHintWidget>(); };
    QTest::mouseClick(dialog.cbMergeBookmarks, Qt::LeftButton);
    QVERIFY(balloon());
    QCOMPARE(balloon()->text(),
             u"Option is not selected.\r\nThe bookmarks of a program will be overwrite!"_s);
    QTest::mouseClick(dialog.cbMergeBookmarks, Qt::LeftButton);
    QVERIFY(!balloon());

    QTest::mouseClick(dialog.cbMergeBookmarks, Qt::LeftButton);
    QVERIFY(balloon());
    tick(dialog, 0);
    bool shownDuringRun = true;
    stores.results[StoreFormat::OperaHotlist] = StepResult::failed(u"Cannot open the file"_s);
    program.onMessage = [&] { shownDuringRun = balloon() != nullptr; };
    QTest::mouseClick(dialog.btImportExport, Qt::LeftButton);
    QCOMPARE(program.messages, QStringList { u"error: Cannot open the file"_s });
    QVERIFY(!shownDuringRun);
    QVERIFY(!balloon());
}

// At first show the list has the focus and marks its current row, the first: Space toggles that row,
// and Down goes to the second.
void tst_ImportExportDialog::firstShowMarksTheCurrentRow()
{
    Disk disk(u"ifo"_s);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.VTSync1);
    // A point of each row away from its texts and pictures.
    const auto rowColour = [&dialog](int row) {
        const QImage list = dialog.VTSync1->viewport()->grab().toImage();
        const QRect rect = dialog.VTSync1->visualItemRect(dialog.VTSync1->topLevelItem(row));
        return QColor(list.pixel(rect.left() + 230, rect.top() + 48));
    };
    const QColor mark(0xE6, 0xF8, 0xFF);
    QCOMPARE(rowColour(0), mark);
    QCOMPARE(rowColour(1), QColor(Qt::white));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(dialog.VTSync1->topLevelItem(0)->checkState(0), Qt::Checked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(dialog.VTSync1->currentItem(), dialog.VTSync1->topLevelItem(1));
    QCOMPARE(rowColour(0), QColor(Qt::white));
    QCOMPARE(rowColour(1), mark);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(dialog.VTSync1->topLevelItem(1)->checkState(0), Qt::Checked);
    QCOMPARE(dialog.VTSync1->topLevelItem(2)->checkState(0), Qt::Unchecked);
}

void tst_ImportExportDialog::spinnerOnlyForProcessedRow()
{
    Disk disk(u"ifo"_s);
    FakeProgram program;
    TfrImportExport dialog(disk.paths, disk.versions, program, {});
    tick(dialog, 1);
    tick(dialog, 2);
    const QTreeWidgetItem &firefox = *dialog.VTSync1->topLevelItem(1);
    const QTreeWidgetItem &opera = *dialog.VTSync1->topLevelItem(2);
    dialog.timerTag = 1;
    QVERIFY(!dialog.showsSpinner(firefox)); // the timer is off
    dialog.Timer1->start();
    QVERIFY(!dialog.showsSpinner(firefox)); // no tick yet
    dialog.Timer1Timer();
    QCOMPARE(dialog.SpinnerFrame, 0);
    QVERIFY(dialog.showsSpinner(firefox));
    QVERIFY(!dialog.showsSpinner(opera));
    tick(dialog, 1, false);
    QVERIFY(!dialog.showsSpinner(firefox));
    for (int i = 0; i < 7; ++i)
        dialog.Timer1Timer();
    QCOMPARE(dialog.SpinnerFrame, 7);
    dialog.Timer1Timer();
    QCOMPARE(dialog.SpinnerFrame, 0);
    dialog.Timer1->stop();
}

void tst_ImportExportDialog::runLocksDialogAndSpinnerTurns()
{
    Disk disk(u"o"_s);
    FakeProgram program;
    Stores stores;
    stores.millis = 400;
    TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
    dialog.show();
    tick(dialog, 0);
    bool locked = false;
    bool closeRefused = false;
    int framesSeen = 0;
    QTimer probe;
    probe.setInterval(20);
    connect(&probe, &QTimer::timeout, &dialog, [&] {
        locked = !dialog.btImportExport->isEnabled() && !dialog.VTSync1->isEnabled()
            && !dialog.cbMergeBookmarks->isEnabled();
        dialog.reject();
        closeRefused = dialog.isVisible();
        if (dialog.SpinnerFrame >= 0 && dialog.showsSpinner(*dialog.VTSync1->topLevelItem(0)))
            ++framesSeen;
    });
    probe.start();
    dialog.btImportExportClick();
    probe.stop();
    QVERIFY(locked);
    QVERIFY(closeRefused);
    QVERIFY(framesSeen >= 3);
    QCOMPARE(program.runningChanges, QList<bool>({ true, false }));
    QVERIFY(dialog.btImportExport->isEnabled());
    QVERIFY(dialog.VTSync1->isEnabled());
    QVERIFY(dialog.cbMergeBookmarks->isEnabled());
    QVERIFY(!dialog.Timer1->isActive());
    QCOMPARE(dialog.SpinnerFrame, -1);
    QCOMPARE(dialog.VTSync1->topLevelItem(0)->checkState(0), Qt::Checked);
}

void tst_ImportExportDialog::importRunOrderAndRootEmptiedOnce()
{
    Disk disk(u"ifo"_s);
    FakeProgram program;
    Stores stores;
    TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
    for (int row = 0; row < 3; ++row)
        tick(dialog, row);
    dialog.cbMergeBookmarks->setChecked(false);
    dialog.btImportExportClick();
    QCOMPARE(stores.made,
             QList<StoreFormat>({ StoreFormat::FavoritesFolder, StoreFormat::NetscapeBookmarkFile,
                                  StoreFormat::OperaHotlist }));
    QStringList names;
    for (int row = 0; row < program.root->childCount(); ++row)
        names << program.root->child(row)->record.Description;
    QCOMPARE(names, QStringList({ u"store 0"_s, u"store 1"_s, u"store 3"_s }));
    QCOMPARE(program.counted, 3);

    // A second run uses the same stores and empties the root again.
    dialog.btImportExportClick();
    QCOMPARE(stores.made.size(), 3);
    QCOMPARE(program.root->childCount(), 3);
}

void tst_ImportExportDialog::databaseFailureShowsMessageAndGoesOn()
{
    Disk disk(u"fo"_s);
    disk.paths.firefoxStore = FirefoxStore::PlacesDatabase;
    FakeProgram program;
    Stores stores;
    stores.results[StoreFormat::PlacesDatabase]
        = StepResult::databaseFailure(u"The database is locked. Please, close a Firefox browser."_s);
    TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
    tick(dialog, 0);
    tick(dialog, 1);
    dialog.cbMergeBookmarks->setChecked(false);
    dialog.btImportExportClick();
    QCOMPARE(program.messages,
             QStringList { u"message: The database is locked. Please, close a Firefox browser."_s });
    QCOMPARE(program.root->childCount(), 1);
    QCOMPARE(program.root->child(0)->record.Description, u"store 3"_s);
    QCOMPARE(program.counted, 2);
}

void tst_ImportExportDialog::uncaughtFailureUnlocksDialog()
{
    for (const int tag : { 0, 1 }) {
        Disk disk(u"ifo"_s);
        FakeProgram program;
        Stores stores;
        stores.results[StoreFormat::NetscapeBookmarkFile] = StepResult::failed(u"Cannot open the file"_s);
        TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
        dialog.Tag = tag;
        for (int row = 0; row < 3; ++row)
            tick(dialog, row);
        dialog.btImportExportClick();
        QCOMPARE(program.messages, QStringList { u"error: Cannot open the file"_s });
        QCOMPARE(stores.made,
                 QList<StoreFormat>({ StoreFormat::FavoritesFolder, StoreFormat::NetscapeBookmarkFile,
                                      StoreFormat::OperaHotlist }));
        QVERIFY(dialog.btImportExport->isEnabled());
        QVERIFY(dialog.VTSync1->isEnabled());
        QVERIFY(dialog.cbMergeBookmarks->isEnabled());
        QVERIFY(!dialog.Timer1->isActive());
        QCOMPARE(program.runningChanges, QList<bool>({ true, false }));
        // The Opera row was not processed: the import holds only the Favorites store's entry.
        QCOMPARE(program.root->childCount(), tag == 0 ? 2 : 1);
    }
}

// The row opens the store that the detection decided on, whatever the executable's version says.
void tst_ImportExportDialog::firefoxStoreFromDetection()
{
    for (const auto &[decided, version, made] :
         { std::tuple(FirefoxStore::PlacesDatabase, u"2.0.0.20"_s, StoreFormat::PlacesDatabase),
           std::tuple(FirefoxStore::BookmarkFile, u"30.0"_s, StoreFormat::NetscapeBookmarkFile) }) {
        Disk disk(u"f"_s);
        disk.paths.firefoxStore = decided;
        disk.versions.setVersion(disk.paths.PathToFirefox, version);
        FakeProgram program;
        Stores stores;
        TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
        tick(dialog, 0);
        dialog.btImportExportClick();
        QCOMPARE(stores.made, QList<StoreFormat> { made });
    }
}

void tst_ImportExportDialog::waitForRunningStep()
{
    Disk disk(u"o"_s);
    FakeProgram program;
    Stores stores;
    stores.millis = 300;
    TfrImportExport dialog(disk.paths, disk.versions, program, stores.factory());
    tick(dialog, 0);
    int endedWhenWaited = -1;
    // What the program does when it closes during a run: wait for the step, then save.
    QTimer::singleShot(20, &dialog, [&] {
        QVERIFY(dialog.isRunning());
        dialog.waitForRunningStep();
        endedWhenWaited = stores.ended;
    });
    dialog.btImportExportClick();
    QCOMPARE(endedWhenWaited, 1);
    QCOMPARE(program.root->childCount(), 2);
}

QTEST_MAIN(tst_ImportExportDialog)
#include "tst_importexportdialog.moc"
