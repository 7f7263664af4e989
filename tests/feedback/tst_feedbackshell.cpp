#include "feedback/feedbackmail.h"
#include "feedback/feedbackshell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vellumite::feedback;

// The desktop opener against a stand-in "xdg-open" on PATH that logs what it is given.
class TestFeedbackShell : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin;
    QByteArray m_path;
    QString m_log;

    QByteArray logged() const
    {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid());
        m_log = m_bin.filePath(u"opened.log"_s);
        QFile opener(m_bin.filePath(u"xdg-open"_s));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$FAKE_OPENER_LOG.part\"\n"
                     "/bin/mv \"$FAKE_OPENER_LOG.part\" \"$FAKE_OPENER_LOG\"\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()));
        qputenv("FAKE_OPENER_LOG", QFile::encodeName(m_log));
    }
    void cleanupTestCase() { qputenv("PATH", m_path); }
    void init() { QFile::remove(m_log); }

    void addressIsOneArgument()
    {
        const QString address = FeedbackMailAddress(u"Other reason..."_s, u"a; b $(c) \"d\"\n"_s);
        QCOMPARE(DesktopOpener().open(address), OpenResult::Started);
        QTRY_COMPARE(logged(), "1\n" + address.toUtf8() + '\n');
    }

    // Encoded, 22,000 Cyrillic letters already outgrow one argument; the limit itself still goes.
    void tooLongAddressIsRefused_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<OpenResult>("result");
        const qsizetype limit = DesktopOpener::maxArgumentSize();
        QTest::newRow("22,000 Cyrillic letters")
            << FeedbackMailAddress(u"Other reason..."_s, QString(22000, u'\u0436')) << OpenResult::TooLong;
        QTest::newRow("one byte over") << QString(limit, u'x') << OpenResult::TooLong;
        QTest::newRow("at the limit") << QString(limit - 1, u'x') << OpenResult::Started;
    }
    void tooLongAddressIsRefused()
    {
        QFETCH(QString, address);
        QFETCH(OpenResult, result);
        QCOMPARE(DesktopOpener().open(address), result);
        if (result == OpenResult::Started)
            QTRY_COMPARE(logged().size(), address.size() + 3);
        else
            QVERIFY(logged().isEmpty());
    }

    void missingOpenerIsReported()
    {
        qputenv("PATH", QFile::encodeName(m_bin.filePath(u"nowhere"_s)));
        const OpenResult result = DesktopOpener().open(u"mailto:a@b.invalid"_s);
        qputenv("PATH", QFile::encodeName(m_bin.path()));
        QCOMPARE(result, OpenResult::NotStarted);
    }
};

QTEST_GUILESS_MAIN(TestFeedbackShell)
#include "tst_feedbackshell.moc"
