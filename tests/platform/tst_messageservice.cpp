#include "platform/fakes/fakemessageservice.h"
#include "platform/widgets/widgetmessageservice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)

class TestMessageService : public QObject
{
    Q_OBJECT

private:
    struct Shown
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QWidget *parent = nullptr;
        QString details;
        QSize size;
    };

    // Runs `show`, takes down what the message box says and presses `press`.
    static Shown whileShown(const std::function<void()> &show, QMessageBox::StandardButton press)
    {
        Shown shown;
        QTimer::singleShot(0, [&shown, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown = { box->icon(),         box->windowTitle(),  box->text(), box->standardButtons(),
                      box->parentWidget(), box->detailedText(), box->size() };
            box->button(press)->click();
        });
        show();
        return shown;
    }

private slots:
    void errorText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << u"Stream read error"_s << u"Stream read error."_s;
        QTest::newRow("digit") << u"Error 5"_s << u"Error 5."_s;
        QTest::newRow("full stop") << u"Unable to load."_s << u"Unable to load."_s;
        QTest::newRow("exclamation mark comes before") << u"Failed!"_s << u"Failed!"_s;
        QTest::newRow("closing quote comes before") << u"Cannot open \"x\""_s << u"Cannot open \"x\""_s;
        QTest::newRow("question mark comes after") << u"What?"_s << u"What?."_s;
        QTest::newRow("slash comes after") << u"in /tmp/"_s << u"in /tmp/."_s;
        QTest::newRow("non-ASCII letter") << u"Fehler: Größe"_s << u"Fehler: Größe."_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void errorText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(errorDisplayText(text), shown);
    }

    // Only quoted absolute paths are shortened; the rest of the text stays as it was.
    void quotedPathsAreShortened_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString longPath = u"/home/ann/"_s + QString(40, u'x');
        QTest::newRow("a long path") << u"Cannot create folder \""_s + longPath + u"\". Permission denied"_s
                                     << u"Cannot create folder \"/home/an…xxxxxxx\". Permission denied"_s;
        QTest::newRow("a short path")
            << u"The folder \"/tmp/a\" does not exist."_s << u"The folder \"/tmp/a\" does not exist."_s;
        QTest::newRow("names are no paths") << u"Still there: \""_s + QString(40, u'n') + u"\"."_s
                                            << u"Still there: \""_s + QString(40, u'n') + u"\"."_s;
        QTest::newRow("two paths, Windows style") << u"\"C:\\"_s + QString(30, u'a') + u"\" and \"~/"_s
                + QString(30, u'b') + u"\""_s << u"\"C:\\aaaaa…aaaaaaa\" and \"~/bbbbbb…bbbbbbb\""_s;
        QTest::newRow("a quote left open")
            << u"Cannot open \""_s + longPath << u"Cannot open \""_s + longPath;
    }
    void quotedPathsAreShortened()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        // Up to 16 characters: the first 8, "…" and the last 7.
        const ShortenedMessage message = shortenQuotedPaths(text, [](const QString &path) {
            return path.size() <= 16 ? path : path.first(8) + u'…' + path.last(7);
        });
        QCOMPARE(message.text, shown);
        QCOMPARE(message.shortened, shown != text);
    }

    // A path of some 6 KB (300 folders deep) is shortened in the middle, so the box stays well within
    // the screen and its OK button on it; the whole text is in the box's details.
    void longPathsFitTheScreen()
    {
        QWidget window;
        WidgetMessageService messages(&window);
        QString path = u"/home/ann/.wine/drive_c/users/ann/Favorites"_s;
        for (int level = 1; level <= 300; ++level)
            path += u"/Deep folder level %1"_s.arg(level, 3, 10, QChar(u'0'));
        const QString text = u"Cannot create folder \""_s + path + u"\". Permission denied"_s;
        const Shown shown
            = whileShown([&] { messages.error(u"Vellumite Portable Edition"_s, text); }, QMessageBox::Ok);
        QVERIFY(shown.text.startsWith(u"Cannot create folder \"/home/ann/"_s));
        QVERIFY(shown.text.endsWith(u"level 300\". Permission denied."_s));
        QVERIFY(shown.text.contains(u'…'));
        QVERIFY2(shown.text.size() < 200, qPrintable(shown.text));
        QCOMPARE(shown.details, text + u'.');
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY2(shown.size.height() < 300 && shown.size.width() <= screen.width(),
                 qPrintable(u"%1 x %2"_s.arg(shown.size.width()).arg(shown.size.height())));

        // A short path is shown whole, with no details.
        const Shown whole
            = whileShown([&] { messages.information(u"T"_s, u"The folder \"/tmp/a\" does not exist."_s); },
                         QMessageBox::Ok);
        QCOMPARE(whole.text, u"The folder \"/tmp/a\" does not exist."_s);
        QCOMPARE(whole.details, QString());
    }

    void widgetBoxes()
    {
        QWidget window;
        WidgetMessageService messages(&window);

        Shown shown
            = whileShown([&] { messages.error(u"Vellumite Portable Edition"_s, u"Stream read error"_s); },
                         QMessageBox::Ok);
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.title, u"Vellumite Portable Edition"_s);
        QCOMPARE(shown.text, u"Stream read error."_s);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(shown.parent, &window);

        shown = whileShown([&] { messages.information(u"Title"_s, u"In a current folder"_s); },
                           QMessageBox::Ok);
        QCOMPARE(shown.text, u"In a current folder"_s);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        for (const auto press : { QMessageBox::Yes, QMessageBox::No }) {
            MessageAnswer answer = MessageAnswer::No;
            shown = whileShown([&] { answer = messages.question(u"Warning!"_s, u"Delete selected?"_s); },
                               press);
            QCOMPARE(shown.icon, QMessageBox::Question);
            QCOMPARE(shown.title, u"Warning!"_s);
            QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(answer, press == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No);
        }
    }

    void fakeRecordsAndAnswers()
    {
        FakeMessageService messages;
        messages.setNextAnswer(MessageAnswer::Yes);
        QCOMPARE(messages.question(u"Warning!"_s, u"Delete selected?"_s), MessageAnswer::Yes);
        QCOMPARE(messages.question(u"Warning!"_s, u"Again?"_s), MessageAnswer::No); // nothing queued
        messages.error(u"T"_s, u"E"_s);
        messages.information(u"T"_s, u"I"_s);
        using Kind = FakeMessageService::Kind;
        const QList<FakeMessageService::Message> expected {
            { Kind::Question, u"Warning!"_s, u"Delete selected?"_s },
            { Kind::Question, u"Warning!"_s, u"Again?"_s },
            { Kind::Error, u"T"_s, u"E"_s },
            { Kind::Information, u"T"_s, u"I"_s },
        };
        QCOMPARE(messages.messages(), expected);
    }
};

QTEST_MAIN(TestMessageService)
#include "tst_messageservice.moc"
