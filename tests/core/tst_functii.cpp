#include "main/core/functii.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestFunctii : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<BookmarkNode> node(bool isCategory, quint16 extraStates = 0)
    {
        TBookmark record;
        record.IsCategory = isCategory;
        auto n = std::make_unique<BookmarkNode>(record);
        n->setState(extraStates, true);
        return n;
    }

private slots:
    void delimitedField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << u"a/b/c"_s << u"/"_s << 1 << u"a"_s;
        QTest::newRow("middle") << u"a/b/c"_s << u"/"_s << 2 << u"b"_s;
        QTest::newRow("last") << u"a/b/c"_s << u"/"_s << 3 << u"c"_s;
        QTest::newRow("past the last") << u"a/b/c"_s << u"/"_s << 4 << QString();
        QTest::newRow("index 0") << u"a/b/c"_s << u"/"_s << 0 << QString();
        QTest::newRow("adjacent delimiters enclose an empty field") << u"a//c"_s << u"/"_s << 2 << QString();
        QTest::newRow("field after an empty one") << u"a//c"_s << u"/"_s << 3 << u"c"_s;
        QTest::newRow("no delimiter is field 1 in full") << u"abc"_s << u"/"_s << 1 << u"abc"_s;
        QTest::newRow("no delimiter has no field 2") << u"abc"_s << u"/"_s << 2 << QString();
        QTest::newRow("trailing delimiter ends with an empty field") << u"a/"_s << u"/"_s << 2 << QString();
        QTest::newRow("quote as delimiter")
            << u"x\"https://e.org/\"y"_s << u"\""_s << 2 << u"https://e.org/"_s;
        QTest::newRow("UTF-16 kept") << u"Ωmega/Знак"_s << u"/"_s << 2 << u"Знак"_s;
    }
    void delimitedField()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(int, index);
        QFETCH(QString, expected);
        QCOMPARE(GetDelimitedField(text, delimiter.at(0), index), expected);
    }

    void quotedField_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray two = "\"one\",\"two\"";
        const QByteArray unclosed = "\"one\" \"";
        QTest::newRow("first pair") << two << 1 << QByteArray("one");
        QTest::newRow("second pair") << two << 2 << QByteArray("two");
        QTest::newRow("no third pair") << two << 3 << QByteArray();
        QTest::newRow("unclosed second pair") << unclosed << 2 << QByteArray();
        QTest::newRow("nothing after an unclosed pair") << unclosed << 3 << QByteArray();
        QTest::newRow("unclosed pair keeps the first") << unclosed << 1 << QByteArray("one");
        QTest::newRow("empty pair") << QByteArray("x\"\"y") << 1 << QByteArray();
        QTest::newRow("nothing trimmed or unescaped") << QByteArray("\" a\\ \"") << 1 << QByteArray(" a\\ ");
        QTest::newRow("no quotes") << QByteArray("plain") << 1 << QByteArray();
        QTest::newRow("index 0") << two << 0 << QByteArray();
        QTest::newRow("DDE reply") << QByteArray("\"http://example.org/\",\"Example Domain\",\"\"") << 2
                                   << QByteArray("Example Domain");
    }
    void quotedField()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, index);
        QFETCH(QByteArray, expected);
        QCOMPARE(GetQuotedField(text, index), expected);
    }

    void fileNameChars_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("dot, colon, question mark") << QByteArray("a.b:c?") << QByteArray("a b c ");
        QTest::newRow("every forbidden character") << QByteArray("\"*./:<>?\\|") << QByteArray(10, ' ');
        QTest::newRow("control characters") << QByteArray("a\tb\x01\x1f", 5) << QByteArray("a b  ");
        QTest::newRow("bytes above 127 stay")
            << QByteArray("caf\xc3\xa9 \xe9") << QByteArray("caf\xc3\xa9 \xe9");
        QTest::newRow("allowed punctuation stays")
            << QByteArray("a-b_c (1) [x]") << QByteArray("a-b_c (1) [x]");
    }
    void fileNameChars()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        const QByteArray result = ReplaceFileNameChars(text, ' ');
        QCOMPARE(result, expected);
        QCOMPARE(result.size(), text.size());
    }

    void wideContains_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<bool>("expected");
        QTest::newRow("at the end") << u"Abc"_s << u"bc"_s << true;
        QTest::newRow("case counts") << u"Abc"_s << u"ab"_s << false;
        QTest::newRow("empty sub") << u"Abc"_s << QString() << false;
        QTest::newRow("both empty") << QString() << QString() << false;
        QTest::newRow("sub longer than text") << u"ab"_s << u"abc"_s << false;
        QTest::newRow("whole text") << u"Abc"_s << u"Abc"_s << true;
        QTest::newRow("no normalisation") << u"e\u0301"_s << u"\u00e9"_s << false;
    }
    void wideContains()
    {
        QFETCH(QString, text);
        QFETCH(QString, sub);
        QFETCH(bool, expected);
        QCOMPARE(WideContains(text, sub), expected);
    }

    void treeCounts()
    {
        BookmarkTree tree;
        QCOMPARE(countTree(tree), (TreeCounts { 0, 0 }));

        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        QCOMPARE(countTree(tree), (TreeCounts { 0, 0 }));
        QCOMPARE(categoriesText(countTree(tree)), u"Categories: 0"_s);
        QCOMPARE(linksText(countTree(tree)), u"Links: 0"_s);

        // Two categories and five bookmarks, one category collapsed and one open: the branches count
        // whatever their state.
        BookmarkNode *open = root->appendChild(node(true, NodeState::Expanded));
        BookmarkNode *closed = open->appendChild(node(true));
        root->appendChild(node(false));
        open->appendChild(node(false));
        for (int i = 0; i < 3; ++i)
            closed->appendChild(node(false));
        const TreeCounts counts = countTree(tree);
        QCOMPARE(counts, (TreeCounts { 2, 5 }));
        QCOMPARE(categoriesText(counts), u"Categories: 2"_s);
        QCOMPARE(linksText(counts), u"Links: 5"_s);
    }
};

QTEST_GUILESS_MAIN(TestFunctii)
#include "tst_functii.moc"
