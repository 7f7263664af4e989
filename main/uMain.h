#pragma once

#include "main/core/bookmarktree.h"
#include "main/core/browserdetection.h"
#include "platform/browserservices.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QPushButton;
class QTreeView;

namespace vellumite {

class BookmarkModel;
class StatusBar;

inline const QString ApplicationTitle = QStringLiteral("Vellumite Portable Edition");

// The main window: the banner with the toolbar, the bookmark tree `VT` and the status bar.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    // With the given ways to find and start browsers instead of the desktop's.
    explicit TForm1(BrowserServices browserServices, QWidget *parent = nullptr);
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

    // The tree's context menu and its "Open with" submenu.
    QMenu *PopupMenu = nullptr;
    QMenu *Openwith1 = nullptr;

    // Where the browsers and stores are, and which browser opens bookmarks (DefaultBrowser.Tag).
    BrowserPaths &browserPaths() { return m_browserPaths; }
    const BrowserServices &browserServices() const { return m_browserServices; }
    const InstalledBrowsers &installedBrowsers() const { return m_installedBrowsers; }

    // Opens the focused bookmark with the open-with browser (double click or Enter in the tree).
    void VTDblClick();
    // The "Open with" items: open the focused node's link with one browser.
    void OpenWithClick(BrowserCode code);

    // Status-bar panel widths follow the bar's width.
    void StatusBar1Resize();
    // Sorts the whole tree by the clicked column, flipping the direction.
    void VTHeaderClick(int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createLayout();
    QPushButton *createToolBarButton(const QString &objectName, int x, int width, const QString &hint);
    void TntFormShow();
    void createOpenWithCommands();
    void showTreeContextMenu(const QPoint &position);
    void openNodeWith(const BookmarkNode &node, const QString &program);

    BookmarkTree m_tree;
    BrowserServices m_browserServices;
    BrowserPaths m_browserPaths;
    InstalledBrowsers m_installedBrowsers;
    BookmarkModel *m_model = nullptr;
    QTreeView *m_vt = nullptr;
    StatusBar *m_statusBar = nullptr;
    QWidget *m_banner = nullptr;
    bool m_shownOnce = false;
};

} // namespace vellumite
