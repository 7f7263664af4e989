#include "exchange/core/operaentry.h"
#include "main/core/operalines.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestOperaEntry : public QObject
{
    Q_OBJECT

private slots:
    void rebuild_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty block gets only a description")
            << QString() << u"News"_s << u"note"_s << u"http://n/"_s << u"        DESCRIPTION=note\r\n"_s;
        QTest::newRow("header and unknown keys kept byte for byte")
            << u"#URL\r\n\tID=17\r\n  NAME=Old\r\n\tURL=http://old/\r\n\tDESCRIPTION=was\r\n\tCREATED=1\t"_s
            << u"New"_s << u"is"_s << u"http://new/"_s
            << u"#URL\r\n\tID=17\r\n        NAME=New\r\n        URL=http://new/\r\n        DESCRIPTION=is\r\n"
               u"\tCREATED=1\t\r\n"_s;
        QTest::newRow("every NAME line replaced")
            << u"#FOLDER\nNAME=a\nNAME=b"_s << u"c"_s << QString() << QString()
            << u"#FOLDER\r\n        NAME=c\r\n        NAME=c\r\n        DESCRIPTION=\r\n"_s;
        QTest::newRow("missing description appended after a trailing empty line")
            << u"#URL\r\n\tNAME=a\r\n\tURL=u\r\n\r\n"_s << u"b"_s << u"c"_s << u"v"_s
            << u"#URL\r\n        NAME=b\r\n        URL=v\r\n\r\n        DESCRIPTION=c\r\n"_s;
        QTest::newRow("description kept in its place")
            << u"#URL\r\n\tDESCRIPTION=x\r\n\tNAME=a"_s << u"b"_s << u"c"_s << QString()
            << u"#URL\r\n        DESCRIPTION=c\r\n        NAME=b\r\n"_s;
        QTest::newRow("keys are case-sensitive")
            << u"#URL\r\n\tname=a\r\n\tUrl=b"_s << u"n"_s << QString() << u"l"_s
            << u"#URL\r\n\tname=a\r\n\tUrl=b\r\n        DESCRIPTION=\r\n"_s;
        QTest::newRow("multi-line comment stays on the description line")
            << u"#URL\r\n\tNAME=a\r\n\tURL=http://a/\r\n\tDESCRIPTION="_s << u"a"_s
            << u"first\r\nURL=http://evil/\nthird\rfourth"_s << u"http://a/"_s
            << u"#URL\r\n        NAME=a\r\n        URL=http://a/\r\n"
               u"        DESCRIPTION=first\u0002\u0002URL=http://evil/\u0002\u0002third\u0002\u0002fourth\r\n"_s;
        QTest::newRow("line break in a name cannot start a new key line")
            << u"#FOLDER\r\n\tNAME=a"_s << u"x\r\nURL=y"_s << QString() << QString()
            << u"#FOLDER\r\n        NAME=x\u0002\u0002URL=y\r\n        DESCRIPTION=\r\n"_s;
        QTest::newRow("non-ASCII survives")
            << u"#URL\r\n\tNAME=a"_s << u"Žluťoučký 日本 😀"_s << u"ß"_s << u"http://ü/"_s
            << u"#URL\r\n        NAME=Žluťoučký 日本 😀\r\n        DESCRIPTION=ß\r\n"_s;
    }

    void rebuild()
    {
        QFETCH(QString, block);
        QFETCH(QString, name);
        QFETCH(QString, comment);
        QFETCH(QString, link);
        QFETCH(QString, expected);

        const QString rebuilt = RebuildOperaBlock(block, name, comment, link);
        QCOMPARE(rebuilt, expected);
        QCOMPARE(RebuildOperaBlock(rebuilt, name, comment, link), rebuilt);
    }

    void lineSplitting_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("final break makes no line") << u"a\r\n"_s << QStringList { u"a"_s };
        QTest::newRow("mixed breaks") << u"a\rb\nc\r\nd"_s << QStringList { u"a"_s, u"b"_s, u"c"_s, u"d"_s };
        QTest::newRow("empty lines kept") << u"a\r\n\r\n\n"_s << QStringList { u"a"_s, u""_s, u""_s };
        QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << QStringList { u"a"_s, u""_s, u"b"_s };
    }

    void lineSplitting()
    {
        QFETCH(QString, block);
        QFETCH(QStringList, lines);
        QCOMPARE(splitHotlistLines(block), lines);
    }

    void valueEncodingRoundTrips()
    {
        const QString comment = u"one\r\ntwo\r\n\r\nthree"_s;
        const QString encoded = encodeHotlistValue(comment);
        QVERIFY(!encoded.contains(u'\r') && !encoded.contains(u'\n'));
        QCOMPARE(decodeHotlistValue(encoded), comment);
        QCOMPARE(encodeHotlistValue(u"plain value"_s), u"plain value"_s);
    }
};

QTEST_GUILESS_MAIN(TestOperaEntry)
#include "tst_operaentry.moc"
