#pragma once

#include <QObject>

class QHeaderView;

namespace vellumite {

// Spring sizing for a list's header: when the list grows or shrinks, each visible column takes a share
// of the difference in proportion to its width, so the columns keep filling the list while the user
// can still resize them one by one.
class SpringHeader : public QObject
{
    Q_OBJECT

public:
    // Follows the width of `header`'s view; the header stays resizable and owned by its view.
    explicit SpringHeader(QHeaderView *header);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void spread(int difference);

    QHeaderView *m_header;
};

} // namespace vellumite
