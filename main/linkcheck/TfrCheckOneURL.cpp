#include "main/linkcheck/TfrCheckOneURL.h"

#include "controls/RzBckgnd.h"
#include "main/core/linkverification.h"
#include "main/window/screenfit.h"

#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace vellumite {

TfrCheckOneURL::TfrCheckOneURL(LinkVerification &checks, BookmarkNode &node, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_checks(checks)
    , m_node(node)
{
    setObjectName(QStringLiteral("frCheckOneURL"));
    setFixedSize(314, 41);
    ScreenFit::centreOnParent(*this);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    RzBackground1 = new TRzBackground(this);
    RzBackground1->SetFrameStyle(fsPopup);
    RzBackground1->SetGradientColorStart(0xE1F3F7);
    RzBackground1->SetGradientColorStop(0xB1E1EB);
    RzBackground1->SetShowGradient(true);
    RzBackground1->SetShowImage(false);
    RzBackground1->SetShowTexture(false);
    RzBackground1->setGeometry(0, 0, 314, 41);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(8, 12, 217, 17);
    ProgressBar1->setTextVisible(false);

    btClose = new QPushButton(QStringLiteral("Close"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setGeometry(232, 8, 75, 25);
    btClose->setCursor(Qt::PointingHandCursor);
    btClose->setDefault(true);
    connect(btClose, &QPushButton::clicked, this, &TfrCheckOneURL::btCloseClick);
    FormCreate();
}

// The marquee runs while the answer is awaited; the bookmark shows "not verified" meanwhile.
void TfrCheckOneURL::FormCreate()
{
    ProgressBar1->setRange(0, 0);
}

void TfrCheckOneURL::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        // Once the window is up, so a refused start still closes a shown window.
        QTimer::singleShot(0, this, &TfrCheckOneURL::FormShow);
    }
}

void TfrCheckOneURL::FormShow()
{
    if (!isVisible())
        return;
    const QPointer<TfrCheckOneURL> self(this);
    if (!m_checks.checkOneUrl(m_node, [self] {
            if (self)
                self->accept();
        }))
        reject();
}

void TfrCheckOneURL::btCloseClick()
{
    reject();
}

// Every way out but the answer ends the wait here, so the next "Check url" is never refused while this
// test finishes in the background.
void TfrCheckOneURL::reject()
{
    m_checks.StopOneUrlCheck();
    if (isVisible())
        QDialog::reject();
}

} // namespace vellumite
