#pragma once

#include <QHeaderView>

namespace vellumite {

// A header whose sort glyph points up while its column sorts ascending, as users of the program know it
// from the bookmark tree; Qt's own glyph points the other way. Every sorted list of the program uses it.
class SortGlyphHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    explicit SortGlyphHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
};

} // namespace vellumite
