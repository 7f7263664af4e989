#pragma once

#include "platform/messageservice.h"

#include <QPointer>
#include <QWidget>

namespace vellumite {

// Message boxes over QMessageBox, modal to the parent widget (the main window once it exists).
class WidgetMessageService final : public MessageService
{
public:
    explicit WidgetMessageService(QWidget *parent = nullptr)
        : m_parent(parent)
    { }

    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void information(const QString &title, const QString &text) override;
    void error(const QString &title, const QString &text) override;
    MessageAnswer question(const QString &title, const QString &text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace vellumite
