#pragma once

#include "main/core/bookmarksearch.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeView;

namespace vellumite {

class MessageService;
class SearchResultModel;
class TForm1;
class TRzBackground;
class TRzBmpButton;

// The modal search and duplicates window over the main window. Its rows keep their bookmark's
// identity, so "Delete" and "Select in a program" reach that very bookmark or, once it is gone, nothing.
class TfrSearch : public QDialog
{
    Q_OBJECT

public:
    TfrSearch(TForm1 &form, MessageService &messages, QWidget *parent = nullptr);
    ~TfrSearch() override;

    QLabel *lbSearch = nullptr;
    QLineEdit *EdSearch = nullptr;
    QGroupBox *TntGroupBox1 = nullptr;
    QRadioButton *rbDescrLinks = nullptr;
    QRadioButton *RbDescription = nullptr;
    QRadioButton *RbLink = nullptr;
    QRadioButton *RbDublicates = nullptr;
    TRzBmpButton *BtnFind = nullptr;
    QTreeView *VTDubl = nullptr;
    TRzBackground *RzBackground2 = nullptr;
    TRzBackground *RzBackground1 = nullptr;
    QLabel *LbSelected = nullptr;
    TRzBmpButton *btPreview = nullptr;
    TRzBmpButton *btDelete = nullptr;

    SearchResultModel *results() const { return m_results; }
    SearchMode mode() const;

    void rbDescrLinksClick();
    void RbDescriptionClick();
    void RbLinkClick();
    void RbDublicatesClick();
    void EdSearchChange();
    void BtnFindClick();
    void btDeleteClick();
    void btPreviewClick();
    void VTDublHeaderClick(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createLeftColumn();
    void createList();
    QWidget *createBottomBar();
    TRzBmpButton *createButton(const QString &name, const QString &caption, bool bold, QWidget *parent);
    void setMode(SearchMode mode);
    void restoreMode();
    void enableTextModes();
    void FindAllLinks(SearchMode mode);
    void FintAndSortDubl();
    void showRows(std::vector<SearchResult> rows);
    // The live bookmarks of the selected rows, in list order.
    std::vector<BookmarkNode *> selectedBookmarks() const;
    void VTDublSelectionChanged();

    TForm1 &m_form;
    MessageService &m_messages;
    SearchResultModel *m_results = nullptr;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace vellumite
