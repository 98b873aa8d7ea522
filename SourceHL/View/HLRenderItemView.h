#pragma once

#include "SourceHL/View/UIHashableProtocol.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QMouseEvent;

// The thumbnail cell of one photo or clip on the strip (and of a transition inside its
// tile). It takes the 80-point slot of its cell and draws the 75-point picture frame inset
// in it. It only remembers whether it is chosen; every mouse event goes to its controller.
class HLRenderItemView : public QWidget, public UIHashableProtocol
{
    Q_OBJECT
public:
    using MouseBlock = std::function<void(HLRenderItemView *view, QMouseEvent *event)>;

    // Nothing for an empty identifier.
    static HLRenderItemView *renderItemViewOf(const QString &identifier);

    // The thumbnail cut to a square; a clip's mask laid along the top and the bottom.
    void updateThumb(const QImage &thumb, const QImage &mask);
    void setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up);

    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    QString strID() const { return m_strID; }
    const QImage &imgThumb() const { return m_imgThumb; }
    QString UIHashID() const override { return m_strID; }

    static constexpr double kThumbSide = 75;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    explicit HLRenderItemView(const QString &identifier);

    bool m_bIsChosen = false;
    QString m_strID;
    QImage m_imgThumb;
    MouseBlock m_blkDown;
    MouseBlock m_blkDrag;
    MouseBlock m_blkUp;
};
