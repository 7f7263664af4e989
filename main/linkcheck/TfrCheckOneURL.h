#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace vellumite {

class BookmarkNode;
class LinkVerification;
class TRzBackground;

// The small progress window of "Check url": a running marquee and "Close". It closes by itself once
// the answer was stored; "Close", Escape and the window manager's close end it at once, the same way,
// and the test goes on in the background.
class TfrCheckOneURL final : public QDialog
{
    Q_OBJECT

public:
    TfrCheckOneURL(LinkVerification &checks, BookmarkNode &node, QWidget *parent = nullptr);

    TRzBackground *RzBackground1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *btClose = nullptr;

    void btCloseClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();

    LinkVerification &m_checks;
    BookmarkNode &m_node;
    bool m_started = false;
};

} // namespace vellumite
