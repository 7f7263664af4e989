#pragma once

#include "main/core/linkverification.h"

namespace vellumite {

class BookmarkModel;
class TForm1;

// Tells `checks` of every removal and reset of the main tree's model, those made in one layout change
// included.
void watchBookmarkModel(LinkVerification &checks, const BookmarkModel &model);

// The main window's side of link verification: repaints, the menu, deletions through the model.
class TForm1LinkCheckHost final : public LinkVerificationHost
{
public:
    explicit TForm1LinkCheckHost(TForm1 &form)
        : m_form(form)
    { }

    void linkStateChanged(BookmarkNode &node) override;
    void allLinkStatesChanged() override;
    void verificationMenuChanged(VerificationMenuState state) override;
    bool isTreeBusy() const override;
    void deleteNodes(const std::vector<BookmarkNode *> &nodes) override;
    void UpdateTreeCounts() override;
    void showFailure(const QString &message) override;

private:
    TForm1 &m_form;
};

} // namespace vellumite
