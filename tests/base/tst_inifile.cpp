#include "base/inifile.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    static IniFile parsed(const QByteArray &text)
    {
        IniFile ini;
        ini.setData(text);
        return ini;
    }

private slots:
    void integerRule_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("700") << 700;
        QTest::newRow("0x prefix") << QByteArray("0x2BC") << 700;
        QTest::newRow("0X prefix, lower-case digits") << QByteArray("0X2bc") << 700;
        QTest::newRow("dollar") << QByteArray("$2BC") << 700;
        QTest::newRow("x alone") << QByteArray("x2BC") << 700;
        QTest::newRow("X alone") << QByteArray("X2BC") << 700;
        QTest::newRow("letters") << QByteArray("abc") << 650;
        QTest::newRow("empty value") << QByteArray("") << 650;
        QTest::newRow("0x and nothing after it") << QByteArray("0x") << 650;
        QTest::newRow("dollar and nothing after it") << QByteArray("$") << 650;
        QTest::newRow("sign and nothing after it") << QByteArray("-") << 650;
        QTest::newRow("negative") << QByteArray("-12") << -12;
        QTest::newRow("plus sign") << QByteArray("+12") << 12;
        QTest::newRow("negative hexadecimal") << QByteArray("-$10") << -16;
        QTest::newRow("sign before 0x is no number") << QByteArray("-0x10") << 650;
        QTest::newRow("blank between sign and digits") << QByteArray("- 5") << 650;
        QTest::newRow("trailing letters") << QByteArray("12px") << 650;
        QTest::newRow("blank inside") << QByteArray("1 2") << 650;
        QTest::newRow("blanks around") << QByteArray("  42  ") << 42;
        QTest::newRow("quoted") << QByteArray("\"42\"") << 42;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("decimal overflow") << QByteArray("2147483648") << 650;
        QTest::newRow("hexadecimal is a 32-bit pattern") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("hexadecimal overflow") << QByteArray("0x100000000") << 650;
        QTest::newRow("leading zeros") << QByteArray("000000000000700") << 700;
    }
    void integerRule()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const IniFile ini = parsed("[Program]\nWidth=" + value + '\n');
        QCOMPARE(ini.readInteger(u"Program"_s, u"Width"_s, 650), expected);
    }

    void lookup_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected"); // "<missing>" when the default comes back
        QTest::newRow("exact") << QByteArray("[Browser]\nOpenWithBrowser=/usr/bin/a\n") << u"/usr/bin/a"_s;
        QTest::newRow("names without regard to case")
            << QByteArray("[BROWSER]\nopenwithbrowser=/usr/bin/a\n") << u"/usr/bin/a"_s;
        QTest::newRow("blanks around names and value")
            << QByteArray("  [ Browser ]  \n  OpenWithBrowser  =  /usr/bin/a  \n") << u"/usr/bin/a"_s;
        QTest::newRow("CR LF lines") << QByteArray("[Browser]\r\nOpenWithBrowser=/usr/bin/a\r\n")
                                     << u"/usr/bin/a"_s;
        QTest::newRow("first of two keys")
            << QByteArray("[Browser]\nOpenWithBrowser=a\nOpenWithBrowser=b\n") << u"a"_s;
        QTest::newRow("only the first section of a name")
            << QByteArray("[Browser]\nX=1\n[Program]\n[Browser]\nOpenWithBrowser=b\n") << u"<missing>"_s;
        QTest::newRow("key of another section")
            << QByteArray("[Program]\nOpenWithBrowser=a\n[Browser]\n") << u"<missing>"_s;
        QTest::newRow("key before any section")
            << QByteArray("OpenWithBrowser=a\n[Browser]\n") << u"<missing>"_s;
        QTest::newRow("commented out") << QByteArray("[Browser]\n;OpenWithBrowser=a\n") << u"<missing>"_s;
        QTest::newRow("empty value is a value") << QByteArray("[Browser]\nOpenWithBrowser=\n") << QString();
        QTest::newRow("quotes taken off")
            << QByteArray("[Browser]\nOpenWithBrowser=\" /a b \"\n") << u" /a b "_s;
        QTest::newRow("single quotes taken off") << QByteArray("[Browser]\nOpenWithBrowser='a'\n") << u"a"_s;
        QTest::newRow("unmatched quotes stay")
            << QByteArray("[Browser]\nOpenWithBrowser=\"a'\n") << u"\"a'"_s;
        QTest::newRow("value holding =") << QByteArray("[Browser]\nOpenWithBrowser=a=b\n") << u"a=b"_s;
        QTest::newRow("UTF-8 value") << QByteArray("[Browser]\nOpenWithBrowser=/opt/n\xc3\xa9t\n")
                                     << u"/opt/nét"_s;
        QTest::newRow("last line without line break") << QByteArray("[Browser]\nOpenWithBrowser=a") << u"a"_s;
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Browser]\nOpenWithBrowser=a\n") << u"a"_s;
    }
    void lookup()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        const IniFile ini = parsed(text);
        QCOMPARE(ini.readString(u"Browser"_s, u"OpenWithBrowser"_s, u"<missing>"_s), expected);
        QCOMPARE(ini.contains(u"Browser"_s, u"OpenWithBrowser"_s), expected != u"<missing>"_s);
    }

    void sectionNames_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("profile");
        QTest::addColumn<QStringList>("desktopEntry");
        QTest::newRow("file order") << QByteArray(
            "[Profile1]\nPath=a\n[Profile0]\n[Install3B60]\nDefault=a\n")
                                    << QStringList { u"Profile1"_s, u"Profile0"_s, u"Install3B60"_s }
                                    << QStringList { u"Profile1"_s, u"Profile0"_s, u"Install3B60"_s };
        QTest::newRow("a repeated name once, as first spelled")
            << QByteArray("[General]\n[Other]\n[GENERAL]\n[General]\n")
            << QStringList { u"General"_s, u"Other"_s }
            << QStringList { u"General"_s, u"Other"_s, u"GENERAL"_s };
        QTest::newRow("header without ]") << QByteArray("[General\nX=1\n[B]\n")
                                          << QStringList { u"General"_s, u"B"_s } << QStringList { u"B"_s };
        QTest::newRow("commented and before any section")
            << QByteArray("X=1\n;[Hidden]\n  [ Spaced ]  \n") << QStringList { u"Spaced"_s }
            << QStringList { u"Spaced"_s };
        QTest::newRow("none") << QByteArray("X=1\n") << QStringList() << QStringList();
    }
    void sectionNames()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, profile);
        QFETCH(QStringList, desktopEntry);
        for (const auto &[dialect, expected] :
             { std::pair(IniDialect::Profile, profile), std::pair(IniDialect::DesktopEntry, desktopEntry) }) {
            IniFile ini(QString(), dialect);
            ini.setData(text);
            QCOMPARE(ini.sectionNames(), expected);
        }
    }

    // Where the profile rules and the desktop-entry rules part, and what both share, in one table:
    // the desktop's own files (desktop entries, mimeapps.list) are read with the second.
    void dialects_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("profile"); // "<missing>" when the default comes back
        QTest::addColumn<QString>("desktopEntry");
        const QString missing = u"<missing>"_s;
        QTest::newRow("names: case") << QByteArray("[desktop entry]\nexec=a\n") << u"Exec"_s << u"a"_s
                                     << missing;
        QTest::newRow("names: exact match")
            << QByteArray("[Desktop Entry]\nExec=a\n") << u"Exec"_s << u"a"_s << u"a"_s;
        QTest::newRow("quotes: dropped or kept") << QByteArray("[Desktop Entry]\nExec=\"/opt/a b\"\n")
                                                 << u"Exec"_s << u"/opt/a b"_s << u"\"/opt/a b\""_s;
        QTest::newRow("quotes: a quoted value")
            << QByteArray("[Desktop Entry]\nExec='a'\n") << u"Exec"_s << u"a"_s << u"'a'"_s;
        QTest::newRow("comments: ; in both")
            << QByteArray("[Desktop Entry]\n;Exec=a\n") << u";Exec"_s << missing << missing;
        QTest::newRow("comments: # only in desktop entries")
            << QByteArray("[Desktop Entry]\n#Exec=a\n") << u"#Exec"_s << u"a"_s << missing;
        QTest::newRow("a commented key is not the key")
            << QByteArray("[Desktop Entry]\n#Exec=a\nExec=b\n") << u"Exec"_s << u"b"_s << u"b"_s;
        QTest::newRow("header without ]")
            << QByteArray("[Desktop Entry\nExec=a\n") << u"Exec"_s << u"a"_s << missing;
        QTest::newRow("second section of the name")
            << QByteArray("[Desktop Entry]\nName=x\n[Other]\n[Desktop Entry]\nExec=b\n") << u"Exec"_s
            << missing << u"b"_s;
        QTest::newRow("first section of the name wins in both")
            << QByteArray("[Desktop Entry]\nExec=a\n[Desktop Entry]\nExec=b\n") << u"Exec"_s << u"a"_s
            << u"a"_s;
        QTest::newRow("key before any section in neither")
            << QByteArray("Exec=a\n[Desktop Entry]\n") << u"Exec"_s << missing << missing;
        QTest::newRow("CR LF in both")
            << QByteArray("[Desktop Entry]\r\nExec=a\r\n") << u"Exec"_s << u"a"_s << u"a"_s;
        QTest::newRow("byte-order mark in both")
            << QByteArray("\xEF\xBB\xBF[Desktop Entry]\nExec=a\n") << u"Exec"_s << u"a"_s << u"a"_s;
        QTest::newRow("blanks around names and value in both")
            << QByteArray(" [ Desktop Entry ] \n Exec = a b \n") << u"Exec"_s << u"a b"_s << u"a b"_s;
        QTest::newRow("mime type as key, list as value")
            << QByteArray("[Default Applications]\nx-scheme-handler/http=a.desktop;b.desktop;\n")
            << u"x-scheme-handler/http"_s << u"a.desktop;b.desktop;"_s << u"a.desktop;b.desktop;"_s;
    }
    void dialects()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, key);
        QFETCH(QString, profile);
        QFETCH(QString, desktopEntry);
        const QString section
            = text.contains("Default Applications") ? u"Default Applications"_s : u"Desktop Entry"_s;
        for (const auto &[dialect, expected] :
             { std::pair(IniDialect::Profile, profile), std::pair(IniDialect::DesktopEntry, desktopEntry) }) {
            IniFile ini(QString(), dialect);
            ini.setData(text);
            QCOMPARE(ini.readString(section, key, u"<missing>"_s), expected);
        }
    }

    void desktopEntryWritesValuesAsTheyStand()
    {
        IniFile ini(QString(), IniDialect::DesktopEntry);
        ini.setData("[Desktop Entry]\nName=a\n");
        QVERIFY(ini.writeString(u"Desktop Entry"_s, u"Exec"_s, u"'a b'"_s));
        QCOMPARE(ini.data(), QByteArray("[Desktop Entry]\nName=a\nExec='a b'\n"));
        QCOMPARE(ini.readString(u"Desktop Entry"_s, u"Exec"_s, {}), u"'a b'"_s);
        // Outer blanks would be lost on reading, and a "#" key would be a comment.
        QVERIFY(!ini.writeString(u"Desktop Entry"_s, u"Exec"_s, u" a"_s));
        QVERIFY(!ini.writeString(u"Desktop Entry"_s, u"#Exec"_s, u"a"_s));
    }

    void writeKeepsEverythingElse()
    {
        IniFile ini = parsed("; written by hand\r\n"
                             "[program]\r\n"
                             "hotkey1=Ctrl+Alt+S\r\n"
                             "WIDTH = 800\r\n"
                             "Unknown=kept\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "Key=value\r\n");
        ini.writeInteger(u"Program"_s, u"Width"_s, 700); // replaced where it stands, its spelling kept
        ini.writeInteger(u"Program"_s, u"Left"_s, -4); // after the section's last key
        ini.writeString(u"Browser"_s, u"OpenWithBrowser"_s, u"/usr/bin/b"_s); // a new section at the end
        QCOMPARE(ini.data(),
                 QByteArray("; written by hand\r\n"
                            "[program]\r\n"
                            "hotkey1=Ctrl+Alt+S\r\n"
                            "WIDTH=700\r\n"
                            "Unknown=kept\r\n"
                            "Left=-4\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "Key=value\r\n"
                            "\r\n"
                            "[Browser]\r\n"
                            "OpenWithBrowser=/usr/bin/b\r\n"));
    }

    // Every line of the key in its first section goes, in any spelling; the same key elsewhere stays.
    void removeKeyKeepsEverythingElse()
    {
        IniFile ini = parsed("[Program]\r\n"
                             "Kept=a.bad\r\n"
                             "Width=700\r\n"
                             "KEPT=b.bad\r\n"
                             "[Other]\r\n"
                             "Kept=stays\r\n");
        ini.removeKey(u"program"_s, u"kept"_s);
        ini.removeKey(u"Program"_s, u"Missing"_s);
        QCOMPARE(ini.data(), QByteArray("[Program]\r\nWidth=700\r\n[Other]\r\nKept=stays\r\n"));
    }

    void valuesComeBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << u"/usr/bin/firefox"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("outer blanks") << u"  padded "_s;
        QTest::newRow("looks quoted") << u"\"quoted\""_s;
        QTest::newRow("looks single-quoted") << u"'x'"_s;
        QTest::newRow("non-ASCII") << u"/home/Łukasz/браузер"_s;
        QTest::newRow("semicolon and brackets") << u";[x]=y"_s;
    }
    void valuesComeBackAsWritten()
    {
        QFETCH(QString, value);
        IniFile ini;
        QVERIFY(ini.writeString(u"Browser"_s, u"OpenWithBrowser"_s, value));
        const IniFile reread = parsed(ini.data());
        QCOMPARE(reread.readString(u"Browser"_s, u"OpenWithBrowser"_s, u"<missing>"_s), value);
    }

    void refusesWhatWouldBreakLines_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line feed in value") << u"Browser"_s << u"OpenWithBrowser"_s << u"a\n[Program]"_s;
        QTest::newRow("carriage return in value") << u"Browser"_s << u"OpenWithBrowser"_s << u"a\rb"_s;
        QTest::newRow("= in key") << u"Browser"_s << u"a=b"_s << u"v"_s;
        QTest::newRow("empty key") << u"Browser"_s << u" "_s << u"v"_s;
        QTest::newRow("key looks like a section") << u"Browser"_s << u"[x"_s << u"v"_s;
        QTest::newRow("] in section") << u"Bro]wser"_s << u"Key"_s << u"v"_s;
    }
    void refusesWhatWouldBreakLines()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[Browser]\nOpenWithBrowser=a\n";
        IniFile ini = parsed(before);
        QVERIFY(!ini.writeString(section, key, value));
        QCOMPARE(ini.data(), before);
    }

    void fileRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"Settings.ini"_s);

        IniFile missing(path);
        QVERIFY2(missing.load(), "a missing file reads as an empty one");
        QCOMPARE(missing.data(), QByteArray());
        missing.writeInteger(u"Program"_s, u"Show"_s, 2);
        QVERIFY(missing.save());

        IniFile again(path);
        QVERIFY(again.load());
        QCOMPARE(again.readInteger(u"Program"_s, u"Show"_s, 0), 2);
        QCOMPARE(again.data(), QByteArray("[Program]\nShow=2\n"));
    }

    // A save that fails part way leaves the former file as it was, byte for byte.
    void failedSaveLeavesTheFormerFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"Settings.ini"_s);
        const QByteArray former = "[Program]\nHotKey1=Ctrl+Alt+B\nShow=1\n";
        QVERIFY(testfiles::writeFile(path, former));

        IniFile ini(path);
        QVERIFY(ini.load());
        ini.writeString(u"Browser"_s, u"OpenWithBrowser"_s, QString(4096, u'x'));
        {
            const testfiles::FileSizeLimit limit(2 * former.size());
            QVERIFY(limit.isSet());
            QVERIFY(!ini.save());
        }
        QVERIFY(!ini.errorString().isEmpty());
        QCOMPARE(testfiles::readFile(path), former);
    }

    void fileFailures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());

        IniFile noFolder(dir.filePath(u"missing/Settings.ini"_s));
        noFolder.writeInteger(u"Program"_s, u"Show"_s, 0);
        QVERIFY(!noFolder.save());
        QVERIFY(!noFolder.errorString().isEmpty());

        // A folder in the file's place cannot be read (as root too).
        QVERIFY(QDir(dir.path()).mkdir(u"Settings.ini"_s));
        IniFile folder(dir.filePath(u"Settings.ini"_s));
        QVERIFY(!folder.load());
        QVERIFY(!folder.errorString().isEmpty());

        const QString bigPath = dir.filePath(u"big.ini"_s);
        QFile big(bigPath);
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write("[Program]\nShow=2\n" + QByteArray(IniFile::MaximumSize, ';'));
        big.close();
        IniFile tooBig(bigPath);
        QVERIFY(!tooBig.load());
        QCOMPARE(tooBig.readInteger(u"Program"_s, u"Show"_s, 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
