#include "platform/linux/desktopshell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vellumite;

namespace {

// Stands in for the desktop's opener: writes its own name, its argument count and its first argument.
constexpr char RecordingProgram[]
    = "#!/bin/sh\n"
      "{ basename \"$0\"; echo \"$#\"; printf '%s' \"$1\"; } > \"$RECORD_FILE.part\"\n"
      "mv \"$RECORD_FILE.part\" \"$RECORD_FILE\"\n";

enum class Request { File, MailAddress };

} // namespace

class TestDesktopShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsTheOpenerWithOneArgument_data();
    void startsTheOpenerWithOneArgument();
    void nothingStartsWithoutTarget_data();
    void nothingStartsWithoutTarget();

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
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + qgetenv("PATH"));
    qputenv("RECORD_FILE", QFile::encodeName(recordFile()));
}

void TestDesktopShell::startsTheOpenerWithOneArgument_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("argument");

    QTest::newRow("help file") << Request::File << u"/opt/Vellumite Portable/Help.chm"_s;
    QTest::newRow("support mail")
        << Request::MailAddress << u"mailto:support@vellumite.invalid?subject=Portable Vellumite - support"_s;
    // Nothing interprets the address: no substitution, no splitting, no second command.
    QTest::newRow("shell syntax in the address")
        << Request::MailAddress
        << u"mailto:x@y.invalid?subject=$(touch injected);c=`touch injected` | touch injected"_s;
    QTest::newRow("non-ASCII file name") << Request::File << u"/tmp/Hilfe f\u00fcr \u00e9t\u00e9.chm"_s;
}

void TestDesktopShell::startsTheOpenerWithOneArgument()
{
    QFETCH(Request, request);
    QFETCH(QString, argument);

    QFile::remove(recordFile());
    DesktopShell shell;
    if (request == Request::File)
        shell.openFile(argument);
    else
        shell.openMailAddress(argument);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recordFile()), 5000);
    QFile record(recordFile());
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = record.readAll().split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], "xdg-open");
    QCOMPARE(lines[1], "1");
    QCOMPARE(QString::fromUtf8(lines[2]), argument);
    QVERIFY(!QFile::exists(u"injected"_s));
    QVERIFY(!QFile::exists(m_dir.filePath(u"injected"_s)));
}

void TestDesktopShell::nothingStartsWithoutTarget_data()
{
    QTest::addColumn<Request>("request");

    QTest::newRow("empty file name") << Request::File;
    QTest::newRow("empty mail address") << Request::MailAddress;
}

void TestDesktopShell::nothingStartsWithoutTarget()
{
    QFETCH(Request, request);

    QFile::remove(recordFile());
    DesktopShell shell;
    if (request == Request::File)
        shell.openFile({});
    else
        shell.openMailAddress({});
    QTest::qWait(300);
    QVERIFY(!QFile::exists(recordFile()));
}

QTEST_GUILESS_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
