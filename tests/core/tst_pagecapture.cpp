#include "base/sqlite/sqlitetransaction.h"
#include "main/core/pagecapture.h"
#include "platform/fakes/fakedesktopwindows.h"
#include "platform/linux/mozillapagequery.h"
#include "tests/common/mozillaprofile.h"
#include "tests/common/testfiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::TitleRule)

namespace vellumite {
// What QCOMPARE shows of a capture that differs.
char *toString(const CapturedPage &page)
{
    return QTest::toString(u"link \"%1\", title of %2 characters \"%3\""_s.arg(page.link)
                               .arg(page.title.size())
                               .arg(page.title));
}
} // namespace vellumite
Q_DECLARE_METATYPE(vellumite::TitleForm)
Q_DECLARE_METATYPE(vellumite::WindowPlace)
Q_DECLARE_METATYPE(vellumite::CapturedPage)

namespace {

// A visit of the history, `atMs` after the browser started.
struct Visit
{
    QString url;
    QString title;
    qint64 atMs = 0;
};

// The session store: its windows, collected `atMs` after the browser started (never written: none).
struct Store
{
    QList<SessionWindow> windows;
    qint64 atMs = -1;
};

} // namespace

Q_DECLARE_METATYPE(QList<Visit>)
Q_DECLARE_METATYPE(Store)

namespace {

// A title of 309 characters; Firefox names its window with the first 256.
const QString LongTitle = []() -> QString {
    QString title = u"Long"_s;
    for (int i = 0; title.size() < 309; ++i)
        title += u" word%1"_s.arg(i, 3, 10, QChar(u'0'));
    return title.left(308) + u"."_s;
}();

// A running Firefox's profile as the capture finds it: this process holds it, as the browser does.
class RunningProfile
{
public:
    RunningProfile()
        : m_folder(m_root.filePath(u"abcd.default-esr"_s))
    {
        m_startedAtMs = QDateTime::currentMSecsSinceEpoch();
        m_places = mozillaprofile::makePlacesDatabase(m_folder.path());
    }

    bool write(const Store &store, const QList<Visit> &visits)
    {
        if (store.atMs >= 0
            && !testfiles::writeFile(m_folder.filePath(u"sessionstore-backups/recovery.jsonlz4"_s),
                                     mozillaprofile::sessionStore(store.windows, m_startedAtMs + store.atMs)))
            return false;
        sqlite::Database db = sqlite::Database::open(m_places, sqlite::OpenMode::ReadWrite);
        sqlite::Transaction transaction(db);
        for (const Visit &visit : visits)
            mozillaprofile::addVisit(db, visit.url, visit.title, m_startedAtMs + visit.atMs);
        transaction.commit();
        return true;
    }

private:
    QTemporaryDir m_root;
    mozillaprofile::HeldProfile m_folder;
    QString m_places;
    qint64 m_startedAtMs = 0;
};

SessionWindow shown(const QString &url, const QString &title, WindowPlace place, bool inFront = false)
{
    return { { url, title }, place, inFront };
}

} // namespace

class TestPageCapture : public QObject
{
    Q_OBJECT

private slots:
    void replyRules_data()
    {
        QTest::addColumn<TitleRule>("rule");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("trimmed, link kept with its spaces")
            << TitleRule::Trimmed << u" http://e/ "_s << u"  Example page \t"_s << u"Example page"_s;
        QTest::newRow("Opera brackets") << TitleRule::InsideBrackets << u"http://e/"_s
                                        << u"Opera - [Example page]"_s << u"Example page"_s;
        QTest::newRow("Opera without [ keeps text before ]")
            << TitleRule::InsideBrackets << u"http://e/"_s << u"Example page] x"_s << u"Example page"_s;
        QTest::newRow("Opera without ]")
            << TitleRule::InsideBrackets << u"http://e/"_s << u"Opera - [Ex"_s << QString();
        QTest::newRow("Opera trimmed inside")
            << TitleRule::InsideBrackets << u"x"_s << u"[ a b ]"_s << u"a b"_s;
        QTest::newRow("single field: empty title")
            << TitleRule::Trimmed << u"http://e/"_s << QString() << QString();
        QTest::newRow("empty reply") << TitleRule::Trimmed << QString() << QString() << QString();
    }
    void replyRules()
    {
        QFETCH(TitleRule, rule);
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, expectedTitle);
        const CapturedPage page = applyReplyRules(rule, { address, title });
        QCOMPARE(page.title, expectedTitle);
        QCOMPARE(page.link, address);
    }

    void recognition_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("service");
        QTest::newRow("Debian's Firefox") << u"firefox-esr"_s << u"Firefox"_s;
        QTest::newRow("Firefox") << u"Firefox"_s << u"Firefox"_s;
        QTest::newRow("SeaMonkey") << u"SeaMonkey"_s << u"Firefox"_s;
        QTest::newRow("Opera") << u"Opera"_s << u"Opera"_s;
        QTest::newRow("case-sensitive") << u"FIREFOX"_s << QString();
        QTest::newRow("terminal") << u"XTerm"_s << QString();
        QTest::newRow("this program") << u"PortableVellumite"_s << QString();
        QTest::newRow("two families: the later wins") << u"opera-firefox"_s << u"Firefox"_s;
    }
    void recognition()
    {
        QFETCH(QString, className);
        QFETCH(QString, service);
        const BrowserRecognition *family = recogniseBrowser(className);
        QCOMPARE(family ? family->service.toString() : QString(), service);
    }

    void namedPages_data()
    {
        QTest::addColumn<QString>("windowName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<TitleForm>("form");
        QTest::addColumn<bool>("privateWindow");
        constexpr TitleForm whole = TitleForm::Whole;
        QTest::newRow("Firefox") << u"Example page \u2014 Mozilla Firefox"_s << u"Example page"_s << whole
                                 << false;
        QTest::newRow("older dash") << u"Example page - Mozilla Firefox"_s << u"Example page"_s << whole
                                    << false;
        QTest::newRow("private") << u"Query Page \u2014 Mozilla Firefox Private Browsing"_s << u"Query Page"_s
                                 << whole << true;
        QTest::newRow("private, older dash")
            << u"Query Page - Mozilla Firefox Private Browsing"_s << u"Query Page"_s << whole << true;
        QTest::newRow("the brand alone: an untitled page")
            << u"Mozilla Firefox"_s << QString() << whole << false;
        QTest::newRow("the private brand alone")
            << u"Mozilla Firefox Private Browsing"_s << QString() << whole << true;
        QTest::newRow("a page titled with the brand")
            << u"Mozilla Firefox \u2014 Mozilla Firefox"_s << u"Mozilla Firefox"_s << whole << false;
        QTest::newRow("256 characters: maybe cut") << LongTitle.left(256) + u" \u2014 Mozilla Firefox"_s
                                                   << LongTitle.left(256) << TitleForm::Start << false;
        QTest::newRow("cut after a blank: trimmed, still maybe cut")
            << LongTitle.left(255) + u"  \u2014 Mozilla Firefox"_s << LongTitle.left(255) << TitleForm::Start
            << false;
        QTest::newRow("255 characters: whole")
            << LongTitle.left(255) + u" \u2014 Mozilla Firefox"_s << LongTitle.left(255) << whole << false;
        QTest::newRow("SeaMonkey") << u"News - SeaMonkey"_s << u"News"_s << whole << false;
    }
    void namedPages()
    {
        QFETCH(QString, windowName);
        QFETCH(QString, title);
        QFETCH(TitleForm, form);
        QFETCH(bool, privateWindow);
        const BrowserRecognition *firefox = recogniseBrowser(u"firefox-esr"_s);
        QVERIFY(firefox);
        QCOMPARE(pageFromWindowName(windowName, *firefox), (NamedPage { title, form, privateWindow }));
    }

    // The page the capture gives for a Firefox window in front, from a profile's session store and
    // history as the browser leaves them, in the cases where the two disagree or the window's name
    // holds no plain title.
    void pageOfTheFirefoxWindowInFront_data()
    {
        QTest::addColumn<QString>("windowName");
        QTest::addColumn<WindowPlace>("place");
        QTest::addColumn<Store>("store");
        QTest::addColumn<QList<Visit>>("visits");
        QTest::addColumn<CapturedPage>("expected");
        const WindowPlace maximized { WindowPlace::Size::Maximized, QRect(0, 0, 1280, 1024) };
        const WindowPlace storedMaximized { WindowPlace::Size::Maximized, QRect(4, 4, 1152, 921) };
        const WindowPlace left { WindowPlace::Size::Normal, QRect(0, 0, 620, 900) };
        const WindowPlace right { WindowPlace::Size::Normal, QRect(640, 0, 620, 900) };
        const QString beta = u"http://127.0.0.1:8000/beta.html"_s;
        const QString same1 = u"http://127.0.0.1:8000/same1.html"_s;
        const QString same2 = u"http://127.0.0.1:8000/same2.html"_s;
        const QString twin = u"Twin Title"_s;
        const QString twinWindow = u"Twin Title \u2014 Mozilla Firefox"_s;
        const QList<Visit> twinVisits { { same1, twin, 1'000 }, { same2, twin, 2'000 } };

        QTest::newRow("two maximized windows of one title: the one the store had in front")
            << twinWindow << maximized
            << Store { { shown(same1, twin, storedMaximized), shown(same2, twin, storedMaximized, true) },
                       5'000 }
            << twinVisits << CapturedPage { twin, same2 };
        QTest::newRow("two windows of one title: the one at the front window's place")
            << twinWindow << left
            << Store { { shown(same1, twin, left), shown(same2, twin, right, true) }, 5'000 } << twinVisits
            << CapturedPage { twin, same1 };

        const QList<Visit> backVisits { { beta, u"Beta Page"_s, 1'000 },
                                        { same1, twin, 3'000 },
                                        { same2, twin, 5'000 } };
        QTest::newRow("back to a page of one title: the store written after it")
            << twinWindow << maximized << Store { { shown(same1, twin, storedMaximized, true) }, 17'000 }
            << backVisits << CapturedPage { twin, same1 };
        QTest::newRow("a page of one title opened after the store was written")
            << twinWindow << maximized << Store { { shown(same1, twin, storedMaximized, true) }, 4'000 }
            << backVisits << CapturedPage { twin, same2 };

        const QString query = u"http://127.0.0.1:8000/q.html?a=1&b=%20x#frag"_s;
        const Store queryStore { { shown(query, u"Query Page"_s, storedMaximized, true) }, 5'000 };
        const QList<Visit> queryVisits { { query, u"Query Page"_s, 1'000 } };
        QTest::newRow("private window: its title alone")
            << u"Query Page \u2014 Mozilla Firefox Private Browsing"_s << maximized << queryStore
            << queryVisits << CapturedPage { u"Query Page"_s, QString() };
        QTest::newRow("normal window of that title")
            << u"Query Page \u2014 Mozilla Firefox"_s << maximized << queryStore << queryVisits
            << CapturedPage { u"Query Page"_s, query };

        const QString longPage = u"http://127.0.0.1:8000/long.html"_s;
        const QString cutWindow = LongTitle.left(256) + u" \u2014 Mozilla Firefox"_s;
        QTest::newRow("cut title: the history's page, whole")
            << cutWindow << maximized << Store {} << QList<Visit> { { longPage, LongTitle, 1'000 } }
            << CapturedPage { LongTitle, longPage };
        QTest::newRow("cut title: the store's page, whole")
            << cutWindow << maximized
            << Store { { shown(longPage, LongTitle, storedMaximized, true) }, 5'000 } << QList<Visit> {}
            << CapturedPage { LongTitle, longPage };

        const QString untitled = u"http://127.0.0.1:8000/untitled.html"_s;
        const QList<Visit> untitledVisit { { untitled, QString(), 1'000 } };
        QTest::newRow("untitled page: no title, the store's address")
            << u"Mozilla Firefox"_s << maximized
            << Store { { shown(untitled, untitled, storedMaximized, true) }, 5'000 } << untitledVisit
            << CapturedPage { QString(), untitled };
        QTest::newRow("untitled page the store does not hold yet: nothing")
            << u"Mozilla Firefox"_s << maximized
            << Store { { shown(beta, u"Beta Page"_s, storedMaximized, true) }, 500 } << untitledVisit
            << CapturedPage {};
        QTest::newRow("New Tab page: nothing")
            << u"Mozilla Firefox"_s << left
            << Store { { shown(u"about:newtab"_s, u"about:newtab"_s, left, true),
                         shown(untitled, untitled, right) },
                       5'000 }
            << untitledVisit << CapturedPage {};
    }
    void pageOfTheFirefoxWindowInFront()
    {
        QFETCH(QString, windowName);
        QFETCH(WindowPlace, place);
        QFETCH(Store, store);
        QFETCH(QList<Visit>, visits);
        QFETCH(CapturedPage, expected);
        RunningProfile profile;
        QVERIFY(profile.write(store, visits));
        const MozillaPageQuery query;
        const ForegroundWindowInfo window { u"firefox-esr"_s, u"Navigator"_s, windowName, ::getpid(), place };
        QCOMPARE(captureForegroundPage(window, query), expected);
    }

    void captureOfTheForegroundWindow()
    {
        FakeBrowserPageQuery query;
        ForegroundWindowInfo firefox {
            u"firefox-esr"_s, u"Navigator"_s, u"Example page \u2014 Mozilla Firefox"_s, 321, {}
        };
        // The browser answers: its address and title.
        query.setReply(WindowInfoReply { u"http://127.0.0.1/"_s, u" Example page "_s });
        QCOMPARE(captureForegroundPage(firefox, query),
                 (CapturedPage { u"Example page"_s, u"http://127.0.0.1/"_s }));
        QCOMPARE(query.requests().last().service, u"Firefox"_s);
        QCOMPARE(query.requests().last().processId, qint64(321));
        QCOMPARE(query.requests().last().pageTitle, u"Example page"_s);
        // No answer: the title from the window name, no link.
        query.setReply(std::nullopt);
        QCOMPARE(captureForegroundPage(firefox, query), (CapturedPage { u"Example page"_s, QString() }));
        // A private window: its title, and the browser is not asked.
        const qsizetype askedBefore = query.requests().size();
        firefox.title = u"Example page \u2014 Mozilla Firefox Private Browsing"_s;
        QCOMPARE(captureForegroundPage(firefox, query), (CapturedPage { u"Example page"_s, QString() }));
        QCOMPARE(query.requests().size(), askedBefore);
        const ForegroundWindowInfo opera { u"Opera"_s, u"opera"_s, u"News - Opera"_s, 9, {} };
        QCOMPARE(captureForegroundPage(opera, query), (CapturedPage { u"News"_s, QString() }));
        // Another program, or none in front: empty fields, and no browser is asked.
        const qsizetype asked = query.requests().size();
        QCOMPARE(
            captureForegroundPage(ForegroundWindowInfo { u"XTerm"_s, u"xterm"_s, u"shell"_s, 1, {} }, query),
            CapturedPage {});
        QCOMPARE(captureForegroundPage(std::nullopt, query), CapturedPage {});
        QCOMPARE(query.requests().size(), asked);
    }
};

QTEST_GUILESS_MAIN(TestPageCapture)
#include "tst_pagecapture.moc"
