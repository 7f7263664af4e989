#include "main/core/pagecapture.h"

#include <array>

namespace vellumite {

namespace {

// Wine shows Internet Explorer's windows under its program's name.
constexpr std::array InternetExplorerClasses { QStringView(u"iexplore.exe") };
constexpr std::array InternetExplorerSuffixes { QStringView(u" - Windows Internet Explorer"),
                                                QStringView(u" - Internet Explorer") };
constexpr std::array OperaClasses { QStringView(u"Opera"), QStringView(u"opera") };
constexpr std::array OperaSuffixes { QStringView(u" - Opera") };
// "firefox" also covers Debian's "firefox-esr".
constexpr std::array MozillaClasses { QStringView(u"Firefox"),   QStringView(u"firefox"),
                                      QStringView(u"SeaMonkey"), QStringView(u"seamonkey"),
                                      QStringView(u"Iceweasel"), QStringView(u"iceweasel") };
constexpr std::array MozillaSuffixes {
    QStringView(u" \u2014 Mozilla Firefox Private Browsing"),
    QStringView(u" - Mozilla Firefox Private Browsing"),
    QStringView(u" \u2014 Mozilla Firefox"),
    QStringView(u" - Mozilla Firefox"),
    QStringView(u" \u2014 Firefox"),
    QStringView(u" - Firefox"),
    QStringView(u" - SeaMonkey"),
    QStringView(u" \u2014 SeaMonkey"),
    QStringView(u" - Iceweasel"),
};

const std::array<BrowserRecognition, 3> RecognitionTable { {
    { u"IExplore", TitleRule::Trimmed, InternetExplorerClasses, InternetExplorerSuffixes },
    { u"Opera", TitleRule::InsideBrackets, OperaClasses, OperaSuffixes },
    { u"Firefox", TitleRule::Trimmed, MozillaClasses, MozillaSuffixes },
} };

QStringView insideFirstBrackets(QStringView text)
{
    const qsizetype open = text.indexOf(u'[');
    if (open >= 0)
        text = text.mid(open + 1);
    const qsizetype close = text.indexOf(u']');
    return close < 0 ? QStringView() : text.first(close);
}

} // namespace

std::span<const BrowserRecognition> browserRecognitionTable()
{
    return RecognitionTable;
}

const BrowserRecognition *recogniseBrowser(const QString &className)
{
    const BrowserRecognition *found = nullptr;
    for (const BrowserRecognition &family : RecognitionTable) {
        for (QStringView name : family.classNames) {
            if (className.contains(name, Qt::CaseSensitive))
                found = &family;
        }
    }
    return found;
}

QString trimBelow33(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() < 33)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() < 33)
        --end;
    return text.sliced(begin, end - begin).toString();
}

CapturedPage applyReplyRules(TitleRule rule, const WindowInfoReply &reply)
{
    QStringView title = reply.title;
    if (rule == TitleRule::InsideBrackets)
        title = insideFirstBrackets(title);
    return { trimBelow33(title), reply.address };
}

QString pageTitleFromWindowName(const QString &windowName, const BrowserRecognition &family)
{
    for (QStringView suffix : family.titleSuffixes) {
        if (windowName.endsWith(suffix))
            return trimBelow33(QStringView(windowName).chopped(suffix.size()));
    }
    return trimBelow33(windowName);
}

CapturedPage captureForegroundPage(const std::optional<ForegroundWindowInfo> &window,
                                   const BrowserPageQuery &query)
{
    if (!window)
        return {};
    const BrowserRecognition *family = recogniseBrowser(window->className);
    if (!family)
        return {};
    const QString pageTitle = pageTitleFromWindowName(window->title, *family);
    const std::optional<WindowInfoReply> reply
        = query.requestWindowInfo({ family->service.toString(), window->processId, pageTitle });
    if (!reply)
        return { pageTitle, QString() };
    return applyReplyRules(family->titleRule, *reply);
}

} // namespace vellumite
