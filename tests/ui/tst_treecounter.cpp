// "Categories: " and "Links: " in the main window's status bar: right after every kind of change, and
// counted once per change however many signals the change sends.

#include "exchange/dialog/tfrimportexport.h"
#include "main/core/bookmarkfile.h"
#include "main/core/functii.h"
#include "main/core/programlifecycle.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/search/searchresultmodel.h"
#include "main/search/tfrsearch.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "main/tree/treecounter.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/exchangedialogrun.h"
#include "tests/common/testfiles.h"
#include "treefixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using namespace vellumite;
using namespace treefixture;
using namespace Qt::StringLiterals;

namespace {

enum class Change {
    Load,
    AddBookmark,
    AddCategory,
    PasteCopy,
    CutAndPaste,
    Delete,
    DeleteInSearchWindow,
    DeleteAllBrokenLinks,
    DropLink,
    DropInsideTree,
    Import,
};

std::unique_ptr<BookmarkNode> brokenBookmark(const QString &title)
{
    std::unique_ptr<BookmarkNode> node = bookmark(title, u"http://"_s + title + u"/"_s);
    node->record.LinkState = LinkBroken;
    return node;
}

// The main window started on a "Bookmarks.lkb" holding
// Bookmarks(News(alpha beta*) Tools(Deep(gamma*) delta) zeta), * broken: 3 categories, 5 links.
class Window
{
public:
    Window()
    {
        BookmarkTree tree;
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *news = root->appendChild(category(u"News"_s));
        news->appendChild(bookmark(u"alpha"_s, u"http://alpha/"_s));
        news->appendChild(brokenBookmark(u"beta"_s));
        BookmarkNode *tools = root->appendChild(category(u"Tools"_s));
        tools->appendChild(category(u"Deep"_s))->appendChild(brokenBookmark(u"gamma"_s));
        tools->appendChild(bookmark(u"delta"_s, u"http://delta/"_s));
        root->appendChild(bookmark(u"zeta"_s, u"http://zeta/"_s));
        QVERIFY(testfiles::writeFile(bookmarkFilePathIn(dir.path()), BookmarkFile::save(tree)));
        form.FormCreate(fakes.services, dir.path());
        form.show();
    }

    BookmarkNode *node(const QString &name)
    {
        BookmarkNode *found = nullptr;
        form.tree().forEach([&](BookmarkNode &n) {
            if (!found && n.record.name() == name)
                found = &n;
        });
        return found;
    }
    void select(const QString &name)
    {
        form.VT()->selectionModel()->setCurrentIndex(form.model()->indexFromNode(node(name)),
                                                     QItemSelectionModel::ClearAndSelect
                                                         | QItemSelectionModel::Rows);
    }

    void add(AddKind kind, const QString &folder)
    {
        select(folder);
        TfrAddBookmark *dialog = form.AddBookmarkCategory(kind);
        QVERIFY(dialog);
        if (kind == AddKind::Category) {
            dialog->CategName->setText(u"added"_s);
        } else {
            dialog->DescrEdit->setText(u"added"_s);
            dialog->LinkEdit->setText(u"http://added/"_s);
        }
        dialog->OKButtonClick();
    }

    void deleteInSearchWindow()
    {
        TfrSearch search(form, *fakes.messages, &form);
        search.RbLink->click();
        search.EdSearch->setText(u"http://"_s);
        search.BtnFindClick();
        search.VTDubl->selectAll();
        fakes.messages->setNextAnswer(MessageAnswer::Yes);
        search.btDeleteClick();
    }

    // The Opera store holds Work(Qt) and News: an import without merging replaces the tree with them.
    void importHotlist()
    {
        const QString hotlist = dir.filePath(u"opera6.adr"_s);
        QVERIFY(
            testfiles::writeFile(hotlist,
                                 "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
                                 "#FOLDER\r\n\tID=3\r\n\tNAME=Work\r\n\r\n"
                                 "#URL\r\n\tID=4\r\n\tNAME=Qt\r\n\tURL=https://qt.io/\r\n\r\n-\r\n\r\n"
                                 "#URL\r\n\tID=5\r\n\tNAME=News\r\n\tURL=https://news.example/\r\n\r\n"));
        form.browserPaths().OperaFavPath = hotlist;
        QVERIFY(runExchangeFromToolbar(form, true, false));
    }

    void make(Change change)
    {
        switch (change) {
        case Change::Load:
            break;
        case Change::AddBookmark:
            add(AddKind::Bookmark, u"News"_s);
            break;
        case Change::AddCategory:
            add(AddKind::Category, u"Tools"_s);
            break;
        case Change::PasteCopy:
            select(u"Tools"_s);
            form.Copy1Click();
            select(u"News"_s);
            form.Paste1Click();
            break;
        case Change::CutAndPaste:
            select(u"Deep"_s);
            form.Cut1Click();
            select(u"News"_s);
            form.Paste1Click();
            break;
        case Change::Delete:
            select(u"Tools"_s);
            fakes.messages->setNextAnswer(MessageAnswer::Yes);
            form.mDeleteClick();
            break;
        case Change::DeleteInSearchWindow:
            deleteInSearchWindow();
            break;
        case Change::DeleteAllBrokenLinks:
            form.Deleteallbrokenlinks1Click();
            break;
        case Change::DropLink:
            form.VTDragDrop(node(u"Tools"_s), { u"https://dropped.example/"_s, u"Dropped"_s });
            break;
        case Change::DropInsideTree: {
            select(u"Tools"_s);
            const std::unique_ptr<QMimeData> data = form.VT()->beginNodeDrag();
            QVERIFY(form.VT()->VTDragDrop(data.get(), node(u"News"_s), DropMode::On));
            break;
        }
        case Change::Import:
            importHotlist();
            break;
        }
    }

    QTemporaryDir dir;
    FakeServices fakes = makeFakeServices();
    TForm1 form;
};

// A tree of `folders` folders of ten bookmarks each, shown in a view.
struct CountedTree
{
    BookmarkTree tree;
    BookmarkModel model { tree };
    BookmarkTreeView view { &model, ImageList::instance() };
    BookmarkNode *root = addRoot(tree);
    std::vector<BookmarkNode *> folders;
    int shown = 0;
    TreeCounts counts;
    TreeCounter counter { tree, [this](const TreeCounts &c) {
                             ++shown;
                             counts = c;
                         } };

    explicit CountedTree(int folderCount)
    {
        for (int f = 0; f < folderCount; ++f) {
            BookmarkNode *folder = root->appendChild(category(u"Folder %1"_s.arg(f, 2, 10, QChar(u'0'))));
            for (int b = 0; b < 10; ++b)
                folder->appendChild(bookmark(u"b%1"_s.arg(b), u"http://%1/%2"_s.arg(f).arg(b)));
            folders.push_back(folder);
        }
        model.reloadSorted();
        view.expandAll();
        view.show();
        counter.follow(model);
    }

    // Every other bookmark of the first `count` folders.
    std::vector<BookmarkNode *> everyOtherBookmark(int count) const
    {
        std::vector<BookmarkNode *> nodes;
        for (int f = 0; f < count; ++f) {
            for (int b = 0; b < folders[size_t(f)]->childCount(); b += 2)
                nodes.push_back(folders[size_t(f)]->child(b));
        }
        return nodes;
    }
};

enum class TreeChange {
    RemoveFromManyFolders,
    RemoveFromFewFolders,
    MergeIntoManyFolders,
    MergeIntoFewFolders,
    MoveFromManyFolders,
    MoveFromFewFolders,
    Reload,
};

} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(TreeChange)

class TestTreeCounter : public QObject
{
    Q_OBJECT

private slots:
    void countersAfterEveryKindOfChange_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("categories");
        QTest::addColumn<int>("links");
        QTest::newRow("load") << Change::Load << 3 << 5;
        QTest::newRow("add a bookmark") << Change::AddBookmark << 3 << 6;
        QTest::newRow("add a category") << Change::AddCategory << 4 << 5;
        QTest::newRow("paste a copied folder") << Change::PasteCopy << 5 << 7;
        QTest::newRow("cut and paste") << Change::CutAndPaste << 3 << 5;
        QTest::newRow("delete a folder") << Change::Delete << 1 << 3;
        QTest::newRow("delete every link in the search window") << Change::DeleteInSearchWindow << 3 << 0;
        QTest::newRow("delete all broken links") << Change::DeleteAllBrokenLinks << 3 << 3;
        QTest::newRow("drop a link from a browser") << Change::DropLink << 3 << 6;
        QTest::newRow("drop a folder on another") << Change::DropInsideTree << 3 << 5;
        QTest::newRow("import replacing the tree") << Change::Import << 1 << 2;
    }
    void countersAfterEveryKindOfChange()
    {
        QFETCH(Change, change);
        QFETCH(int, categories);
        QFETCH(int, links);
        Window w;
        w.make(change);
        QCoreApplication::processEvents();
        QCOMPARE(countTree(w.form.tree()), (TreeCounts { categories, links }));
        QCOMPARE(w.form.StatusBar1()->panelText(2), u"Categories: "_s + QString::number(categories));
        QCOMPARE(w.form.StatusBar1()->panelText(3), u"Links: "_s + QString::number(links));
    }

    // The counts are taken once the change is over, not at each of its signals; a command that asks
    // for them at its end (a delete) has them at once, and no second count follows. A move changes no
    // count and is not counted.
    void countedOncePerChange_data()
    {
        QTest::addColumn<TreeChange>("change");
        QTest::addColumn<bool>("askedAtTheEnd");
        QTest::addColumn<int>("counted");
        QTest::newRow("remove from 30 folders") << TreeChange::RemoveFromManyFolders << false << 1;
        QTest::newRow("remove from 30 folders, counted at the end")
            << TreeChange::RemoveFromManyFolders << true << 1;
        QTest::newRow("remove from 3 folders") << TreeChange::RemoveFromFewFolders << false << 1;
        QTest::newRow("remove from 3 folders, counted at the end")
            << TreeChange::RemoveFromFewFolders << true << 1;
        QTest::newRow("merge into 30 folders") << TreeChange::MergeIntoManyFolders << false << 1;
        QTest::newRow("merge into 3 folders") << TreeChange::MergeIntoFewFolders << false << 1;
        QTest::newRow("reload") << TreeChange::Reload << false << 1;
        QTest::newRow("move from many folders") << TreeChange::MoveFromManyFolders << false << 0;
        QTest::newRow("move from 3 folders") << TreeChange::MoveFromFewFolders << false << 0;
    }
    void countedOncePerChange()
    {
        QFETCH(TreeChange, change);
        QFETCH(bool, askedAtTheEnd);
        QFETCH(int, counted);
        CountedTree t(30);
        QCoreApplication::processEvents();
        t.shown = 0;

        switch (change) {
        case TreeChange::RemoveFromManyFolders:
            t.model.removeNodes(t.everyOtherBookmark(30));
            break;
        case TreeChange::RemoveFromFewFolders:
            t.model.removeNodes(t.everyOtherBookmark(3));
            break;
        case TreeChange::MergeIntoManyFolders:
        case TreeChange::MergeIntoFewFolders: {
            // As an import merges: new nodes for each folder.
            std::vector<BookmarkModel::FolderInsertion> insertions;
            const size_t folders = change == TreeChange::MergeIntoManyFolders ? t.folders.size() : 3;
            for (size_t f = 0; f < folders; ++f) {
                insertions.push_back({ t.folders[f], {} });
                insertions.back().nodes.push_back(bookmark(u"a new one"_s, u"http://new/"_s));
                insertions.back().nodes.push_back(category(u"a new folder"_s));
            }
            t.model.appendToFolders(std::move(insertions));
            break;
        }
        case TreeChange::MoveFromManyFolders:
            t.model.moveNodes(t.everyOtherBookmark(30), t.folders.back());
            break;
        case TreeChange::MoveFromFewFolders:
            t.model.moveNodes(t.everyOtherBookmark(3), t.folders.back());
            break;
        case TreeChange::Reload:
            t.model.reloadSorted();
            break;
        }
        if (askedAtTheEnd) {
            t.counter.update();
            QCOMPARE(t.shown, 1);
        } else {
            QCOMPARE(t.shown, 0);
            QCOMPARE(t.counter.isStale(), counted > 0);
        }
        QCoreApplication::processEvents();
        QCOMPARE(t.shown, counted);
        QVERIFY(!t.counter.isStale());
        if (counted > 0)
            QCOMPARE(t.counts, countTree(t.tree));
    }
};

QTEST_MAIN(TestTreeCounter)
#include "tst_treecounter.moc"
