#include "main/core/bookmarkfile.h"
#include "main/core/functii.h"
#include "main/core/treeclipboard.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/menus/treepopupmenu.h"
#include "main/menus/windowkeys.h"
#include "main/search/tfrsearch.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/treeeditcommands.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/editing/nodetestutils.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace vellumite;
using namespace Qt::StringLiterals;
using Kind = FakeMessageService::Kind;

namespace {

TBookmark category(const QString &name)
{
    TBookmark r = makeCategoryRecord(name);
    r.Comment = u"folder "_s + name;
    return r;
}

// Values other than a new bookmark's, an Opera entry among them, so that a copy that drops one shows.
TBookmark bookmark(const QString &title)
{
    TBookmark r = makeBookmarkRecord(title, u"http://"_s + title.toLower() + u".example/"_s, 1);
    r.Comment = u"about "_s + title;
    r.ImportSource = FromOpera;
    r.OperaBlock = u"#URL\r\n         NAME="_s + title + u"\r\n"_s;
    r.LinkState = LinkAlive;
    r.PriorityColor = PriorityHigh;
    return r;
}

QString message(Kind kind, const QString &title, const QString &text)
{
    const char *kinds[] = { "information", "error", "question" };
    return QLatin1StringView(kinds[static_cast<int>(kind)]) + u": "_s + title + u": "_s + text;
}

// The main window after a fresh start, holding:
// Bookmarks(News(Alpha Beta) Tools(Deep(Gamma) Delta) Zeta)
class Window
{
public:
    Window()
    {
        form.FormCreate(fakes.services, dir.path());
        BookmarkNode *root = form.tree().firstNode();
        BookmarkNode *news = add(root, category(u"News"_s));
        add(news, bookmark(u"Alpha"_s));
        add(news, bookmark(u"Beta"_s));
        BookmarkNode *tools = add(root, category(u"Tools"_s));
        add(add(tools, category(u"Deep"_s)), bookmark(u"Gamma"_s));
        add(tools, bookmark(u"Delta"_s));
        add(root, bookmark(u"Zeta"_s));
        form.model()->reloadSorted();
        tester = std::make_unique<QAbstractItemModelTester>(
            form.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
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
    QModelIndex index(const QString &name) { return form.model()->indexFromNode(node(name)); }

    // Selects the named rows and puts the focus on `focus` (the first selected one when not given).
    void select(const QStringList &names, const QString &focus = {})
    {
        QItemSelectionModel *selection = form.VT()->selectionModel();
        selection->clearSelection();
        QItemSelection rows;
        for (const QString &name : names)
            rows.select(index(name), form.model()->indexFromNode(node(name), 2));
        selection->select(rows, QItemSelectionModel::ClearAndSelect);
        const QString current = focus.isEmpty() && !names.isEmpty() ? names.first() : focus;
        selection->setCurrentIndex(current.isEmpty() ? QModelIndex() : index(current),
                                   QItemSelectionModel::NoUpdate);
    }

    // The tree as names, a folder's children in brackets.
    QString outline()
    {
        QStringList parts;
        const BookmarkNode &top = form.tree().topLevel();
        for (int i = 0; i < top.childCount(); ++i)
            parts << outlineOf(*top.child(i));
        return parts.join(u' ');
    }

    QStringList messages() const
    {
        QStringList out;
        for (const FakeMessageService::Message &m : fakes.messages->messages())
            out << message(m.kind, m.title, m.text);
        return out;
    }

    FakeServices fakes = makeFakeServices();
    QTemporaryDir dir;
    TForm1 form;
    std::unique_ptr<QAbstractItemModelTester> tester;

private:
    static BookmarkNode *add(BookmarkNode *parent, TBookmark record)
    {
        return addNode(parent, std::move(record));
    }
    static QString outlineOf(const BookmarkNode &node)
    {
        QString text = node.record.name();
        if (node.childCount() > 0) {
            QStringList children;
            for (int i = 0; i < node.childCount(); ++i)
                children << outlineOf(*node.child(i));
            text += u'(' + children.join(u' ') + u')';
        }
        return text;
    }
};

const QString Start = u"Bookmarks(News(Alpha Beta) Tools(Deep(Gamma) Delta) Zeta)"_s;

void setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void deleteFlows_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("expectedMessages");

        const QStringList asked { message(Kind::Question, u"Warning!"_s, u"Delete selected?"_s) };
        QTest::newRow("nothing selected") << QStringList() << u"Zeta"_s << true << Start << QStringList();
        QTest::newRow("the root alone") << QStringList { u"Bookmarks"_s } << QString() << true << Start
                                        << QStringList { message(Kind::Information, ApplicationTitle,
                                                                 u"This folder is not to be deleted!"_s) };
        QTest::newRow("the root and a bookmark")
            << QStringList { u"Bookmarks"_s, u"Zeta"_s } << u"Bookmarks"_s << true
            << u"Bookmarks(News(Alpha Beta) Tools(Deep(Gamma) Delta))"_s << asked;
        QTest::newRow("the root with its whole content")
            << QStringList { u"Bookmarks"_s, u"News"_s, u"Alpha"_s, u"Tools"_s, u"Zeta"_s } << u"Alpha"_s
            << true << u"Bookmarks"_s << asked;
        QTest::newRow("a node and its parent") << QStringList { u"Gamma"_s, u"Deep"_s } << QString() << true
                                               << u"Bookmarks(News(Alpha Beta) Tools(Delta) Zeta)"_s << asked;
        QTest::newRow("nodes in several folders")
            << QStringList { u"Beta"_s, u"Gamma"_s, u"Zeta"_s } << QString() << true
            << u"Bookmarks(News(Alpha) Tools(Deep Delta))"_s << asked;
        QTest::newRow("declined") << QStringList { u"Alpha"_s, u"Tools"_s } << QString() << false << Start
                                  << asked;
    }
    void deleteFlows()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, focus);
        QFETCH(bool, answerYes);
        QFETCH(QString, expected);
        QFETCH(QStringList, expectedMessages);

        Window w;
        QCOMPARE(w.outline(), Start);
        w.select(selected, focus);
        w.fakes.messages->setNextAnswer(answerYes ? MessageAnswer::Yes : MessageAnswer::No);
        w.form.mDeleteClick();
        QCOMPARE(w.outline(), expected);
        QCOMPARE(w.messages(), expectedMessages);
        if (expected != Start) {
            // A delete recounts the status bar; the root, never deleted, is left deselected.
            const TreeCounts counts = countTree(w.form.tree());
            QCOMPARE(w.form.StatusBar1()->panelText(2), categoriesText(counts));
            QCOMPARE(w.form.StatusBar1()->panelText(3), linksText(counts));
            QVERIFY(!w.form.VT()->selectionModel()->isRowSelected(0, {}));
        }
    }

    void busyTreeRefusesEveryChange()
    {
        Window w;
        w.select({ u"News"_s });
        QVERIFY(w.form.popupMenu());
        w.form.Copy1Click();
        w.select({ u"Alpha"_s });
        w.form.setTreeBusy(true);
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        w.form.mDeleteClick();
        w.form.Medium1Click();
        w.form.Cut1Click();
        w.select({ u"Tools"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), Start);
        QCOMPARE(w.node(u"Alpha"_s)->record.PriorityColor, PriorityHigh);
        QVERIFY(w.messages().isEmpty());
        w.form.setTreeBusy(false);
        w.form.Paste1Click();
        QCOMPARE(w.outline(),
                 u"Bookmarks(News(Alpha Beta) Tools(Deep(Gamma) Delta News(Alpha Beta)) Zeta)"_s);
    }

    void copyPasteMakesNewNodesWithEqualRecords()
    {
        Window w;
        BookmarkNode *news = w.node(u"News"_s);
        w.select({ u"News"_s, u"Alpha"_s });
        w.form.Copy1Click();
        QVERIFY(TreeEditCommands::clipboardHoldsTreeData());
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"News\n  Alpha\thttp://alpha.example/\n  Beta\thttp://beta.example/\n"_s);

        w.select({ u"Deep"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(),
                 u"Bookmarks(News(Alpha Beta) Tools(Deep(Gamma News(Alpha Beta)) Delta) Zeta)"_s);
        BookmarkNode *copy = w.node(u"Deep"_s)->child(1);
        compareSubtrees(*copy, *news);
        // The same data pastes again, and into the folder it came from.
        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.node(u"News"_s)->childCount(), 3);
        compareSubtrees(*news->child(2), *copy);
        QVERIFY(w.messages().isEmpty());
    }

    // A copy keeps no order of its own: pasted after the sort direction changed, its inside follows the
    // current sort.
    void pastedCopyFollowsTheCurrentSort()
    {
        Window w;
        w.select({ u"News"_s });
        w.form.Copy1Click();
        w.form.VTHeaderClick(0); // descending now
        w.select({ u"Tools"_s });
        w.form.Paste1Click();
        const BookmarkNode *copy = nullptr;
        const BookmarkNode *tools = w.node(u"Tools"_s);
        for (int row = 0; row < tools->childCount(); ++row) {
            if (tools->child(row)->record.name() == u"News"_s)
                copy = tools->child(row);
        }
        QVERIFY(copy);
        QCOMPARE(copy->child(0)->record.name(), u"Beta"_s);
        QCOMPARE(copy->child(1)->record.name(), u"Alpha"_s);
    }

    void cutPasteMovesTheSameNodes()
    {
        Window w;
        BookmarkNode *deep = w.node(u"Deep"_s);
        BookmarkNode *gamma = w.node(u"Gamma"_s);
        BookmarkNode *beta = w.node(u"Beta"_s);
        w.form.VT()->expandAll();
        w.select({ u"Deep"_s, u"Beta"_s });
        w.form.Cut1Click();
        // Cut nodes stay until the paste moves them.
        QCOMPARE(w.outline(), Start);

        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta Deep(Gamma)) Tools(Delta) Zeta)"_s);
        QCOMPARE(deep->parent(), w.node(u"News"_s));
        QCOMPARE(gamma->parent(), deep);
        QCOMPARE(beta->parent(), w.node(u"News"_s));
        // A moved folder keeps its expansion, and the clipboard no longer offers what was moved.
        QVERIFY(w.form.VT()->isExpanded(w.index(u"Deep"_s)));
        QVERIFY(!TreeEditCommands::clipboardHoldsTreeData());
        w.select({ u"Tools"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta Deep(Gamma)) Tools(Delta) Zeta)"_s);
    }

    // A cut is the set of nodes it took: a node that carries the cut mark for any other reason (as a file
    // or the clipboard might once have brought it) is never moved with them.
    void cutMovesOnlyTheNodesItTook()
    {
        Window w;
        w.node(u"Zeta"_s)->setState(NodeState::CutOrCopy, true);
        w.form.VT()->expandAll();
        w.select({ u"Gamma"_s });
        w.form.Cut1Click();
        w.node(u"Delta"_s)->setState(NodeState::CutOrCopy, true);
        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.node(u"Gamma"_s)->parent(), w.node(u"News"_s));
        QCOMPARE(w.node(u"Delta"_s)->parent(), w.node(u"Tools"_s));
        QCOMPARE(w.node(u"Zeta"_s)->parent(), w.form.tree().firstNode());
    }

    // Siblings apart from each other are first brought together in their folder; the other rows and
    // the view's state on them must come through that unharmed.
    void scatteredSiblingsLeaveTheRestAsItWas()
    {
        Window deleting;
        QTreeView &view = *deleting.form.VT();
        view.expandAll();
        deleting.select({ u"News"_s, u"Zeta"_s });
        deleting.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        deleting.form.mDeleteClick();
        QCOMPARE(deleting.outline(), u"Bookmarks(Tools(Deep(Gamma) Delta))"_s);
        QVERIFY(view.isExpanded(deleting.index(u"Tools"_s)));
        QVERIFY(view.isExpanded(deleting.index(u"Deep"_s)));

        Window moving;
        moving.form.VT()->expandAll();
        moving.select({ u"Zeta"_s, u"News"_s });
        moving.form.Cut1Click();
        moving.select({ u"Deep"_s });
        moving.form.Paste1Click();
        QCOMPARE(moving.outline(), u"Bookmarks(Tools(Deep(Gamma News(Alpha Beta) Zeta) Delta))"_s);
        QVERIFY(moving.form.VT()->isExpanded(moving.index(u"News"_s)));
        QVERIFY(moving.form.VT()->isExpanded(moving.index(u"Tools"_s)));
        QCOMPARE(moving.form.VT()->focusedNode(), moving.node(u"Deep"_s));
    }

    void pasteIntoItselfOrBelowIsSkipped_data()
    {
        QTest::addColumn<QStringList>("cut");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        QTest::newRow("into itself") << QStringList { u"Tools"_s } << u"Tools"_s << Start;
        QTest::newRow("into its child") << QStringList { u"Tools"_s } << u"Deep"_s << Start;
        QTest::newRow("into its parent") << QStringList { u"Deep"_s } << u"Tools"_s
                                         << u"Bookmarks(News(Alpha Beta) Tools(Delta Deep(Gamma)) Zeta)"_s;
        QTest::newRow("the others move") << QStringList { u"Tools"_s, u"Alpha"_s, u"Gamma"_s } << u"Deep"_s
                                         << u"Bookmarks(News(Beta) Tools(Deep(Alpha Gamma) Delta) Zeta)"_s;
    }
    void pasteIntoItselfOrBelowIsSkipped()
    {
        QFETCH(QStringList, cut);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        Window w;
        w.select(cut);
        w.form.Cut1Click();
        w.select({ target });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), expected);
        QCOMPARE(w.form.tree().topLevel().childCount(), 1);
        if (expected == Start) {
            // Nothing moved, so the cut still waits for a paste elsewhere.
            w.select({ u"News"_s });
            w.form.Paste1Click();
            QCOMPARE(w.node(cut.first())->parent(), w.node(u"News"_s));
        }
    }

    void theRootIsNeverCutOrCopied()
    {
        Window w;
        setClipboardText(u"before"_s);
        w.select({ u"Bookmarks"_s });
        w.form.Copy1Click();
        w.form.Cut1Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);

        // Selected with other nodes, the root stays behind and its selected children are taken.
        w.select({ u"Bookmarks"_s, u"Zeta"_s, u"Delta"_s }, u"Zeta"_s);
        w.form.Cut1Click();
        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta Delta Zeta) Tools(Deep(Gamma)))"_s);
        w.select({ u"Bookmarks"_s, u"News"_s }, u"News"_s);
        w.form.Copy1Click();
        w.select({ u"Tools"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(),
                 u"Bookmarks(News(Alpha Beta Delta Zeta) Tools(Deep(Gamma) News(Alpha Beta Delta Zeta)))"_s);
        QVERIFY(!w.node(u"Tools"_s)->child(1)->record.name().isEmpty());
        QCOMPARE(w.form.tree().topLevel().childCount(), 1);
    }

    void pasteNeedsTreeDataAndACategory()
    {
        Window w;
        setClipboardText(u"News"_s);
        w.select({ u"Tools"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), Start);

        w.select({ u"Alpha"_s });
        w.form.Copy1Click();
        w.select({ u"Zeta"_s });
        w.form.Paste1Click();
        w.select({}, QString());
        w.form.Paste1Click();
        QCOMPARE(w.outline(), Start);
        QVERIFY(w.messages().isEmpty());
    }

    // Another program may put anything under the tree's format.
    void damagedClipboardDataInsertsNothing()
    {
        Window w;
        BookmarkTree other;
        other.topLevel().appendChild(std::make_unique<BookmarkNode>(category(u"Foreign"_s)));
        const QByteArray chunks = BookmarkFile::writeNodeChunks({ other.firstNode(), other.firstNode() });
        auto *data = new QMimeData;
        data->setData(VirtualTreeDataMimeType, chunks.first(chunks.size() - 4));
        QGuiApplication::clipboard()->setMimeData(data);
        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), Start);
        QCOMPARE(w.messages(),
                 QStringList { message(Kind::Error, ApplicationTitle, u"Stream read error"_s) });
    }

    void aLaterCopyCancelsTheCut()
    {
        Window w;
        w.select({ u"Zeta"_s });
        w.form.Cut1Click();
        w.select({ u"Delta"_s });
        w.form.Copy1Click();
        w.select({ u"News"_s });
        w.form.Paste1Click();
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta Delta) Tools(Deep(Gamma) Delta) Zeta)"_s);
    }

    void priorityChangesTheFocusedNodeOnly()
    {
        Window w;
        w.select({ u"Alpha"_s, u"Beta"_s });
        QSignalSpy changed(w.form.model(), &QAbstractItemModel::dataChanged);
        w.form.Medium1Click();
        QCOMPARE(w.node(u"Alpha"_s)->record.PriorityColor, PriorityMedium);
        QCOMPARE(w.node(u"Beta"_s)->record.PriorityColor, PriorityHigh);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().value<QModelIndex>(), w.index(u"Alpha"_s));

        TreePopupMenu &menu = *w.form.popupMenu();
        w.form.PopupMenuPopup();
        QVERIFY(menu.Medium1->isChecked());
        QVERIFY(!menu.High1->isChecked() && !menu.Low1->isChecked());
        w.form.Low1Click();
        w.form.High1Click();
        QCOMPARE(w.node(u"Alpha"_s)->record.PriorityColor, PriorityHigh);
    }

    void expandAndCollapseAll()
    {
        Window w;
        QTreeView &view = *w.form.VT();
        w.form.Expandall1Click();
        for (const QString &folder : { u"Bookmarks"_s, u"News"_s, u"Tools"_s, u"Deep"_s })
            QVERIFY2(view.isExpanded(w.index(folder)), qPrintable(folder));
        w.form.Collapseall1Click();
        QVERIFY(view.isExpanded(w.index(u"Bookmarks"_s)));
        for (const QString &folder : { u"News"_s, u"Tools"_s, u"Deep"_s })
            QVERIFY2(!view.isExpanded(w.index(folder)), qPrintable(folder));
    }

    void popupOffersWhatTheRulesSay()
    {
        Window w;
        TreePopupMenu &menu = *w.form.popupMenu();
        w.select({ u"News"_s });
        w.form.Copy1Click();
        w.select({}, u"News"_s);
        w.form.PopupMenuPopup();
        for (QAction *item : { menu.Add1, menu.Paste1, menu.Cut1, menu.mDelete, menu.Expandall1 })
            QVERIFY2(!item->isVisible(), qPrintable(item->objectName()));

        w.select({ u"Tools"_s });
        w.form.PopupMenuPopup();
        QVERIFY(menu.Paste1->isVisible() && menu.Paste1->isEnabled());
        QVERIFY(menu.Rename1->isVisible() && menu.Edit1->isVisible() && menu.Priority1->isVisible());
        QVERIFY(!menu.Openwith1->isVisible() && !menu.Checkurl1->isVisible());

        w.select({ u"Alpha"_s, u"Beta"_s });
        w.form.PopupMenuPopup();
        QVERIFY(!menu.Paste1->isEnabled());
        QVERIFY(!menu.Openwith1->isVisible() && !menu.Rename1->isVisible() && !menu.Edit1->isVisible());
        QVERIFY(menu.Cut1->isVisible() && menu.Copy1->isVisible() && menu.mDelete->isVisible());

        // The items run their commands.
        w.select({ u"Zeta"_s });
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        menu.mDelete->trigger();
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta) Tools(Deep(Gamma) Delta))"_s);
    }

    // The tree's Delete key, whatever the modifiers, runs the same command with the same question.
    void deleteKeyAsksTheSameWay()
    {
        Window w;
        w.select({ u"Bookmarks"_s });
        QTest::keyClick(w.form.VT(), Qt::Key_Delete);
        QCOMPARE(w.messages(),
                 QStringList {
                     message(Kind::Information, ApplicationTitle, u"This folder is not to be deleted!"_s) });
        w.fakes.messages->clear();
        w.select({ u"Gamma"_s, u"Delta"_s });
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        QTest::keyClick(w.form.VT(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(w.messages(), QStringList { message(Kind::Question, u"Warning!"_s, u"Delete selected?"_s) });
        QCOMPARE(w.outline(), u"Bookmarks(News(Alpha Beta) Tools(Deep) Zeta)"_s);
    }

    void nothingIsDeletedDuringAnInPlaceEdit()
    {
        Window w;
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        w.form.VT()->expandAll();
        w.select({ u"Alpha"_s });
        w.form.VT()->edit(w.index(u"Alpha"_s));
        QVERIFY(w.form.VT()->isEditing());
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        w.form.mDeleteClick();
        QCOMPARE(w.outline(), Start);
        QVERIFY(w.messages().isEmpty());
    }

    // Closing the editor commits its text to the node, so the window must not free the tree first.
    void closingTheWindowDuringAnInPlaceEdit()
    {
        auto w = std::make_unique<Window>();
        w->form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w->form));
        w->select({ u"Zeta"_s });
        w->form.VT()->edit(w->index(u"Zeta"_s));
        QVERIFY(w->form.VT()->isEditing());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(u"Omega"_s);
        w.reset();
    }

    void shortcutsWorkWithHiddenItems_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F2 on a category")
            << int(Qt::Key_F2) << 0 << u"News"_s << u"editing: News, column 0"_s;
        QTest::newRow("F2 on a bookmark's link")
            << int(Qt::Key_F2) << 0 << u"Zeta/1"_s << u"editing: Zeta, column 1"_s;
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << int(Qt::ControlModifier) << u"Zeta"_s
                                << u"expanded: Bookmarks News Tools Deep"_s;
        QTest::newRow("Ctrl+R") << int(Qt::Key_R) << int(Qt::ControlModifier) << u"Zeta"_s
                                << u"expanded: Bookmarks"_s;
        QTest::newRow("Ins") << int(Qt::Key_Insert) << 0 << u"Zeta"_s << u"window: Add bookmark"_s;
        QTest::newRow("Ctrl+Ins") << int(Qt::Key_Insert) << int(Qt::ControlModifier) << u"Zeta"_s
                                  << u"window: Add category"_s;
        QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << int(Qt::AltModifier) << u"Zeta"_s
                                   << u"window: Edit bookmark"_s;
        QTest::newRow("Alt+Enter on the keypad")
            << int(Qt::Key_Enter) << int(Qt::AltModifier | Qt::KeypadModifier) << u"News"_s
            << u"window: Edit category"_s;
    }
    void shortcutsWorkWithHiddenItems()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QString, expected);

        Window w;
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTreeView &view = *w.form.VT();
        view.expand(w.index(u"Bookmarks"_s));
        view.setFocus();
        QTRY_VERIFY(view.hasFocus());
        // Opened on empty space, the menu hides every command item.
        w.select({}, QString());
        w.form.PopupMenuPopup();
        const QStringList focusAndColumn = focus.split(u'/');
        w.select({ focusAndColumn.first() });
        if (focusAndColumn.size() > 1) {
            view.selectionModel()->setCurrentIndex(
                w.form.model()->indexFromNode(w.node(focusAndColumn.first()), focusAndColumn.last().toInt()),
                QItemSelectionModel::NoUpdate);
        }

        QString seen;
        // The edit dialog runs modally; it is read and closed from the event loop it runs.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&seen] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen = u"window: "_s + modal->windowTitle();
                modal->close();
            }
        });
        closer.start(10);
        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        closer.stop();

        if (seen.isEmpty() && w.form.VT()->isEditing()) {
            seen = u"editing: "_s + w.form.VT()->focusedNode()->record.name() + u", column "_s
                + QString::number(view.currentIndex().column());
        }
        if (seen.isEmpty()) {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (top != &w.form && top->isVisible() && qobject_cast<TfrAddBookmark *>(top))
                    seen = u"window: "_s + top->windowTitle();
            }
        }
        if (seen.isEmpty()) {
            QStringList expanded;
            w.form.tree().forEach([&](BookmarkNode &n) {
                if (n.childCount() > 0 && view.isExpanded(w.form.model()->indexFromNode(&n)))
                    expanded << n.record.name();
            });
            seen = u"expanded: "_s + expanded.join(u' ');
        }
        QCOMPARE(seen, expected);
    }

    void f1OpensTheHelpFile()
    {
        Window w;
        QFile help(w.dir.filePath(u"Help.chm"_s));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        w.form.VT()->setFocus();
        QTRY_VERIFY(w.form.VT()->hasFocus());
        QTest::keyClick(w.form.VT(), Qt::Key_F1);
        const QList<ShellRequest> expected { { ShellRequest::Kind::OpenFile, help.fileName() } };
        QCOMPARE(w.fakes.shell->requests, expected);
    }

    void windowKeysReachTheFocusedControl_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("searches");
        QTest::addColumn<int>("helps");
        QTest::newRow("Ctrl+F") << int(Qt::Key_F) << int(Qt::ControlModifier) << 1 << 0;
        QTest::newRow("Ctrl+Shift+F")
            << int(Qt::Key_F) << int(Qt::ControlModifier | Qt::ShiftModifier) << 1 << 0;
        QTest::newRow("Ctrl+Alt+F") << int(Qt::Key_F) << int(Qt::ControlModifier | Qt::AltModifier) << 1 << 0;
        QTest::newRow("F alone") << int(Qt::Key_F) << 0 << 0 << 0;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 0 << 1;
        QTest::newRow("Shift+Ctrl+F1")
            << int(Qt::Key_F1) << int(Qt::ShiftModifier | Qt::ControlModifier) << 0 << 1;
    }
    void windowKeysReachTheFocusedControl()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, searches);
        QFETCH(int, helps);

        Window w;
        auto *edit = new QLineEdit(w.form.centralWidget());
        w.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QSignalSpy search(w.form.windowKeys(), &WindowKeys::searchRequested);
        QSignalSpy help(w.form.windowKeys(), &WindowKeys::helpRequested);
        // Ctrl+F opens the modal search window: close it as soon as it runs.
        QTimer closeSearch;
        connect(&closeSearch, &QTimer::timeout, [&w] {
            if (w.form.frSearch)
                w.form.frSearch->reject();
        });
        closeSearch.start(0);

        struct KeyCounter : QObject
        {
            int key = 0;
            int presses = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                presses += event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == key;
                return false;
            }
        };
        for (QWidget *control : { static_cast<QWidget *>(w.form.VT()), static_cast<QWidget *>(edit) }) {
            control->setFocus();
            QTRY_VERIFY(control->hasFocus());
            KeyCounter counter;
            counter.key = key;
            control->installEventFilter(&counter);
            search.clear();
            help.clear();
            QTest::keyClick(control, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            control->removeEventFilter(&counter);
            QCOMPARE(search.size(), searches);
            QCOMPARE(help.size(), helps);
            QCOMPARE(counter.presses, 1);
        }

        // The search windows the keys asked for open and close before another window takes the keys.
        QCoreApplication::processEvents();
        QVERIFY(!w.form.frSearch);
        closeSearch.stop();

        // A control of another window is not the main window's.
        QLineEdit elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        search.clear();
        help.clear();
        QTest::keyClick(&elsewhere, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(search.size() + help.size(), 0);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
