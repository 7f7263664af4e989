#pragma once

#include <QStyledItemDelegate>

namespace vellumite {

class ImageList;

// Paints the cells of the bookmark tree: the text colours of the priorities and the link column, the
// selection, the grid lines and the link-state icon; shows each cell's hint as plain text. The link
// column shows its bidirectional controls as codes, so a link cannot pass for another.
class BookmarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The row height the bookmark file records for every node.
    static constexpr int RowHeight = 18;

    BookmarkDelegate(const ImageList &images, QObject *parent = nullptr);

    // Top-left corner of a square icon of `size` centred in `cell`; halves are truncated toward zero.
    static QPoint centredIconPosition(const QRect &cell, int size);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The in-place editor, which takes a name or link of any length.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    const ImageList &m_images;
};

} // namespace vellumite
