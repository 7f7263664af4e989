#include "main/linkcheck/checklinksmenu.h"

#include "main/tree/imagelist.h"

namespace vellumite {

CheckLinksMenu::CheckLinksMenu(const ImageList &images, QWidget *parent)
    : QMenu(parent)
    , m_images(images)
{
    setObjectName(QStringLiteral("PopupMenuCheck"));
    Checkall1 = addAction(QStringLiteral("Verify all links"));
    Check1 = addAction(QStringLiteral("Verify not verified links"));
    StopVerified = addAction(QStringLiteral("Stop verification"));
    addSeparator();
    Deleteallbrokenlinks1 = addAction(images.icon(LinkBroken), QStringLiteral("Delete all broken links"));
    setState(VerificationMenuState::Idle);
}

void CheckLinksMenu::setState(VerificationMenuState state)
{
    const bool idle = state == VerificationMenuState::Idle;
    StopVerified->setEnabled(!idle);
    Checkall1->setEnabled(idle);
    Check1->setEnabled(idle);
    Checkall1->setIcon(idle ? m_images.icon(LinkAlive) : QIcon());
    Check1->setIcon(idle ? m_images.icon(LinkNotVerified) : QIcon());
}

} // namespace vellumite
