// Reading a link dropped from another program out of the formats browsers and file managers offer.

#include "main/core/dropformats.h"
#include "tests/common/testfiles.h"

#include <QHash>
#include <QMimeData>
#include <QTest>

using namespace vellumite;

namespace {

const QString Link = QStringLiteral("https://example.org/caf\u00e9?q=1");
const QString Title = QStringLiteral("Example Domain \u65e5\u672c");

QByteArray fixture(const QString &name)
{
    return testfiles::readFile(QStringLiteral(VELLUMITE_TEST_DATA "/drop/") + name);
}

// Data as a drop from another program delivers it: each format's bytes as they were sent (QMimeData
// itself would rebuild a uri-list from parsed URLs).
class RawMimeData : public QMimeData
{
public:
    void setRaw(const QString &format, const QByteArray &bytes)
    {
        m_formats.removeAll(format);
        m_formats << format;
        m_bytes.insert(format, bytes);
    }
    void removeRaw(const QString &format)
    {
        m_formats.removeAll(format);
        m_bytes.remove(format);
    }
    QStringList formats() const override { return m_formats; }
    bool hasFormat(const QString &format) const override { return m_formats.contains(format); }

protected:
    QVariant retrieveData(const QString &format, QMetaType) const override { return m_bytes.value(format); }

private:
    QStringList m_formats;
    QHash<QString, QByteArray> m_bytes;
};

} // namespace

class TestDropFormats : public QObject
{
    Q_OBJECT

private slots:
    void oneFormat_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("title");

        const QString none;
        QTest::newRow("moz-url, UTF-16LE") << "moz-url-utf16le.bin" << MozUrlMimeType << Link << Title;
        QTest::newRow("moz-url, little-endian BOM")
            << "moz-url-utf16le-bom.bin" << MozUrlMimeType << Link << Title;
        QTest::newRow("moz-url, big-endian BOM")
            << "moz-url-utf16be-bom.bin" << MozUrlMimeType << Link << Title;
        QTest::newRow("moz-url, CR LF") << "moz-url-crlf.bin" << MozUrlMimeType << Link << Title;
        QTest::newRow("moz-url, NUL ends the text")
            << "moz-url-nul-ends-text.bin" << MozUrlMimeType << Link << Title;
        QTest::newRow("moz-url, cut inside a character")
            << "moz-url-truncated.bin" << MozUrlMimeType << Link << "Exampl";
        QTest::newRow("moz-url, link alone") << "moz-url-link-only.bin" << MozUrlMimeType << Link << none;
        QTest::newRow("netscape url") << "netscape-url.bin" << NetscapeUrlMimeType << Link << Title;
        QTest::newRow("netscape url, BOM and CR LF")
            << "netscape-url-bom-crlf.bin" << NetscapeUrlMimeType << Link << Title;
        QTest::newRow("uri-list, comments first")
            << "uri-list-comments.bin" << UriListMimeType << Link << none;
        QTest::newRow("uri-list, only comments")
            << "uri-list-only-comments.bin" << UriListMimeType << none << none;
        QTest::newRow("uri-list, BOM and LF") << "uri-list-bom-lf.bin" << UriListMimeType << Link << none;
        QTest::newRow("plain text, first line trimmed")
            << "plain-multiline.bin" << PlainTextMimeType << Link << none;
        QTest::newRow("plain text, BOM and CR LF")
            << "plain-bom-crlf.bin" << PlainTextMimeType << Link << none;
        QTest::newRow("plain text, blank lines first")
            << "plain-blank-first-line.bin" << PlainTextMimeType << Link << none;
        QTest::newRow("plain text, CR alone ends the line")
            << "plain-cr-only.bin" << PlainTextMimeType << Link << none;
        QTest::newRow("plain text, NUL ends the text")
            << "plain-nul-ends-text.bin" << Utf8PlainTextMimeType << Link << none;
        QTest::newRow("moz-url-desc gives only a title")
            << "moz-url-desc.bin" << MozUrlDescMimeType << none << Title;
        QTest::newRow("file descriptor, ending cut")
            << "filegroupdescriptor.bin" << FileGroupDescriptorMimeType << none << "Example Domain";
        QTest::newRow("file descriptor, a dot in the title")
            << "filegroupdescriptor-version-name.bin" << FileGroupDescriptorMimeType << none << "Version 2";
        QTest::newRow("file descriptor, count 0")
            << "filegroupdescriptor-no-count.bin" << FileGroupDescriptorMimeType << none << none;
        QTest::newRow("file descriptor, name cut by the data's end")
            << "filegroupdescriptor-truncated.bin" << FileGroupDescriptorMimeType << none << "Example Domain";
        QTest::newRow("file descriptor, header only")
            << "filegroupdescriptor-header-only.bin" << FileGroupDescriptorMimeType << none << none;
        QTest::newRow("file descriptor, name of 260 bytes without NUL")
            << "filegroupdescriptor-full-name.bin" << FileGroupDescriptorMimeType << none
            << QString(260, u'N');
    }

    void oneFormat()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(QString, link);
        QFETCH(QString, title);
        RawMimeData data;
        data.setRaw(format, fixture(file));
        const DroppedLink dropped = readDroppedLink(data);
        QCOMPARE(dropped.link, link);
        QCOMPARE(dropped.title, title);
    }

    // Whatever the text, a link or a title never keeps a line break or a NUL.
    void noLineBreakReachesTheLink_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("LF") << QByteArray("https://a.example/\nhttps://b.example/");
        QTest::newRow("CR") << QByteArray("https://a.example/\rjavascript:x");
        QTest::newRow("CR LF") << QByteArray("https://a.example/\r\n\r\n");
        QTest::newRow("NUL") << QByteArray("https://a.example/\0\nx", 22);
    }

    void noLineBreakReachesTheLink()
    {
        QFETCH(QByteArray, bytes);
        for (const QString &format : { NetscapeUrlMimeType, UriListMimeType, PlainTextMimeType }) {
            RawMimeData data;
            data.setRaw(format, bytes);
            const DroppedLink dropped = readDroppedLink(data);
            QCOMPARE(dropped.link, u"https://a.example/"_qs);
            QVERIFY(!dropped.title.contains(u'\n') && !dropped.title.contains(u'\r'));
        }
    }

    void formatsAreReadInOrder()
    {
        RawMimeData data;
        data.setRaw(PlainTextMimeType, "https://plain.example/");
        data.setRaw(UriListMimeType, "https://uri.example/\r\n");
        data.setRaw(NetscapeUrlMimeType, "https://netscape.example/\nNetscape title");
        QCOMPARE(readDroppedLink(data),
                 (DroppedLink { u"https://netscape.example/"_qs, u"Netscape title"_qs }));
        data.setRaw(MozUrlMimeType, fixture(u"moz-url-utf16le.bin"_qs));
        QCOMPARE(readDroppedLink(data), (DroppedLink { Link, Title }));
    }

    void titleComesFromTheDescriptionWhereTheLinkGaveNone()
    {
        RawMimeData data;
        data.setRaw(UriListMimeType, "https://uri.example/\r\n");
        data.setRaw(MozUrlDescMimeType, fixture(u"moz-url-desc.bin"_qs));
        data.setRaw(FileGroupDescriptorMimeType, fixture(u"filegroupdescriptor.bin"_qs));
        QCOMPARE(readDroppedLink(data), (DroppedLink { u"https://uri.example/"_qs, Title }));
        data.removeRaw(MozUrlDescMimeType);
        QCOMPARE(readDroppedLink(data).title, u"Example Domain"_qs);

        // A title from the link's own format stands.
        data.setRaw(NetscapeUrlMimeType, "https://n.example/\nOwn title");
        QCOMPARE(readDroppedLink(data).title, u"Own title"_qs);
    }

    void emptyEmptyLinkFallsThrough()
    {
        RawMimeData data;
        data.setRaw(MozUrlMimeType, QByteArray("\0\0", 2));
        data.setRaw(PlainTextMimeType, "https://plain.example/");
        QCOMPARE(readDroppedLink(data).link, u"https://plain.example/"_qs);
        QCOMPARE(readDroppedLink(QMimeData()), DroppedLink());
    }

    void fileNameEnding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("ending cut") << "Example Domain.url"
                                    << "Example Domain";
        QTest::newRow("last dot counts") << "Version 2.5 notes.url"
                                         << "Version 2.5 notes";
        QTest::newRow("dot in the title alone") << "Version 2.5 notes"
                                                << "Version 2";
        QTest::newRow("dot before a backslash") << "a.b\\c"
                                                << "a.b\\c";
        QTest::newRow("dot before a colon") << "a.b:c"
                                            << "a.b:c";
        QTest::newRow("no dot") << "Plain"
                                << "Plain";
        QTest::newRow("only the ending") << ".url"
                                         << "";
    }

    void fileNameEnding()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(cutFileNameEnding(name), title);
    }
};

QTEST_GUILESS_MAIN(TestDropFormats)
#include "tst_dropformats.moc"
