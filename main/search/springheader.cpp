#include "main/search/springheader.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QResizeEvent>

namespace vellumite {

SpringHeader::SpringHeader(QHeaderView *header)
    : QObject(header)
    , m_header(header)
{
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    if (auto *view = qobject_cast<QAbstractItemView *>(m_header->parentWidget()))
        view->viewport()->installEventFilter(this);
}

bool SpringHeader::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        const auto *resize = static_cast<const QResizeEvent *>(event);
        // The first layout has no former width to compare with: the designed widths stand.
        if (resize->oldSize().width() > 0)
            spread(resize->size().width() - resize->oldSize().width());
    }
    return QObject::eventFilter(watched, event);
}

void SpringHeader::spread(int difference)
{
    const int total = m_header->length();
    if (difference == 0 || total <= 0)
        return;
    int lastVisible = m_header->count() - 1;
    while (lastVisible >= 0 && m_header->isSectionHidden(lastVisible))
        --lastVisible;
    int given = 0;
    for (int section = 0; section < m_header->count(); ++section) {
        if (m_header->isSectionHidden(section))
            continue;
        const int size = m_header->sectionSize(section);
        // The last column takes what rounding left over, so the sum follows the list exactly.
        const int share = section == lastVisible
            ? difference - given
            : static_cast<int>(static_cast<qint64>(difference) * size / total);
        given += share;
        m_header->resizeSection(section, qMax(m_header->minimumSectionSize(), size + share));
    }
}

} // namespace vellumite
