#pragma once

#include <QImage>
#include <QPointer>
#include <QRectF>
#include "dvd/ui/DVDMenuEditViewHighlightView.h"

#include <QWidget>

#include <functional>
#include <memory>

class DVDMenuEditObject;
class DVDMenuItemEditObject;

// The DVD menu as it will look on the disc, in menu coordinates scaled to the widget: a click
// picks the title text or the button (the title first where they overlap) and a drag moves
// it, kept on the menu. It owns the menu model that the DVD tab and the editor share.
class DVDMenuEditView : public QWidget
{
    Q_OBJECT
public:
    explicit DVDMenuEditView(QWidget *parent = nullptr);

    const std::shared_ptr<DVDMenuEditObject> &menuObject() const { return m_menuObject; }
    const std::shared_ptr<DVDMenuItemEditObject> &currentEditItem() const { return m_currentEditItem; }
    DVDMenuEditViewHighlightView *highlightView() const { return m_highlightView; }
    // Told once per click on the canvas, after the pick is stored.
    void setDelegate(std::function<void()> selectedEditItemDidChanged) { m_delegate = std::move(selectedEditItemDidChanged); }

    // The outline over the canvas's container; call once the canvas has its container.
    void attachHighlightView();
    // Rebuilds both display pictures (at the next paint), their shadows and rectangles,
    // redraws, moves the outline.
    void loadDVDDisplayCache();
    // Only the rectangles (a move does not change the pictures).
    void loadDVDDisplayCacheRect();
    void updateHighlightViewRect();

    QRectF dvdTextImageCacheRect() const { return m_dvdTextImageCacheRect; }
    QRectF dvdItemImageCacheRect() const { return m_dvdItemImageCacheRect; }
    // A menu rectangle (y up) in this widget's coordinates.
    QRectF widgetRectOf(const QRectF &menuRect) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointF p_menuPoint(QPointF widgetPoint) const;
    void p_loadDisplayPictures();
    bool p_isBackgroundCacheCurrent() const;
    void p_loadBackgroundCache();

    std::shared_ptr<DVDMenuEditObject> m_menuObject;
    std::shared_ptr<DVDMenuItemEditObject> m_currentEditItem;
    QPointer<DVDMenuEditViewHighlightView> m_highlightView;
    std::function<void()> m_delegate;
    // Black under the background picture, at this widget's size; made from that picture
    // (its cache key) on a menu of that size.
    QImage m_backgroundCache;
    qint64 m_backgroundCachePicture = 0;
    QSizeF m_backgroundCacheMenuSize;
    bool m_displayPicturesStale = true;
    QImage m_dvdTextImageCache;
    QImage m_dvdTextShadowCache;
    QRectF m_dvdTextImageCacheRect;
    QImage m_dvdItemImageCache;
    QImage m_dvdItemShadowCache;
    QRectF m_dvdItemImageCacheRect;
    bool m_dragging = false;
    QPointF m_grab;
};
