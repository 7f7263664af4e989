#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace vellumite {

enum class BalloonIcon { Warning };

// A balloon that points at a control and tells what is wrong with its input. Windows use it through
// this interface, so tests can see which balloon was asked for.
class BalloonHint
{
public:
    virtual ~BalloonHint() = default;
    // Shows one balloon with its tail at `point` of `anchor` (the anchor's own coordinates), replacing
    // a balloon already shown.
    virtual void showBalloon(QWidget *anchor, QPoint point, BalloonIcon icon, const QString &title,
                             const QString &text, int preferredWidth)
        = 0;
    virtual void hideBalloon() = 0;
};

// The balloon drawn by the program: a tool-tip-like window with an icon, a bold title and the text,
// shown without animation. It goes away when clicked, after a while, when the user types into the
// anchor or when the anchor's window is hidden or moved.
class BalloonHintWidget final : public QWidget, public BalloonHint
{
    Q_OBJECT

public:
    explicit BalloonHintWidget(QWidget *parent = nullptr);

    void showBalloon(QWidget *anchor, QPoint point, BalloonIcon icon, const QString &title,
                     const QString &text, int preferredWidth) override;
    void hideBalloon() override;

    QString title() const { return m_title; }
    QString text() const { return m_text; }
    // The global point the tail's tip touches.
    QPoint tipPosition() const { return m_tip; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut(int preferredWidth);
    void watchAnchor(QWidget *anchor);
    QPainterPath outline() const;

    QPointer<QWidget> m_anchor;
    QPointer<QWidget> m_anchorWindow;
    QString m_title;
    QString m_text;
    BalloonIcon m_icon = BalloonIcon::Warning;
    QPoint m_tip;
    bool m_tailOnTop = true;
    int m_tailX = 0;
    QRect m_iconRect;
    QRect m_titleRect;
    QRect m_textRect;
    QTimer m_hideTimer;
};

} // namespace vellumite
