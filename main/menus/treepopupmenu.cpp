#include "main/menus/treepopupmenu.h"

#include "main/tree/imagelist.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

namespace vellumite {

TreePopupMenu::TreePopupMenu(QWidget *tree, QMenu *openWith, const ImageList &images, QWidget *parent)
    : QObject(parent)
    , m_tree(tree)
{
    PopupMenu = new QMenu(parent);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));

    OpenwithMenu = openWith;
    Openwith1 = PopupMenu->addMenu(OpenwithMenu);
    Openwith1->setIcon(images.icon(ImageOpenWith));
    N1 = addSeparator(QStringLiteral("N1"));

    AddMenu = addSubmenu(QStringLiteral("Add1"), QStringLiteral("Add"), Add1);
    Add1->setIcon(images.icon(ImageAdd));
    AddCategory1 = addItem(AddMenu, QStringLiteral("AddCategory1"), QStringLiteral("Category"));
    AddCategory1->setIcon(images.icon(ImageFolder));
    bindShortcut(AddCategory1, { QKeySequence(Qt::CTRL | Qt::Key_Insert) });
    // Its icon is the open-with browser's, set each time the menu opens.
    mAdd = addItem(AddMenu, QStringLiteral("mAdd"), QStringLiteral("Bookmark"));
    bindShortcut(mAdd, { QKeySequence(Qt::Key_Insert) });
    N2 = addSeparator(QStringLiteral("N2"));

    Expandall1 = addItem(PopupMenu, QStringLiteral("Expandall1"), QStringLiteral("Expand all"));
    bindShortcut(Expandall1, { QKeySequence(Qt::CTRL | Qt::Key_E) });
    Collapseall1 = addItem(PopupMenu, QStringLiteral("Collapseall1"), QStringLiteral("Collapse all"));
    bindShortcut(Collapseall1, { QKeySequence(Qt::CTRL | Qt::Key_R) });
    N3 = addSeparator(QStringLiteral("N3"));

    PriorityMenu = addSubmenu(QStringLiteral("Priority1"), QStringLiteral("Priority"), Priority1);
    PriorityGroup = new QActionGroup(this);
    PriorityGroup->setExclusive(true);
    const auto addPriority = [this](const QString &name, const QString &caption, int tag) {
        QAction *action = addItem(PriorityMenu, name, caption);
        action->setCheckable(true);
        action->setData(tag);
        PriorityGroup->addAction(action);
        return action;
    };
    High1 = addPriority(QStringLiteral("High1"), QStringLiteral("High"), PriorityTagHigh);
    Medium1 = addPriority(QStringLiteral("Medium1"), QStringLiteral("Medium"), PriorityTagMedium);
    Low1 = addPriority(QStringLiteral("Low1"), QStringLiteral("Low"), PriorityTagLow);

    Checkurl1 = addItem(PopupMenu, QStringLiteral("Checkurl1"), QStringLiteral("Check url"));
    Checkurl1->setIcon(images.icon(ImageCheckUrl));
    bindShortcut(Checkurl1, { QKeySequence(Qt::CTRL | Qt::Key_K) });
    N6 = addSeparator(QStringLiteral("N6"));

    Cut1 = addItem(PopupMenu, QStringLiteral("Cut1"), QStringLiteral("Cut"));
    Copy1 = addItem(PopupMenu, QStringLiteral("Copy1"), QStringLiteral("Copy"));
    Paste1 = addItem(PopupMenu, QStringLiteral("Paste1"), QStringLiteral("Paste"));
    N7 = addSeparator(QStringLiteral("N7"));

    mDelete = addItem(PopupMenu, QStringLiteral("mDelete"), QStringLiteral("Delete"));
    mDelete->setIcon(images.icon(ImageDelete));
    Rename1 = addItem(PopupMenu, QStringLiteral("Rename1"), QStringLiteral("Rename"));
    bindShortcut(Rename1, { QKeySequence(Qt::Key_F2) });
    Edit1 = addItem(PopupMenu, QStringLiteral("Edit1"), QStringLiteral("Edit"));
    // Enter on the keypad and on the main keyboard are one key to the user; the first names it.
    bindShortcut(Edit1, { QKeySequence(Qt::ALT | Qt::Key_Enter), QKeySequence(Qt::ALT | Qt::Key_Return) });

    m_items = { Openwith1, Add1,  Expandall1, Collapseall1, Priority1, Checkurl1,
                Cut1,      Copy1, Paste1,     mDelete,      Rename1,   Edit1 };
    apply(PopupOffer::initial());
}

QAction *TreePopupMenu::addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction *TreePopupMenu::addSeparator(const QString &name)
{
    QAction *separator = PopupMenu->addSeparator();
    separator->setObjectName(name);
    return separator;
}

QMenu *TreePopupMenu::addSubmenu(const QString &name, const QString &caption, QAction *&item)
{
    QMenu *submenu = PopupMenu->addMenu(caption);
    submenu->setObjectName(name + QStringLiteral("Menu"));
    item = submenu->menuAction();
    item->setObjectName(name);
    return submenu;
}

void TreePopupMenu::bindShortcut(QAction *item, const QList<QKeySequence> &keys)
{
    // Shown after a tab, the key is drawn in the menu's shortcut column without binding the item, so
    // the item and the tree's action never compete for the key.
    item->setText(item->text() + u'\t' + keys.constFirst().toString(QKeySequence::NativeText));
    auto *shortcut = new QAction(m_tree);
    shortcut->setObjectName(item->objectName() + QStringLiteral("Shortcut"));
    shortcut->setShortcuts(keys);
    shortcut->setShortcutContext(Qt::WidgetShortcut);
    m_tree->addAction(shortcut);
    connect(shortcut, &QAction::triggered, item, &QAction::triggered);
}

QAction *TreePopupMenu::item(PopupItem which) const
{
    return m_items[static_cast<size_t>(which)];
}

QAction *TreePopupMenu::shortcutOf(const QAction *menuItem) const
{
    return m_tree->findChild<QAction *>(menuItem->objectName() + QStringLiteral("Shortcut"),
                                        Qt::FindDirectChildrenOnly);
}

void TreePopupMenu::apply(const PopupOffer &offer)
{
    m_offer = offer;
    for (int i = 0; i < PopupItemCount; ++i)
        m_items[static_cast<size_t>(i)]->setVisible(offer.visible[static_cast<size_t>(i)]);
    Paste1->setEnabled(offer.pasteEnabled);
    for (QAction *priority : PriorityGroup->actions())
        priority->setChecked(priority->data().toInt() == offer.checkedPriority);
}

} // namespace vellumite
