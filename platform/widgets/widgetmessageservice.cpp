#include "platform/widgets/widgetmessageservice.h"

#include <QMessageBox>

namespace vellumite {

void WidgetMessageService::information(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void WidgetMessageService::error(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, errorDisplayText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

MessageAnswer WidgetMessageService::question(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace vellumite
