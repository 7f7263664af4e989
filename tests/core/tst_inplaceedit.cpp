#include "main/core/inplaceedit.h"

#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

TBookmark operaBookmark(const QString &block)
{
    TBookmark r;
    r.Description = u"Old"_s;
    r.Link = u"http://old/"_s;
    r.OperaBlock = block;
    r.Editable = true;
    r.ImportSource = FromOpera;
    r.LinkState = LinkAlive;
    return r;
}

} // namespace

class TestInPlaceEdit : public QObject
{
    Q_OBJECT

private slots:
    void operaLineRewrite_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expectedBlock");
        QTest::addColumn<QString>("expectedValue");

        const QString nine = u"         "_s;
        QTest::newRow("blanks and tabs before the key")
            << 0 << u"#URL\r\n \t NAME=Old\r\n\tURL=http://old/\r\n\tID=3"_s << u"News"_s
            << u"#URL\r\n"_s + nine + u"NAME=News\r\n\tURL=http://old/\r\n\tID=3\r\n"_s << u"News"_s;
        QTest::newRow("lower-case key untouched")
            << 0 << u"#URL\r\n\tname=Old\r\n\tNAME=Old"_s << u"News"_s
            << u"#URL\r\n\tname=Old\r\n"_s + nine + u"NAME=News\r\n"_s << u"News"_s;
        QTest::newRow("non-ASCII kept in the whole block")
            << 0 << u"#URL\r\n\tNAME=Старое\r\n\tDESCRIPTION=日本語 ©"_s << u"Ελληνικά 😀"_s
            << u"#URL\r\n"_s + nine + u"NAME=Ελληνικά 😀\r\n\tDESCRIPTION=日本語 ©\r\n"_s << u"Ελληνικά 😀"_s;
        QTest::newRow("final CR LF added, empty lines kept")
            << 0 << u"#FOLDER\n\tNAME=Old\n\n"_s << u"N"_s << u"#FOLDER\r\n"_s + nine + u"NAME=N\r\n\r\n"_s
            << u"N"_s;
        QTest::newRow("link column rewrites URL lines only")
            << 1 << u"#URL\r\n\tNAME=Old\r\n\tURL=http://old/"_s << u"http://new/"_s
            << u"#URL\r\n\tNAME=Old\r\n"_s + nine + u"URL=http://new/\r\n"_s << u"http://new/"_s;
        QTest::newRow("pasted line breaks become spaces")
            << 0 << u"#URL\r\n\tNAME=Old"_s << u"a\r\nURL=b\nc\rd"_s
            << u"#URL\r\n"_s + nine + u"NAME=a URL=b c d\r\n"_s << u"a URL=b c d"_s;
    }

    void operaLineRewrite()
    {
        QFETCH(int, column);
        QFETCH(QString, block);
        QFETCH(QString, text);
        QFETCH(QString, expectedBlock);

        TBookmark record = operaBookmark(block);
        QVERIFY(VTNewText(record, column, text));
        QCOMPARE(record.OperaBlock, expectedBlock);
        QFETCH(QString, expectedValue);
        QCOMPARE(column == 0 ? record.Description : record.Link, expectedValue);
    }

    void cellRules_data()
    {
        QTest::addColumn<bool>("isCategory");
        QTest::addColumn<int>("importSource");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("block");

        const QString block = u"#URL\r\n\tNAME=Old"_s;
        QTest::newRow("empty text ignored")
            << false << 2 << 0 << QString() << false << u"Old"_s << u"http://old/"_s << block;
        QTest::newRow("empty link ignored")
            << false << 2 << 1 << QString() << false << u"Old"_s << u"http://old/"_s << block;
        QTest::newRow("blank name accepted") << false << 0 << 0 << u"  "_s << true << u"  "_s
                                             << u"http://old/"_s << u"#URL\r\n         NAME=  \r\n"_s;
        QTest::newRow("block of another origin follows the rename")
            << false << 0 << 0 << u"New"_s << true << u"New"_s << u"http://old/"_s
            << u"#URL\r\n         NAME=New\r\n"_s;
        QTest::newRow("firefox link: a block without a URL line gains none")
            << false << 1 << 1 << u"http://x/"_s << true << u"Old"_s << u"http://x/"_s << block + u"\r\n"_s;
        QTest::newRow("category renamed by its name") << true << 0 << 0 << u"Folder"_s << true << u"Folder"_s
                                                      << QString() << u"#URL\r\n         NAME=Folder\r\n"_s;
        QTest::newRow("no block, none made")
            << false << 0 << 0 << u"New"_s << true << u"New"_s << u"http://old/"_s << QString();
        QTest::newRow("category has no link")
            << true << 2 << 1 << u"http://x/"_s << false << u"Cat"_s << QString() << block;
        QTest::newRow("state column does nothing")
            << false << 2 << 2 << u"x"_s << false << u"Old"_s << u"http://old/"_s << block;
    }

    void cellRules()
    {
        QFETCH(bool, isCategory);
        QFETCH(int, importSource);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, changed);
        QFETCH(QString, name);
        QFETCH(QString, link);
        QFETCH(QString, block);

        // A row that expects no block starts without one.
        TBookmark record = operaBookmark(block.isEmpty() ? QString() : u"#URL\r\n\tNAME=Old"_s);
        record.ImportSource = importSource;
        if (isCategory) {
            record.IsCategory = true;
            record.CategoryName = u"Cat"_s;
            record.Description.clear();
            record.Link.clear();
        }
        const TBookmark before = record;
        QCOMPARE(VTNewText(record, column, text), changed);
        QCOMPARE(record.name(), name);
        QCOMPARE(record.Link, link);
        QCOMPARE(record.OperaBlock, block);
        QCOMPARE(record.IsCategory ? record.Description : record.CategoryName, QString());
        QCOMPARE(record.LinkState, before.LinkState);
    }

    // The bookmark file hands every loaded node its stored caption; loading must neither lose characters
    // of the entry nor change a name that holds a line break.
    void storedCaptionIsStableAcrossLoads()
    {
        BookmarkNode node(operaBookmark(u"#URL\r\n\tNAME=日本\r\n\tURL=http://old/"_s));
        node.record.Description = u"日本\r\nline two"_s;
        applyStoredCaption(node, node.record.Description);
        const TBookmark once = node.record;
        QCOMPARE(once.Description, u"日本\r\nline two"_s);
        QCOMPARE(once.OperaBlock,
                 u"#URL\r\n         NAME=日本\u0002\u0002line two\r\n\tURL=http://old/\r\n"_s);
        applyStoredCaption(node, node.record.Description);
        QCOMPARE(node.record, once);

        applyStoredCaption(node, QString());
        QCOMPARE(node.record, once);
    }
};

QTEST_GUILESS_MAIN(TestInPlaceEdit)
#include "tst_inplaceedit.moc"
