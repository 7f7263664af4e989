#pragma once

#include "base/programfolder.h"
#include "main/core/bookmarktree.h"
#include "main/core/browserdetection.h"
#include "main/core/programlifecycle.h"
#include "main/core/programsettings.h"
#include "main/tree/bookmarktreeview.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace vellumite {

enum class AddKind : quint8;
struct DroppedLink;
class AddBookmarkDialogs;
class BookmarkModel;
class HelpMenu;
class ModelTreeEditor;
class StatusBar;
class TRzBmpButton;
class TfrAddBookmark;
class TfrImportExport;
class TfrOptions;
class MessageService;
class TfrSearch;
class TreeEditCommands;
class TreePopupMenu;
class WindowKeys;
struct PlatformServices;
class CheckLinksMenu;
class LinkVerification;
class TForm1LinkCheckHost;
class TreeCounter;

// The main window: the banner with the toolbar, the bookmark tree `VT` and the status bar.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // Follows the caption while the program folder or the bookmark file cannot be written.
    static inline const QString ReadOnlyTitleMark = QStringLiteral(" (read-only: changes are not saved)");

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    BookmarkTree &tree() { return m_tree; }
    BookmarkModel *model() const { return m_model; }
    BookmarkTreeView *VT() const { return m_vt; }
    StatusBar *StatusBar1() const { return m_statusBar; }

    TRzBmpButton *ToolBarImport = nullptr;
    TRzBmpButton *ToolBarExport = nullptr;
    TRzBmpButton *ToolBarSearch = nullptr;
    TRzBmpButton *btCheckURL = nullptr;
    TRzBmpButton *ToolBarOptions = nullptr;
    TRzBmpButton *btHelp = nullptr;

    // The toolbar's Import and Export: the exchange dialog in its mode, modal. An import has changed the
    // tree once it closes; the tree is saved when the program closes.
    void ToolBarImportClick();
    void ToolBarExportClick();
    // The exchange dialog while it is open, else nullptr.
    TfrImportExport *frImportExport = nullptr;
    MessageService &messages() const;

    // The help button's menu: help file, support mail, web page and about box.
    HelpMenu *helpMenu() const { return m_helpMenu; }
    void btHelpClick();
    // Opens the help file (the "Contents" item and F1).
    void Contents1Click();

    // The tree's context menu and its "Open with" submenu.
    QMenu *PopupMenu = nullptr;
    QMenu *Openwith1 = nullptr;

    // Start-up in its fixed order: the settings, the browser detection, the bookmark file. Failures are
    // shown by the application's error display and end the remaining steps; the window runs on.
    void FormCreate(PlatformServices &services, ProgramFolder folder);
    // The same for the folder at `programFolder`.
    void FormCreate(PlatformServices &services, const QString &programFolder);
    // Loads "Bookmarks.lkb" or creates the root category, stamps the icons and shows the counts.
    void AddRootBookmark();
    // Writes the settings and saves the tree. False when the save failed (the failure was shown) or
    // a close is already under way: the window must then stay open.
    bool closeprogram(ProgramLifecycle::ExitKind kind = ProgramLifecycle::ExitKind::Close);
    // True once a termination request has saved everything: the program is ending.
    bool isTerminated() const { return m_terminated; }
    // "Categories: " and "Links: " in the status bar, counted now. Every change of the tree's size
    // also has them counted once control returns to the event loop.
    void UpdateTreeCounts();
    // As messages show it.
    QString bookmarkFilePath() const;
    // The folder of the bookmark and settings files, open for the whole run.
    const ProgramFolder &folder() const { return m_folder; }
    QString programFolder() const { return m_folder.shownPath(); }

    // Where the browsers and stores are, and which browser opens bookmarks (DefaultBrowser.Tag).
    BrowserPaths &browserPaths() { return m_browserPaths; }
    const InstalledBrowsers &installedBrowsers() const { return m_installedBrowsers; }
    // Opens the focused bookmark with the open-with browser (double click or Enter in the tree).
    void VTDblClick();
    // The "Open with" items: open the focused node's link with one browser.
    void OpenWithClick(BrowserCode code);

    // Status-bar panel widths follow the bar's width.
    void StatusBar1Resize();
    // Sorts the whole tree by the clicked column, flipping the direction.
    void VTHeaderClick(int column);

    // Prepares the add dialog for `kind` and shows it modeless; returns it so that a capture or a drop
    // can fill DescrEdit and LinkEdit (nullptr while the tree is busy).
    TfrAddBookmark *AddBookmarkCategory(AddKind kind);
    // A link dropped from another program onto `category`: with a link and a title it becomes the
    // category's last bookmark at once, selected and focused; otherwise the add dialog opens with what
    // was found. Refused while the tree is busy.
    void VTDragDrop(BookmarkNode *category, const DroppedLink &dropped);
    // The options window, made once at start right after this window; the toolbar shows it modally.
    void setOptionsWindow(TfrOptions *options) { m_optionsWindow = options; }
    void ToolBarOptionsClick();
    // Edits the focused node in a modal dialog; the root and an empty focus are left alone.
    void Edit1Click();

    // The tree's context menu and its commands. Each command acts on the focused node and the current
    // selection, from the menu or from its shortcut, and does nothing while the tree is busy.
    TreePopupMenu *popupMenu() const { return m_popupMenu; }
    // Ctrl+F and F1 from any control of the window.
    WindowKeys *windowKeys() const { return m_windowKeys; }
    // Just before the menu opens: the add item's icon, then the offer rules for the focused node.
    void PopupMenuPopup();
    void PreparePopupMenu(BookmarkNode *node);
    void AddCategory1Click();
    void mAddClick();
    void Rename1Click();
    void High1Click();
    void Medium1Click();
    void Low1Click();
    // The priority of the clicked item's Tag, for the focused node only.
    void ChangePriorityClick(const QAction &item);
    void Expandall1Click();
    void Collapseall1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    // Verifies the focused bookmark's link; a focused category is left alone.
    void Checkurl1Click();

    // Link verification: the "Check links" button drops down PopupMenuCheck with the whole-tree commands.
    CheckLinksMenu *PopupMenuCheck = nullptr;
    LinkVerification *linkChecks() const { return m_linkChecks.get(); }
    void btCheckURLClick();
    void Checkall1Click();
    void Check1Click();
    void StopVerifiedClick();
    void Deleteallbrokenlinks1Click();
    void showLinkCheckFailure(const QString &message) const { showFailure(message); }

    // True while a worker block (the save at exit) owns the tree: nothing else may read or change it.
    bool isTreeBusy() const { return m_treeBusy; }
    void setTreeBusy(bool busy) { m_treeBusy = busy; }

    // Around the bookmark file: the view's expansion and selection are copied into the nodes' state
    // flags before a save, and back into the view after a load (once the model was reset).
    void storeViewStateInNodes();
    void restoreViewStateFromNodes();

    // Opens the search window modally (the toolbar's Search button and Ctrl+F); refused while the tree
    // is busy.
    void ToolBarSearchClick();
    // The search window while it is shown, else null.
    TfrSearch *frSearch = nullptr;

    // Deletes the selected nodes after asking (the context menu's "Delete", or the Delete key).
    void mDeleteClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createLayout();
    TRzBmpButton *createToolBarButton(const QString &objectName, const QString &picture, int x,
                                      const QString &hint);
    void TntFormShow();
    void createHelpMenu();
    void applyStartupSettings(const StartupSettings &settings);
    void createOpenWithCommands();
    void openNodeWith(const BookmarkNode &node, const QString &program);
    ExitSettings currentExitSettings() const;
    void showFailure(const QString &message) const;
    // A message of the start-up or the exit: a box, or the error stream once the program is ending.
    void tell(ProgramLifecycle::MessageKind kind, const QString &text);
    // The caption, marked while nothing can be saved.
    void updateTitle();
    void createEditingCommands();
    void showPopupMenu(const QPoint &position);
    void createExchangeCommands();
    void showImportExport(int mode);

    BookmarkTree m_tree;
    HelpMenu *m_helpMenu = nullptr;
    BookmarkModel *m_model = nullptr;
    BookmarkTreeView *m_vt = nullptr;
    StatusBar *m_statusBar = nullptr;
    QWidget *m_banner = nullptr;
    bool m_shownOnce = false;
    bool m_treeBusy = false;
    PlatformServices *m_services = nullptr;
    TfrOptions *m_optionsWindow = nullptr;
    ProgramFolder m_folder;
    // Decides the start-up and the exit; the window shows what it decides.
    std::unique_ptr<ProgramLifecycle> m_lifecycle;
    bool closeSteps(ProgramLifecycle::ExitKind kind);

    bool m_closing = false;
    bool m_terminated = false;
    // The open-with browser (OpenWithBrowser, DefaultBrowser.Tag is its code and the icon of every
    // bookmark), the other browsers and the stores.
    BrowserPaths m_browserPaths;
    InstalledBrowsers m_installedBrowsers;
    std::unique_ptr<TreeCounter> m_treeCounter;
    std::unique_ptr<ModelTreeEditor> m_treeEditor;
    std::unique_ptr<AddBookmarkDialogs> m_bookmarkDialogs;
    std::unique_ptr<TreeEditCommands> m_editCommands;
    void createLinkChecks();
    bool saveForExit(ProgramLifecycle::ExitKind kind);
    std::unique_ptr<TForm1LinkCheckHost> m_linkCheckHost;
    std::unique_ptr<LinkVerification> m_linkChecks;
    TreePopupMenu *m_popupMenu = nullptr;
    WindowKeys *m_windowKeys = nullptr;
};

} // namespace vellumite
