// The uninstall feedback program: asks why the product was removed and hands the answer to the mail
// program. It reads no arguments, settings or files and writes nothing.

#include "feedback/feedbackform.h"
#include "feedback/feedbackshell.h"

#include <QApplication>
#include <QIcon>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {
namespace {

int FeedbackMain()
{
    DesktopOpener shell;
    FeedbackForm form(shell);
    form.setWindowIcon(QIcon(u":/mainicon.png"_s));
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
