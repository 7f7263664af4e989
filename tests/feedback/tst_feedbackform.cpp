#include "feedback/feedbackform.h"
#include "feedback/feedbackshell.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using namespace vellumite::feedback;

namespace {

// Records the addresses it is asked to open instead of starting anything.
class RecordingOpener final : public FeedbackShell
{
public:
    void open(const QString &address) override { opened.append(address); }
    QStringList opened;
};

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

QTEST_MAIN(TestFeedbackForm)
#include "tst_feedbackform.moc"
