#include "main/dialogs/tfraddbookmark.h"

#include "exchange/core/operaentry.h"
#include "main/core/bookmarkedit.h"
#include "main/core/linebreaks.h"
#include "main/dialogs/balloonhint.h"
#include "main/dialogs/storedtextfield.h"
#include "main/window/screenfit.h"
#include "main/window/windowfont.h"
#include "platform/widgets/closebuttononly.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <optional>

namespace vellumite {

using namespace Qt::StringLiterals;

namespace {

constexpr int BalloonWidth = 300;
constexpr QPoint BalloonPoint(10, 10);

QLabel *label(const QString &text, QWidget *parent, QPoint at)
{
    auto *l = new QLabel(text, parent);
    l->move(at);
    l->adjustSize();
    return l;
}

QWidget *page(const QString &name)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(name);
    return sheet;
}

QLabel *priorityLabel(const QString &name, QWidget *parent)
{
    QLabel *l = label(u"Priority:"_s, parent, { 8, 216 });
    l->setObjectName(name);
    l->setFixedWidth(94);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLineEdit *lineEdit(const QString &name, QWidget *parent, QRect geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    keepWholeText(*edit);
    return edit;
}

QPlainTextEdit *memo(const QString &name, QWidget *parent, QRect geometry)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    QPalette white = edit->palette();
    white.setColor(QPalette::Base, Qt::white);
    edit->setPalette(white);
    return edit;
}

QComboBox *priorityList(const QString &name, QWidget *parent, QPoint at)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems({ u"High"_s, u"Medium"_s, u"Low"_s });
    box->setCurrentIndex(PriorityLowIndex);
    box->setGeometry(at.x(), at.y(), 145, 21);
    return box;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent, QRect geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setCursor(Qt::PointingHandCursor);
    // Enter in a field must not press a button behind the user's back.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// Ctrl+A, with Shift or Alt held too, selects the whole text of a field.
template<typename Field> bool selectAllOnCtrlA(const QKeyEvent *event, Field *field)
{
    if (event->key() != Qt::Key_A || !event->modifiers().testFlag(Qt::ControlModifier))
        return false;
    field->selectAll();
    return true;
}

} // namespace

TfrAddBookmark::TfrAddBookmark(BookmarkTreeEditor &tree, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_tree(tree)
    , m_ownBalloon(std::make_unique<BalloonHintWidget>(this))
    , hBallon(m_ownBalloon.get())
{
    setObjectName(u"frAddBookmark"_s);
    showOnlyTheCloseButton(*this);
    setFont(windowFont());
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);
    buildControls();
    setFixedSize(291, 305);
    ScreenFit::centreOnParent(*this);
}

// The balloon widget is a child of the dialog; the unique_ptr releases it first.
TfrAddBookmark::~TfrAddBookmark() = default;

void TfrAddBookmark::buildControls()
{
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setGeometry(8, 8, 276, 257);
    PageControl1->setFrameShape(QFrame::StyledPanel);

    TabSheet1 = page(u"TabSheet1"_s);
    label(u"Name:"_s, TabSheet1, { 8, 8 });
    CategName = lineEdit(u"CategName"_s, TabSheet1, { 8, 24, 250, 21 });
    label(u"Comment:"_s, TabSheet1, { 8, 56 });
    ComentDirect = memo(u"ComentDirect"_s, TabSheet1, { 8, 72, 250, 123 });
    lbCatPrior = priorityLabel(u"lbCatPrior"_s, TabSheet1);
    ParentBox = priorityList(u"ParentBox"_s, TabSheet1, { 112, 212 });
    PageControl1->addWidget(TabSheet1);

    TabSheet2 = page(u"TabSheet2"_s);
    label(u"Description:"_s, TabSheet2, { 8, 8 });
    DescrEdit = lineEdit(u"DescrEdit"_s, TabSheet2, { 8, 24, 250, 21 });
    label(u"Link:"_s, TabSheet2, { 8, 56 });
    LinkEdit = lineEdit(u"LinkEdit"_s, TabSheet2, { 8, 72, 250, 21 });
    label(u"Comment:"_s, TabSheet2, { 8, 104 });
    CommentText = memo(u"CommentText"_s, TabSheet2, { 8, 120, 250, 75 });
    lbBookPrior = priorityLabel(u"lbBookPrior"_s, TabSheet2);
    ParentBox1 = priorityList(u"ParentBox1"_s, TabSheet2, { 112, 212 });
    PageControl1->addWidget(TabSheet2);

    OKButton = button(u"OKButton"_s, u"Add"_s, this, { 128, 272, 75, 25 });
    QFont bold = OKButton->font();
    bold.setBold(true);
    OKButton->setFont(bold);
    CloseButton = button(u"CloseButton"_s, u"Close"_s, this, { 208, 272, 75, 25 });

    setTabOrder(CategName, ComentDirect);
    setTabOrder(ComentDirect, ParentBox);
    setTabOrder(DescrEdit, LinkEdit);
    setTabOrder(LinkEdit, CommentText);
    setTabOrder(CommentText, ParentBox1);
    setTabOrder(ParentBox1, OKButton);
    setTabOrder(OKButton, CloseButton);

    // The dialog sees every key first.
    for (QWidget *field : { static_cast<QWidget *>(CategName), static_cast<QWidget *>(ComentDirect),
                            static_cast<QWidget *>(ParentBox), static_cast<QWidget *>(DescrEdit),
                            static_cast<QWidget *>(LinkEdit), static_cast<QWidget *>(CommentText),
                            static_cast<QWidget *>(ParentBox1), static_cast<QWidget *>(OKButton),
                            static_cast<QWidget *>(CloseButton) })
        field->installEventFilter(this);

    connect(OKButton, &QPushButton::clicked, this, &TfrAddBookmark::OKButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TfrAddBookmark::CloseButtonClick);
}

bool TfrAddBookmark::isCategoryPage() const
{
    return PageControl1->currentWidget() == TabSheet1;
}

void TfrAddBookmark::setBalloonHint(BalloonHint *balloon)
{
    hBallon = balloon ? balloon : m_ownBalloon.get();
}

void TfrAddBookmark::setMode(Mode mode, const QString &caption, QWidget *page)
{
    setWindowTitle(caption);
    m_mode = mode;
    OKButton->setText(mode == AddMode ? u"Add"_s : u"Edit"_s);
    PageControl1->setCurrentWidget(page);
}

void TfrAddBookmark::prepareAdd(AddKind kind)
{
    switch (kind) {
    case AddKind::Category:
        setMode(AddMode, u"Add category"_s, TabSheet1);
        CategName->clear();
        ComentDirect->clear();
        ParentBox->setCurrentIndex(PriorityLowIndex);
        return;
    case AddKind::Bookmark:
    case AddKind::FilledBookmark:
        setMode(AddMode, u"Add bookmark"_s, TabSheet2);
        DescrEdit->clear();
        LinkEdit->clear();
        CommentText->clear();
        ParentBox1->setCurrentIndex(PriorityLowIndex);
        return;
    }
}

void TfrAddBookmark::prepareEdit(const TBookmark &record)
{
    const int priority = priorityIndexOf(record.PriorityColor);
    if (record.IsCategory) {
        setMode(EditMode, u"Edit category"_s, TabSheet1);
        CategName->setText(record.CategoryName);
        ComentDirect->setPlainText(withLfLineBreaks(record.Comment));
        ParentBox->setCurrentIndex(priority);
    } else {
        setMode(EditMode, u"Edit bookmark"_s, TabSheet2);
        DescrEdit->setText(record.Description);
        LinkEdit->setText(record.Link);
        CommentText->setPlainText(withLfLineBreaks(record.Comment));
        ParentBox1->setCurrentIndex(priority);
    }
}

void TfrAddBookmark::warnAt(QWidget *field, const QString &text)
{
    hBallon->showBalloon(field, BalloonPoint, BalloonIcon::Warning, u"Warning!"_s, text, BalloonWidth);
}

bool TfrAddBookmark::validatePage()
{
    // Emptiness is tested exactly: a name of blanks passes.
    if (isCategoryPage()) {
        if (CategName->text().isEmpty()) {
            warnAt(CategName, u"The category name is not specified!"_s);
            return false;
        }
        return true;
    }
    if (DescrEdit->text().isEmpty()) {
        warnAt(DescrEdit, u"The name is not specified!"_s);
        return false;
    }
    if (LinkEdit->text().isEmpty()) {
        warnAt(LinkEdit, u"The link is not specified!"_s);
        return false;
    }
    return true;
}

void TfrAddBookmark::fillRecord(TBookmark &record) const
{
    const bool category = isCategoryPage();
    record.CategoryName = category ? CategName->text() : QString();
    record.Description = category ? QString() : DescrEdit->text();
    record.Link = category ? QString() : LinkEdit->text();
    record.Comment = withCrLfLineBreaks((category ? ComentDirect : CommentText)->toPlainText());
    // Whatever the node's origin: a block an export stored in it must follow the edit.
    if (!record.OperaBlock.isEmpty())
        record.OperaBlock = RebuildOperaBlock(record.OperaBlock, record.name(), record.Comment, record.Link);
    record.Editable = true;
    record.IsCategory = category;
    if (category) {
        record.ImageIndex = FolderImageIndex;
        record.LinkState = LinkCategory;
    } else {
        record.ImageIndex = m_tree.browserCode();
        if (m_mode == AddMode)
            record.LinkState = LinkNotVerified;
    }
    if (const std::optional<Colour> colour
        = priorityColourAt((category ? ParentBox : ParentBox1)->currentIndex()))
        record.PriorityColor = *colour;
}

void TfrAddBookmark::OKButtonClick()
{
    // The save at exit owns the tree while its worker block runs.
    if (!m_tree.isTreeAvailable() || !validatePage())
        return;

    BookmarkNode *target = nullptr;
    if (m_mode == AddMode) {
        BookmarkNode *parent = addTargetParent(m_tree.tree(), m_tree.focusedNode());
        if (!parent) {
            // Keep the dialog and what the user typed rather than pretend the node was added.
            warnAt(OKButton, u"There is no category to add to!"_s);
            return;
        }
        TBookmark record;
        fillRecord(record);
        target = m_tree.appendNode(*parent, std::move(record));
    } else {
        target = m_tree.focusedNode();
        // The root category is never edited.
        if (target && target != m_tree.tree().firstNode()) {
            TBookmark record = target->record;
            fillRecord(record);
            m_tree.updateNode(*target, std::move(record));
        } else {
            target = nullptr;
        }
    }
    m_tree.selectOnly(target);
    hBallon->hideBalloon();
    accept();
}

void TfrAddBookmark::CloseButtonClick()
{
    hBallon->hideBalloon();
    reject();
}

void TfrAddBookmark::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    TntFormShow();
}

void TfrAddBookmark::TntFormShow()
{
    (isCategoryPage() ? CategName : DescrEdit)->setFocus(Qt::OtherFocusReason);
}

void TfrAddBookmark::keyPressEvent(QKeyEvent *event)
{
    if (!TntFormKeyDown(event))
        QDialog::keyPressEvent(event);
}

bool TfrAddBookmark::TntFormKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        CloseButtonClick();
        return true;
    }
    // No button is a default button, but a focused one is pressed with Enter as well as with Space.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (focusWidget() == OKButton || focusWidget() == CloseButton)) {
        static_cast<QPushButton *>(focusWidget())->click();
        return true;
    }
    return false;
}

bool TfrAddBookmark::CategNameKeyDown(QKeyEvent *event)
{
    return selectAllOnCtrlA(event, CategName);
}

bool TfrAddBookmark::ComentDirectKeyDown(QKeyEvent *event)
{
    return selectAllOnCtrlA(event, ComentDirect);
}

bool TfrAddBookmark::DescrEditKeyDown(QKeyEvent *event)
{
    return selectAllOnCtrlA(event, DescrEdit);
}

bool TfrAddBookmark::LinkEditKeyDown(QKeyEvent *event)
{
    return selectAllOnCtrlA(event, LinkEdit);
}

bool TfrAddBookmark::CommentTextKeyDown(QKeyEvent *event)
{
    return selectAllOnCtrlA(event, CommentText);
}

bool TfrAddBookmark::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (TntFormKeyDown(key))
        return true;
    if (watched == CategName)
        return CategNameKeyDown(key);
    if (watched == ComentDirect)
        return ComentDirectKeyDown(key);
    if (watched == DescrEdit)
        return DescrEditKeyDown(key);
    if (watched == LinkEdit)
        return LinkEditKeyDown(key);
    if (watched == CommentText)
        return CommentTextKeyDown(key);
    return false;
}

AddBookmarkDialogs::AddBookmarkDialogs(QWidget *mainWindow, BookmarkTreeEditor &tree)
    : m_mainWindow(mainWindow)
    , m_tree(tree)
{ }

AddBookmarkDialogs::~AddBookmarkDialogs()
{
    delete m_addDialog;
}

TfrAddBookmark *AddBookmarkDialogs::addDialog() const
{
    return m_addDialog;
}

TfrAddBookmark *AddBookmarkDialogs::AddBookmarkCategory(AddKind kind)
{
    if (!m_tree.isTreeAvailable())
        return nullptr;
    if (!m_addDialog)
        m_addDialog = new TfrAddBookmark(m_tree, m_mainWindow);
    m_addDialog->prepareAdd(kind);
    m_addDialog->show();
    m_addDialog->raise();
    m_addDialog->activateWindow();
    return m_addDialog;
}

std::unique_ptr<TfrAddBookmark> AddBookmarkDialogs::prepareEditDialog()
{
    if (!m_tree.isTreeAvailable())
        return nullptr;
    const BookmarkNode *focused = m_tree.focusedNode();
    if (!focused || focused == m_tree.tree().firstNode())
        return nullptr;
    auto dialog = std::make_unique<TfrAddBookmark>(m_tree, m_mainWindow);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->prepareEdit(focused->record);
    return dialog;
}

void AddBookmarkDialogs::Edit1Click()
{
    if (std::unique_ptr<TfrAddBookmark> dialog = prepareEditDialog())
        dialog->exec();
}

} // namespace vellumite
