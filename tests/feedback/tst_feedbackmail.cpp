#include "feedback/feedbackmail.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace vellumite::feedback;

class TestFeedbackMail : public QObject
{
    Q_OBJECT

private slots:
    void untouchedFormSendsReasonAndEmptyComment();
    void commentIsEncoded_data();
    void commentIsEncoded();
    void hostileCommentStaysInTheBody_data();
    void hostileCommentStaysInTheBody();
};

void TestFeedbackMail::untouchedFormSendsReasonAndEmptyComment()
{
    QCOMPARE(FeedbackMailAddress(u"Other reason..."_s, QString()),
             u"mailto:feedback@vellumite.invalid?subject=Uninstall%20VellumitePE"
             u"&body=Other%20reason...%20%20%2A%2A%2A%2A%2A%20%20Comments%20%3A%20"_s);
}

void TestFeedbackMail::commentIsEncoded_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("encoded");

    QTest::newRow("plain words") << u"too slow"_s << u"too%20slow"_s;
    QTest::newRow("LF") << u"a\nb"_s << u"a%0D%0Ab"_s;
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a%0D%0Ab"_s;
    QTest::newRow("lone CR") << u"a\rb"_s << u"a%0D%0Ab"_s;
    QTest::newRow("blank lines") << u"a\n\nb\n"_s << u"a%0D%0A%0D%0Ab%0D%0A"_s;
    QTest::newRow("delimiters") << u"&?#=%+"_s << u"%26%3F%23%3D%25%2B"_s;
    QTest::newRow("non-ASCII as UTF-8") << u"caf\u00e9 \u20ac"_s << u"caf%C3%A9%20%E2%82%AC"_s;
    QTest::newRow("unreserved kept") << u"a-b.c_d~9"_s << u"a-b.c_d~9"_s;
}

void TestFeedbackMail::commentIsEncoded()
{
    QFETCH(QString, comment);
    QFETCH(QString, encoded);

    const QString prefix = u"mailto:feedback@vellumite.invalid?subject=Uninstall%20VellumitePE"
                           u"&body=Missing%20feature%20%20%2A%2A%2A%2A%2A%20%20Comments%20%3A%20"_s;
    QCOMPARE(FeedbackMailAddress(u"Missing feature"_s, comment), prefix + encoded);
}

void TestFeedbackMail::hostileCommentStaysInTheBody_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("comment");

    QTest::newRow("extra recipient") << u"Missing feature"_s << u"x&cc=someone@example.invalid"_s;
    QTest::newRow("attachment") << u"The software has bugs"_s << u"x&attach=/etc/passwd&subject=hi"_s;
    QTest::newRow("fragment cuts the text") << u"Other reason..."_s << u"before # after"_s;
    QTest::newRow("second query") << u"Other reason..."_s << u"a?b=c&d"_s;
    QTest::newRow("encoded-looking text") << u"Other reason..."_s << u"100%25 sure%0D%0Abcc: x"_s;
    QTest::newRow("multi-line") << u"Other reason..."_s << u"line 1\nline 2\r\nline 3"_s;
}

// Whatever the comment holds, the address parses back into exactly a subject and a body, and the body
// is the text that was typed (with CR LF line breaks).
void TestFeedbackMail::hostileCommentStaysInTheBody()
{
    QFETCH(QString, reason);
    QFETCH(QString, comment);

    const QUrl url(FeedbackMailAddress(reason, comment), QUrl::StrictMode);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.scheme(), u"mailto"_s);
    QCOMPARE(url.path(), u"feedback@vellumite.invalid"_s);
    QVERIFY(!url.hasFragment());

    const QList<std::pair<QString, QString>> fields = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    QCOMPARE(fields.size(), 2);
    QCOMPARE(fields[0].first, u"subject"_s);
    QCOMPARE(fields[0].second, u"Uninstall VellumitePE"_s);
    QCOMPARE(fields[1].first, u"body"_s);
    QString typed = comment;
    typed.replace(u"\r\n"_s, u"\n"_s).replace(u"\n"_s, u"\r\n"_s);
    QCOMPARE(fields[1].second, reason + u"  *****  Comments : "_s + typed);
}

QTEST_GUILESS_MAIN(TestFeedbackMail)
#include "tst_feedbackmail.moc"
