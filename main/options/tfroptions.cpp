#include "main/options/tfroptions.h"

#include "base/atomicfile.h"
#include "base/inifile.h"
#include "main/core/pagecapture.h"
#include "main/core/programsettings.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/options/hotkeyfield.h"
#include "main/options/modalwindowwait.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/imagelist.h"
#include "main/window/screenfit.h"
#include "main/window/tform1.h"
#include "main/window/windowfont.h"
#include "platform/platformservices.h"
#include "platform/widgets/closebuttononly.h"
#include "platform/widgets/windowactivation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace vellumite {

namespace {

constexpr int BrowserCodeRole = Qt::UserRole + 1;

struct ListedBrowser
{
    QStringView text;
    BrowserCode code;
};

// The browser list in the window's order.
constexpr ListedBrowser ListedBrowsers[] = {
    { u"Internet Explorer", BrowserIExplorer },
    { u"Mozilla Firefox", BrowserFirefox },
    { u"Opera", BrowserOpera },
    { u"Safari", BrowserSafari },
    { u"K-Meleon", BrowserKMeleon },
    { u"Netscape", BrowserNetscape },
    { u"SeaMonkey", BrowserSeaMonkey },
    { u"Avant", BrowserAvant },
    { u"Maxthon", BrowserMaxthon },
    { u"TheWorld", BrowserTheWorld },
};

// cbBrowserDrawItem: the browser's icon at the left, its name 20 pixels in; the selected item on a
// light blue of its own.
class BrowserItemDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QRect rect = option.rect;
        const bool selected = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
        painter->fillRect(rect, selected ? QColor(0xD7, 0xEF, 0xFF) : option.palette.base().color());
        painter->setPen(selected ? QColor(Qt::black) : option.palette.text().color());
        painter->drawText(rect.adjusted(20, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(Qt::DisplayRole).toString());
        const QVariant code = index.data(BrowserCodeRole);
        if (code.isValid())
            ImageList::instance().draw(*painter, rect.left(), rect.top(), code.toInt());
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return { QStyledItemDelegate::sizeHint(option, index).width() + 20, 16 };
    }
};

// The information sign of the stores group: a white letter i on an orange disc.
QPixmap informationSign()
{
    QPixmap sign(42, 42);
    sign.fill(Qt::transparent);
    QPainter painter(&sign);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF7, 0x94, 0x1D));
    painter.drawEllipse(QRectF(1, 1, 40, 40));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(18, 8, 6, 6));
    painter.drawRoundedRect(QRectF(18, 17, 6, 17), 2, 2);
    return sign;
}

QLineEdit *storeField(QWidget *parent, int y, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setGeometry(104, y, 205, 21);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QColor(0xF7, 0xF3, 0xE1));
    palette.setColor(QPalette::Text, QColor(0x3B, 0x3B, 0x3B));
    field->setPalette(palette);
    return field;
}

QPushButton *browseButton(QWidget *parent, int y, const QString &name)
{
    auto *button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(name);
    button->setGeometry(312, y, 21, 21);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void label(QWidget *parent, const QString &text, int x, int y)
{
    auto *caption = new QLabel(text, parent);
    caption->move(x, y);
}

// The main window was shown and then closed: the program is ending. A press that waited in the queue
// while the exit save ran arrives now, and must not bring the windows back.
bool mainWindowClosed(const QWidget &window)
{
    return window.isHidden() && window.testAttribute(Qt::WA_WState_ExplicitShowHide);
}

} // namespace

TfrOptions::TfrOptions(TForm1 &form, PlatformServices &services)
    : QDialog(&form)
    , m_form(form)
    , m_services(services)
    , m_captureWait(new ModalWindowWait(this))
{
    buildControls();
    FormCreate();
}

TfrOptions::~TfrOptions() = default;

void TfrOptions::buildControls()
{
    setObjectName(QStringLiteral("frOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    showOnlyTheCloseButton(*this);
    setFixedSize(384, 410);
    ScreenFit::centreOnParent(*this);
    setFont(windowFont());

    GroupSources = new QGroupBox(QStringLiteral("Bookmarks sources:"), this);
    GroupSources->setGeometry(8, 6, 345, 187);
    Image1 = new QLabel(GroupSources);
    Image1->setGeometry(32, 20, 42, 42);
    Image1->setPixmap(informationSign());
    auto *note = new QLabel(
        QStringLiteral("Change the necessary options only if you are sure in what you do!"), GroupSources);
    note->setGeometry(104, 28, 225, 31);
    note->setWordWrap(true);
    label(GroupSources, QStringLiteral("Internet Explorer"), 16, 80);
    label(GroupSources, QStringLiteral("Mozilla Firefox"), 16, 113);
    label(GroupSources, QStringLiteral("Opera"), 16, 146);
    edIEFav = storeField(GroupSources, 78, QStringLiteral("edIEFav"));
    IEbutFav = browseButton(GroupSources, 78, QStringLiteral("IEbutFav"));
    edFirefoxBookm = storeField(GroupSources, 111, QStringLiteral("edFirefoxBookm"));
    FirefbutBook = browseButton(GroupSources, 111, QStringLiteral("FirefbutBook"));
    edOperaBookm = storeField(GroupSources, 144, QStringLiteral("edOperaBookm"));
    OperabtBook = browseButton(GroupSources, 144, QStringLiteral("OperabtBook"));

    auto *openWith = new QGroupBox(QStringLiteral("Open bookmarks with:"), this);
    openWith->setGeometry(8, 202, 345, 63);
    label(openWith, QStringLiteral("Browser"), 16, 30);
    cbBrowser = new QComboBox(openWith);
    cbBrowser->setObjectName(QStringLiteral("cbBrowser"));
    cbBrowser->setGeometry(104, 26, 228, 22);
    cbBrowser->setMaxVisibleItems(10);
    cbBrowser->setItemDelegate(new BrowserItemDelegate(cbBrowser));
    cbBrowser->setIconSize(QSize(ImageList::ImageSize, ImageList::ImageSize));

    auto *capture = new QGroupBox(QStringLiteral("Capture a bookmark from browsers"), this);
    capture->setGeometry(8, 275, 345, 63);
    label(capture, QStringLiteral("HotKey"), 16, 30);
    HotKey1 = new HotKeyField(capture);
    HotKey1->setObjectName(QStringLiteral("HotKey1"));
    HotKey1->setGeometry(104, 26, 228, 21);

    ButtonClose = new QPushButton(QStringLiteral("Close"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setGeometry(303, 375, 75, 25);
    ButtonClose->setCursor(Qt::PointingHandCursor);

    QWidget *order[] = { edIEFav,     IEbutFav,  edFirefoxBookm, FirefbutBook, edOperaBookm,
                         OperabtBook, cbBrowser, HotKey1,        ButtonClose };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(IEbutFav, &QPushButton::clicked, this, &TfrOptions::IEbutFavClick);
    connect(FirefbutBook, &QPushButton::clicked, this, &TfrOptions::FirefbutBookClick);
    connect(OperabtBook, &QPushButton::clicked, this, &TfrOptions::OperabtBookClick);
    connect(cbBrowser, &QComboBox::activated, this, &TfrOptions::cbBrowserChange);
    connect(HotKey1, &HotKeyField::changed, this, &TfrOptions::HotKey1Change);
    connect(HotKey1, &HotKeyField::focusLeft, this, &TfrOptions::HotKey1Exit);
    connect(ButtonClose, &QPushButton::clicked, this, &TfrOptions::ButtonCloseClick);
}

QString TfrOptions::readHotKeyText() const
{
    if (!m_services.folderProbe->isWritable(m_form.folder()))
        return DefaultHotKeyText;
    IniFile ini = settingsFileIn(m_form.folder());
    ini.load();
    return startupHotKeyText(
        ini.readString(SettingsKey::ProgramSection, SettingsKey::HotKey, DefaultHotKeyText));
}

void TfrOptions::FormCreate()
{
    HotKey1->Hint = readHotKeyText();
    HotKey1->setHotKey(TextToHotKey(HotKey1->Hint));
    HotKey1->Tag = m_services.hotKeys->AddHotKey(HotKey1->HotKey());
    connect(m_services.hotKeys.get(), &GlobalHotKeys::HotKeyPressed, this,
            &TfrOptions::HotKeyManager1HotKeyPressed);

    const BrowserPaths &paths = m_form.browserPaths();
    if (!paths.ExplorerFavoritesPath.isEmpty() && QFileInfo(paths.ExplorerFavoritesPath).isDir())
        edIEFav->setText(paths.ExplorerFavoritesPath);
    if (!paths.PathFavFirefox.isEmpty() && QFileInfo(paths.PathFavFirefox).isFile())
        edFirefoxBookm->setText(paths.PathFavFirefox);
    if (!paths.OperaFavPath.isEmpty() && QFileInfo(paths.OperaFavPath).isFile())
        edOperaBookm->setText(paths.OperaFavPath);
    fillBrowserList();
}

void TfrOptions::fillBrowserList()
{
    const BrowserPaths &paths = m_form.browserPaths();
    for (const ListedBrowser &browser : ListedBrowsers) {
        const QString *path = paths.pathOf(browser.code);
        if (!path || path->isEmpty() || !QFileInfo(*path).isFile())
            continue;
        cbBrowser->addItem(ImageList::instance().icon(browser.code), browser.text.toString());
        cbBrowser->setItemData(cbBrowser->count() - 1, int(browser.code), BrowserCodeRole);
    }
    cbBrowser->setCurrentIndex(cbBrowser->findData(int(paths.DefaultBrowser.Tag), BrowserCodeRole));
}

void TfrOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    TntFormShow();
}

void TfrOptions::TntFormShow()
{
    IEbutFav->setFocus();
}

void TfrOptions::IEbutFavClick()
{
    const std::optional<QString> folder = m_services.pickers->pickFolder(
        this, QStringLiteral("Please select a directory of IExplorer Favorites"));
    if (!folder)
        return;
    m_form.browserPaths().ExplorerFavoritesPath = *folder;
    edIEFav->setText(*folder);
}

void TfrOptions::FirefbutBookClick()
{
    BrowserPaths &paths = m_form.browserPaths();
    const QString filter = paths.firefoxStore == FirefoxStore::PlacesDatabase
        ? QStringLiteral("Firefox 3 bookmars files (*.sqlite)")
        : QStringLiteral("Firefox Bookmars files (*.html)");
    const std::optional<QString> file
        = m_services.pickers->pickOpenFile(this, filter, edFirefoxBookm->text());
    if (!file)
        return;
    edFirefoxBookm->setText(*file);
    paths.PathFavFirefox = *file;
}

void TfrOptions::OperabtBookClick()
{
    const std::optional<QString> file = m_services.pickers->pickOpenFile(
        this, QStringLiteral("Opera Bookmars files (*.adr)"), edOperaBookm->text());
    if (!file)
        return;
    edOperaBookm->setText(*file);
    m_form.browserPaths().OperaFavPath = *file;
}

void TfrOptions::cbBrowserChange(int position)
{
    if (position < 0 || m_form.isTreeBusy())
        return;
    BrowserPaths &paths = m_form.browserPaths();
    const QString *path = paths.pathOf(cbBrowser->itemData(position, BrowserCodeRole).toInt());
    if (!path)
        return;
    paths.OpenWithBrowser = *path;
    DetectOpenWithBrowserCode(paths, m_services.systemLookup->pathStyle());
    // Every bookmark shows the open-with browser's icon, in collapsed folders too.
    BookmarkModel *model = m_form.model();
    m_form.tree().forEach([&](BookmarkNode &node) {
        if (node.record.IsCategory)
            return;
        node.record.ImageIndex = paths.DefaultBrowser.Tag;
        model->recordChanged(&node);
    });
}

void TfrOptions::HotKey1Change()
{
    HotKey1->Hint = HotKeyToText(HotKey1->HotKey());
}

void TfrOptions::HotKey1Exit()
{
    const HotKeyValue value = HotKey1->HotKey();
    if (HotKey1->Tag != 0 && m_services.hotKeys->registeredValue(HotKey1->Tag) == value)
        return;
    // After a refused registration the new key is tried afresh rather than waiting for a restart.
    HotKey1->Tag = HotKey1->Tag == 0 ? m_services.hotKeys->AddHotKey(value)
                                     : m_services.hotKeys->ChangeHotKey(HotKey1->Tag, value);
}

void TfrOptions::ButtonCloseClick()
{
    // Through done(), as the close box and Escape go, so the key is saved on every way out.
    reject();
}

void TfrOptions::done(int result)
{
    TntFormClose();
    QDialog::done(result);
}

void TfrOptions::TntFormClose()
{
    // A key changed in the field that still has the focus has not left it yet: it counts all the same.
    HotKey1Exit();
    if (!m_services.folderProbe->isWritable(m_form.folder()))
        return;
    IniFile ini = settingsFileIn(m_form.folder());
    // An existing file that cannot be read is not replaced: its other keys would be lost.
    if (!ini.load())
        return;
    if (ini.writeString(SettingsKey::ProgramSection, SettingsKey::HotKey, HotKey1->Hint) && !ini.save())
        m_services.messages->error(ApplicationTitle,
                                   cannotCreateFileMessage(ini.fileName(), ini.errorString()));
}

void TfrOptions::HotKeyManager1HotKeyPressed(HotKeyValue, quint16 index)
{
    if (index == 0 || index != HotKey1->Tag || !captureAllowed())
        return;
    // Read before the add dialog shows: showing it makes this program the window in front.
    const std::optional<ForegroundWindowInfo> window = m_services.foregroundWindow->current();
    const CapturedPage page = captureForegroundPage(window, *m_services.pageQuery);
    // A modal window holds the keyboard: the add dialog waits for it to close, with the page of the
    // moment of the key, and the window in the way comes to the front, so that the user sees why and
    // what is typed meanwhile goes where it can be seen.
    if (QWidget *modal = QApplication::activeModalWidget())
        bringToFront(modal);
    m_captureWait->runWhenNoModalWindow([this, page] { showCapturedPage(page); });
}

bool TfrOptions::captureAllowed() const
{
    return !m_form.isTreeBusy() && !mainWindowClosed(m_form);
}

void TfrOptions::showCapturedPage(const CapturedPage &page)
{
    // Waited for a modal window: the program may have begun to end, or a save to run, meanwhile.
    if (!captureAllowed())
        return;
    TfrAddBookmark *dialog = m_form.AddBookmarkCategory(AddKind::FilledBookmark);
    if (!dialog)
        return;
    dialog->DescrEdit->setText(page.title);
    dialog->LinkEdit->setText(page.link);
    // A dialog left open by an earlier add keeps its focus where the user left it: the new page's
    // title is where typing goes.
    dialog->DescrEdit->setFocus(Qt::OtherFocusReason);
    bringToFrontAbove(dialog, &m_form);
}

} // namespace vellumite
