#include "dvd/ui/DVDMenuEditView.h"

#include "dvd/DVDMenuCanvasGeometry.h"
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/ui/DVDMenuEditViewHighlightView.h"

#include <QMouseEvent>
#include <QPainter>

DVDMenuEditView::DVDMenuEditView(QWidget *parent)
    : QWidget(parent), m_menuObject(std::make_shared<DVDMenuEditObject>())
{
    setFocusPolicy(Qt::ClickFocus);
}

void DVDMenuEditView::attachHighlightView()
{
    QWidget *container = parentWidget();
    if (!container || m_highlightView)
        return;
    m_highlightView = new DVDMenuEditViewHighlightView(container);
    m_highlightView->setGeometry(container->rect());
    m_highlightView->raise();
    m_highlightView->show();
}

void DVDMenuEditView::loadDVDDisplayCache()
{
    // The pictures are made at the next paint: one edit of the panes often asks several times.
    m_displayPicturesStale = true;
    loadDVDDisplayCacheRect();
    update();
    updateHighlightViewRect();
}

void DVDMenuEditView::p_loadDisplayPictures()
{
    m_dvdTextImageCache = m_menuObject->dvdText->getNewDisplayImage();
    m_dvdItemImageCache = m_menuObject->dvdItem->getNewDisplayImage();
    m_dvdTextShadowCache = m_menuObject->dvdText->getShadowImage(m_dvdTextImageCache);
    m_dvdItemShadowCache = m_menuObject->dvdItem->getShadowImage(m_dvdItemImageCache);
    m_displayPicturesStale = false;
}

void DVDMenuEditView::loadDVDDisplayCacheRect()
{
    m_dvdTextImageCacheRect = m_menuObject->dvdText->getRealDisplayRect();
    m_dvdItemImageCacheRect = m_menuObject->dvdItem->getRealDisplayRect();
}

QRectF DVDMenuEditView::widgetRectOf(const QRectF &menuRect) const
{
    return DVDMenuCanvasGeometry::widgetRect(menuRect, QSizeF(size()), m_menuObject->menuSize);
}

void DVDMenuEditView::updateHighlightViewRect()
{
    if (!m_highlightView)
        return;
    QRectF rect;
    if (m_currentEditItem) {
        const QRectF own = widgetRectOf(m_currentEditItem->getRealDisplayRect());
        rect = own.translated(QPointF(mapTo(m_highlightView->parentWidget(), QPoint(0, 0))) -
                              QPointF(m_highlightView->pos()));
    }
    m_highlightView->updateHighlightRect(rect);
}

QPointF DVDMenuEditView::p_menuPoint(QPointF widgetPoint) const
{
    return DVDMenuCanvasGeometry::menuPoint(widgetPoint, QSizeF(size()), m_menuObject->menuSize);
}

bool DVDMenuEditView::p_isBackgroundCacheCurrent() const
{
    return m_backgroundCache.devicePixelRatio() == devicePixelRatioF() &&
           m_backgroundCache.size() == size() * devicePixelRatioF() &&
           m_backgroundCachePicture == m_menuObject->bgImage.cacheKey() &&
           m_backgroundCacheMenuSize == m_menuObject->menuSize;
}

void DVDMenuEditView::p_loadBackgroundCache()
{
    m_backgroundCachePicture = m_menuObject->bgImage.cacheKey();
    m_backgroundCacheMenuSize = m_menuObject->menuSize;
    const qreal ratio = devicePixelRatioF();
    m_backgroundCache = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    m_backgroundCache.setDevicePixelRatio(ratio);
    m_backgroundCache.fill(Qt::black);
    if (m_backgroundCache.isNull() || m_menuObject->menuSize.isEmpty() || m_menuObject->bgImage.isNull())
        return;
    QPainter painter(&m_backgroundCache);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(rect()), m_menuObject->bgImage, m_menuObject->getBgImageSourceRect());
}

void DVDMenuEditView::paintEvent(QPaintEvent *)
{
    // The background may be a whole photo: it is scaled once per picture and size, not on
    // every repaint of a drag.
    if (!p_isBackgroundCacheCurrent())
        p_loadBackgroundCache();
    if (m_displayPicturesStale)
        p_loadDisplayPictures();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_backgroundCache);
    const QSizeF menu = m_menuObject->menuSize;
    if (menu.isEmpty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(width() / menu.width(), height() / menu.height());
    if (m_menuObject->addText) {
        // Its own state, so the title's shadow never reaches the button.
        painter.save();
        m_menuObject->dvdText->drawInMenu(painter, menu.height(), m_dvdTextImageCache, m_dvdTextShadowCache,
                                          m_dvdTextImageCacheRect);
        painter.restore();
    }
    m_menuObject->dvdItem->drawInMenu(painter, menu.height(), m_dvdItemImageCache, m_dvdItemShadowCache,
                                      m_dvdItemImageCacheRect);
}

void DVDMenuEditView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPointF p = p_menuPoint(event->position());
    switch (DVDMenuCanvasGeometry::hitTest(p, m_dvdTextImageCacheRect, m_dvdItemImageCacheRect)) {
    case DVDMenuCanvasGeometry::Pick::Text:
        m_currentEditItem = m_menuObject->dvdText;
        break;
    case DVDMenuCanvasGeometry::Pick::Item:
        m_currentEditItem = m_menuObject->dvdItem;
        break;
    case DVDMenuCanvasGeometry::Pick::None:
        m_currentEditItem.reset();
        break;
    }
    if (m_delegate)
        m_delegate();
    updateHighlightViewRect();
    m_dragging = m_currentEditItem != nullptr;
    if (m_dragging)
        m_grab = m_currentEditItem->frame.center() - p;
}

void DVDMenuEditView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !m_currentEditItem || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    const QSizeF shown = m_currentEditItem->getRealDisplayRect().size();
    m_currentEditItem->frame = DVDMenuCanvasGeometry::dragFrame(m_currentEditItem->frame, shown, m_grab,
                                                                p_menuPoint(event->position()), m_menuObject->menuSize);
    loadDVDDisplayCacheRect();
    updateHighlightViewRect();
    update();
}

void DVDMenuEditView::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
