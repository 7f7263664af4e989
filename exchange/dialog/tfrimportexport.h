#pragma once

#include "exchange/core/exchangerun.h"
#include "exchange/core/storerows.h"

#include <QDialog>
#include <QFuture>
#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vellumite {

class BalloonHint;
class ExchangeProgram;
class ProductVersionReader;

// Makes the store of a format on first use; the dialog keeps it (a database stays open) until it closes.
using StoreFactory = std::function<std::unique_ptr<ExchangeStore>(StoreFormat)>;

// The import and export dialog: the stores that exist, one row each, the merge option and one button
// that runs the ticked stores.
class TfrImportExport : public QDialog, private ExchangeRunHost
{
    Q_OBJECT

public:
    // Item roles of a row (TSychr).
    enum Role { StoreTitleRole = Qt::UserRole + 1, VersionLineRole, StoreKindRole };

    TfrImportExport(const BrowserPaths &paths, const ProductVersionReader &versions, ExchangeProgram &program,
                    StoreFactory stores, QWidget *parent = nullptr);
    ~TfrImportExport() override;

    // 0 import, anything else export; set before the dialog is shown.
    int Tag = 0;
    bool isImport() const { return Tag == 0; }

    QTreeWidget *VTSync1 = nullptr;
    QPushButton *btImportExport = nullptr;
    QCheckBox *cbMergeBookmarks = nullptr;
    QTimer *Timer1 = nullptr;
    // The StoreKind of the row whose spinner turns.
    int timerTag = 0;
    // Frame 0 to 7 of the spinner; -1 before the first tick and between stores.
    int SpinnerFrame = -1;

    // The balloon of the merge warning; the dialog's own one unless a test gives another.
    void setBalloonHint(BalloonHint *balloon) { m_balloon = balloon; }

    void FormShow();
    // The button follows whether any row is ticked.
    void VTSync1Checked();
    void cbMergeBookmarksClick();
    void Timer1Timer();
    // The run over the ticked rows.
    void btImportExportClick();

    // Whether the row of `item` shows the spinner now.
    bool showsSpinner(const QTreeWidgetItem &item) const;
    bool isRunning() const { return m_running; }
    // Blocks until the store step that runs on a pool thread, if any, has ended (the program closing).
    void waitForRunningStep();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public slots:
    void reject() override;

private:
    void FormCreate(const BrowserPaths &paths, const ProductVersionReader &versions);
    void setLocked(bool locked);
    QTreeWidgetItem *rowOf(StoreKind kind) const;
    ExchangeStore *storeFor(StoreFormat format);

    // ExchangeRunHost
    ExchangeTarget &target() override;
    StepResult runBlock(const std::function<StepResult()> &step) override;
    void storeStarted(StoreKind kind) override;
    void storeFinished(StoreKind kind) override;
    void showDatabaseFailure(const QString &text) override;
    void showFailure(const QString &text) override;

    ExchangeProgram &m_program;
    FirefoxStore m_firefoxStore = FirefoxStore::BookmarkFile;
    QString m_storePaths[3];
    StoreFactory m_storeFactory;
    std::map<StoreFormat, std::unique_ptr<ExchangeStore>> m_stores;
    BalloonHint *m_balloon = nullptr;
    std::unique_ptr<BalloonHint> m_ownBalloon;
    bool m_running = false;
    QFuture<StepResult> m_step;
};

} // namespace vellumite
