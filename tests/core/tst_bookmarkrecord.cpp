#include "main/core/bookmarkrecord.h"
#include "main/core/colournames.h"
#include "main/core/textcodec.h"

#include <QTest>
#include <set>

using namespace vellumite;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString longAscii(qsizetype count)
{
    return QString(count, u'a');
}

} // namespace

class TestBookmarkRecord : public QObject
{
    Q_OBJECT

private slots:
    void windows1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << hex("41 7a 20 7e") << u"Az ~"_s;
        QTest::newRow("accented letter from Latin-1") << hex("43 61 66 e9") << u"Caf\u00e9"_s;
        QTest::newRow("euro sign") << hex("80") << u"\u20ac"_s;
        QTest::newRow("typographic quotes and dashes")
            << hex("93 94 96 97 85") << u"\u201c\u201d\u2013\u2014\u2026"_s;
        QTest::newRow("letters of 0x8A..0x9F")
            << hex("8a 8c 8e 9a 9c 9e 9f") << u"\u0160\u0152\u017d\u0161\u0153\u017e\u0178"_s;
        QTest::newRow("undefined bytes keep their code points")
            << hex("81 8d 8f 90 9d") << u"\u0081\u008d\u008f\u0090\u009d"_s;
        QTest::newRow("top of the table") << hex("a0 ff") << u"\u00a0\u00ff"_s;
    }
    void windows1252()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(fromWindows1252(bytes), text);
    }

    void ansiIsUtf8AndAsciiTest()
    {
        const QString text = u"C:/Users/J\u00fcrgen/\u041a\u0438\u043d\u043e"_s;
        QCOMPARE(toAnsi(text), text.toUtf8());
        QCOMPARE(fromAnsi(toAnsi(text)), text);
        QVERIFY(isPureAscii(u""));
        QVERIFY(isPureAscii(u"plain \x7f text"));
        QVERIFY(!isPureAscii(u"caf\u00e9"));
        QVERIFY(!isPureAscii(u"\U0001F600"));
    }

    // Both directions: the writer produces exactly these bytes and the reader gives the text back.
    void stringValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty is UTF-16") << QString() << hex("12 00000000");
        QTest::newRow("ASCII is 8-bit") << u"abc"_s << hex("06 03 616263");
        QTest::newRow("255 ASCII characters still short")
            << longAscii(255) << hex("06 ff") + QByteArray(255, 'a');
        QTest::newRow("300 ASCII characters") << longAscii(300) << hex("0c 2c010000") + QByteArray(300, 'a');
        QTest::newRow("two Cyrillic letters") << u"\u041a\u0438"_s << hex("12 02000000 1a04 3804");
        QTest::newRow("one accented letter alone") << u"\u00e9"_s << hex("12 01000000 e900");
        QTest::newRow("ASCII prevails over one accented letter")
            << u"Caf\u00e9 society"_s << hex("14 0d000000 436166 c3a9 20736f6369657479");
        QTest::newRow("three-byte unit among ASCII") << u"x\u20acyz"_s << hex("14 06000000 78 e282ac 797a");
        QTest::newRow("surrogate pair alone") << u"\U0001F600"_s << hex("12 02000000 3dd8 00de");
        QTest::newRow("surrogate pair as two three-byte sequences")
            << u"Smile \U0001F600 for the camera"_s
            << hex("14 1b000000 536d696c6520 eda0bd edb880 20666f72207468652063616d657261");
        QTest::newRow("lone surrogate kept") << u"abcd\xdc00"_s << hex("14 07000000 61626364 edb080");
    }
    void stringValue()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QByteArray written;
        {
            ByteWriter out(written);
            writeStringValue(out, text);
        }
        QCOMPARE(written, bytes);

        ByteReader in(bytes);
        QString read;
        QString error;
        QVERIFY2(readStringValue(in, read, &error), qPrintable(error));
        QCOMPARE(read, text);
        QVERIFY(in.atEnd());
    }

    // Forms this system does not write but must read, and the failures.
    void stringReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("8-bit text is Windows-1252")
            << hex("06 06 43 61 66 e9 20 80") << u"Caf\u00e9 \u20ac"_s << QString();
        QTest::newRow("long 8-bit text too") << hex("0c 02000000 93 94") << u"\u201c\u201d"_s << QString();
        QTest::newRow("empty 8-bit text") << hex("06 00") << QString() << QString();
        QTest::newRow("malformed UTF-8 empties the string")
            << hex("14 04000000 61 c3 28 62") << QString() << QString();
        QTest::newRow("UTF-8 cut short empties the string")
            << hex("14 03000000 61 62 e2") << QString() << QString();
        QTest::newRow("four-byte UTF-8 is malformed")
            << hex("14 04000000 f09f9880") << QString() << QString();
        QTest::newRow("stray trail byte is malformed") << hex("14 02000000 80 61") << QString() << QString();
        QTest::newRow("unknown tag") << hex("07 03 616263") << QString() << InvalidPropertyValueMessage;
        QTest::newRow("integer tag where a string belongs")
            << hex("02 05") << QString() << InvalidPropertyValueMessage;
        QTest::newRow("negative length") << hex("12 ffffffff") << QString() << InvalidPropertyValueMessage;
        QTest::newRow("no tag") << QByteArray() << QString() << StreamReadErrorMessage;
        QTest::newRow("length cut short") << hex("12 0100") << QString() << StreamReadErrorMessage;
        QTest::newRow("text cut short") << hex("06 05 6162") << QString() << StreamReadErrorMessage;
        QTest::newRow("huge count, no data")
            << hex("12 ffffff7f 4100") << QString() << StreamReadErrorMessage;
        QTest::newRow("huge UTF-8 length, no data")
            << hex("14 ffffff7f 41") << QString() << StreamReadErrorMessage;
    }
    void stringReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, error);
        ByteReader in(bytes);
        QString read;
        QString failure;
        QCOMPARE(readStringValue(in, read, &failure), error.isEmpty());
        QCOMPARE(failure, error);
        if (error.isEmpty()) {
            QCOMPARE(read, text);
            QVERIFY(in.atEnd());
        }
    }

    void integerValue_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("-1") << -1 << hex("02 ff");
        QTest::newRow("6") << 6 << hex("02 06");
        QTest::newRow("11") << 11 << hex("02 0b");
        QTest::newRow("-128 still one byte") << -128 << hex("02 80");
        QTest::newRow("200") << 200 << hex("03 c800");
        QTest::newRow("-129") << -129 << hex("03 7fff");
        QTest::newRow("32767") << 32767 << hex("03 ff7f");
        QTest::newRow("70000") << 70000 << hex("04 70110100");
        QTest::newRow("-32769") << -32769 << hex("04 ff7fffff");
        QTest::newRow("lowest") << std::numeric_limits<qint32>::min() << hex("04 00000080");
    }
    void integerValue()
    {
        QFETCH(qint32, value);
        QFETCH(QByteArray, bytes);
        QByteArray written;
        {
            ByteWriter out(written);
            writeIntegerValue(out, value);
        }
        QCOMPARE(written, bytes);

        ByteReader in(bytes);
        qint32 read = 0;
        QString error;
        QVERIFY2(readIntegerValue(in, read, &error), qPrintable(error));
        QCOMPARE(read, value);
        QVERIFY(in.atEnd());
    }

    void integerAndBooleanReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("string tag where an integer belongs")
            << hex("06 01 31") << InvalidPropertyValueMessage;
        QTest::newRow("32-bit value cut short") << hex("04 0102") << StreamReadErrorMessage;
        QTest::newRow("16-bit value cut short") << hex("03 01") << StreamReadErrorMessage;
        QTest::newRow("no tag") << QByteArray() << StreamReadErrorMessage;
    }
    void integerAndBooleanReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        ByteReader in(bytes);
        qint32 value = 0;
        QString failure;
        QVERIFY(!readIntegerValue(in, value, &failure));
        QCOMPARE(failure, error);
    }

    void booleans()
    {
        QByteArray written;
        {
            ByteWriter out(written);
            writeBooleanValue(out, false);
            writeBooleanValue(out, true);
        }
        QCOMPARE(written, hex("08 09"));
        // Only 0x09 is true, and no tag carries a payload.
        const QByteArray bytes = hex("09 08 01 ff");
        ByteReader in(bytes);
        QString error;
        for (bool expected : { true, false, false, false }) {
            bool value = !expected;
            QVERIFY(readBooleanValue(in, value, &error));
            QCOMPARE(value, expected);
        }
        bool value = true;
        QVERIFY(!readBooleanValue(in, value, &error));
        QCOMPARE(error, StreamReadErrorMessage);
    }

    void colourFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("name") << u"clRed"_s << true << PriorityHigh;
        QTest::newRow("name in other case") << u"CLRED"_s << true << PriorityHigh;
        QTest::newRow("system colour name") << u"clwindow"_s << true << 0xFF000005u;
        QTest::newRow("hex after $") << u"$000000FF"_s << true << PriorityHigh;
        QTest::newRow("decimal") << u"255"_s << true << PriorityHigh;
        QTest::newRow("leading blanks and plus") << u"  +255"_s << true << PriorityHigh;
        QTest::newRow("hex after 0x") << u"0xff"_s << true << PriorityHigh;
        QTest::newRow("hex after X") << u"X7100"_s << true << PriorityMedium;
        QTest::newRow("minus one") << u"-1"_s << true << 0xFFFFFFFFu;
        QTest::newRow("all 32 bits in hex") << u"$FFFFFFFF"_s << true << 0xFFFFFFFFu;
        QTest::newRow("leading zeros do not overflow") << u"$000000000000FF"_s << true << PriorityHigh;
        QTest::newRow("negative hex") << u"-$1"_s << true << 0xFFFFFFFFu;
        QTest::newRow("largest decimal") << u"2147483647"_s << true << 0x7FFFFFFFu;
        QTest::newRow("smallest decimal") << u"-2147483648"_s << true << 0x80000000u;
        QTest::newRow("zero") << u"0"_s << true << 0u;
        QTest::newRow("decimal overflow") << u"2147483648"_s << false << 0u;
        QTest::newRow("negative overflow") << u"-2147483649"_s << false << 0u;
        QTest::newRow("hex overflow") << u"$100000000"_s << false << 0u;
        QTest::newRow("letters") << u"abc"_s << false << 0u;
        QTest::newRow("empty") << QString() << false << 0u;
        QTest::newRow("prefix without digits") << u"0x"_s << false << 0u;
        QTest::newRow("dollar without digits") << u"$"_s << false << 0u;
        QTest::newRow("trailing blank") << u"255 "_s << false << 0u;
        QTest::newRow("hex digits without prefix") << u"FF"_s << false << 0u;
        QTest::newRow("name with trailing blank") << u"clRed "_s << false << 0u;
        QTest::newRow("no Unicode case folding") << u"clBlac\u212a"_s << false << 0u;
    }
    void colourFromText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(quint32, colour);
        const std::optional<Colour> read = vellumite::colourFromText(text);
        QCOMPARE(read.has_value(), valid);
        if (valid)
            QCOMPARE(*read, colour);
    }

    void colourToText_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("high") << PriorityHigh << u"clRed"_s;
        QTest::newRow("medium") << PriorityMedium << u"$00007100"_s;
        QTest::newRow("low") << PriorityLow << u"$00232323"_s;
        QTest::newRow("system colour") << 0xFF00000Fu << u"clBtnFace"_s;
        QTest::newRow("default") << 0x20000000u << u"clDefault"_s;
        QTest::newRow("none") << 0x1FFFFFFFu << u"clNone"_s;
        QTest::newRow("upper-case hex") << 0xDEADBEEFu << u"$DEADBEEF"_s;
    }
    void colourToText()
    {
        QFETCH(quint32, colour);
        QFETCH(QString, text);
        QCOMPARE(vellumite::colourToText(colour), text);
    }

    void colourTableNamesAreDistinctAndReadBack()
    {
        QCOMPARE(colourNames().size(), size_t(51));
        std::set<QString> names;
        for (const ColourName &row : colourNames()) {
            QVERIFY2(names.insert(row.name).second, qPrintable(row.name));
            QCOMPARE(vellumite::colourToText(row.value), QString(row.name));
            QCOMPARE(vellumite::colourFromText(row.name.toString().toUpper()),
                     std::optional<Colour>(row.value));
        }
    }

    void recordRoundTrip()
    {
        TBookmark record;
        record.CategoryName = QString();
        record.Description = u"\u041a\u0438\u043d\u043e \U0001F600"_s;
        record.Link = u"https://example.org/a?b=c&d=%C3%A9"_s;
        record.Comment = u"Line one\r\nLine two with caf\u00e9"_s;
        record.OperaBlock = u"#URL\r\n\tID=7\r\n\tNAME=Kino"_s;
        record.Editable = true;
        record.IsCategory = false;
        record.ImageIndex = 17;
        record.ImportSource = FromOpera;
        record.LinkState = 70000;
        record.PriorityColor = 0x12345678;

        QByteArray bytes;
        VTSaveNode(bytes, record);
        ByteReader in(bytes);
        TBookmark read;
        QString error;
        QVERIFY2(VTLoadNode(in, read, &error), qPrintable(error));
        QCOMPARE(read, record);
        QVERIFY(in.atEnd());
    }

    void recordWithBadColourFailsAfterTheOtherFields()
    {
        QByteArray bytes;
        {
            ByteWriter out(bytes);
            for (int i = 0; i < 5; ++i)
                writeStringValue(out, u"x"_s);
            for (char c : hex("09 09 02 06 02 00 02 ff"))
                out.writeU8(static_cast<quint8>(c));
            writeStringValue(out, u"abc"_s);
        }
        ByteReader in(bytes);
        TBookmark read;
        QString error;
        QVERIFY(!VTLoadNode(in, read, &error));
        QCOMPARE(error, u"'abc' is not a valid integer value"_s);
        QCOMPARE(read.OperaBlock, u"x"_s);
        QCOMPARE(read.LinkState, -1);
    }
};

QTEST_GUILESS_MAIN(TestBookmarkRecord)
#include "tst_bookmarkrecord.moc"
