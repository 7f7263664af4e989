#include "feedback/feedbackform.h"

#include "feedback/feedbackmail.h"
#include "feedback/feedbackshell.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {

namespace {

// The client area: the controls with the panel's margin to the right and room below the button.
constexpr QSize ClientSize { 365, 390 };

constexpr int WindowCellHeight = 8;
constexpr int TitleCellHeight = 20;
constexpr int CommentsCellHeight = 14;

const QColor PanelColor(0xFF, 0xFF, 0xFF);
const QColor ReasonColor(0xF7, 0xF7, 0xF7);
const QColor CommentsColor(0xF4, 0xFF, 0xF4);

struct ReasonPlace
{
    const char *caption;
    int left;
    int top;
};

// Two columns of three, in the order of the handlers.
constexpr std::array<ReasonPlace, 6> Reasons { {
    { "Missing feature", 25, 70 },
    { "The software has bugs", 25, 95 },
    { "Program is overpriced", 25, 120 },
    { "I am using another program", 190, 70 },
    { "Program is too hard to use", 190, 95 },
    { "Other reason...", 190, 120 },
} };
constexpr int ReasonWidth = 150;
constexpr int InitialReason = 5;

// Rounds extent / 2 to the nearest integer, a half to the even neighbour.
int HalfRoundedToEven(int extent)
{
    const int half = extent / 2;
    if (extent % 2 == 0 || half % 2 == 0)
        return half;
    return half + 1;
}

void SetBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A reason box answers a click anywhere on its width, not only on the indicator and the caption.
class ReasonRadioBox final : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

QPoint CentredTopLeft(QSize screen, QSize window)
{
    return { HalfRoundedToEven(screen.width()) - HalfRoundedToEven(window.width()),
             HalfRoundedToEven(screen.height()) - HalfRoundedToEven(window.height()) };
}

QFont FontWithCellHeight(QFont font, int cellHeight)
{
    int pixelSize = qMax(cellHeight, 1);
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetrics(font).height() > cellHeight) {
        --pixelSize;
        font.setPixelSize(pixelSize);
    }
    return font;
}

FeedbackForm::FeedbackForm(FeedbackShell &shell, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_shell(shell)
{
    setObjectName(u"FeedbackForm"_s);
    setWindowTitle(u"Uninstall feedback"_s);
    setFixedSize(ClientSize);
    // Set before any control exists, so every control without a font of its own takes it.
    setFont(FontWithCellHeight(font(), WindowCellHeight));

    createControls();
    centreOnScreen();

    ReasonRadio[InitialReason]->setChecked(true);
    m_selectedReason = ReasonRadio[InitialReason]->text();

    connect(m_reasons, &QButtonGroup::idClicked, this, &FeedbackForm::ReasonClick);
    connect(SubmitButton, &QPushButton::clicked, this, &FeedbackForm::SubmitClick);

    // The keyboard starts on the chosen reason.
    ReasonRadio[InitialReason]->setFocus();
}

void FeedbackForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Showing a window hides its focus frame until a key moves the focus; here it shows from the start,
    // so the user sees where the keyboard is.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void FeedbackForm::createControls()
{
    TitleLabel = new QLabel(u"Send feedback"_s, this);
    TitleLabel->setObjectName(u"TitleLabel"_s);
    TitleLabel->setFont(Bold(FontWithCellHeight(font(), TitleCellHeight)));
    SetBackground(TitleLabel, PanelColor);
    TitleLabel->move(20, 15);
    TitleLabel->adjustSize();

    CommentsLabel = new QLabel(u"Comments (optional) :"_s, this);
    CommentsLabel->setObjectName(u"CommentsLabel"_s);
    CommentsLabel->setFont(Bold(font()));
    SetBackground(CommentsLabel, PanelColor);
    CommentsLabel->move(15, 160);
    CommentsLabel->adjustSize();

    ReasonGroup = new QGroupBox(u"Reason of uninstall program :"_s, this);
    ReasonGroup->setObjectName(u"ReasonGroup"_s);
    ReasonGroup->setFont(Bold(font()));
    SetBackground(ReasonGroup, ReasonColor);
    ReasonGroup->setGeometry(15, 50, 335, 105);

    // The reasons stand over the group box as children of the window, one exclusive group.
    m_reasons = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(Reasons.size()); ++i) {
        const ReasonPlace &place = Reasons[static_cast<size_t>(i)];
        auto *radio = new ReasonRadioBox(QString::fromLatin1(place.caption), this);
        radio->setObjectName(u"ReasonRadio%1"_s.arg(i + 1));
        // The group's ground shows through, so the reasons blend with the box whatever the style draws.
        QPalette palette = radio->palette();
        palette.setColor(radio->backgroundRole(), ReasonColor);
        radio->setPalette(palette);
        radio->setGeometry(place.left, place.top, ReasonWidth, radio->sizeHint().height());
        m_reasons->addButton(radio, i);
        ReasonRadio[static_cast<size_t>(i)] = radio;
    }

    CommentsBox = new QTextEdit(this);
    CommentsBox->setObjectName(u"CommentsBox"_s);
    CommentsBox->setFont(FontWithCellHeight(font(), CommentsCellHeight));
    QPalette commentsPalette = CommentsBox->palette();
    commentsPalette.setColor(QPalette::Base, CommentsColor);
    CommentsBox->setPalette(commentsPalette);
    CommentsBox->setGeometry(15, 180, 335, 150);
    // The mail carries plain text: pasted pictures and formatting would only leave marks in it.
    CommentsBox->setAcceptRichText(false);
    // Tab goes on to "Submit" instead of typing a tab.
    CommentsBox->setTabChangesFocus(true);

    SubmitButton = new QPushButton(u"Submit"_s, this);
    SubmitButton->setObjectName(u"SubmitButton"_s);
    SubmitButton->setGeometry(140, 355, 80, 25);
    // Enter presses it while it has the focus, as Space does.
    SubmitButton->setAutoDefault(true);

    BackgroundPanel = new QFrame(this);
    BackgroundPanel->setObjectName(u"BackgroundPanel"_s);
    BackgroundPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SetBackground(BackgroundPanel, PanelColor);
    BackgroundPanel->setGeometry(5, 5, 355, 340);
    // The white ground beneath the title, the reasons and the comments.
    BackgroundPanel->lower();
}

void FeedbackForm::centreOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(CentredTopLeft(screen->size(), OuterSize));
}

void FeedbackForm::ReasonClick(int reason)
{
    if (const QAbstractButton *radio = m_reasons->button(reason))
        m_selectedReason = radio->text();
}

void FeedbackForm::SubmitClick()
{
    switch (m_shell.open(FeedbackMailAddress(m_selectedReason, CommentsBox->toPlainText()))) {
    case OpenResult::Started:
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    // The window stays with the comment, so nothing the user wrote is lost.
    case OpenResult::TooLong:
        QMessageBox::warning(this, windowTitle(),
                             u"The comment is too long to be handed to the mail program. Please shorten it "
                             u"and press \"Submit\" again."_s);
        return;
    case OpenResult::NotStarted:
        QMessageBox::warning(this, windowTitle(),
                             u"The mail program could not be started, so the feedback was not sent."_s);
        return;
    }
}

} // namespace vellumite::feedback
