#include "main/dialogs/tfabout.h"

#include "main/menus/support.h"
#include "main/tree/imagelist.h"
#include "main/window/screenfit.h"
#include "main/window/windowfont.h"
#include "platform/widgets/closebuttononly.h"

#include <QLabel>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace vellumite {

namespace {

constexpr QSize ClientSize { 249, 275 };
const QColor LinkColor(0x00, 0x40, 0x80);

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

// A label sized to its picture from the program's resources.
QLabel *PictureLabel(const QString &resource, QPoint place, QWidget *parent)
{
    auto *label = new QLabel(parent);
    const QPixmap pixmap(resource);
    label->setPixmap(pixmap);
    label->setGeometry(QRect(place, pixmap.size()));
    return label;
}

} // namespace

TfAbout::TfAbout(Shell &shell, ProgramLauncher &launcher, QString defaultBrowser, QString productVersion,
                 QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_shell(shell)
    , m_launcher(launcher)
    , m_defaultBrowser(std::move(defaultBrowser))
    , m_productVersion(std::move(productVersion))
{
    setObjectName(u"fAbout"_s);
    showOnlyTheCloseButton(*this);
    setWindowTitle(u"About"_s);
    setFixedSize(ClientSize);
    ScreenFit::centreOnParent(*this);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(windowFont());

    lbVersion = new QLabel(this);
    lbVersion->setObjectName(u"lbVersion"_s);
    lbVersion->setGeometry(8, 8, 113, 13);

    ImageList::instance(); // registers the program's resources
    Image1 = PictureLabel(u":/about/product.png"_s, QPoint(17, 32), this);
    Image1->setObjectName(u"Image1"_s);

    TntLabel5
        = createLinkLabel(u"TntLabel5"_s, SupportAddress, QPoint(102, 136), [this] { TntLabel5Click(); });
    TntLabel4
        = createLinkLabel(u"TntLabel4"_s, WebPageHost(), QPoint(102, 152), [this] { TntLabel4Click(); });
    PictureLabel(u":/about/mail-marker.png"_s, QPoint(86, 140), this);
    PictureLabel(u":/about/web-marker.png"_s, QPoint(86, 155), this);
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
    OpenWebPage(m_launcher, m_defaultBrowser);
}

void TfAbout::TntLabel5Click()
{
    SendSupportMail(m_shell);
}

} // namespace vellumite
