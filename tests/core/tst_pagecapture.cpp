#include "main/core/pagecapture.h"
#include "platform/fakes/fakedesktopwindows.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::TitleRule)

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

    void captureOfTheForegroundWindow()
    {
        FakeBrowserPageQuery query;
        ForegroundWindowInfo firefox { u"firefox-esr"_s, u"Navigator"_s,
                                       u"Example page \u2014 Mozilla Firefox"_s, 321 };
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
        const ForegroundWindowInfo opera { u"Opera"_s, u"opera"_s, u"News - Opera"_s, 9 };
        QCOMPARE(captureForegroundPage(opera, query), (CapturedPage { u"News"_s, QString() }));
        // Another program, or none in front: empty fields, and no browser is asked.
        const qsizetype asked = query.requests().size();
        QCOMPARE(captureForegroundPage(ForegroundWindowInfo { u"XTerm"_s, u"xterm"_s, u"shell"_s, 1 }, query),
                 CapturedPage {});
        QCOMPARE(captureForegroundPage(std::nullopt, query), CapturedPage {});
        QCOMPARE(query.requests().size(), asked);
    }
};

QTEST_GUILESS_MAIN(TestPageCapture)
#include "tst_pagecapture.moc"
