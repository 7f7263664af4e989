#pragma once

#include "platform/browserpagequery.h"
#include "platform/foregroundwindow.h"
#include "platform/pickers.h"

#include <QList>
#include <functional>

namespace vellumite {

// The window in front, as the test sets it; `asked` counts the look-ups.
class FakeForegroundWindow final : public ForegroundWindow
{
public:
    std::optional<ForegroundWindowInfo> current() const override
    {
        ++m_asked;
        if (onAsked)
            onAsked();
        return m_window;
    }

    void setWindow(std::optional<ForegroundWindowInfo> window) { m_window = std::move(window); }
    int asked() const { return m_asked; }
    // Called at each look-up, so a test can see what the desktop showed at that moment.
    std::function<void()> onAsked;

private:
    std::optional<ForegroundWindowInfo> m_window;
    mutable int m_asked = 0;
};

// Answers every request with the reply the test sets, and keeps the requests.
class FakeBrowserPageQuery final : public BrowserPageQuery
{
public:
    std::optional<WindowInfoReply> requestWindowInfo(const BrowserWindow &window) const override
    {
        m_requests.append(window);
        return m_reply;
    }

    void setReply(std::optional<WindowInfoReply> reply) { m_reply = std::move(reply); }
    const QList<BrowserWindow> &requests() const { return m_requests; }

private:
    std::optional<WindowInfoReply> m_reply;
    mutable QList<BrowserWindow> m_requests;
};

// Pickers that answer what the test sets (cancelled unless told otherwise) and keep what was asked.
class FakePickers final : public Pickers
{
public:
    struct Request
    {
        QWidget *owner = nullptr;
        QString titleOrFilter;
        QString initialPath;
    };

    std::optional<QString> pickFolder(QWidget *owner, const QString &title) override
    {
        m_requests.append({ owner, title, QString() });
        return m_answer;
    }
    std::optional<QString> pickOpenFile(QWidget *owner, const QString &filter,
                                        const QString &initialPath) override
    {
        m_requests.append({ owner, filter, initialPath });
        return m_answer;
    }

    void setNextAnswer(std::optional<QString> answer) { m_answer = std::move(answer); }
    const QList<Request> &requests() const { return m_requests; }

private:
    std::optional<QString> m_answer;
    QList<Request> m_requests;
};

} // namespace vellumite
