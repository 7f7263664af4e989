#include "exchange/dialog/tfrimportexport.h"

#include "exchange/dialog/exchangeprogram.h"
#include "exchange/dialog/storepictures.h"
#include "main/core/browserdetection.h"
#include "main/dialogs/balloonhint.h"
#include "main/window/screenfit.h"
#include "platform/productversion.h"
#include "platform/widgets/closebuttononly.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QtConcurrent>

namespace vellumite {

namespace {

constexpr int RowHeight = 56;
constexpr QRgb GridLineColour = 0xF2F2E1;

// Draws a row: the check box as the style draws it, the store's title and version line and its icon,
// and the spinner while the row's store is processed.
class StoreRowDelegate final : public QStyledItemDelegate
{
public:
    explicit StoreRowDelegate(TfrImportExport &dialog)
        : QStyledItemDelegate(&dialog)
        , m_dialog(dialog)
        , m_icons(storeIcons())
        , m_frames(spinnerFrames())
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return { option.rect.width(), RowHeight };
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        plain.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
        painter->fillRect(option.rect, Qt::white);
        // The focused list marks its current row, the one Space toggles, from the first show on.
        const QTreeWidget &list = *m_dialog.VTSync1;
        if (list.hasFocus() && index == list.currentIndex()) {
            painter->fillRect(option.rect, option.palette.color(QPalette::Active, QPalette::Highlight));
            painter->setPen(QColor(0x8A, 0xC1, 0xFF));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        QStyledItemDelegate::paint(painter, plain, QModelIndex());
        paintCheck(painter, option, index);
        VTSync1DrawNode(painter, option.rect.topLeft(), index);
        VTSync1AfterCellPaint(painter, option.rect.topLeft(), index);
        painter->setPen(QColor(GridLineColour));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    }

private:
    void paintCheck(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QStyleOptionViewItem check = option;
        initStyleOption(&check, index);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        check.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &check, widget);
        check.state &= ~QStyle::State_HasFocus;
        check.state |= check.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
    }

    void VTSync1DrawNode(QPainter *painter, QPoint origin, const QModelIndex &index) const
    {
        painter->save();
        QFont font = m_dialog.VTSync1->font();
        font.setBold(false);
        font.setItalic(false);
        font.setUnderline(false);
        painter->setFont(font);
        const QFontMetrics metrics(font);
        painter->setPen(QColor(0, 0, 0));
        painter->drawText(origin + QPoint(90, 15 + metrics.ascent()),
                          index.data(TfrImportExport::StoreTitleRole).toString());
        painter->setPen(QColor(0x80, 0x80, 0x80));
        painter->drawText(origin + QPoint(90, 30 + metrics.ascent()),
                          index.data(TfrImportExport::VersionLineRole).toString());
        const int kind = index.data(TfrImportExport::StoreKindRole).toInt();
        if (kind >= 0 && kind < int(m_icons.size()))
            painter->drawPixmap(origin + QPoint(35, 4), m_icons[size_t(kind)]);
        painter->restore();
    }

    void VTSync1AfterCellPaint(QPainter *painter, QPoint origin, const QModelIndex &index) const
    {
        const QTreeWidgetItem *item = m_dialog.VTSync1->itemFromIndex(index);
        if (item && m_dialog.showsSpinner(*item))
            painter->drawPixmap(origin + QPoint(270, 20), m_frames[size_t(m_dialog.SpinnerFrame)]);
    }

    TfrImportExport &m_dialog;
    std::vector<QPixmap> m_icons;
    std::vector<QPixmap> m_frames;
};

} // namespace

TfrImportExport::TfrImportExport(const BrowserPaths &paths, const ProductVersionReader &versions,
                                 ExchangeProgram &program, StoreFactory stores, QWidget *parent)
    : QDialog(parent)
    , m_program(program)
    , m_storeFactory(std::move(stores))
{
    setObjectName(QStringLiteral("frImportExport"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    showOnlyTheCloseButton(*this);
    setFixedSize(321, 224);
    ScreenFit::centreOnParent(*this);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    VTSync1 = new QTreeWidget(this);
    VTSync1->setObjectName(QStringLiteral("VTSync1"));
    VTSync1->setGeometry(8, 8, 305, 178);
    VTSync1->setHeaderHidden(true);
    VTSync1->setColumnCount(1);
    VTSync1->setRootIsDecorated(false);
    VTSync1->setUniformRowHeights(true);
    VTSync1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    VTSync1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    VTSync1->setSelectionBehavior(QAbstractItemView::SelectRows);
    VTSync1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VTSync1->setItemDelegate(new StoreRowDelegate(*this));
    QPalette palette = VTSync1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    // The focused list shows its selection in a pale blue; an unfocused one shows none.
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0xE6, 0xF8, 0xFF));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    palette.setColor(QPalette::HighlightedText, Qt::black);
    VTSync1->setPalette(palette);

    btImportExport = new QPushButton(this);
    btImportExport->setObjectName(QStringLiteral("btImportExport"));
    btImportExport->setGeometry(238, 192, 75, 25);
    btImportExport->setCursor(Qt::PointingHandCursor);
    btImportExport->setEnabled(false);

    cbMergeBookmarks = new QCheckBox(this);
    cbMergeBookmarks->setObjectName(QStringLiteral("cbMergeBookmarks"));
    cbMergeBookmarks->setGeometry(8, 196, 225, 17);
    cbMergeBookmarks->setChecked(true);

    setTabOrder(btImportExport, VTSync1);
    setTabOrder(VTSync1, cbMergeBookmarks);

    Timer1 = new QTimer(this);
    Timer1->setInterval(75);

    connect(VTSync1, &QTreeWidget::itemChanged, this, [this] { VTSync1Checked(); });
    connect(VTSync1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (VTSync1->isEnabled())
            item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    connect(cbMergeBookmarks, &QCheckBox::clicked, this, &TfrImportExport::cbMergeBookmarksClick);
    connect(Timer1, &QTimer::timeout, this, &TfrImportExport::Timer1Timer);
    connect(btImportExport, &QPushButton::clicked, this, &TfrImportExport::btImportExportClick);

    FormCreate(paths, versions);
}

TfrImportExport::~TfrImportExport()
{
    waitForRunningStep();
}

void TfrImportExport::FormCreate(const BrowserPaths &paths, const ProductVersionReader &versions)
{
    m_firefoxStore = paths.firefoxStore;
    for (const StoreKind kind : { StoreKind::InternetExplorer, StoreKind::Firefox, StoreKind::Opera })
        m_storePaths[int(kind)] = storePath(paths, kind);
    for (const StoreRow &row : storeRows(paths, versions)) {
        auto *item = new QTreeWidgetItem(VTSync1);
        item->setData(0, StoreTitleRole, row.StoreTitle);
        item->setData(0, VersionLineRole, row.VersionLine);
        item->setData(0, StoreKindRole, int(row.kind));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    if (VTSync1->topLevelItemCount() > 0)
        VTSync1->setCurrentItem(VTSync1->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    VTSync1Checked();
}

void TfrImportExport::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfrImportExport::FormShow()
{
    const QString action = isImport() ? QStringLiteral("Import") : QStringLiteral("Export");
    setWindowTitle(action);
    btImportExport->setText(action);
    cbMergeBookmarks->setText(isImport() ? QStringLiteral("Add bookmarks to program")
                                         : QStringLiteral("Add bookmarks to browsers source"));
}

void TfrImportExport::VTSync1Checked()
{
    if (m_running)
        return;
    int ticked = 0;
    for (int row = 0; row < VTSync1->topLevelItemCount(); ++row)
        ticked += VTSync1->topLevelItem(row)->checkState(0) == Qt::Checked ? 1 : 0;
    btImportExport->setEnabled(ticked >= 1);
}

void TfrImportExport::cbMergeBookmarksClick()
{
    // Ticked again, the warning no longer holds.
    if (cbMergeBookmarks->isChecked()) {
        if (m_balloon)
            m_balloon->hideBalloon();
        return;
    }
    if (!m_balloon) {
        auto balloon = std::make_unique<BalloonHintWidget>(this);
        m_balloon = balloon.get();
        m_ownBalloon = std::move(balloon);
    }
    const QString text = QStringLiteral("Option is not selected.\r\n")
        + (isImport() ? QStringLiteral("The bookmarks of a program will be overwrite!")
                      : QStringLiteral("The bookmarks of a browser will be overwrite!"));
    m_balloon->showBalloon(cbMergeBookmarks, QPoint(10, 10), BalloonIcon::Warning, QStringLiteral("Warning!"),
                           text, 300);
}

void TfrImportExport::Timer1Timer()
{
    if (SpinnerFrame >= SpinnerFrameCount - 1)
        SpinnerFrame = -1;
    ++SpinnerFrame;
    VTSync1->viewport()->update();
}

bool TfrImportExport::showsSpinner(const QTreeWidgetItem &item) const
{
    return item.checkState(0) == Qt::Checked && Timer1->isActive() && SpinnerFrame >= 0
        && SpinnerFrame < SpinnerFrameCount && item.data(0, StoreKindRole).toInt() == timerTag;
}

QTreeWidgetItem *TfrImportExport::rowOf(StoreKind kind) const
{
    for (int row = 0; row < VTSync1->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = VTSync1->topLevelItem(row);
        if (item->data(0, StoreKindRole).toInt() == int(kind))
            return item;
    }
    return nullptr;
}

void TfrImportExport::setLocked(bool locked)
{
    m_running = locked;
    btImportExport->setEnabled(!locked);
    VTSync1->setEnabled(!locked);
    cbMergeBookmarks->setEnabled(!locked);
    if (!locked)
        VTSync1Checked();
}

ExchangeStore *TfrImportExport::storeFor(StoreFormat format)
{
    auto &store = m_stores[format];
    if (!store && m_storeFactory)
        store = m_storeFactory(format);
    return store.get();
}

void TfrImportExport::btImportExportClick()
{
    if (m_running)
        return;
    // The warning has been read; left up, it would float over the run's messages.
    if (m_balloon)
        m_balloon->hideBalloon();
    setLocked(true);
    m_program.setExchangeRunning(true);
    // Whatever ends the run, the dialog becomes usable again and the spinner stops.
    const auto unlock = qScopeGuard([this] {
        Timer1->stop();
        SpinnerFrame = -1;
        VTSync1->viewport()->update();
        m_program.setExchangeRunning(false);
        setLocked(false);
    });

    ExchangeRequest request;
    request.import = isImport();
    request.mergeOption = cbMergeBookmarks->isChecked();
    for (int row = 0; row < VTSync1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = VTSync1->topLevelItem(row);
        if (item->checkState(0) != Qt::Checked)
            continue;
        const auto kind = StoreKind(item->data(0, StoreKindRole).toInt());
        request.stores.emplace_back(kind, storeFor(storeFormatFor(kind, m_firefoxStore)));
    }
    try {
        runExchange(request, *this);
    } catch (const std::exception &e) {
        showFailure(QString::fromLocal8Bit(e.what()));
    }
}

ExchangeTarget &TfrImportExport::target()
{
    return m_program;
}

StepResult TfrImportExport::runBlock(const std::function<StepResult()> &step)
{
    QFutureWatcher<StepResult> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<StepResult>::finished, &loop, &QEventLoop::quit);
    m_step = QtConcurrent::run(step);
    watcher.setFuture(m_step);
    // User input is dispatched, not held back: held back, a close request or an Escape pressed now would
    // close the dialog as soon as the run ends. The locked dialog refuses them, and the other windows
    // are blocked by the modal dialog.
    if (!watcher.isFinished())
        loop.exec();
    const StepResult result = m_step.result();
    m_step = {};
    return result;
}

void TfrImportExport::waitForRunningStep()
{
    if (m_step.isValid())
        m_step.waitForFinished();
}

void TfrImportExport::storeStarted(StoreKind kind)
{
    timerTag = int(kind);
    Timer1->start();
}

void TfrImportExport::storeFinished(StoreKind kind)
{
    Timer1->stop();
    SpinnerFrame = -1;
    if (QTreeWidgetItem *item = rowOf(kind))
        VTSync1->viewport()->update(VTSync1->visualItemRect(item));
}

void TfrImportExport::showDatabaseFailure(const QString &text)
{
    m_program.showMessage(text);
}

void TfrImportExport::showFailure(const QString &text)
{
    m_program.showError(text);
}

void TfrImportExport::closeEvent(QCloseEvent *event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TfrImportExport::reject()
{
    if (!m_running)
        QDialog::reject();
}

} // namespace vellumite
