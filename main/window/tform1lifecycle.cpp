// The main window's start-up and shut-down: settings, the bookmark file and the save at exit.

#include "exchange/dialog/tfrimportexport.h"
#include "main/core/bookmarkfile.h"
#include "main/core/functii.h"
#include "main/core/linkverification.h"
#include "main/menus/openwithmenu.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "main/tree/treecounter.h"
#include "main/window/screenfit.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "main/window/workerblock.h"
#include "platform/platformservices.h"

#include <QCloseEvent>
#include <QHeaderView>

namespace vellumite {

namespace {

WindowShow windowShow(const QWidget &window)
{
    if (window.isMinimized())
        return WindowShow::Minimized;
    if (window.isMaximized())
        return WindowShow::Maximized;
    return WindowShow::Normal;
}

} // namespace

QString TForm1::bookmarkFilePath() const
{
    return m_folder.shownPathOf(BookmarkFileName);
}

void TForm1::showFailure(const QString &message) const
{
    if (m_services)
        m_services->messages->error(ApplicationTitle, message);
}

MessageService &TForm1::messages() const
{
    return *m_services->messages;
}

void TForm1::FormCreate(PlatformServices &services, const QString &programFolder)
{
    FormCreate(services, ProgramFolder(programFolder));
}

void TForm1::FormCreate(PlatformServices &services, ProgramFolder folder)
{
    m_services = &services;
    m_folder = std::move(folder);
    createLinkChecks();
    m_lifecycle = std::make_unique<ProgramLifecycle>(
        *services.folderProbe, m_folder,
        [this](ProgramLifecycle::MessageKind kind, const QString &text) { tell(kind, text); });
    createHelpMenu();
    createExchangeCommands();
    applyStartupSettings(m_lifecycle->readSettings(currentScreenLayout()));
    m_installedBrowsers = detectBrowsers(m_browserPaths, *services.systemLookup, *services.productVersions);
    updateOpenWithMenu(Openwith1, m_installedBrowsers);
    AddRootBookmark();
    m_lifecycle->reportUnreadableSettings();
}

void TForm1::tell(ProgramLifecycle::MessageKind kind, const QString &text)
{
    // Once the program is ending, no box may keep it from ending.
    if (m_terminated)
        qWarning("%s", qPrintable(text));
    else if (kind == ProgramLifecycle::MessageKind::Error)
        showFailure(text);
    else
        m_services->messages->information(ApplicationTitle, text);
}

void TForm1::updateTitle()
{
    // While nothing can be saved, the title says so: the user knows before the edits are made.
    setWindowTitle(m_lifecycle && m_lifecycle->isReadOnly() ? ApplicationTitle + ReadOnlyTitleMark
                                                            : ApplicationTitle);
}

void TForm1::applyStartupSettings(const StartupSettings &settings)
{
    // Left and Top are the window's outer corner, where the window manager puts the frame: a window
    // stored at the top of the screen keeps its title bar on it. A maximized window gets its normal
    // bounds placed all the same, and its minimum size fitted to the screen.
    ScreenFit::placeAtStoredBounds(*this, settings.placement.bounds);
    if (settings.placement.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_vt->header()->resizeSection(0, settings.columns.description);
    m_vt->header()->resizeSection(1, settings.columns.link);
    m_vt->header()->resizeSection(2, settings.columns.state);
    m_browserPaths.OpenWithBrowser = settings.openWithBrowser;
}

void TForm1::AddRootBookmark()
{
    const ProgramLifecycle::StartupResult result
        = m_lifecycle->loadOrCreateTree(m_tree, m_browserPaths.DefaultBrowser.Tag);
    m_model->reloadSorted();
    updateTitle();
    if (result != ProgramLifecycle::StartupResult::RootNotSaved)
        restoreViewStateFromNodes();
    if (result == ProgramLifecycle::StartupResult::Ready)
        UpdateTreeCounts();
    // The view holds the tree now: a termination while a message is up saves it as it is shown.
    m_lifecycle->reportStartup();
}

void TForm1::UpdateTreeCounts()
{
    m_treeCounter->update();
}

ExitSettings TForm1::currentExitSettings() const
{
    ExitSettings settings;
    settings.show = windowShow(*this);
    // A minimized or maximized window keeps its normal bounds, never the off-screen ones. The position
    // is the frame's, as the start places it.
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    const QPoint frameOffset = geometry().topLeft() - pos();
    settings.bounds = QRect(normal.topLeft() - frameOffset, normal.size());
    settings.columns.description = m_vt->header()->sectionSize(0);
    settings.columns.link = m_vt->header()->sectionSize(1);
    settings.columns.state = m_vt->header()->sectionSize(2);
    settings.openWithBrowser = m_browserPaths.OpenWithBrowser;
    return settings;
}

bool TForm1::closeprogram(ProgramLifecycle::ExitKind kind)
{
    if (!m_services || m_closing)
        return false;
    // No link-check result may reach the tree from here on: the running tests are aborted. A close
    // that is refused lets verification start again.
    if (m_linkChecks)
        m_linkChecks->shutDown();
    const bool closes = saveForExit(kind);
    if (!closes && m_linkChecks)
        m_linkChecks->resume();
    return closes;
}

bool TForm1::saveForExit(ProgramLifecycle::ExitKind kind)
{
    if (!m_services || m_closing)
        return false;
    m_closing = true;
    const auto done = qScopeGuard([this] { m_closing = false; });
    // An open in-place editor holds a rename the user has typed: it belongs in the save.
    m_vt->commitOpenEditor();
    const bool ended = closeSteps(kind);
    updateTitle();
    if (ended && kind == ProgramLifecycle::ExitKind::Termination)
        m_terminated = true;
    // What the exit has to tell comes once the saves are done: no box stands before or between them. A
    // termination tells without a box (the session may end the process at any moment), and so does a
    // close that a termination request overtakes while its boxes are up.
    m_closing = false;
    for (const ProgramLifecycle::Message &message : m_lifecycle->takeExitMessages()) {
        if (kind == ProgramLifecycle::ExitKind::Termination)
            qWarning("%s", qPrintable(message.text));
        else
            tell(message.kind, message.text);
    }
    return ended;
}

bool TForm1::closeSteps(ProgramLifecycle::ExitKind kind)
{
    switch (m_lifecycle->prepareExit(currentExitSettings(), kind)) {
    case ProgramLifecycle::ExitStep::Close:
        return true;
    case ProgramLifecycle::ExitStep::StayOpen:
        return false;
    case ProgramLifecycle::ExitStep::SaveTree:
        break;
    }

    // A store step of the exchange dialog may still run on a pool thread; it ends before the tree is saved.
    if (frImportExport)
        frImportExport->waitForRunningStep();
    // The tree is turned into bytes here; the worker only writes them, so it never touches the tree.
    storeViewStateInNodes();
    const QByteArray bytes = BookmarkFile::save(m_tree);
    // An exchange run that is under way keeps the tree busy after the save.
    const bool busyBefore = isTreeBusy();
    setTreeBusy(true);
    // The folder stays open while the block runs: the window waits for it.
    const QString failure = runWorkerBlock([bytes, folder = m_folder.fd(), shown = bookmarkFilePath()] {
        return BookmarkFile::writeToFileAt(bytes, folder, BookmarkFileName, shown);
    });
    setTreeBusy(busyBefore);
    return m_lifecycle->finishExit(failure);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_services || closeprogram())
        event->accept();
    else
        event->ignore();
}

} // namespace vellumite
