#pragma once

#include "platform/browserpagequery.h"
#include "platform/foregroundwindow.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <span>

namespace vellumite {

// How a browser family's answer names the page.
enum class TitleRule {
    // The second field, trimmed.
    Trimmed,
    // The text inside the second field's first square brackets ("Opera - [Page]"), trimmed.
    InsideBrackets,
};

// One browser family the capture recognises by the class of its window.
struct BrowserRecognition
{
    QStringView service;
    TitleRule titleRule;
    // The window belongs to the family when its class contains one of these (case-sensitive).
    std::span<const QStringView> classNames;
    // What the family appends to the page title in its window name.
    std::span<const QStringView> titleSuffixes;
    // What it appends instead in a private window, whose pages it keeps in no store.
    std::span<const QStringView> privateSuffixes;
    // The whole window name of a page without a title: the browser's name alone, in a normal and in a
    // private window.
    std::span<const QStringView> names;
    std::span<const QStringView> privateNames;
    // The browser cuts a longer page title to this many characters in its window name; 0 for none.
    qsizetype titleLimit = 0;
};

// The families in the order they are tested: Internet Explorer, Opera, the Mozilla family.
std::span<const BrowserRecognition> browserRecognitionTable();
// The family of a window class; when a class matches two rows the later one counts. nullptr for none.
const BrowserRecognition *recogniseBrowser(const QString &className);

// What the capture puts into the add dialog.
struct CapturedPage
{
    QString title;
    QString link;

    friend bool operator==(const CapturedPage &, const CapturedPage &) = default;
};

// Text without the leading and trailing characters below 33 (blanks and control characters).
QString trimBelow33(QStringView text);
// The page from a browser's answer: the link as it came, the title by the family's rule.
CapturedPage applyReplyRules(TitleRule rule, const WindowInfoReply &reply);
// What a window's name tells of the page it shows.
struct NamedPage
{
    // Without the browser's name, trimmed; empty for a page without a title.
    QString title;
    TitleForm form = TitleForm::Whole;
    bool privateWindow = false;

    friend bool operator==(const NamedPage &, const NamedPage &) = default;
};

// The page of a window name: the name without the first of the family's suffixes that it ends with.
NamedPage pageFromWindowName(const QString &windowName, const BrowserRecognition &family);

// The whole capture of one foreground window: a window of no known family gives empty fields; a
// family's window gives its browser's answer, or, when the browser does not answer, the title from the
// window name and an empty link. A private window gives its title alone: the browser is not asked, as
// what it could tell would come from the normal windows' history.
CapturedPage captureForegroundPage(const std::optional<ForegroundWindowInfo> &window,
                                   const BrowserPageQuery &query);

} // namespace vellumite
