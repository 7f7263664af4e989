// A link dropped from a browser onto the main window's tree.

#include "main/core/dropformats.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/tform1.h"

#include <QLineEdit>
#include <QTest>

using namespace vellumite;

class TestMainWindowDrop : public QObject
{
    Q_OBJECT

private slots:
    void linkAndTitleMakeABookmarkAtOnce()
    {
        TForm1 form;
        BookmarkNode *root
            = form.tree().topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        BookmarkNode *news
            = root->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(u"News"_qs)));
        form.model()->reloadSorted();
        form.browserPaths().DefaultBrowser.Tag = 2;

        form.VTDragDrop(news, { u"https://example.org/"_qs, u"Example Domain"_qs });
        QCOMPARE(news->childCount(), 1);
        const TBookmark &r = news->child(0)->record;
        QCOMPARE(r.Description, u"Example Domain"_qs);
        QCOMPARE(r.Link, u"https://example.org/"_qs);
        QVERIFY(r.CategoryName.isEmpty() && r.Comment.isEmpty() && r.OperaBlock.isEmpty());
        QVERIFY(r.Editable && !r.IsCategory);
        QCOMPARE(r.ImageIndex, 2);
        QCOMPARE(r.LinkState, LinkNotVerified);
        QCOMPARE(r.PriorityColor, PriorityLow);
        QCOMPARE(r.ImportSource, qint32(FromFavorites));
        QCOMPARE(form.VT()->focusedNode(), news->child(0));
        QCOMPARE(form.VT()->selectedCount(), 1);
    }

    void aMissingTitleOpensTheAddDialog()
    {
        TForm1 form;
        BookmarkNode *root
            = form.tree().topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        form.model()->reloadSorted();
        form.VTDragDrop(root, { u"https://plain.example/"_qs, {} });
        QCOMPARE(root->childCount(), 0);
        TfrAddBookmark *dialog = form.AddBookmarkCategory(AddKind::FilledBookmark);
        QVERIFY(dialog);
        // Preparing again empties the fields, so look at what the drop had put there through a new drop.
        form.VTDragDrop(root, { u"https://plain.example/"_qs, {} });
        QCOMPARE(dialog->LinkEdit->text(), u"https://plain.example/"_qs);
        QVERIFY(dialog->DescrEdit->text().isEmpty());
        QVERIFY(dialog->isVisible());
        dialog->hide();
    }
};

QTEST_MAIN(TestMainWindowDrop)
#include "tst_mainwindowdrop.moc"
