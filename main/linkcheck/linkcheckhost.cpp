#include "main/linkcheck/linkcheckhost.h"

#include "main/linkcheck/checklinksmenu.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"

namespace vellumite {

void watchBookmarkModel(LinkVerification &checks, const BookmarkModel &model)
{
    checks.watch(model, [&model](const QModelIndex &index) { return model.nodeFromIndex(index); });
    QObject::connect(&model, &BookmarkModel::rowsAboutToBeRemovedInLayout, &checks,
                     &LinkVerification::nodesAboutToBeRemoved);
}

void TForm1LinkCheckHost::linkStateChanged(BookmarkNode &node)
{
    m_form.model()->recordChanged(&node);
}

void TForm1LinkCheckHost::allLinkStatesChanged()
{
    m_form.VT()->viewport()->update();
}

void TForm1LinkCheckHost::verificationMenuChanged(VerificationMenuState state)
{
    if (m_form.PopupMenuCheck)
        m_form.PopupMenuCheck->setState(state);
}

bool TForm1LinkCheckHost::isTreeBusy() const
{
    return m_form.isTreeBusy();
}

void TForm1LinkCheckHost::deleteNodes(const std::vector<BookmarkNode *> &nodes)
{
    m_form.model()->removeNodes(nodes);
}

void TForm1LinkCheckHost::UpdateTreeCounts()
{
    m_form.UpdateTreeCounts();
}

void TForm1LinkCheckHost::showFailure(const QString &message)
{
    m_form.showLinkCheckFailure(message);
}

} // namespace vellumite
