#include "platform/linux/desktopshell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vellumite;

namespace {

// Stands in for a started program: writes its own name, its argument count and its first argument.
constexpr char RecordingProgram[]
    = "#!/bin/sh\n"
      "{ basename \"$0\"; echo \"$#\"; printf '%s' \"$1\"; } > \"$RECORD_FILE.part\"\n"
      "mv \"$RECORD_FILE.part\" \"$RECORD_FILE\"\n";

enum class Request { File, MailAddress, WebPage };

} // namespace

class TestDesktopShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsOneProgramWithOneArgument_data();
    void startsOneProgramWithOneArgument();
    void nothingStartsWithoutProgramOrArgument_data();
    void nothingStartsWithoutProgramOrArgument();

private:
    bool installProgram(const QString &name);
    QString recordFile() const { return m_dir.filePath(u"record"_s); }

    QTemporaryDir m_dir;
};

bool TestDesktopShell::installProgram(const QString &name)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(RecordingProgram) < 0)
        return false;
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestDesktopShell::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The desktop's opener is found on the search path; ours comes first.
    QVERIFY(installProgram(u"xdg-open"_s));
    QVERIFY(installProgram(u"my browser"_s));
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + qgetenv("PATH"));
    qputenv("RECORD_FILE", QFile::encodeName(recordFile()));
}

void TestDesktopShell::startsOneProgramWithOneArgument_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("started");

    QTest::newRow("help file") << Request::File << u"/opt/Vellumite Portable/Help.chm"_s << u"xdg-open"_s;
    QTest::newRow("support mail")
        << Request::MailAddress << u"mailto:support@vellumite.invalid?subject=Portable Vellumite - support"_s
        << u"xdg-open"_s;
    QTest::newRow("web page") << Request::WebPage << u"https://vellumite.invalid/"_s << u"my browser"_s;
    // Nothing interprets the address: no substitution, no splitting, no second command.
    QTest::newRow("shell syntax in the address")
        << Request::WebPage
        << u"https://x.invalid/?a=1&b=$(touch injected);c=`touch injected` | touch injected"_s
        << u"my browser"_s;
    QTest::newRow("non-ASCII file name")
        << Request::File << u"/tmp/Hilfe f\u00fcr \u00e9t\u00e9.chm"_s << u"xdg-open"_s;
}

void TestDesktopShell::startsOneProgramWithOneArgument()
{
    QFETCH(Request, request);
    QFETCH(QString, argument);
    QFETCH(QString, started);

    QFile::remove(recordFile());
    DesktopShell shell;
    switch (request) {
    case Request::File:
        shell.openFile(argument);
        break;
    case Request::MailAddress:
        shell.openMailAddress(argument);
        break;
    case Request::WebPage:
        shell.openWebPage(m_dir.filePath(u"my browser"_s), argument);
        break;
    }

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), 5000);
    QFile record(recordFile());
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = record.readAll().split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(QString::fromUtf8(lines[0]), started);
    QCOMPARE(lines[1], "1");
    QCOMPARE(QString::fromUtf8(lines[2]), argument);
    QVERIFY(!QFile::exists(u"injected"_s));
    QVERIFY(!QFile::exists(m_dir.filePath(u"injected"_s)));
}

void TestDesktopShell::nothingStartsWithoutProgramOrArgument_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("browser");

    QTest::newRow("no browser") << Request::WebPage << QString();
    QTest::newRow("empty file name") << Request::File << QString();
    QTest::newRow("empty mail address") << Request::MailAddress << QString();
}

void TestDesktopShell::nothingStartsWithoutProgramOrArgument()
{
    QFETCH(Request, request);
    QFETCH(QString, browser);

    QFile::remove(recordFile());
    DesktopShell shell;
    if (request == Request::WebPage)
        shell.openWebPage(browser, u"https://vellumite.invalid/"_s);
    else if (request == Request::File)
        shell.openFile({});
    else
        shell.openMailAddress({});
    QTest::qWait(300);
    QVERIFY(!QFile::exists(recordFile()));
}

QTEST_GUILESS_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
