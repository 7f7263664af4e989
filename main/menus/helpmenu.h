#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace vellumite {

class ProgramLauncher;
class Shell;
class TfAbout;

// What the help menu needs from the program and its main window.
struct HelpContext
{
    // The running program's folder, where the help file lies.
    QString programFolder;
    // The program's product version, shown by the about box; empty when the program file has none.
    QString productVersion;
    // The default browser's executable, empty when none is known; read each time it is used.
    std::function<QString()> defaultBrowser;
};

// The main window's help menu `PopupMenuHelp`: the help file, the support mail, the web page and the
// about box. The help file and the mail go to the desktop's shell, the web page to the default browser;
// nothing waits for or tests the result.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    HelpMenu(Shell &shell, ProgramLauncher &launcher, HelpContext context, QWidget *mainWindow);
    ~HelpMenu() override;

    // The help file beside the program.
    QString helpFilePath() const;

    // Opens the help file; without one nothing happens.
    void Contents1Click();
    void Support1Click();
    // Opens the web page in the default browser.
    void Homepage1Click();
    // Shows the about box modally; `fAbout` is set while it runs.
    void About1Click();

    QMenu *PopupMenuHelp = nullptr;
    QAction *Contents1 = nullptr;
    QAction *Support1 = nullptr;
    QAction *Homepage1 = nullptr;
    QAction *About1 = nullptr;

    QPointer<TfAbout> fAbout;

private:
    QString defaultBrowser() const;

    Shell &m_shell;
    ProgramLauncher &m_launcher;
    HelpContext m_context;
    QWidget *m_mainWindow;
};

} // namespace vellumite
