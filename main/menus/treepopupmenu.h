#pragma once

#include "main/core/popupoffer.h"

#include <QObject>
#include <array>

class QAction;
class QActionGroup;
class QKeySequence;
class QMenu;
class QWidget;

namespace vellumite {

class ImageList;

// The tree's context menu `PopupMenu`, its items named, ordered and captioned as the window's design
// has them. Every item with a shortcut also gets an action of the tree's own that the shortcut fires
// while the tree has the focus, so a shortcut works whether the menu is open or not and whatever the
// item's last offer was; both end in the item's triggered() signal, where the commands connect.
class TreePopupMenu : public QObject
{
    Q_OBJECT

public:
    // `openWith` is the "Open with" submenu, one item per browser; it becomes the menu's first item.
    TreePopupMenu(QWidget *tree, QMenu *openWith, const ImageList &images, QWidget *parent);

    QMenu *PopupMenu = nullptr;
    QMenu *OpenwithMenu = nullptr;
    QAction *Openwith1 = nullptr;
    QAction *N1 = nullptr;
    QMenu *AddMenu = nullptr;
    QAction *Add1 = nullptr;
    QAction *AddCategory1 = nullptr;
    QAction *mAdd = nullptr;
    QAction *N2 = nullptr;
    QAction *Expandall1 = nullptr;
    QAction *Collapseall1 = nullptr;
    QAction *N3 = nullptr;
    QMenu *PriorityMenu = nullptr;
    QAction *Priority1 = nullptr;
    QActionGroup *PriorityGroup = nullptr;
    QAction *High1 = nullptr;
    QAction *Medium1 = nullptr;
    QAction *Low1 = nullptr;
    QAction *Checkurl1 = nullptr;
    QAction *N6 = nullptr;
    QAction *Cut1 = nullptr;
    QAction *Copy1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *N7 = nullptr;
    QAction *mDelete = nullptr;
    QAction *Rename1 = nullptr;
    QAction *Edit1 = nullptr;

    QAction *item(PopupItem item) const;
    // The tree's own action behind an item's shortcut; nullptr for an item without one.
    QAction *shortcutOf(const QAction *item) const;

    // What the last opening left, and the menu's items set to a new offer.
    const PopupOffer &offer() const { return m_offer; }
    void apply(const PopupOffer &offer);

private:
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption);
    QAction *addSeparator(const QString &name);
    QMenu *addSubmenu(const QString &name, const QString &caption, QAction *&item);
    // The shortcut is shown beside the caption and bound to an action of the tree.
    void bindShortcut(QAction *item, const QList<QKeySequence> &keys);

    QWidget *m_tree;
    std::array<QAction *, PopupItemCount> m_items {};
    PopupOffer m_offer = PopupOffer::initial();
};

} // namespace vellumite
