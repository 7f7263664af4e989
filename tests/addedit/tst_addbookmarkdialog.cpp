#include "main/core/bookmarkedit.h"
#include "main/dialogs/balloonhint.h"
#include "main/dialogs/tfraddbookmark.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr qint32 OpenWithBrowser = 2;

// The main window's tree as the dialog sees it, over a plain node tree.
class FakeTree final : public BookmarkTreeEditor
{
public:
    FakeTree()
    {
        root = nodes.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        news = root->appendChild(std::make_unique<BookmarkNode>(category(u"News"_s)));
        page = news->appendChild(std::make_unique<BookmarkNode>(bookmark(u"Paper"_s, u"http://paper/"_s)));
    }

    static TBookmark category(const QString &name) { return makeCategoryRecord(name); }
    static TBookmark bookmark(const QString &title, const QString &link)
    {
        return makeBookmarkRecord(title, link, 0);
    }

    bool isTreeAvailable() const override { return available; }
    const BookmarkTree &tree() const override { return nodes; }
    BookmarkNode *focusedNode() const override { return focused; }
    BookmarkNode *appendNode(BookmarkNode &parent, TBookmark record) override
    {
        return parent.appendChild(std::make_unique<BookmarkNode>(std::move(record)));
    }
    void updateNode(BookmarkNode &node, TBookmark record) override
    {
        node.record = std::move(record);
        ++updates;
    }
    void selectOnly(BookmarkNode *node) override
    {
        selected = node;
        focused = node;
        ++selections;
    }
    qint32 browserCode() const override { return OpenWithBrowser; }

    BookmarkTree nodes;
    BookmarkNode *root = nullptr;
    BookmarkNode *news = nullptr;
    BookmarkNode *page = nullptr;
    BookmarkNode *focused = nullptr;
    BookmarkNode *selected = nullptr;
    bool available = true;
    int updates = 0;
    int selections = 0;
};

struct Balloon
{
    QWidget *anchor;
    QPoint point;
    BalloonIcon icon;
    QString title;
    QString text;
    int width;
};

class RecordingBalloon final : public BalloonHint
{
public:
    void showBalloon(QWidget *anchor, QPoint point, BalloonIcon icon, const QString &title,
                     const QString &text, int preferredWidth) override
    {
        shown.push_back({ anchor, point, icon, title, text, preferredWidth });
    }
    void hideBalloon() override { ++hides; }

    std::vector<Balloon> shown;
    int hides = 0;
};

enum class Focus { Nothing, Category, Bookmark, Root, TopLevelBookmark };
enum class Where { UnderRoot, UnderNews, Nowhere };

} // namespace

Q_DECLARE_METATYPE(Focus)
Q_DECLARE_METATYPE(Where)
Q_DECLARE_METATYPE(AddKind)

class TestAddBookmarkDialog : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<AddKind>("kind");
        QTest::addColumn<Focus>("focus");
        QTest::addColumn<Where>("where");

        QTest::newRow("category under focused category")
            << AddKind::Category << Focus::Category << Where::UnderNews;
        QTest::newRow("category beside focused bookmark")
            << AddKind::Category << Focus::Bookmark << Where::UnderNews;
        QTest::newRow("bookmark under focused category")
            << AddKind::Bookmark << Focus::Category << Where::UnderNews;
        QTest::newRow("bookmark beside focused bookmark")
            << AddKind::Bookmark << Focus::Bookmark << Where::UnderNews;
        QTest::newRow("nothing focused goes under the root")
            << AddKind::Bookmark << Focus::Nothing << Where::UnderRoot;
        QTest::newRow("focused root") << AddKind::Category << Focus::Root << Where::UnderRoot;
        QTest::newRow("never a second top-level node")
            << AddKind::FilledBookmark << Focus::TopLevelBookmark << Where::UnderRoot;
    }

    void placement()
    {
        QFETCH(AddKind, kind);
        QFETCH(Focus, focus);
        QFETCH(Where, where);

        FakeTree tree;
        BookmarkNode *stray = tree.nodes.topLevel().appendChild(
            std::make_unique<BookmarkNode>(FakeTree::bookmark(u"Stray"_s, u"http://stray/"_s)));
        const std::map<Focus, BookmarkNode *> focused { { Focus::Nothing, nullptr },
                                                        { Focus::Category, tree.news },
                                                        { Focus::Bookmark, tree.page },
                                                        { Focus::Root, tree.root },
                                                        { Focus::TopLevelBookmark, stray } };
        tree.focused = focused.at(focus);

        AddBookmarkDialogs dialogs(nullptr, tree);
        TfrAddBookmark *dialog = dialogs.AddBookmarkCategory(kind);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->mode(), TfrAddBookmark::AddMode);
        QCOMPARE(dialog->OKButton->text(), u"Add"_s);
        if (kind == AddKind::Category) {
            QCOMPARE(dialog->windowTitle(), u"Add category"_s);
            dialog->CategName->setText(u"New"_s);
            dialog->ComentDirect->setPlainText(u"line one\nline two"_s);
        } else {
            QCOMPARE(dialog->windowTitle(), u"Add bookmark"_s);
            dialog->DescrEdit->setText(u"New"_s);
            dialog->LinkEdit->setText(u"http://new/"_s);
        }
        const qsizetype before = tree.nodes.totalCount();
        dialog->OKButtonClick();

        QCOMPARE(tree.nodes.totalCount(), before + 1);
        BookmarkNode *parent = where == Where::UnderNews ? tree.news : tree.root;
        BookmarkNode *added = parent->child(parent->childCount() - 1);
        QCOMPARE(added->record.name(), u"New"_s);
        QCOMPARE(tree.selected, added);
        QCOMPARE(tree.focused, added);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialogs.addDialog(), dialog); // only hidden, kept for the next add

        TBookmark expected;
        expected.Editable = true;
        expected.PriorityColor = PriorityLow;
        if (kind == AddKind::Category) {
            expected.CategoryName = u"New"_s;
            expected.Comment = u"line one\r\nline two"_s;
            expected.IsCategory = true;
            expected.ImageIndex = FolderImageIndex;
            expected.LinkState = LinkCategory;
        } else {
            expected.Description = u"New"_s;
            expected.Link = u"http://new/"_s;
            expected.ImageIndex = OpenWithBrowser;
            expected.LinkState = LinkNotVerified;
        }
        QCOMPARE(added->record, expected);
    }

    void addTargetOfAnEmptyTree()
    {
        const BookmarkTree empty;
        QCOMPARE(addTargetParent(empty, nullptr), nullptr);
    }

    // After a failed load the tree may hold nothing to add to; the dialog keeps the input and says so.
    void addingToAnEmptyTreeDoesNotPretend()
    {
        FakeTree tree;
        tree.nodes.clear();
        RecordingBalloon balloon;
        AddBookmarkDialogs dialogs(nullptr, tree);
        TfrAddBookmark *dialog = dialogs.AddBookmarkCategory(AddKind::Bookmark);
        dialog->setBalloonHint(&balloon);
        dialog->DescrEdit->setText(u"Kept"_s);
        dialog->LinkEdit->setText(u"http://kept/"_s);
        dialog->OKButtonClick();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->DescrEdit->text(), u"Kept"_s);
        QCOMPARE(tree.selections, 0);
        QCOMPARE(balloon.shown.size(), 1u);
        QCOMPARE(balloon.shown[0].anchor, dialog->OKButton);
    }

    void balloons_data()
    {
        QTest::addColumn<bool>("categoryPage");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");

        QTest::newRow("no category name")
            << true << QString() << QString() << u"CategName"_s << u"The category name is not specified!"_s;
        QTest::newRow("both empty: the name first")
            << false << QString() << QString() << u"DescrEdit"_s << u"The name is not specified!"_s;
        QTest::newRow("no name") << false << QString() << u"http://a/"_s << u"DescrEdit"_s
                                 << u"The name is not specified!"_s;
        QTest::newRow("no link") << false << u"A"_s << QString() << u"LinkEdit"_s
                                 << u"The link is not specified!"_s;
        QTest::newRow("blank category name passes") << true << u" "_s << QString() << QString() << QString();
        QTest::newRow("blank name and link pass") << false << u" "_s << u" "_s << QString() << QString();
    }

    void balloons()
    {
        QFETCH(bool, categoryPage);
        QFETCH(QString, name);
        QFETCH(QString, link);
        QFETCH(QString, field);
        QFETCH(QString, text);

        FakeTree tree;
        RecordingBalloon balloon;
        TfrAddBookmark dialog(tree);
        dialog.setBalloonHint(&balloon);
        dialog.prepareAdd(categoryPage ? AddKind::Category : AddKind::Bookmark);
        dialog.show();
        (categoryPage ? dialog.CategName : dialog.DescrEdit)->setText(name);
        dialog.LinkEdit->setText(link);
        const qsizetype before = tree.nodes.totalCount();
        dialog.OKButtonClick();

        if (field.isEmpty()) {
            QVERIFY(balloon.shown.empty());
            QCOMPARE(tree.nodes.totalCount(), before + 1);
            QVERIFY(!dialog.isVisible());
            return;
        }
        QCOMPARE(balloon.shown.size(), 1u);
        const Balloon &shown = balloon.shown.front();
        QCOMPARE(shown.anchor->objectName(), field);
        QCOMPARE(shown.point, QPoint(10, 10));
        QCOMPARE(shown.icon, BalloonIcon::Warning);
        QCOMPARE(shown.title, u"Warning!"_s);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.width, 300);
        QCOMPARE(tree.nodes.totalCount(), before);
        QCOMPARE(tree.selections, 0);
        QVERIFY(dialog.isVisible());
    }

    void priority_data()
    {
        QTest::addColumn<bool>("isCategory");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<quint32>("stored");

        QTest::newRow("high bookmark") << false << PriorityHigh << 0 << 1 << PriorityMedium;
        QTest::newRow("medium category") << true << PriorityMedium << 1 << 0 << PriorityHigh;
        QTest::newRow("low bookmark") << false << PriorityLow << 2 << 2 << PriorityLow;
        QTest::newRow("low category to high") << true << PriorityLow << 2 << 0 << PriorityHigh;
        // A colour none of the three (from a file written elsewhere) is kept unless the user chooses.
        QTest::newRow("other colour kept") << false << quint32(0x00123456) << -1 << -1 << quint32(0x00123456);
        QTest::newRow("other colour replaced") << true << quint32(0x00123456) << -1 << 1 << PriorityMedium;
    }

    void priority()
    {
        QFETCH(bool, isCategory);
        QFETCH(quint32, colour);
        QFETCH(int, index);
        QFETCH(int, chosen);
        QFETCH(quint32, stored);

        FakeTree tree;
        BookmarkNode *node = isCategory ? tree.news : tree.page;
        node->record.PriorityColor = colour;
        tree.focused = node;
        AddBookmarkDialogs dialogs(nullptr, tree);
        std::unique_ptr<TfrAddBookmark> dialog = dialogs.prepareEditDialog();
        QVERIFY(dialog);
        QComboBox *list = isCategory ? dialog->ParentBox : dialog->ParentBox1;
        // The list shows the node's priority whatever it showed before (the other page's list stays).
        QCOMPARE(list->currentIndex(), index);
        QCOMPARE((isCategory ? dialog->ParentBox1 : dialog->ParentBox)->currentIndex(), PriorityLowIndex);
        list->setCurrentIndex(chosen);
        dialog->OKButtonClick();
        QCOMPARE(node->record.PriorityColor, stored);
    }

    void priorityIndexBothWays()
    {
        for (int i = 0; i < 3; ++i)
            QCOMPARE(priorityIndexOf(priorityColourAt(i).value()), i);
        QCOMPARE(priorityColourAt(3), std::nullopt);
        QCOMPARE(priorityColourAt(-1), std::nullopt);
    }

    void editKeepsLinkState_data()
    {
        QTest::addColumn<int>("linkState");
        QTest::newRow("alive") << LinkAlive;
        QTest::newRow("broken") << LinkBroken;
        QTest::newRow("not verified") << LinkNotVerified;
    }

    void editKeepsLinkState()
    {
        QFETCH(int, linkState);
        FakeTree tree;
        tree.page->record.LinkState = linkState;
        tree.page->record.Comment = u"old\r\ncomment"_s;
        tree.focused = tree.page;
        AddBookmarkDialogs dialogs(nullptr, tree);
        std::unique_ptr<TfrAddBookmark> dialog = dialogs.prepareEditDialog();
        QCOMPARE(dialog->windowTitle(), u"Edit bookmark"_s);
        QCOMPARE(dialog->OKButton->text(), u"Edit"_s);
        QCOMPARE(dialog->mode(), TfrAddBookmark::EditMode);
        QCOMPARE(dialog->DescrEdit->text(), u"Paper"_s);
        QCOMPARE(dialog->CommentText->toPlainText(), u"old\ncomment"_s);
        dialog->LinkEdit->setText(u"http://moved/"_s);
        const qsizetype before = tree.nodes.totalCount();
        dialog->OKButtonClick();
        QCOMPARE(tree.nodes.totalCount(), before);
        QCOMPARE(tree.updates, 1);
        QCOMPARE(tree.page->record.Link, u"http://moved/"_s);
        QCOMPARE(tree.page->record.LinkState, linkState);
        QCOMPARE(tree.page->record.Comment, u"old\r\ncomment"_s);
        QCOMPARE(tree.page->record.ImageIndex, OpenWithBrowser);
        QCOMPARE(tree.selected, tree.page);
    }

    void operaEntryFollowsTheEdit_data()
    {
        QTest::addColumn<int>("importSource");
        QTest::addColumn<bool>("isCategory");
        QTest::addColumn<QString>("expectedBlock");

        const QString rebuilt = u"#URL\r\n\tID=5\r\n        NAME=Daily\r\n        URL=http://daily/\r\n"
                                u"        DESCRIPTION=one\u0002\u0002URL=http://evil/\r\n"_s;
        // A block an export stored in a node of another origin follows the edit as well.
        QTest::newRow("favorites block rebuilt") << int(FromFavorites) << false << rebuilt;
        QTest::newRow("firefox block rebuilt") << int(FromFirefox) << false << rebuilt;
        QTest::newRow("opera bookmark rebuilt")
            << int(FromOpera) << false
            << u"#URL\r\n\tID=5\r\n        NAME=Daily\r\n        URL=http://daily/\r\n"
               u"        DESCRIPTION=one\u0002\u0002URL=http://evil/\r\n"_s;
        QTest::newRow("opera category rebuilt with an empty link")
            << int(FromOpera) << true
            << u"#URL\r\n\tID=5\r\n        NAME=Daily\r\n        URL=\r\n"
               u"        DESCRIPTION=one\u0002\u0002URL=http://evil/\r\n"_s;
    }

    void operaEntryFollowsTheEdit()
    {
        QFETCH(int, importSource);
        QFETCH(bool, isCategory);
        QFETCH(QString, expectedBlock);

        FakeTree tree;
        BookmarkNode *node = isCategory ? tree.news : tree.page;
        node->record.ImportSource = importSource;
        node->record.OperaBlock = u"#URL\r\n\tID=5\r\n\tNAME=Paper\r\n\tURL=http://paper/"_s;
        tree.focused = node;
        AddBookmarkDialogs dialogs(nullptr, tree);
        std::unique_ptr<TfrAddBookmark> dialog = dialogs.prepareEditDialog();
        if (isCategory) {
            dialog->CategName->setText(u"Daily"_s);
            dialog->ComentDirect->setPlainText(u"one\nURL=http://evil/"_s);
        } else {
            dialog->DescrEdit->setText(u"Daily"_s);
            dialog->LinkEdit->setText(u"http://daily/"_s);
            dialog->CommentText->setPlainText(u"one\nURL=http://evil/"_s);
        }
        dialog->OKButtonClick();
        QCOMPARE(node->record.OperaBlock, expectedBlock);
        QCOMPARE(node->record.Comment, u"one\r\nURL=http://evil/"_s);
    }

    void editLeavesRootAndEmptyFocusAlone()
    {
        FakeTree tree;
        AddBookmarkDialogs dialogs(nullptr, tree);
        QVERIFY(!dialogs.prepareEditDialog());
        tree.focused = tree.root;
        QVERIFY(!dialogs.prepareEditDialog());
        dialogs.Edit1Click(); // returns at once: nothing to run
        QCOMPARE(tree.root->record, makeRootRecord());
    }

    // A capture while an edit is open fills the add dialog, never the edit in progress.
    void addAndEditAreSeparateDialogs()
    {
        FakeTree tree;
        AddBookmarkDialogs dialogs(nullptr, tree);
        TfrAddBookmark *add = dialogs.AddBookmarkCategory(AddKind::Bookmark);
        add->DescrEdit->setText(u"Half typed"_s);

        tree.focused = tree.page;
        std::unique_ptr<TfrAddBookmark> edit = dialogs.prepareEditDialog();
        QVERIFY(edit.get() != add);
        QCOMPARE(edit->windowModality(), Qt::ApplicationModal);
        edit->DescrEdit->setText(u"Edited"_s);

        TfrAddBookmark *captured = dialogs.AddBookmarkCategory(AddKind::FilledBookmark);
        QCOMPARE(captured, add);
        captured->DescrEdit->setText(u"Captured"_s);
        captured->LinkEdit->setText(u"http://captured/"_s);
        QCOMPARE(edit->DescrEdit->text(), u"Edited"_s);
        QCOMPARE(edit->mode(), TfrAddBookmark::EditMode);

        const qsizetype before = tree.nodes.totalCount();
        edit->OKButtonClick();
        QCOMPARE(tree.nodes.totalCount(), before);
        QCOMPARE(tree.page->record.Description, u"Edited"_s);
        QVERIFY(add->isVisible());
        QCOMPARE(add->DescrEdit->text(), u"Captured"_s);
    }

    void prepareAddClearsOnlyItsPage()
    {
        FakeTree tree;
        AddBookmarkDialogs dialogs(nullptr, tree);
        TfrAddBookmark *dialog = dialogs.AddBookmarkCategory(AddKind::Category);
        dialog->CategName->setText(u"Left"_s);
        dialog->ParentBox->setCurrentIndex(PriorityHighIndex);
        dialog->CloseButtonClick();
        QVERIFY(!dialog->isVisible());

        QCOMPARE(dialogs.AddBookmarkCategory(AddKind::Bookmark), dialog);
        dialog->DescrEdit->setText(u"Typed"_s);
        dialog->ParentBox1->setCurrentIndex(PriorityHighIndex);
        QVERIFY(!dialog->isCategoryPage());
        QCOMPARE(dialog->CategName->text(), u"Left"_s);

        dialogs.AddBookmarkCategory(AddKind::FilledBookmark);
        QCOMPARE(dialog->DescrEdit->text(), QString());
        QCOMPARE(dialog->ParentBox1->currentIndex(), PriorityLowIndex);
        dialogs.AddBookmarkCategory(AddKind::Category);
        QCOMPARE(dialog->CategName->text(), QString());
        QCOMPARE(dialog->ParentBox->currentIndex(), PriorityLowIndex);
    }

    // While the save at exit owns the tree, neither the dialogs nor a capture may read or change it.
    void busyTreeIsLeftAlone()
    {
        FakeTree tree;
        AddBookmarkDialogs dialogs(nullptr, tree);
        TfrAddBookmark *dialog = dialogs.AddBookmarkCategory(AddKind::Category);
        dialog->CategName->setText(u"Late"_s);
        tree.focused = tree.page;
        tree.available = false;

        const qsizetype before = tree.nodes.totalCount();
        dialog->OKButtonClick();
        QCOMPARE(tree.nodes.totalCount(), before);
        QCOMPARE(tree.selections, 0);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialogs.AddBookmarkCategory(AddKind::FilledBookmark));
        QCOMPARE(dialog->CategName->text(), u"Late"_s);
        QVERIFY(!dialogs.prepareEditDialog());

        tree.available = true;
        dialog->OKButtonClick();
        QCOMPARE(tree.nodes.totalCount(), before + 1);
    }

    void keys()
    {
        FakeTree tree;
        TfrAddBookmark dialog(tree);
        dialog.prepareAdd(AddKind::Bookmark);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.DescrEdit);

        // Enter in a field presses no button.
        dialog.DescrEdit->setText(u"A"_s);
        dialog.LinkEdit->setText(u"http://a/"_s);
        QTest::keyClick(dialog.LinkEdit, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(tree.selections, 0);
        QVERIFY(!dialog.OKButton->isDefault() && !dialog.CloseButton->isDefault());

        // Ctrl+A, with Shift or Alt too, selects a field's whole text.
        dialog.CommentText->setPlainText(u"one\ntwo"_s);
        QTest::keyClick(dialog.CommentText, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dialog.CommentText->textCursor().selectedText(), u"one\u2029two"_s);
        QTest::keyClick(dialog.LinkEdit, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(dialog.LinkEdit->selectedText(), u"http://a/"_s);

        // Esc in any field closes without a change.
        QTest::keyClick(dialog.CommentText, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(tree.selections, 0);

        // A focused button is pressed with Enter.
        dialog.show();
        dialog.OKButton->setFocus();
        QTest::keyClick(dialog.OKButton, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(tree.selections, 1);
    }

    void layout()
    {
        FakeTree tree;
        TfrAddBookmark dialog(tree);
        QCOMPARE(dialog.size(), QSize(291, 305));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog.PageControl1->geometry(), QRect(8, 8, 276, 257));
        QCOMPARE(dialog.OKButton->geometry(), QRect(128, 272, 75, 25));
        QCOMPARE(dialog.CloseButton->geometry(), QRect(208, 272, 75, 25));
        QVERIFY(dialog.OKButton->font().bold());
        QCOMPARE(dialog.ParentBox->currentText(), u"Low"_s);
        QCOMPARE(dialog.ParentBox1->count(), 3);
    }
};

QTEST_MAIN(TestAddBookmarkDialog)
#include "tst_addbookmarkdialog.moc"
