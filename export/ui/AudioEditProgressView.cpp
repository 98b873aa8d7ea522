#include "export/ui/AudioEditProgressView.h"

#include "widgets/HLNamedImage.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

AudioEditProgressView::AudioEditProgressView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void AudioEditProgressView::setIsAddTrim(bool add)
{
    m_isAddTrim = add;
    update();
}

void AudioEditProgressView::setProgress(qint64 progress)
{
    m_progress = progress;
    updateProgress();
}

void AudioEditProgressView::setDuration(qint64 duration)
{
    m_duration = duration;
    update();
}

void AudioEditProgressView::setTrimStart(qint64 start)
{
    m_trimStart = start;
    update();
}

void AudioEditProgressView::setTrimStop(qint64 stop)
{
    m_trimStop = stop;
    update();
}

void AudioEditProgressView::updateProgress()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
        return;
    }
    update();
}

QRectF AudioEditProgressView::p_flipped(const QRectF &rect) const
{
    return {rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height()};
}

void AudioEditProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const AudioEditProgressGeometry g = geometry();
    const qreal ratio = devicePixelRatioF();
    auto draw = [&](const QString &name, const QRectF &rect) {
        const QPixmap image = HLNamedImage::pixmap(name, ratio);
        if (!image.isNull())
            painter.drawPixmap(p_flipped(rect), image, QRectF(QPointF(0, 0), image.size()));
    };
    draw(QStringLiteral("TimelineBack"), g.progressRect());
    // Positions divide by the clip's length: without one there is nothing to place.
    if (!g.hasLength())
        return;
    draw(QStringLiteral("PlayBtn1"), g.rectForProgressBtn(m_progress));
    if (!m_isAddTrim)
        return;
    draw(QStringLiteral("TrimLeft2"), g.rectForTrimLeftBtn(m_trimStart));
    draw(QStringLiteral("TrimRight2"), g.rectForTrimRightBtn(m_trimStop));
    const QPixmap chosen = HLNamedImage::pixmap(QStringLiteral("ChoosenBack"), ratio);
    if (!chosen.isNull()) {
        painter.save();
        QPainterPath clip;
        clip.addRoundedRect(p_flipped(g.progressRect()), 3, 3);
        painter.setClipPath(clip);
        const qreal r = chosen.devicePixelRatio();
        painter.drawPixmap(p_flipped(g.rectForTrimTimeBack(m_trimStart, m_trimStop)), chosen,
                           QRectF(35 * r, 0, 155 * r, 6 * r));
        painter.restore();
    }
}

void AudioEditProgressView::mousePressEvent(QMouseEvent *event)
{
    const AudioEditProgressGeometry g = geometry();
    if (event->button() != Qt::LeftButton || !g.hasLength()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF at(event->position().x(), height() - event->position().y());
    if (g.rectForProgressBtn(m_progress).contains(at)) {
        m_drag = Drag::Progress;
    } else if (g.rectForTrimRightBtn(m_trimStop).contains(at)) {
        m_drag = Drag::TrimRight;
    } else if (g.rectForTrimLeftBtn(m_trimStart).contains(at)) {
        m_drag = Drag::TrimLeft;
    } else if (g.progressRect().adjusted(0, -2, 0, 2).contains(at)) {
        if (m_seekPlayerToTime)
            m_seekPlayerToTime(g.pointXToTime(at.x()));
    } else {
        QWidget::mousePressEvent(event);
    }
}

void AudioEditProgressView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    p_dragTo(event->position().x());
}

void AudioEditProgressView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None)
        QWidget::mouseReleaseEvent(event);
    m_drag = Drag::None;
}

void AudioEditProgressView::p_dragTo(double x)
{
    const AudioEditProgressGeometry g = geometry();
    const double t = g.pointXToTime(x);
    switch (m_drag) {
    case Drag::Progress:
        if (m_seekPlayerToTime)
            m_seekPlayerToTime(t);
        break;
    case Drag::TrimLeft: {
        m_trimStart = AudioEditProgressGeometry::dragTrimStart(t, m_trimStop, m_minTrimTime);
        if (m_trimDidUpdate)
            m_trimDidUpdate();
        if (m_pausePlayerToTime)
            m_pausePlayerToTime(double(m_trimStart));
        break;
    }
    case Drag::TrimRight: {
        m_trimStop = AudioEditProgressGeometry::dragTrimStop(t, m_trimStart, m_minTrimTime, m_duration);
        if (m_trimDidUpdate)
            m_trimDidUpdate();
        if (m_pausePlayerToTime)
            m_pausePlayerToTime(double(m_trimStop));
        break;
    }
    case Drag::None:
        break;
    }
    updateProgress();
}
