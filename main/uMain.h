#pragma once

#include "main/core/bookmarktree.h"
#include "main/core/programsettings.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QPushButton;
class QTreeView;

namespace vellumite {

enum class AddKind : quint8;
class AddBookmarkDialogs;
class BookmarkModel;
class ModelTreeEditor;
class StatusBar;
class TfrAddBookmark;

// The main window: the banner with the toolbar, the bookmark tree `VT` and the status bar.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    BookmarkTree &tree() { return m_tree; }
    BookmarkModel *model() const { return m_model; }
    QTreeView *VT() const { return m_vt; }
    StatusBar *StatusBar1() const { return m_statusBar; }

    QPushButton *ToolBarImport = nullptr;
    QPushButton *ToolBarExport = nullptr;
    QPushButton *ToolBarSearch = nullptr;
    QPushButton *btCheckURL = nullptr;
    QPushButton *ToolBarOptions = nullptr;
    QPushButton *btHelp = nullptr;

    // Status-bar panel widths follow the bar's width.
    void StatusBar1Resize();
    // Sorts the whole tree by the clicked column, flipping the direction.
    void VTHeaderClick(int column);

    // Prepares the add dialog for `kind` and shows it modeless; returns it so that a capture or a drop
    // can fill DescrEdit and LinkEdit (nullptr while the tree is busy).
    TfrAddBookmark *AddBookmarkCategory(AddKind kind);
    // Edits the focused node in a modal dialog; the root and an empty focus are left alone.
    void Edit1Click();

    // True while a worker block (the save at exit) owns the tree: nothing else may read or change it.
    bool isTreeBusy() const { return m_treeBusy; }
    void setTreeBusy(bool busy) { m_treeBusy = busy; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createLayout();
    QPushButton *createToolBarButton(const QString &objectName, int x, int width, const QString &hint);
    void TntFormShow();

    BookmarkTree m_tree;
    BookmarkModel *m_model = nullptr;
    QTreeView *m_vt = nullptr;
    StatusBar *m_statusBar = nullptr;
    QWidget *m_banner = nullptr;
    bool m_shownOnce = false;
    bool m_treeBusy = false;
    std::unique_ptr<ModelTreeEditor> m_treeEditor;
    std::unique_ptr<AddBookmarkDialogs> m_bookmarkDialogs;
};

} // namespace vellumite
