#include "main/core/pagecapture.h"

#include <algorithm>
#include <array>
#include <optional>

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
    QStringView(u" \u2014 Mozilla Firefox"),
    QStringView(u" - Mozilla Firefox"),
    QStringView(u" \u2014 Firefox"),
    QStringView(u" - Firefox"),
    QStringView(u" - SeaMonkey"),
    QStringView(u" \u2014 SeaMonkey"),
    QStringView(u" - Iceweasel"),
};
constexpr std::array MozillaPrivateSuffixes {
    QStringView(u" \u2014 Mozilla Firefox Private Browsing"),
    QStringView(u" - Mozilla Firefox Private Browsing"),
    QStringView(u" \u2014 Firefox Private Browsing"),
    QStringView(u" - Firefox Private Browsing"),
};
constexpr std::array MozillaNames { QStringView(u"Mozilla Firefox"), QStringView(u"Firefox"),
                                    QStringView(u"SeaMonkey"), QStringView(u"Iceweasel") };
constexpr std::array MozillaPrivateNames { QStringView(u"Mozilla Firefox Private Browsing"),
                                           QStringView(u"Firefox Private Browsing") };
// Firefox keeps the first 256 characters of a longer title in its window name.
constexpr qsizetype MozillaTitleLimit = 256;

const std::array<BrowserRecognition, 3> RecognitionTable { {
    { u"IExplore", TitleRule::Trimmed, InternetExplorerClasses, InternetExplorerSuffixes, {}, {}, {}, 0 },
    { u"Opera", TitleRule::InsideBrackets, OperaClasses, OperaSuffixes, {}, {}, {}, 0 },
    { u"Firefox", TitleRule::Trimmed, MozillaClasses, MozillaSuffixes, MozillaPrivateSuffixes, MozillaNames,
      MozillaPrivateNames, MozillaTitleLimit },
} };

bool isOneOf(QStringView text, std::span<const QStringView> names)
{
    return std::find(names.begin(), names.end(), text) != names.end();
}

// The name without the first of `suffixes` that it ends with; nothing when it ends with none.
std::optional<QStringView> withoutSuffix(QStringView name, std::span<const QStringView> suffixes)
{
    for (QStringView suffix : suffixes) {
        if (name.endsWith(suffix))
            return name.chopped(suffix.size());
    }
    return std::nullopt;
}

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

NamedPage pageFromWindowName(const QString &windowName, const BrowserRecognition &family)
{
    const QString whole = trimBelow33(windowName);
    if (isOneOf(whole, family.privateNames))
        return { QString(), TitleForm::Whole, true };
    if (isOneOf(whole, family.names))
        return {};
    NamedPage page;
    std::optional<QStringView> title = withoutSuffix(windowName, family.privateSuffixes);
    page.privateWindow = title.has_value();
    if (!title)
        title = withoutSuffix(windowName, family.titleSuffixes).value_or(windowName);
    // Measured before trimming: the cut may end in a blank of the title.
    if (family.titleLimit > 0 && title->size() >= family.titleLimit)
        page.form = TitleForm::Start;
    page.title = trimBelow33(*title);
    return page;
}

CapturedPage captureForegroundPage(const std::optional<ForegroundWindowInfo> &window,
                                   const BrowserPageQuery &query)
{
    if (!window)
        return {};
    const BrowserRecognition *family = recogniseBrowser(window->className);
    if (!family)
        return {};
    const NamedPage named = pageFromWindowName(window->title, *family);
    if (named.privateWindow)
        return { named.title, QString() };
    const std::optional<WindowInfoReply> reply = query.requestWindowInfo(
        { family->service.toString(), window->processId, named.title, named.form, window->place });
    if (!reply)
        return { named.title, QString() };
    return applyReplyRules(family->titleRule, *reply);
}

} // namespace vellumite
