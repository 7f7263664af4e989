#pragma once

#include "main/core/bookmarktree.h"
#include "main/dialogs/bookmarktreeeditor.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace vellumite {

class BalloonHint;

// What an add prepares the dialog for. A filled bookmark is one whose fields the caller (the capture
// or a drop) sets right after the dialog is shown.
enum class AddKind : quint8 { Category = 0, Bookmark = 1, FilledBookmark = 2 };

// The dialog that adds a category or a bookmark to the tree, or edits the focused one. Which page is
// active decides the kind of node; the mode decides between adding and editing.
class TfrAddBookmark final : public QDialog
{
    Q_OBJECT

public:
    // The mode, as the OK button's tag keeps it.
    enum Mode { AddMode = 0, EditMode = 1 };

    explicit TfrAddBookmark(BookmarkTreeEditor &tree, QWidget *parent = nullptr);
    ~TfrAddBookmark() override;

    Mode mode() const { return m_mode; }
    bool isCategoryPage() const;

    void prepareAdd(AddKind kind);
    // Shows `record` for editing; a priority none of the three leaves the list without a choice, so
    // OK keeps it.
    void prepareEdit(const TBookmark &record);

    // The balloons go through `balloon` from now on (the dialog keeps owning its own).
    void setBalloonHint(BalloonHint *balloon);

    // Validates the page, then adds or updates the node and closes.
    void OKButtonClick();
    void CloseButtonClick();

    // The controls, named as the window's design names them.
    QStackedWidget *PageControl1;
    QWidget *TabSheet1;
    QLineEdit *CategName;
    QPlainTextEdit *ComentDirect;
    QLabel *lbCatPrior;
    QComboBox *ParentBox;
    QWidget *TabSheet2;
    QLineEdit *DescrEdit;
    QLineEdit *LinkEdit;
    QPlainTextEdit *CommentText;
    QLabel *lbBookPrior;
    QComboBox *ParentBox1;
    QPushButton *OKButton;
    QPushButton *CloseButton;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void TntFormShow();
    bool TntFormKeyDown(QKeyEvent *event);
    bool CategNameKeyDown(QKeyEvent *event);
    bool ComentDirectKeyDown(QKeyEvent *event);
    bool DescrEditKeyDown(QKeyEvent *event);
    bool LinkEditKeyDown(QKeyEvent *event);
    bool CommentTextKeyDown(QKeyEvent *event);

    bool validatePage();
    void warnAt(QWidget *field, const QString &text);
    void fillRecord(TBookmark &record) const;
    void setMode(Mode mode, const QString &caption, QWidget *page);

    BookmarkTreeEditor &m_tree;
    Mode m_mode = AddMode;
    std::unique_ptr<BalloonHint> m_ownBalloon;
    BalloonHint *hBallon;
};

// The two uses of the dialog, each with its own instance: the add dialog is modeless, made when first
// needed and only hidden between uses, so a capture can fill it while the user keeps working; the edit
// dialog is modal and freed after its run. Sharing one object would let a capture wipe an edit in
// progress and turn its OK into an add.
class AddBookmarkDialogs
{
public:
    AddBookmarkDialogs(QWidget *mainWindow, BookmarkTreeEditor &tree);
    ~AddBookmarkDialogs();

    // Prepares the add dialog and shows it (or brings it to the front). Returns it so that a capture
    // or a drop can fill its fields; nullptr while the tree is busy.
    TfrAddBookmark *AddBookmarkCategory(AddKind kind);
    // Edits the focused node in a modal run; the root category and an empty focus are left alone.
    void Edit1Click();
    // The edit dialog prepared for the focused node and not yet run, or nullptr when there is nothing
    // to edit. Edit1Click runs it.
    std::unique_ptr<TfrAddBookmark> prepareEditDialog();

    TfrAddBookmark *addDialog() const;

private:
    QWidget *m_mainWindow;
    BookmarkTreeEditor &m_tree;
    QPointer<TfrAddBookmark> m_addDialog;
};

} // namespace vellumite
