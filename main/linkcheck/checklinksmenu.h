#pragma once

#include "main/core/linkverification.h"

#include <QMenu>

namespace vellumite {

class ImageList;

// The "Check links" button's menu, PopupMenuCheck: the whole-tree commands, idle or running.
class CheckLinksMenu final : public QMenu
{
    Q_OBJECT

public:
    CheckLinksMenu(const ImageList &images, QWidget *parent = nullptr);

    QAction *Checkall1 = nullptr;
    QAction *Check1 = nullptr;
    QAction *StopVerified = nullptr;
    QAction *Deleteallbrokenlinks1 = nullptr;

    // DisableIconMenuCheckLink and MenuDisableCheckLink.
    void setState(VerificationMenuState state);

private:
    const ImageList &m_images;
};

} // namespace vellumite
