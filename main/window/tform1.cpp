#include "main/window/tform1.h"

#include "controls/RzBmpBtn.h"
#include "main/core/bookmarksort.h"
#include "main/core/functii.h"
#include "main/core/openlink.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/linkcheck/checklinksmenu.h"
#include "main/linkcheck/linkcheckhost.h"
#include "main/menus/helpmenu.h"
#include "main/menus/openwithmenu.h"
#include "main/menus/popupbelowcontrol.h"
#include "main/options/tfroptions.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "main/tree/modeltreeeditor.h"
#include "main/tree/treecounter.h"
#include "main/tree/treeeditcommands.h"
#include "main/window/statusbar.h"
#include "main/window/windowfont.h"
#include "platform/platformservices.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace vellumite {

namespace {

constexpr int BannerHeight = 80;
constexpr int ToolBarButtonTop = 2;

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
    , m_model(new BookmarkModel(m_tree, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ApplicationTitle);
    setFont(windowFont());
    setMinimumSize(650, 580);
    setGeometry(213, 108, 650, 592);
    ImageList::instance(); // loads the icons and registers the resources of the library
    createLayout();
    m_treeEditor = std::make_unique<ModelTreeEditor>(
        *m_model, *m_vt, [this] { return !m_treeBusy; },
        [this] { return m_browserPaths.DefaultBrowser.Tag; });
    m_bookmarkDialogs = std::make_unique<AddBookmarkDialogs>(this, *m_treeEditor);
    createOpenWithCommands();
    createEditingCommands();
    // The counters follow every change of the tree's size, whichever command made it: an add, a paste,
    // a drop, a move, a delete or an import; they are counted once per change.
    m_treeCounter = std::make_unique<TreeCounter>(m_tree, [this](const TreeCounts &counts) {
        m_statusBar->setPanelText(3, linksText(counts));
        m_statusBar->setPanelText(2, categoriesText(counts));
    });
    m_treeCounter->follow(*m_model);
}

// The tree view and an in-place editor still open in it reach the nodes (closing the editor commits its
// text), so the widgets go while the tree still exists, not after, with the base class's children.
TForm1::~TForm1()
{
    // Its threads are waited for while the tree and the menu still exist.
    m_linkChecks.reset();
    delete centralWidget();
}

void TForm1::createLayout()
{
    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The banner is a stretched light-blue gradient with the toolbar buttons over it.
    auto *banner = new QLabel(client);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setFixedHeight(BannerHeight);
    banner->setPixmap(QPixmap(QStringLiteral(":/banner.png")));
    banner->setScaledContents(true);
    m_banner = banner;
    layout->addWidget(m_banner);

    // Bitmap buttons over the banner; their pictures are sized to the button, with olive transparent.
    ToolBarImport = createToolBarButton(QStringLiteral("ToolBarImport"), QStringLiteral("import"), 4,
                                        QStringLiteral("Import bookmarks"));
    ToolBarExport = createToolBarButton(QStringLiteral("ToolBarExport"), QStringLiteral("export"), 88,
                                        QStringLiteral("Export bookmarks"));
    ToolBarSearch = createToolBarButton(QStringLiteral("ToolBarSearch"), QStringLiteral("search"), 172,
                                        QStringLiteral("Search"));
    btCheckURL = createToolBarButton(QStringLiteral("btCheckURL"), QStringLiteral("checklinks"), 257,
                                     QStringLiteral("Check links"));
    ToolBarOptions = createToolBarButton(QStringLiteral("ToolBarOptions"), QStringLiteral("options"), 341,
                                         QStringLiteral("Options"));
    btHelp
        = createToolBarButton(QStringLiteral("btHelp"), QStringLiteral("help"), 426, QStringLiteral("Help"));
    ToolBarImport->SetShowFocus(false);
    for (TRzBmpButton *button : { ToolBarExport, ToolBarSearch, btCheckURL, ToolBarOptions, btHelp })
        button->SetShowDownPattern(false);

    auto *bevel = new QFrame(client);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setFixedHeight(2);
    layout->addWidget(bevel);

    // The tree keeps 8 pixels to the sides, 6 below the line and 9 above the status bar.
    auto *treeArea = new QVBoxLayout;
    treeArea->setContentsMargins(8, 6, 8, 9);
    m_vt = new BookmarkTreeView(m_model, ImageList::instance(), client);
    m_vt->setObjectName(QStringLiteral("VT"));
    connect(m_vt->header(), &QHeaderView::sectionClicked, this, &TForm1::VTHeaderClick);
    connect(m_vt, &BookmarkTreeView::openRequested, this, &TForm1::VTDblClick);
    connect(m_vt, &BookmarkTreeView::deleteRequested, this, &TForm1::mDeleteClick);
    connect(m_vt, &BookmarkTreeView::linkDropped, this, &TForm1::VTDragDrop);
    treeArea->addWidget(m_vt);
    layout->addLayout(treeArea, 1);

    m_statusBar = new StatusBar({ { 320 },
                                  { 10, Qt::AlignLeft | Qt::AlignVCenter, false },
                                  { 120, Qt::AlignCenter },
                                  { 120, Qt::AlignCenter },
                                  { 20 } },
                                client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setFixedHeight(19);
    connect(m_statusBar, &StatusBar::resized, this, &TForm1::StatusBar1Resize);
    layout->addWidget(m_statusBar);

    setCentralWidget(client);
}

TRzBmpButton *TForm1::createToolBarButton(const QString &objectName, const QString &picture, int x,
                                          const QString &hint)
{
    auto *button = new TRzBmpButton(m_banner);
    button->setObjectName(objectName);
    button->Bitmaps()->SetUp(QImage(u":/toolbar/" + picture + u"-up.png"));
    button->Bitmaps()->SetDown(QImage(u":/toolbar/" + picture + u"-down.png"));
    // The button takes the size of its pictures: 84 or 85 x 78.
    button->move(x, ToolBarButtonTop);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(hint);
    return button;
}

// The menu hands its work to the services (the shell, the browser launcher), so it exists from FormCreate on.
void TForm1::createHelpMenu()
{
    m_helpMenu = new HelpMenu(*m_services->shell, *m_services->launcher,
                              { m_folder.shownPath(), programProductVersion(),
                                [this] { return m_browserPaths.DefaultBrowser.Caption; } },
                              this);
    connect(btHelp, &TRzBmpButton::clicked, this, &TForm1::btHelpClick);
    connect(ToolBarOptions, &TRzBmpButton::clicked, this, &TForm1::ToolBarOptionsClick);
}

void TForm1::ToolBarOptionsClick()
{
    if (m_optionsWindow)
        m_optionsWindow->exec();
}

void TForm1::btHelpClick()
{
    PopupBelowControl(btHelp, m_helpMenu->PopupMenuHelp);
}

void TForm1::Contents1Click()
{
    if (m_helpMenu)
        m_helpMenu->Contents1Click();
}

void TForm1::createOpenWithCommands()
{
    // The items of the browsers found show once FormCreate has detected them. The tree's context menu
    // takes the submenu as its first item.
    Openwith1 = createOpenWithMenu(this, {}, [this](BrowserCode code) { OpenWithClick(code); });

    // Enter comes from the tree itself (openRequested), with the keys it counts as Enter.
    connect(m_vt, &QAbstractItemView::doubleClicked, this, &TForm1::VTDblClick);
}

void TForm1::VTDblClick()
{
    const QModelIndex focused = m_vt->currentIndex();
    const BookmarkNode *node = m_model->nodeFromIndex(focused);
    if (!node || node->record.IsCategory
        || !m_vt->selectionModel()->isRowSelected(focused.row(), focused.parent()))
        return;
    openNodeWith(*node, m_browserPaths.OpenWithBrowser);
}

void TForm1::OpenWithClick(BrowserCode code)
{
    const BookmarkNode *node = m_model->nodeFromIndex(m_vt->currentIndex());
    if (node)
        openNodeWith(*node, *m_browserPaths.pathOf(code));
}

void TForm1::openNodeWith(const BookmarkNode &node, const QString &program)
{
    const QString link = BookmarkModel::VTGetText(node.record, 1);
    m_statusBar->setPanelText(0, openedLinkStatusText(BookmarkModel::VTGetText(node.record, 0), link));
    if (m_services)
        openLinkWith(*m_services->launcher, program, link);
}

void TForm1::StatusBar1Resize()
{
    m_statusBar->setPanelWidth(0, std::max(0, m_statusBar->width() - 300));
    m_statusBar->setPanelWidth(1, 10);
    m_statusBar->setPanelWidth(2, 120);
    m_statusBar->setPanelWidth(3, 120);
}

void TForm1::VTHeaderClick(int column)
{
    if (column != ColumnDescription && column != ColumnLink)
        return;
    // The direction flips on every click, also when the click moves the sort to another column.
    const Qt::SortOrder order
        = m_model->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_vt->header()->setSortIndicator(column, order);
    m_model->sort(column, order);
}

TfrAddBookmark *TForm1::AddBookmarkCategory(AddKind kind)
{
    return m_bookmarkDialogs->AddBookmarkCategory(kind);
}

void TForm1::Edit1Click()
{
    m_bookmarkDialogs->Edit1Click();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        TntFormShow();
    }
}

void TForm1::TntFormShow()
{
    m_vt->scrollToFirstSelected();
}

void TForm1::storeViewStateInNodes()
{
    m_vt->storeViewStateInNodes();
}

void TForm1::restoreViewStateFromNodes()
{
    m_vt->restoreViewStateFromNodes();
}

} // namespace vellumite

namespace vellumite {

// The verification needs the tester of the services, so it exists from FormCreate on.
void TForm1::createLinkChecks()
{
    PopupMenuCheck = new CheckLinksMenu(ImageList::instance(), this);
    connect(PopupMenuCheck->Checkall1, &QAction::triggered, this, &TForm1::Checkall1Click);
    connect(PopupMenuCheck->Check1, &QAction::triggered, this, &TForm1::Check1Click);
    connect(PopupMenuCheck->StopVerified, &QAction::triggered, this, &TForm1::StopVerifiedClick);
    connect(PopupMenuCheck->Deleteallbrokenlinks1, &QAction::triggered, this,
            &TForm1::Deleteallbrokenlinks1Click);
    connect(btCheckURL, &TRzBmpButton::clicked, this, &TForm1::btCheckURLClick);
    m_linkCheckHost = std::make_unique<TForm1LinkCheckHost>(*this);
    m_linkChecks = std::make_unique<LinkVerification>(m_tree, *m_services->urlTester, *m_linkCheckHost);
    watchBookmarkModel(*m_linkChecks, *m_model);
}

void TForm1::btCheckURLClick()
{
    PopupBelowControl(btCheckURL, PopupMenuCheck);
}

void TForm1::Checkall1Click()
{
    if (m_linkChecks && !m_treeBusy)
        m_linkChecks->Checkall1Click();
}

void TForm1::Check1Click()
{
    if (m_linkChecks && !m_treeBusy)
        m_linkChecks->Check1Click();
}

void TForm1::StopVerifiedClick()
{
    if (m_linkChecks)
        m_linkChecks->StopVerifiedClick();
}

void TForm1::Deleteallbrokenlinks1Click()
{
    if (m_linkChecks && !m_treeBusy)
        m_linkChecks->Deleteallbrokenlinks1Click();
}

} // namespace vellumite
