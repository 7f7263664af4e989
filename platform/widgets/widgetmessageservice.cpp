#include "platform/widgets/widgetmessageservice.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace vellumite {

namespace {

// The widest a path is shown: about as wide as a message box lays its text out, so that a long path
// takes a line or two rather than the whole screen.
constexpr int WidestPath = 480;

// A box with `text` as plain text, its quoted paths shortened in the middle to fit the box; the whole
// text is then in the box's details.
void prepareBox(QMessageBox &box, const QString &text, const QWidget *parent)
{
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 2 * WidestPath;
    const int width = std::max(160, std::min(WidestPath, screenWidth / 2));
    const QFontMetrics metrics(box.font());
    const ShortenedMessage shown = shortenQuotedPaths(text, [&](const QString &path) {
        return metrics.horizontalAdvance(path) <= width ? path
                                                        : metrics.elidedText(path, Qt::ElideMiddle, width);
    });
    box.setTextFormat(Qt::PlainText);
    box.setText(shown.text);
    if (shown.shortened)
        box.setDetailedText(text);
}

} // namespace

void WidgetMessageService::information(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok, m_parent);
    prepareBox(box, text, m_parent);
    box.exec();
}

void WidgetMessageService::error(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, QString(), QMessageBox::Ok, m_parent);
    prepareBox(box, errorDisplayText(text), m_parent);
    box.exec();
}

MessageAnswer WidgetMessageService::question(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, QString(), QMessageBox::Yes | QMessageBox::No, m_parent);
    prepareBox(box, text, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace vellumite
