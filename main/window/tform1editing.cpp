// The main window's editing commands and the tree's context menu.

#include "controls/RzBmpBtn.h"
#include "main/core/dropformats.h"
#include "main/core/linkverification.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/linkcheck/TfrCheckOneURL.h"
#include "main/menus/treepopupmenu.h"
#include "main/menus/windowkeys.h"
#include "main/search/tfrsearch.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/imagelist.h"
#include "main/tree/treeeditcommands.h"
#include "main/window/tform1.h"
#include "platform/platformservices.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

namespace vellumite {

void TForm1::createEditingCommands()
{
    m_editCommands = std::make_unique<TreeEditCommands>(*m_model, *m_vt);
    m_popupMenu = new TreePopupMenu(m_vt, Openwith1, ImageList::instance(), this);
    PopupMenu = m_popupMenu->PopupMenu;
    m_windowKeys = new WindowKeys(this);
    connect(m_windowKeys, &WindowKeys::helpRequested, this, &TForm1::Contents1Click);
    // Queued: the key goes on to the focused control before the modal window runs its own loop.
    connect(m_windowKeys, &WindowKeys::searchRequested, this, &TForm1::ToolBarSearchClick,
            Qt::QueuedConnection);
    connect(ToolBarSearch, &TRzBmpButton::clicked, this, &TForm1::ToolBarSearchClick);

    m_vt->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_vt, &QWidget::customContextMenuRequested, this, &TForm1::showPopupMenu);

    const TreePopupMenu &menu = *m_popupMenu;
    const auto onTriggered = [this](QAction *item, void (TForm1::*command)()) {
        connect(item, &QAction::triggered, this, command);
    };
    onTriggered(menu.AddCategory1, &TForm1::AddCategory1Click);
    onTriggered(menu.mAdd, &TForm1::mAddClick);
    onTriggered(menu.Expandall1, &TForm1::Expandall1Click);
    onTriggered(menu.Collapseall1, &TForm1::Collapseall1Click);
    onTriggered(menu.High1, &TForm1::High1Click);
    onTriggered(menu.Medium1, &TForm1::Medium1Click);
    onTriggered(menu.Low1, &TForm1::Low1Click);
    onTriggered(menu.Checkurl1, &TForm1::Checkurl1Click);
    onTriggered(menu.Cut1, &TForm1::Cut1Click);
    onTriggered(menu.Copy1, &TForm1::Copy1Click);
    onTriggered(menu.Paste1, &TForm1::Paste1Click);
    onTriggered(menu.mDelete, &TForm1::mDeleteClick);
    onTriggered(menu.Rename1, &TForm1::Rename1Click);
    onTriggered(menu.Edit1, &TForm1::Edit1Click);
}

void TForm1::showPopupMenu(const QPoint &position)
{
    if (m_treeBusy)
        return;
    PopupMenuPopup();
    m_popupMenu->PopupMenu->popup(m_vt->viewport()->mapToGlobal(position));
}

void TForm1::PopupMenuPopup()
{
    m_popupMenu->mAdd->setIcon(ImageList::instance().icon(m_browserPaths.DefaultBrowser.Tag));
    PreparePopupMenu(m_vt->focusedNode());
}

void TForm1::PreparePopupMenu(BookmarkNode *node)
{
    std::optional<FocusedNodeFacts> focused;
    if (node) {
        focused = FocusedNodeFacts { node->record.IsCategory, node == m_tree.firstNode(),
                                     node->record.PriorityColor };
    }
    const bool hasTreeData = focused && focused->isCategory && TreeEditCommands::clipboardHoldsTreeData();
    m_popupMenu->apply(popupOfferFor(m_popupMenu->offer(), focused, m_vt->selectedCount(), hasTreeData));
}

void TForm1::AddCategory1Click()
{
    AddBookmarkCategory(AddKind::Category);
}

void TForm1::mAddClick()
{
    AddBookmarkCategory(AddKind::Bookmark);
}

void TForm1::mDeleteClick()
{
    if (m_treeBusy || !m_services || m_vt->isEditing())
        return;
    if (m_editCommands->deleteSelection(*m_services->messages) == TreeEditCommands::DeleteOutcome::Deleted)
        UpdateTreeCounts();
}

void TForm1::ToolBarSearchClick()
{
    if (m_treeBusy || !m_services || frSearch)
        return;
    TfrSearch window(*this, *m_services->messages, this);
    frSearch = &window;
    window.exec();
    frSearch = nullptr;
}

void TForm1::Rename1Click()
{
    if (!m_treeBusy)
        m_editCommands->renameFocused();
}

void TForm1::High1Click()
{
    ChangePriorityClick(*m_popupMenu->High1);
}

void TForm1::Medium1Click()
{
    ChangePriorityClick(*m_popupMenu->Medium1);
}

void TForm1::Low1Click()
{
    ChangePriorityClick(*m_popupMenu->Low1);
}

void TForm1::ChangePriorityClick(const QAction &item)
{
    if (!m_treeBusy)
        m_editCommands->setFocusedPriority(item.data().toInt());
}

void TForm1::Expandall1Click()
{
    m_editCommands->expandAll();
}

void TForm1::Collapseall1Click()
{
    m_editCommands->collapseAll();
}

void TForm1::Cut1Click()
{
    if (!m_treeBusy)
        m_editCommands->placeOnClipboard(TreeEditCommands::ClipboardMode::Cut);
}

void TForm1::Copy1Click()
{
    if (!m_treeBusy)
        m_editCommands->placeOnClipboard(TreeEditCommands::ClipboardMode::Copy);
}

void TForm1::Paste1Click()
{
    if (!m_treeBusy && m_services)
        m_editCommands->paste(*m_services->messages);
}

void TForm1::Checkurl1Click()
{
    BookmarkNode *node = m_vt->focusedNode();
    if (m_treeBusy || !node || node->record.IsCategory || !m_linkChecks)
        return;
    TfrCheckOneURL frCheckOneURL(*m_linkChecks, *node, this);
    frCheckOneURL.exec();
}

void TForm1::VTDragDrop(BookmarkNode *category, const DroppedLink &dropped)
{
    if (m_treeBusy || !category)
        return;
    if (dropped.link.isEmpty() || dropped.title.isEmpty()) {
        if (TfrAddBookmark *dialog = AddBookmarkCategory(AddKind::FilledBookmark)) {
            dialog->DescrEdit->setText(dropped.title);
            dialog->LinkEdit->setText(dropped.link);
        }
        return;
    }
    TBookmark record = makeBookmarkRecord(dropped.title, dropped.link, m_browserPaths.DefaultBrowser.Tag);
    record.ImportSource = FromFavorites;
    BookmarkNode *added = m_model->insertNode(category, std::make_unique<BookmarkNode>(std::move(record)));
    m_vt->selectionModel()->setCurrentIndex(m_model->indexFromNode(added),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace vellumite
