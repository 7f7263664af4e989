#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace vellumite {

// A status bar of numbered text panels with fixed widths; the last panel takes what is left.
class StatusBar : public QFrame
{
    Q_OBJECT

public:
    struct Panel
    {
        int width;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        bool bevel = true;
    };

    StatusBar(const QList<Panel> &panels, QWidget *parent = nullptr);

    int panelCount() const { return static_cast<int>(m_labels.size()); }
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    int panelWidth(int panel) const;
    void setPanelWidth(int panel, int width);

signals:
    void resized();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutPanels();

    QList<QLabel *> m_labels;
    QList<int> m_widths;
};

} // namespace vellumite
