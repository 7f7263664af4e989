#include "main/menus/helpmenu.h"

#include "main/dialogs/tfabout.h"
#include "main/menus/support.h"
#include "main/tree/imagelist.h"
#include "platform/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace vellumite {

HelpMenu::HelpMenu(Shell &shell, ProgramLauncher &launcher, HelpContext context, QWidget *mainWindow)
    : QObject(mainWindow)
    , m_shell(shell)
    , m_launcher(launcher)
    , m_context(std::move(context))
    , m_mainWindow(mainWindow)
{
    PopupMenuHelp = new QMenu(mainWindow);
    PopupMenuHelp->setObjectName(u"PopupMenuHelp"_s);

    Contents1 = PopupMenuHelp->addAction(u"Contents"_s, this, &HelpMenu::Contents1Click);
    Contents1->setObjectName(u"Contents1"_s);
    Contents1->setIcon(ImageList::instance().icon(ImageContents));
    // Shown in the menu only: the main window itself takes F1 from any of its controls.
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    Contents1->setShortcutContext(Qt::WidgetShortcut);

    Support1 = PopupMenuHelp->addAction(u"Support"_s, this, &HelpMenu::Support1Click);
    Support1->setObjectName(u"Support1"_s);
    Support1->setIcon(ImageList::instance().icon(ImageSupport));
    Homepage1 = PopupMenuHelp->addAction(u"Web page"_s, this, &HelpMenu::Homepage1Click);
    Homepage1->setObjectName(u"Homepage1"_s);
    PopupMenuHelp->addSeparator();
    About1 = PopupMenuHelp->addAction(u"About"_s, this, &HelpMenu::About1Click);
    About1->setObjectName(u"About1"_s);
}

HelpMenu::~HelpMenu() = default;

QString HelpMenu::helpFilePath() const
{
    return QDir(m_context.programFolder).filePath(u"Help.chm"_s);
}

void HelpMenu::Contents1Click()
{
    const QString path = helpFilePath();
    if (QFileInfo(path).isFile())
        m_shell.openFile(path);
}

void HelpMenu::Support1Click()
{
    SendSupportMail(m_shell);
}

QString HelpMenu::defaultBrowser() const
{
    return m_context.defaultBrowser ? m_context.defaultBrowser() : QString();
}

void HelpMenu::Homepage1Click()
{
    OpenWebPage(m_launcher, defaultBrowser());
}

void HelpMenu::About1Click()
{
    fAbout = new TfAbout(m_shell, m_launcher, defaultBrowser(), m_context.productVersion, m_mainWindow);
    fAbout->exec();
    // The box may already be gone with its owner; QPointer knows.
    delete fAbout;
    fAbout = nullptr;
}

} // namespace vellumite
