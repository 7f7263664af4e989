#include "main/menus/openwithmenu.h"

#include "main/tree/imagelist.h"

#include <QMenu>

namespace vellumite {

namespace {

constexpr const char *BrowserCodeProperty = "browserCode";

} // namespace

QMenu *createOpenWithMenu(QWidget *parent, const InstalledBrowsers &installed,
                          std::function<void(BrowserCode)> open)
{
    auto *menu = new QMenu(QStringLiteral("Open with"), parent);
    menu->setObjectName(QStringLiteral("Openwith1"));
    menu->setIcon(ImageList::instance().icon(OpenWithImageIndex));
    for (const BrowserInfo &browser : openWithMenuBrowsers()) {
        QAction *item = menu->addAction(ImageList::instance().icon(browser.code), browser.caption.toString());
        item->setObjectName(browser.menuItemName.toString());
        item->setProperty(BrowserCodeProperty, int(browser.code));
        item->setVisible(false);
        QObject::connect(item, &QAction::triggered, menu, [open, code = browser.code] { open(code); });
    }
    updateOpenWithMenu(menu, installed);
    return menu;
}

void updateOpenWithMenu(QMenu *menu, const InstalledBrowsers &installed)
{
    const QList<QAction *> items = menu->actions();
    for (QAction *item : items) {
        if (installed.contains(BrowserCode(item->property(BrowserCodeProperty).toInt())))
            item->setVisible(true);
    }
}

} // namespace vellumite
