#include "platform/widgets/dialogpickers.h"

#include <QFileDialog>

namespace vellumite {

std::optional<QString> DialogPickers::pickFolder(QWidget *owner, const QString &title)
{
    const QString folder = QFileDialog::getExistingDirectory(owner, title, QDir::homePath());
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}

std::optional<QString> DialogPickers::pickOpenFile(QWidget *owner, const QString &filter,
                                                   const QString &initialPath)
{
    // An empty caption leaves the dialog its own title.
    const QString file = QFileDialog::getOpenFileName(owner, QString(), initialPath, filter);
    if (file.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(file);
}

} // namespace vellumite
