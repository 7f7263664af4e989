#include "main/core/bookmarkfile.h"
#include "main/core/programlifecycle.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/modeltreeeditor.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/visibletoplevel.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

TBookmark bookmark(const QString &title)
{
    TBookmark r;
    r.Description = title;
    r.Link = u"http://"_s + title + u"/"_s;
    r.Editable = true;
    r.LinkState = LinkAlive;
    r.PriorityColor = PriorityLow;
    return r;
}

QStringList titles(const QAbstractItemModel &model, const QModelIndex &parent)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(parent); ++row)
        out << model.index(row, 0, parent).data().toString();
    return out;
}

} // namespace

// The dialog wired to the main window: nodes go through the model, so the view follows and the folder
// stays sorted.
class TestMainWindowEdit : public QObject
{
    Q_OBJECT

private slots:
    void addAndEditThroughTheModel()
    {
        TForm1 form;
        BookmarkNode *root
            = form.tree().topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        root->appendChild(std::make_unique<BookmarkNode>(bookmark(u"b"_s)));
        root->appendChild(std::make_unique<BookmarkNode>(bookmark(u"d"_s)));
        form.model()->reloadSorted();
        QAbstractItemModelTester tester(form.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        BookmarkModel &model = *form.model();
        const QModelIndex rootIndex = model.indexFromNode(root);
        form.VT()->setCurrentIndex(model.index(1, 0, rootIndex)); // "d"

        TfrAddBookmark *add = form.AddBookmarkCategory(AddKind::Bookmark);
        add->DescrEdit->setText(u"c"_s);
        add->LinkEdit->setText(u"http://c/"_s);
        add->OKButtonClick();
        QCOMPARE(titles(model, rootIndex), (QStringList { u"b"_s, u"c"_s, u"d"_s }));
        const QModelIndex added = model.index(1, 0, rootIndex);
        QCOMPARE(form.VT()->currentIndex(), added);
        QCOMPARE(form.VT()->selectionModel()->selectedRows(), QModelIndexList { added });
        QCOMPARE(model.nodeFromIndex(added)->record.LinkState, LinkNotVerified);
        QVERIFY(!add->isVisible());

        // Renaming "b" to "e" in the edit dialog moves it to the end of its folder.
        ModelTreeEditor editor(
            model, *form.VT(), [] { return true; }, [] { return qint32(1); });
        AddBookmarkDialogs dialogs(&form, editor);
        form.VT()->setCurrentIndex(model.index(0, 0, rootIndex));
        std::unique_ptr<TfrAddBookmark> edit = dialogs.prepareEditDialog();
        QVERIFY(edit);
        edit->DescrEdit->setText(u"e"_s);
        edit->OKButtonClick();
        QCOMPARE(titles(model, rootIndex), (QStringList { u"c"_s, u"d"_s, u"e"_s }));
        const QModelIndex edited = model.index(2, 0, rootIndex);
        QCOMPARE(form.VT()->currentIndex(), edited);
        QCOMPARE(model.nodeFromIndex(edited)->record.LinkState, LinkAlive);
        QCOMPARE(model.nodeFromIndex(edited)->record.ImageIndex, 1);
    }

    // "Categories:" and "Links:" follow every change of the tree's size, an add, a paste, once control
    // is back in the event loop.
    void countersFollowAddsAndPastes()
    {
        QTemporaryDir dir;
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, dir.path());
        BookmarkNode *root = form.tree().firstNode();
        BookmarkNode *folder = root->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(u"f"_s)));
        folder->appendChild(std::make_unique<BookmarkNode>(bookmark(u"b"_s)));
        form.model()->reloadSorted();
        BookmarkModel &model = *form.model();
        QTRY_COMPARE(form.StatusBar1()->panelText(2), u"Categories: 1"_s);
        QCOMPARE(form.StatusBar1()->panelText(3), u"Links: 1"_s);

        form.VT()->setCurrentIndex(model.indexFromNode(folder));
        TfrAddBookmark *add = form.AddBookmarkCategory(AddKind::Bookmark);
        add->DescrEdit->setText(u"c"_s);
        add->LinkEdit->setText(u"http://c/"_s);
        add->OKButtonClick();
        QTRY_COMPARE(form.StatusBar1()->panelText(3), u"Links: 2"_s);

        // The folder with its two links, copied and pasted onto the root.
        form.VT()->selectionModel()->clearSelection();
        form.VT()->selectionModel()->select(model.indexFromNode(folder),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        form.Copy1Click();
        form.VT()->setCurrentIndex(model.indexFromNode(root));
        form.Paste1Click();
        QCOMPARE(root->childCount(), 2);
        QTRY_COMPARE(form.StatusBar1()->panelText(2), u"Categories: 2"_s);
        QCOMPARE(form.StatusBar1()->panelText(3), u"Links: 4"_s);
    }

    // Titles and links of any length (data: links run to tens of thousands of characters) go through
    // every editor whole, and the file keeps them so.
    void longTextsKeptWhole_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Alt+Enter, then Edit without a change") << u"edit dialog"_s;
        QTest::newRow("F2 on the title, then Enter") << u"rename title"_s;
        QTest::newRow("F2 on the link, then Enter") << u"rename link"_s;
        QTest::newRow("both pasted into the Add dialog") << u"add"_s;
    }
    void longTextsKeptWhole()
    {
        QFETCH(QString, how);
        const QString title = u"Title "_s.repeated(16'666) + u"-end"_s;
        const QString link = u"data:text/plain,"_s + u"0123456789"_s.repeated(5'998) + u"-end"_s;
        QCOMPARE(title.size(), 100'000);
        QCOMPARE(link.size(), 60'000);
        QTemporaryDir dir;
        BookmarkTree stored;
        BookmarkNode *storedRoot
            = stored.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        if (how != u"add")
            storedRoot->appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(title, link, 0)));
        QCOMPARE(BookmarkFile::saveToFile(stored, dir.filePath(BookmarkFileName)), QString());

        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        BookmarkModel &model = *form.model();
        BookmarkNode *root = form.tree().firstNode();
        if (how == u"add") {
            TfrAddBookmark *add = form.AddBookmarkCategory(AddKind::Bookmark);
            QVERIFY(QTest::qWaitForWindowActive(add));
            for (auto [field, text] :
                 { std::pair { add->DescrEdit, title }, std::pair { add->LinkEdit, link } }) {
                QGuiApplication::clipboard()->setText(text);
                field->setFocus();
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            }
            add->OKButton->click();
        } else {
            BookmarkNode *node = root->child(0);
            const QModelIndex cell = model.indexFromNode(node).siblingAtColumn(how == u"rename link" ? 1 : 0);
            form.VT()->setFocus();
            form.VT()->selectionModel()->setCurrentIndex(
                cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            if (how == u"edit dialog") {
                bool pressed = false;
                QTimer::singleShot(0, &form, [&pressed] {
                    if (TfrAddBookmark *edit = visibleTopLevel<TfrAddBookmark>()) {
                        pressed = edit->mode() == TfrAddBookmark::EditMode;
                        edit->OKButton->click();
                    }
                });
                QTest::keyClick(form.VT(), Qt::Key_Return, Qt::AltModifier);
                QVERIFY(pressed);
            } else {
                QTest::keyClick(form.VT(), Qt::Key_F2);
                auto *editor = qobject_cast<QLineEdit *>(form.VT()->indexWidget(form.VT()->currentIndex()));
                QVERIFY(editor);
                QTest::keyClick(editor, Qt::Key_Return);
                QTRY_VERIFY(!form.VT()->indexWidget(cell));
            }
        }
        QCOMPARE(root->childCount(), 1);
        QVERIFY(form.closeprogram());

        BookmarkTree saved;
        QCOMPARE(BookmarkFile::loadFromFile(saved, dir.filePath(BookmarkFileName)), QString());
        const TBookmark &record = saved.firstNode()->child(0)->record;
        QCOMPARE(record.Description.size(), title.size());
        QCOMPARE(record.Link.size(), link.size());
        QVERIFY(record.Description == title);
        QVERIFY(record.Link == link);
    }

    void busyTreeRefusesTheDialogs()
    {
        TForm1 form;
        form.tree().topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        form.model()->reloadSorted();
        TfrAddBookmark *add = form.AddBookmarkCategory(AddKind::Category);
        add->CategName->setText(u"Late"_s);
        form.setTreeBusy(true);
        add->OKButtonClick();
        QCOMPARE(form.tree().totalCount(), 1);
        QVERIFY(!form.AddBookmarkCategory(AddKind::FilledBookmark));
        form.setTreeBusy(false);
        add->OKButtonClick();
        QCOMPARE(form.tree().totalCount(), 2);
    }
};

QTEST_MAIN(TestMainWindowEdit)
#include "tst_mainwindowedit.moc"
