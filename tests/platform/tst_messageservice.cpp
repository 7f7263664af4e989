#include "platform/fakes/fakemessageservice.h"
#include "platform/widgets/widgetmessageservice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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
    };

    // Runs `show`, takes down what the message box says and presses `press`.
    static Shown whileShown(const std::function<void()> &show, QMessageBox::StandardButton press)
    {
        Shown shown;
        QTimer::singleShot(0, [&shown, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown = { box->icon(), box->windowTitle(), box->text(), box->standardButtons(),
                      box->parentWidget() };
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
