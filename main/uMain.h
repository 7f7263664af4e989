#pragma once

#include "main/core/bookmarktree.h"
#include "main/core/programsettings.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QPushButton;
class QTreeView;

namespace vellumite {

class BookmarkModel;
class HelpMenu;
class Shell;
class StatusBar;

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

    // The help button's menu: help file, support mail, web page and about box.
    HelpMenu *helpMenu() const { return m_helpMenu; }
    void btHelpClick();
    // Opens the help file (the "Contents" item and F1).
    void Contents1Click();

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

    BookmarkTree m_tree;
    std::unique_ptr<Shell> m_shell;
    HelpMenu *m_helpMenu = nullptr;
    BookmarkModel *m_model = nullptr;
    QTreeView *m_vt = nullptr;
    StatusBar *m_statusBar = nullptr;
    QWidget *m_banner = nullptr;
    bool m_shownOnce = false;
};

} // namespace vellumite
