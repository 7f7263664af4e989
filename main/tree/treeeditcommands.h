#pragma once

#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <unordered_set>
#include <vector>

namespace vellumite {

class BookmarkModel;
class BookmarkTreeView;
class MessageService;

inline const QString DeleteQuestionCaption = QStringLiteral("Warning!");
inline const QString DeleteQuestionText = QStringLiteral("Delete selected?");
inline const QString RootNotDeletableMessage = QStringLiteral("This folder is not to be deleted!");

// The editing commands of the main window's tree: delete, rename, priority, expand and collapse all,
// cut, copy and paste. They change the tree only through the model, so the view and its selection
// follow. Whether a command may run at all (the tree busy, an in-place edit under way) is the window's
// to decide.
class TreeEditCommands
{
public:
    TreeEditCommands(BookmarkModel &model, BookmarkTreeView &view);

    enum class DeleteOutcome { NothingSelected, RootRefused, Declined, Deleted };
    // The root category alone is refused with a message; selected with others it is deselected and the
    // rest is deleted once the user agrees. A node selected with its parent goes with the parent.
    DeleteOutcome deleteSelection(MessageService &messages);

    // An in-place edit of the focused node: a category's name, or the focused column of a bookmark.
    void renameFocused();
    // The priority of the item tagged `tag` (1 High, 2 Medium, 3 Low) for the focused node alone.
    void setFocusedPriority(int tag);
    void expandAll();
    // Everything collapsed, then the root opened again so its children stay in sight.
    void collapseAll();

    enum class ClipboardMode { Copy, Cut };
    // Places the selected nodes, each with its descendants, on the system clipboard; a cut also marks
    // them to be moved by the next paste into this tree. The root category is never taken. False, and
    // the clipboard untouched, when nothing else is selected.
    bool placeOnClipboard(ClipboardMode mode);

    enum class PasteOutcome { Nothing, Moved, Copied, Failed };
    // Inserts the clipboard's tree data as the last children of the focused category, sorted into
    // place: the nodes cut from this tree move there (a node never into itself or below itself), other
    // data becomes new nodes. Damaged data inserts nothing and its failure is shown.
    PasteOutcome paste(MessageService &messages);

    // The nodes marked by the last cut and not yet moved, in tree order.
    std::vector<BookmarkNode *> cutNodes() const;
    static bool clipboardHoldsTreeData();

private:
    void clearCutMarks();

    BookmarkModel &m_model;
    BookmarkTreeView &m_view;
    // The identity of the last cut, also on the clipboard while that cut's data is there.
    QByteArray m_cutId;
    // The nodes the last cut took: the explicit set a paste moves.
    std::unordered_set<const BookmarkNode *> m_cut;
};

} // namespace vellumite
