#include "feedback/feedbackform.h"
#include "feedback/feedbackshell.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace vellumite::feedback;

namespace {

// Records the addresses it is asked to open instead of starting anything, and answers as told.
class RecordingOpener final : public FeedbackShell
{
public:
    OpenResult open(const QString &address) override
    {
        opened.append(address);
        return result;
    }
    QStringList opened;
    OpenResult result = OpenResult::Started;
};

// The text of the message box that `action` brings up, which is then closed.
QString messageDuring(const std::function<void()> &action)
{
    QString text;
    QTimer::singleShot(0, [&text] {
        if (QTest::qWaitFor([] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); })) {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            text = box->text();
            box->accept();
        }
    });
    action();
    return text;
}

const QString MailPrefix = u"mailto:feedback@vellumite.invalid?subject=Uninstall%20VellumitePE&body="_s;
const QString Separator = u"%20%20%2A%2A%2A%2A%2A%20%20Comments%20%3A%20"_s;

} // namespace

class TestFeedbackForm : public QObject
{
    Q_OBJECT

private slots:
    void centredTopLeft_data();
    void centredTopLeft();
    void windowIsCentredOnThePrimaryScreen();
    void startsWithTheLastReasonAndFixedSize();
    void everyCaptionFitsItsControl();
    void submitSendsTheLastReasonAndTheComment_data();
    void submitSendsTheLastReasonAndTheComment();
    void closingWithoutSubmitSendsNothing();
    void failedStartKeepsTheWindowAndTheComment_data();
    void failedStartKeepsTheWindowAndTheComment();
    void pastedRichTextArrivesAsPlainText();
    void keyboardGoesFromTheChosenReasonToSubmit();
};

void TestFeedbackForm::centredTopLeft_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("even screen") << QSize(1280, 1024) << QSize(370, 420) << QPoint(455, 302);
    // 1025 / 2 = 512.5 goes down to 512, 767 / 2 = 383.5 up to 384: both to the even neighbour.
    QTest::newRow("odd screen, halves to even") << QSize(1025, 767) << QSize(370, 420) << QPoint(327, 174);
    QTest::newRow("odd screen, halves up") << QSize(1027, 769) << QSize(370, 420) << QPoint(329, 174);
    // The halves are rounded before the subtraction: 400 - round(185.5) and 300 - round(210.5).
    QTest::newRow("odd window") << QSize(800, 600) << QSize(371, 421) << QPoint(214, 90);
    QTest::newRow("screen smaller than window") << QSize(320, 240) << QSize(370, 420) << QPoint(-25, -90);
}

void TestFeedbackForm::centredTopLeft()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, topLeft);
    QCOMPARE(CentredTopLeft(screen, window), topLeft);
}

void TestFeedbackForm::windowIsCentredOnThePrimaryScreen()
{
    RecordingOpener shell;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(form.pos(), CentredTopLeft(screen, FeedbackForm::OuterSize));
}

void TestFeedbackForm::startsWithTheLastReasonAndFixedSize()
{
    RecordingOpener shell;
    FeedbackForm form(shell);

    QCOMPARE(form.windowTitle(), u"Uninstall feedback"_s);
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.minimumSize(), form.maximumSize());

    QCOMPARE(form.SelectedReason(), u"Other reason..."_s);
    for (size_t i = 0; i < form.ReasonRadio.size(); ++i)
        QCOMPARE(form.ReasonRadio[i]->isChecked(), i == 5);
    QVERIFY(form.CommentsBox->toPlainText().isEmpty());
}

// The layout is fixed in pixels; a caption wider than its place would be cut off.
void TestFeedbackForm::everyCaptionFitsItsControl()
{
    RecordingOpener shell;
    FeedbackForm form(shell);

    for (QRadioButton *radio : form.ReasonRadio)
        QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(radio->text()));
    for (QLabel *label : { form.TitleLabel, form.CommentsLabel })
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
    const QFontMetrics groupTitle(form.ReasonGroup->font());
    QVERIFY(groupTitle.horizontalAdvance(form.ReasonGroup->title()) < form.ReasonGroup->width());
    QVERIFY(form.SubmitButton->sizeHint().width() <= form.SubmitButton->width());
    // Everything but the button stands on the white panel; the button below it, inside the window.
    const QRect panel = form.BackgroundPanel->geometry();
    for (QWidget *control : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control == form.BackgroundPanel)
            continue;
        QVERIFY2(form.rect().contains(control->geometry()), qPrintable(control->objectName()));
        QCOMPARE(panel.contains(control->geometry()), control != form.SubmitButton);
    }
}

void TestFeedbackForm::submitSendsTheLastReasonAndTheComment_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("body");

    QTest::newRow("untouched") << QList<int>() << QString() << u"Other%20reason..."_s + Separator;
    QTest::newRow("one reason") << QList<int> { 1 } << u"crashes"_s
                                << u"The%20software%20has%20bugs"_s + Separator + u"crashes"_s;
    QTest::newRow("last click wins") << QList<int> { 0, 3, 4 } << QString()
                                     << u"Program%20is%20too%20hard%20to%20use"_s + Separator;
    QTest::newRow("back to the first") << QList<int> { 2, 0 } << u"a\nb & c"_s
                                       << u"Missing%20feature"_s + Separator + u"a%0D%0Ab%20%26%20c"_s;
}

void TestFeedbackForm::submitSendsTheLastReasonAndTheComment()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, comment);
    QFETCH(QString, body);

    RecordingOpener shell;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    for (int reason : clicks)
        QTest::mouseClick(form.ReasonRadio[static_cast<size_t>(reason)], Qt::LeftButton);
    const int last = clicks.isEmpty() ? 5 : clicks.last();
    for (size_t i = 0; i < form.ReasonRadio.size(); ++i)
        QCOMPARE(form.ReasonRadio[i]->isChecked(), static_cast<int>(i) == last);
    form.CommentsBox->setPlainText(comment);

    QTest::mouseClick(form.SubmitButton, Qt::LeftButton);
    QCOMPARE(shell.opened, QStringList { MailPrefix + body });
    // The window closes once the click is over.
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(shell.opened.size(), 1);
}

void TestFeedbackForm::closingWithoutSubmitSendsNothing()
{
    RecordingOpener shell;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.ReasonRadio[0], Qt::LeftButton);
    form.CommentsBox->setPlainText(u"never sent"_s);

    QVERIFY(form.close());
    QCoreApplication::processEvents();
    QVERIFY(shell.opened.isEmpty());
}

void TestFeedbackForm::failedStartKeepsTheWindowAndTheComment_data()
{
    QTest::addColumn<OpenResult>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("too long") << OpenResult::TooLong << u"too long"_s;
    QTest::newRow("not started") << OpenResult::NotStarted << u"could not be started"_s;
}

void TestFeedbackForm::failedStartKeepsTheWindowAndTheComment()
{
    QFETCH(OpenResult, result);
    QFETCH(QString, message);

    RecordingOpener shell;
    shell.result = result;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString comment = QString(50000, u'\u0436');
    form.CommentsBox->setPlainText(comment);

    const QString shown = messageDuring([&] { QTest::mouseClick(form.SubmitButton, Qt::LeftButton); });
    QVERIFY2(shown.contains(message), qPrintable(shown));
    QCoreApplication::processEvents();
    QVERIFY(form.isVisible());
    QCOMPARE(form.CommentsBox->toPlainText(), comment);

    // Once the mail program starts, the same comment goes and the window closes.
    shell.result = OpenResult::Started;
    QTest::mouseClick(form.SubmitButton, Qt::LeftButton);
    QCOMPARE(shell.opened.size(), 2);
    QCOMPARE(shell.opened[0], shell.opened[1]);
    QTRY_VERIFY(!form.isVisible());
}

void TestFeedbackForm::pastedRichTextArrivesAsPlainText()
{
    RecordingOpener shell;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(QDir::temp().filePath(u"feedback-paste.png"_s));
    auto *mime = new QMimeData;
    mime->setHtml(u"<p><b>bold</b> <img src=\"file://%1\"> text</p>"_s.arg(
        QDir::temp().filePath(u"feedback-paste.png"_s)));
    mime->setImageData(picture);
    mime->setText(u"bold text"_s);
    QGuiApplication::clipboard()->setMimeData(mime);

    form.CommentsBox->setFocus();
    form.CommentsBox->paste();
    QCOMPARE(form.CommentsBox->toPlainText(), u"bold text"_s);
    QVERIFY(!form.CommentsBox->toHtml().contains(u"<img"_s));
    QFile::remove(QDir::temp().filePath(u"feedback-paste.png"_s));
}

void TestFeedbackForm::keyboardGoesFromTheChosenReasonToSubmit()
{
    RecordingOpener shell;
    FeedbackForm form(shell);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QCOMPARE(QApplication::focusWidget(), form.ReasonRadio[5]);
    // What a style looks at to draw the focus frame.
    QStyleOptionButton option;
    option.initFrom(form.ReasonRadio[5]);
    QVERIFY(option.state.testFlag(QStyle::State_HasFocus));
    QVERIFY(option.state.testFlag(QStyle::State_KeyboardFocusChange));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.CommentsBox);
    QTest::keyClicks(form.CommentsBox, u"slow"_s);
    QTest::keyClick(form.CommentsBox, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.SubmitButton);
    QCOMPARE(form.CommentsBox->toPlainText(), u"slow"_s);

    QTest::keyClick(form.SubmitButton, Qt::Key_Return);
    QCOMPARE(shell.opened, QStringList { MailPrefix + u"Other%20reason..."_s + Separator + u"slow"_s });
}

QTEST_MAIN(TestFeedbackForm)
#include "tst_feedbackform.moc"
