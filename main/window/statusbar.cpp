#include "main/window/statusbar.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

namespace vellumite {

StatusBar::StatusBar(const QList<Panel> &panels, QWidget *parent)
    : QFrame(parent)
{
    for (const Panel &panel : panels) {
        auto *label = new QLabel(this);
        label->setAlignment(panel.alignment);
        label->setFrameShape(panel.bevel ? QFrame::Panel : QFrame::NoFrame);
        label->setFrameShadow(QFrame::Sunken);
        label->setMargin(1);
        label->setTextFormat(Qt::PlainText);
        m_labels.append(label);
        m_widths.append(panel.width);
    }
    layoutPanels();
}

QString StatusBar::panelText(int panel) const
{
    return m_labels.value(panel) ? m_labels[panel]->text() : QString();
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (QLabel *label = m_labels.value(panel))
        label->setText(text);
}

int StatusBar::panelWidth(int panel) const
{
    return m_widths.value(panel);
}

void StatusBar::setPanelWidth(int panel, int width)
{
    if (panel < 0 || panel >= m_widths.size())
        return;
    m_widths[panel] = std::max(0, width);
    layoutPanels();
}

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit resized();
    layoutPanels();
}

void StatusBar::layoutPanels()
{
    int x = 0;
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        const bool last = i == m_labels.size() - 1;
        const int w = last ? std::max(m_widths[i], width() - x) : m_widths[i];
        m_labels[i]->setGeometry(x, 0, w, height());
        x += w;
    }
}

} // namespace vellumite
