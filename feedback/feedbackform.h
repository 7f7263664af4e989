#pragma once

#include <QPoint>
#include <QSize>
#include <QWidget>
#include <array>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace vellumite::feedback {

class FeedbackShell;

// The top-left corner that centres a window of `window` outer size on a screen of `screen` size. Each
// half is rounded on its own, a half going to the even neighbour, and the rounded halves are subtracted.
QPoint CentredTopLeft(QSize screen, QSize window);

// A copy of `font` whose character cell (ascent plus descent) is at most `cellHeight` pixels high.
QFont FontWithCellHeight(QFont font, int cellHeight);

// The "Uninstall feedback" window: one of six reasons and an optional comment, handed to the mail
// program by "Submit". Closing the window any other way sends nothing.
class FeedbackForm : public QWidget
{
    Q_OBJECT

public:
    // The outer size the window is laid out for and centred by.
    static constexpr QSize OuterSize { 370, 420 };

    explicit FeedbackForm(FeedbackShell &shell, QWidget *parent = nullptr);

    // The caption of the reason last chosen; "Other reason..." until the user picks one.
    QString SelectedReason() const { return m_selectedReason; }

    void ReasonClick(int reason);
    // Hands the mail to the shell and closes the window once the click is over; when the mail program
    // cannot be started, says so and stays open with the comment.
    void SubmitClick();

    QLabel *TitleLabel = nullptr;
    QLabel *CommentsLabel = nullptr;
    QGroupBox *ReasonGroup = nullptr;
    std::array<QRadioButton *, 6> ReasonRadio {};
    QTextEdit *CommentsBox = nullptr;
    QPushButton *SubmitButton = nullptr;
    QFrame *BackgroundPanel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void centreOnScreen();

    FeedbackShell &m_shell;
    QButtonGroup *m_reasons = nullptr;
    QString m_selectedReason;
};

} // namespace vellumite::feedback
