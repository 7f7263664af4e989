// The main window's side of the import and export dialog.

#include "controls/RzBmpBtn.h"
#include "exchange/core/exchangestores.h"
#include "exchange/dialog/exchangeprogram.h"
#include "exchange/dialog/tfrimportexport.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"
#include "platform/messageservice.h"
#include "platform/platformservices.h"

namespace vellumite {

// The tree and the message boxes of the main window, as the exchange dialog sees them.
class MainWindowExchange final : public ExchangeProgram
{
public:
    explicit MainWindowExchange(TForm1 &window)
        : m_window(window)
    { }

    BookmarkNode *rootCategory() override { return m_window.tree().firstNode(); }
    qint32 browserCode() const override { return m_window.browserPaths().DefaultBrowser.Tag; }
    void setExchangeRunning(bool running) override { m_window.setTreeBusy(running); }

    void emptyRootCategory() override
    {
        BookmarkNode *root = rootCategory();
        if (!root)
            return;
        std::vector<BookmarkNode *> children;
        children.reserve(size_t(root->childCount()));
        for (int row = 0; row < root->childCount(); ++row)
            children.push_back(root->child(row));
        m_window.model()->removeNodes(children);
    }

    void applyMerge(MergePlan plan) override
    {
        std::vector<BookmarkModel::FolderInsertion> insertions;
        insertions.reserve(plan.size());
        for (MergeInsertion &insertion : plan)
            insertions.push_back({ insertion.parent, std::move(insertion.nodes) });
        m_window.model()->appendToFolders(std::move(insertions));
    }

    void importStoreFinished() override
    {
        m_window.UpdateTreeCounts();
        if (BookmarkNode *root = rootCategory())
            m_window.VT()->expand(m_window.model()->indexFromNode(root));
    }

    void showMessage(const QString &text) override
    {
        m_window.messages().information(ApplicationTitle, text);
    }
    void showError(const QString &text) override { m_window.messages().error(ApplicationTitle, text); }

private:
    TForm1 &m_window;
};

void TForm1::createExchangeCommands()
{
    connect(ToolBarImport, &TRzBmpButton::clicked, this, &TForm1::ToolBarImportClick);
    connect(ToolBarExport, &TRzBmpButton::clicked, this, &TForm1::ToolBarExportClick);
}

void TForm1::ToolBarImportClick()
{
    showImportExport(0);
}

void TForm1::ToolBarExportClick()
{
    showImportExport(1);
}

void TForm1::showImportExport(int mode)
{
    if (!m_services || frImportExport || isTreeBusy())
        return;
    MainWindowExchange program(*this);
    const BrowserPaths paths = m_browserPaths;
    TfrImportExport dialog(
        paths, *m_services->productVersions, program,
        [paths](StoreFormat format) { return makeExchangeStore(format, paths); }, this);
    frImportExport = &dialog;
    const auto forget = qScopeGuard([this] { frImportExport = nullptr; });
    dialog.Tag = mode;
    dialog.exec();
}

} // namespace vellumite
