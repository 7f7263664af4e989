#include "main/search/tfrsearch.h"

#include "controls/RzBckgnd.h"
#include "controls/RzBmpBtn.h"
#include "main/search/gridlinedelegate.h"
#include "main/search/searchresultmodel.h"
#include "main/search/springheader.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "main/tree/sortglyphheaderview.h"
#include "main/window/screenfit.h"
#include "main/window/tform1.h"
#include "main/window/windowfont.h"
#include "platform/messageservice.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellumite {

namespace {

constexpr int LeftColumnWidth = 187;
constexpr int BottomBarHeight = 38;
constexpr TColor BarGradientStop = 0x00E9E9E9;
const QString EnabledFieldColour = QStringLiteral("QLineEdit { background: #FFFFFF; }");
// TColor $E2F3F3 is 0xBBGGRR.
const QString DisabledFieldColour = QStringLiteral("QLineEdit { background: #F3F3E2; }");

} // namespace

TfrSearch::TfrSearch(TForm1 &form, MessageService &messages, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
    , m_messages(messages)
    , m_results(new SearchResultModel(this))
{
    setObjectName(QStringLiteral("frSearch"));
    setWindowTitle(QStringLiteral("Search"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    QPalette text = palette();
    text.setColor(QPalette::WindowText, Qt::black);
    setPalette(text);
    setMinimumSize(500, 330);
    resize(732, 564);
    ScreenFit::centreOnParent(*this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    createLeftColumn();
    top->addWidget(lbSearch->parentWidget());
    createList();
    top->addWidget(VTDubl, 1);
    layout->addLayout(top, 1);
    layout->addWidget(createBottomBar());

    setTabOrder(EdSearch, rbDescrLinks);
    setTabOrder(rbDescrLinks, BtnFind);
    setTabOrder(BtnFind, VTDubl);
    setTabOrder(VTDubl, btPreview);
    setTabOrder(btPreview, btDelete);
    restoreMode();
    EdSearch->setFocus();
}

TfrSearch::~TfrSearch() = default;

void TfrSearch::createLeftColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(LeftColumnWidth);
    lbSearch = new QLabel(QStringLiteral("Search text:"), column);
    lbSearch->setObjectName(QStringLiteral("lbSearch"));
    lbSearch->move(10, 8);
    EdSearch = new QLineEdit(column);
    EdSearch->setObjectName(QStringLiteral("EdSearch"));
    EdSearch->setGeometry(10, 24, 167, 21);
    EdSearch->installEventFilter(this);
    connect(EdSearch, &QLineEdit::textChanged, this, &TfrSearch::EdSearchChange);

    TntGroupBox1 = new QGroupBox(QStringLiteral("Options:"), column);
    TntGroupBox1->setObjectName(QStringLiteral("TntGroupBox1"));
    TntGroupBox1->setGeometry(10, 56, 167, 129);
    const auto radio
        = [this](const QString &name, const QString &caption, int y, void (TfrSearch::*onClick)()) {
              auto *button = new QRadioButton(caption, TntGroupBox1);
              button->setObjectName(name);
              button->setGeometry(14, y, 140, 17);
              connect(button, &QRadioButton::toggled, this, [this, onClick](bool checked) {
                  if (checked)
                      (this->*onClick)();
              });
              return button;
          };
    rbDescrLinks = radio(QStringLiteral("rbDescrLinks"), QStringLiteral("Descriptions and links"), 24,
                         &TfrSearch::rbDescrLinksClick);
    RbDescription = radio(QStringLiteral("RbDescription"), QStringLiteral("Descriptions"), 48,
                          &TfrSearch::RbDescriptionClick);
    RbLink = radio(QStringLiteral("RbLink"), QStringLiteral("Links"), 72, &TfrSearch::RbLinkClick);
    RbDublicates = radio(QStringLiteral("RbDublicates"), QStringLiteral("Dublicates"), 96,
                         &TfrSearch::RbDublicatesClick);

    BtnFind = createButton(QStringLiteral("BtnFind"), QStringLiteral("Find"), true, column);
    BtnFind->setGeometry(10, 200, 167, 25);
    connect(BtnFind, &TRzBmpButton::clicked, this, &TfrSearch::BtnFindClick);
}

void TfrSearch::createList()
{
    VTDubl = new QTreeView(this);
    VTDubl->setObjectName(QStringLiteral("VTDubl"));
    // Its glyph points the way the main tree's does.
    VTDubl->setHeader(new SortGlyphHeaderView(Qt::Horizontal, VTDubl));
    VTDubl->setModel(m_results);
    VTDubl->setRootIsDecorated(false);
    VTDubl->setUniformRowHeights(true);
    VTDubl->setAllColumnsShowFocus(true);
    VTDubl->setSelectionBehavior(QAbstractItemView::SelectRows);
    VTDubl->setSelectionMode(QAbstractItemView::ExtendedSelection);
    VTDubl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VTDubl->installEventFilter(this);
    VTDubl->setItemDelegate(new GridLineDelegate(VTDubl));
    QHeaderView *header = VTDubl->header();
    // As the list's own header would have it.
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(true);
    header->setSectionsMovable(true);
    header->setSortIndicatorShown(false);
    header->resizeSection(SearchResultModel::DescriptionColumn, 194);
    header->resizeSection(SearchResultModel::LinkColumn, 194);
    header->resizeSection(SearchResultModel::LocationColumn, 94);
    new SpringHeader(header);
    connect(header, &QHeaderView::sectionClicked, this, &TfrSearch::VTDublHeaderClick);
    // The buttons follow the selection whatever changes it: mouse, keys or a new list.
    connect(VTDubl->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrSearch::VTDublSelectionChanged);
    connect(m_results, &QAbstractItemModel::modelReset, this, &TfrSearch::VTDublSelectionChanged);
}

QWidget *TfrSearch::createBottomBar()
{
    auto *bar = new QWidget(this);
    bar->setFixedHeight(BottomBarHeight);
    const auto background = [bar](const QString &name, TAlign align) {
        auto *panel = new TRzBackground(bar);
        panel->setObjectName(name);
        panel->SetFrameStyle(fsPopup);
        panel->SetGradientColorStart(clWhite);
        panel->SetGradientColorStop(BarGradientStop);
        panel->SetAlign(align);
        return panel;
    };
    RzBackground2 = background(QStringLiteral("RzBackground2"), alLeft);
    RzBackground2->resize(212, BottomBarHeight);
    RzBackground1 = background(QStringLiteral("RzBackground1"), alClient);

    LbSelected = new QLabel(QStringLiteral("Total:"), RzBackground2);
    LbSelected->setObjectName(QStringLiteral("LbSelected"));
    LbSelected->setAlignment(Qt::AlignCenter);
    LbSelected->setGeometry(16, 14, 185, 13);

    auto *buttons = new QHBoxLayout(RzBackground1);
    buttons->setContentsMargins(6, 6, 8, 7);
    btPreview = createButton(QStringLiteral("btPreview"), QStringLiteral("Select in a program"), false,
                             RzBackground1);
    btPreview->setFixedSize(169, 25);
    btDelete = createButton(QStringLiteral("btDelete"), QStringLiteral("Delete"), true, RzBackground1);
    btDelete->setFixedSize(75, 25);
    buttons->addWidget(btPreview);
    buttons->addStretch(1);
    buttons->addWidget(btDelete);
    connect(btPreview, &TRzBmpButton::clicked, this, &TfrSearch::btPreviewClick);
    connect(btDelete, &TRzBmpButton::clicked, this, &TfrSearch::btDeleteClick);
    return bar;
}

TRzBmpButton *TfrSearch::createButton(const QString &name, const QString &caption, bool bold, QWidget *parent)
{
    auto *button = new TRzBmpButton(parent);
    button->setObjectName(name);
    button->SetButtonBorder(bbButton);
    button->SetCaption(caption);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    button->setEnabled(false);
    return button;
}

SearchMode TfrSearch::mode() const
{
    return static_cast<SearchMode>(m_form.ToolBarSearch->Tag());
}

void TfrSearch::setMode(SearchMode mode)
{
    m_form.ToolBarSearch->SetTag(static_cast<int>(mode));
}

// The window opens on the mode "Find" runs, the one last chosen in this run.
void TfrSearch::restoreMode()
{
    switch (mode()) {
    case SearchMode::Descriptions:
        RbDescription->setChecked(true);
        break;
    case SearchMode::Links:
        RbLink->setChecked(true);
        break;
    case SearchMode::Dublicates:
        RbDublicates->setChecked(true);
        break;
    default:
        setMode(SearchMode::DescriptionsAndLinks);
        rbDescrLinks->setChecked(true);
        break;
    }
}

void TfrSearch::rbDescrLinksClick()
{
    setMode(SearchMode::DescriptionsAndLinks);
    enableTextModes();
}

void TfrSearch::RbDescriptionClick()
{
    setMode(SearchMode::Descriptions);
    enableTextModes();
}

void TfrSearch::RbLinkClick()
{
    setMode(SearchMode::Links);
    enableTextModes();
}

void TfrSearch::enableTextModes()
{
    EdSearch->setEnabled(true);
    EdSearch->setStyleSheet(EnabledFieldColour);
    EdSearchChange();
}

void TfrSearch::RbDublicatesClick()
{
    setMode(SearchMode::Dublicates);
    EdSearch->setEnabled(false);
    EdSearch->setStyleSheet(DisabledFieldColour);
    BtnFind->setEnabled(true);
}

void TfrSearch::EdSearchChange()
{
    // The duplicates search needs no text; the field is disabled then.
    if (EdSearch->isEnabled())
        BtnFind->setEnabled(!EdSearch->text().isEmpty());
}

void TfrSearch::BtnFindClick()
{
    if (m_form.isTreeBusy())
        return;
    const SearchMode current = mode();
    switch (current) {
    case SearchMode::DescriptionsAndLinks:
    case SearchMode::Descriptions:
    case SearchMode::Links:
        if (!EdSearch->text().trimmed().isEmpty())
            FindAllLinks(current);
        break;
    case SearchMode::Dublicates:
        FintAndSortDubl();
        break;
    }
}

void TfrSearch::FindAllLinks(SearchMode mode)
{
    if (!m_form.tree().firstNode())
        return;
    showRows(vellumite::FindAllLinks(m_form.tree(), EdSearch->text(), mode));
}

void TfrSearch::FintAndSortDubl()
{
    showRows(FindDublicates(m_form.tree()));
    m_sortColumn = SearchResultModel::LinkColumn;
    m_sortOrder = Qt::AscendingOrder;
    VTDubl->header()->setSortIndicatorShown(true);
    VTDubl->header()->setSortIndicator(m_sortColumn, m_sortOrder);
}

void TfrSearch::showRows(std::vector<SearchResult> rows)
{
    VTDubl->setUpdatesEnabled(false);
    m_results->setRows(std::move(rows));
    VTDubl->setUpdatesEnabled(true);
    LbSelected->setText(totalText(m_results->rowCount()));
}

void TfrSearch::VTDublHeaderClick(int column)
{
    // The direction flips whatever column was sorted before.
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = column;
    VTDubl->header()->setSortIndicatorShown(true);
    VTDubl->header()->setSortIndicator(column, m_sortOrder);
    m_results->sort(column, m_sortOrder);
}

std::vector<BookmarkNode *> TfrSearch::selectedBookmarks() const
{
    QModelIndexList rows = VTDubl->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    const LiveNodes live(m_form.tree());
    std::vector<BookmarkNode *> nodes;
    nodes.reserve(size_t(rows.size()));
    for (const QModelIndex &row : rows) {
        if (BookmarkNode *node = live.resolve(m_results->row(row.row()).node))
            nodes.push_back(node);
    }
    return nodes;
}

void TfrSearch::btDeleteClick()
{
    if (m_form.isTreeBusy() || !VTDubl->selectionModel()->hasSelection())
        return;
    if (m_messages.question(QStringLiteral("Warning!"), QStringLiteral("Delete selected?"))
        != MessageAnswer::Yes)
        return;
    const std::vector<BookmarkNode *> nodes = selectedBookmarks();
    if (!nodes.empty())
        m_form.model()->removeNodes(nodes);
    FintAndSortDubl();
    m_form.UpdateTreeCounts();
}

void TfrSearch::btPreviewClick()
{
    if (m_form.isTreeBusy())
        return;
    const std::vector<BookmarkNode *> nodes = selectedBookmarks();
    BookmarkTreeView &vt = *m_form.VT();
    BookmarkModel &model = *m_form.model();
    vt.collapseAll();
    if (BookmarkNode *root = m_form.tree().firstNode())
        vt.expand(model.indexFromNode(root));
    QItemSelection selection;
    for (BookmarkNode *node : nodes)
        selection.select(model.indexFromNode(node, 0), model.indexFromNode(node, model.columnCount() - 1));
    vt.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!nodes.empty())
        vt.selectionModel()->setCurrentIndex(model.indexFromNode(nodes.back()),
                                             QItemSelectionModel::NoUpdate);
}

void TfrSearch::VTDublSelectionChanged()
{
    const bool any = VTDubl->selectionModel()->hasSelection();
    btDelete->setEnabled(any);
    btPreview->setEnabled(any);
}

bool TfrSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (watched == EdSearch && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
        BtnFindClick();
        return true;
    }
    if (watched == EdSearch && key.matches(QKeySequence::SelectAll)) {
        EdSearch->selectAll();
        return true;
    }
    if (watched == VTDubl && key.key() == Qt::Key_Delete && VTDubl->selectionModel()->hasSelection()) {
        btDeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vellumite
