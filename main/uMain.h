#pragma once

#include "main/core/bookmarktree.h"

#include <QMainWindow>

class QLabel;
class QPushButton;

namespace vellumite {

class BookmarkModel;
class BookmarkTreeView;
class StatusBar;

inline const QString ApplicationTitle = QStringLiteral("Vellumite Portable Edition");

// The main window: the banner with the toolbar, the bookmark tree `VT` and the status bar.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    BookmarkTree &tree() { return m_tree; }
    BookmarkModel *model() const { return m_model; }
    BookmarkTreeView *VT() const { return m_vt; }
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

    // Around the bookmark file: the view's expansion and selection are copied into the nodes' state
    // flags before a save, and back into the view after a load (once the model was reset).
    void storeViewStateInNodes();
    void restoreViewStateFromNodes();

    // Opens the focused bookmark with the open-with browser (a double click, or Enter in the tree).
    void VTDblClick();
    // Deletes the selected nodes after asking (the context menu's "Delete", or the Delete key).
    void mDeleteClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createLayout();
    QPushButton *createToolBarButton(const QString &objectName, int x, int width, const QString &hint);
    void TntFormShow();

    BookmarkTree m_tree;
    BookmarkModel *m_model = nullptr;
    BookmarkTreeView *m_vt = nullptr;
    StatusBar *m_statusBar = nullptr;
    QWidget *m_banner = nullptr;
    bool m_shownOnce = false;
};

} // namespace vellumite
