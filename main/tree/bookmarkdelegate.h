#pragma once

#include <QStyledItemDelegate>

namespace vellumite {

class ImageList;

// Paints the cells of the bookmark tree: the text colours of the priorities and the link column, the
// selection, the grid lines and the link-state icon; shows each cell's hint as plain text.
class BookmarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The row height the bookmark file records for every node.
    static constexpr int RowHeight = 18;

    BookmarkDelegate(const ImageList &images, QObject *parent = nullptr);

    // Top-left corner of a square icon of `size` centred in `cell`; halves are truncated toward zero.
    static QPoint centredIconPosition(const QRect &cell, int size);
    // A hint as tooltip markup that shows exactly its text: nothing in it is taken for markup, and each
    // line break (LF CR, CR LF, a lone CR or LF) starts a new line.
    static QString hintAsToolTip(const QString &hint);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    const ImageList &m_images;
};

} // namespace vellumite
