#include "main/core/displaytext.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

// Stored texts as the windows show them: bidirectional controls written out, tool tips cut.
class TestDisplayText : public QObject
{
    Q_OBJECT

private slots:
    void bidiControlsShownAsCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("right-to-left override") << u"abc\u202Egnp.exe"_s << u"abc<U+202E>gnp.exe"_s;
        QTest::newRow("every kind") << u"\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069\u200E\u200F\u061C"_s
                                    << u"<U+202A><U+202B><U+202C><U+202D><U+2066><U+2067><U+2068><U+2069>"
                                       "<U+200E><U+200F><U+061C>"_s;
        QTest::newRow("right-to-left letters are text, not controls")
            << u"http://\u05D0\u05D1.example/"_s << u"http://\u05D0\u05D1.example/"_s;
        QTest::newRow("neighbours of the ranges")
            << u"\u2029\u202F\u2065\u206A\u200D\u2010"_s << u"\u2029\u202F\u2065\u206A\u200D\u2010"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void bidiControlsShownAsCodes()
    {
        QFETCH(QString, text);
        QTEST(withVisibleBidiControls(text), "shown");
    }

    void toolTipsCutToAScreen_data()
    {
        const QString line(ToolTipLineLength, u'x');
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short text as it is") << u"Title\n\r\n\rComment"_s << u"Title\n\r\n\rComment"_s;
        QTest::newRow("a line of exactly the width") << line << line;
        QTest::newRow("a longer line goes on below") << line + u"yz"_s << line + u"\nyz"_s;
        QTest::newRow("a break at the width adds none") << line + u"\r\nb"_s << line + u"\r\nb"_s;
        QTest::newRow("a pair of code units stays whole") << QString(ToolTipLineLength - 1, u'x')
                + u"\U0001F600z"_s << QString(ToolTipLineLength - 1, u'x') + u"\U0001F600\nz"_s;
        QTest::newRow("a trailing break is kept") << u"a\n"_s << u"a\n"_s;
    }
    void toolTipsCutToAScreen()
    {
        QFETCH(QString, text);
        QTEST(shortenedForToolTip(text), "shown");
    }

    void hugeTextsEndInAnEllipsis_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("a 100,000-character title") << QString(100'000, u't');
        QTest::newRow("a comment of many short lines") << u"line\r\n"_s.repeated(1'000);
        QTest::newRow("one line more than shown") << u"l\n"_s.repeated(ToolTipMaxLines) + u"last"_s;
    }
    void hugeTextsEndInAnEllipsis()
    {
        QFETCH(QString, text);
        const QString shown = shortenedForToolTip(text);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        const qsizetype lines = shown.count(u'\n') + 1;
        QCOMPARE(lines, ToolTipMaxLines);
        for (const QString &line : shown.split(u'\n'))
            QVERIFY(line.size() <= ToolTipLineLength + 2);
    }

    void exactlyTheLinesShownHasNoEllipsis()
    {
        const QString text = u"l\n"_s.repeated(ToolTipMaxLines - 1) + u"last"_s;
        QCOMPARE(shortenedForToolTip(text), text);
    }
};

QTEST_APPLESS_MAIN(TestDisplayText)
#include "tst_displaytext.moc"
