#include "main/aboutbox.h"

#include "main/support.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

constexpr QSize ClientSize { 249, 275 };
const QColor LinkColor(0x00, 0x40, 0x80);
const QColor ProductBlue(0x1E, 0x4E, 0x86);

// A label that acts on a left click, as the box's two links do.
class ClickableLabel final : public QLabel
{
public:
    ClickableLabel(const QString &text, QWidget *parent, std::function<void()> onClick)
        : QLabel(text, parent)
        , m_onClick(std::move(onClick))
    { }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_onClick();
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> m_onClick;
};

// The product picture: a bookmark ribbon beside the product's name.
QPixmap ProductPicture()
{
    QPixmap pixmap(215, 100);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient ground(0, 0, 0, 100);
    ground.setColorAt(0, QColor(0xEE, 0xF3, 0xFA));
    ground.setColorAt(1, QColor(0xD5, 0xE1, 0xF1));
    painter.setPen(QPen(QColor(0xB8, 0xC8, 0xDE), 1));
    painter.setBrush(ground);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 214, 99), 8, 8);

    QPainterPath ribbon;
    ribbon.moveTo(22, 14);
    ribbon.lineTo(52, 14);
    ribbon.lineTo(52, 86);
    ribbon.lineTo(37, 72);
    ribbon.lineTo(22, 86);
    ribbon.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC8, 0x3A, 0x2E));
    painter.drawPath(ribbon);

    QFont name(u"Tahoma"_s);
    name.setPixelSize(26);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(ProductBlue);
    painter.drawText(QRect(64, 18, 146, 34), Qt::AlignLeft | Qt::AlignVCenter, u"Vellumite"_s);
    name.setPixelSize(16);
    name.setBold(false);
    painter.setFont(name);
    painter.setPen(QColor(0x4A, 0x5A, 0x70));
    painter.drawText(QRect(66, 52, 146, 24), Qt::AlignLeft | Qt::AlignVCenter, u"Portable Edition"_s);
    return pixmap;
}

// The marker in front of the support address: a small envelope.
QPixmap MailMarker()
{
    QPixmap pixmap(10, 7);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(LinkColor);
    painter.drawRect(0, 0, 9, 6);
    painter.drawLine(0, 0, 4, 4);
    painter.drawLine(9, 0, 5, 4);
    return pixmap;
}

// The marker in front of the web page: a small globe.
QPixmap WebMarker()
{
    QPixmap pixmap(10, 9);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(LinkColor, 1));
    painter.drawEllipse(QRectF(0.5, 0.5, 8.5, 8));
    painter.drawEllipse(QRectF(3, 0.5, 3.5, 8));
    painter.drawLine(QPointF(0.5, 4.5), QPointF(9, 4.5));
    return pixmap;
}

QLabel *PictureLabel(const QPixmap &pixmap, QPoint place, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(pixmap);
    label->setGeometry(QRect(place, pixmap.size()));
    return label;
}

} // namespace

TfAbout::TfAbout(Shell &shell, QString defaultBrowser, QString productVersion, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_shell(shell)
    , m_defaultBrowser(std::move(defaultBrowser))
    , m_productVersion(std::move(productVersion))
{
    setObjectName(u"fAbout"_s);
    setWindowTitle(u"About"_s);
    setFixedSize(ClientSize);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    QFont boxFont(u"Tahoma"_s);
    boxFont.setPixelSize(11);
    setFont(boxFont);

    lbVersion = new QLabel(this);
    lbVersion->setObjectName(u"lbVersion"_s);
    lbVersion->setGeometry(8, 8, 113, 13);

    Image1 = PictureLabel(ProductPicture(), QPoint(17, 32), this);
    Image1->setObjectName(u"Image1"_s);

    TntLabel5
        = createLinkLabel(u"TntLabel5"_s, SupportAddress, QPoint(102, 136), [this] { TntLabel5Click(); });
    TntLabel4
        = createLinkLabel(u"TntLabel4"_s, WebPageHost(), QPoint(102, 152), [this] { TntLabel4Click(); });
    PictureLabel(MailMarker(), QPoint(86, 140), this);
    PictureLabel(WebMarker(), QPoint(86, 155), this);
}

QLabel *TfAbout::createLinkLabel(const QString &objectName, const QString &text, QPoint place,
                                 std::function<void()> onClick)
{
    auto *label = new ClickableLabel(text, this, std::move(onClick));
    label->setObjectName(objectName);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, LinkColor);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->move(place);
    label->adjustSize();
    return label;
}

void TfAbout::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfAbout::FormShow()
{
    lbVersion->setText(u"Version: "_s + m_productVersion);
}

void TfAbout::TntLabel4Click()
{
    OpenWebPage(m_shell, m_defaultBrowser);
}

void TfAbout::TntLabel5Click()
{
    SendSupportMail(m_shell);
}

} // namespace vellumite
