// The uninstall feedback program: asks why the product was removed and hands the answer to the mail
// program. It reads no arguments, settings or files and writes nothing.

#include "feedback/feedbackform.h"
#include "feedback/feedbackshell.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {
namespace {

// A 16 x 16 envelope, the program's icon.
QIcon ProgramIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2F, 0x4F, 0x7F), 1));
    painter.setBrush(QColor(0xF4, 0xFF, 0xF4));
    painter.drawRect(QRectF(1.5, 3.5, 13, 9));
    painter.drawPolyline(QList<QPointF> { { 1.5, 3.5 }, { 8, 9 }, { 14.5, 3.5 } });
    return QIcon(pixmap);
}

int FeedbackMain()
{
    DesktopOpener shell;
    FeedbackForm form(shell);
    form.setWindowIcon(ProgramIcon());
    form.show();
    return QApplication::exec();
}

} // namespace
} // namespace vellumite::feedback

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Feedback"_s);
    QApplication::setApplicationVersion(u"1.0.0.0"_s);
    QApplication::setOrganizationName(u"Orvane Software"_s);
    return vellumite::feedback::FeedbackMain();
}
