#include "SourceHL/View/HLAudioItemView.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/View/HLStripPainting.h"
#include "widgets/HLNamedImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor kFill = QColor::fromRgbF(0.0541566f, 0.397207f, 0.487197f, 1.0f);
const QColor kLine = QColor::fromRgbF(0.03f, 0.03f, 0.03f, 1.0f);

QPainterPath rounded(const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, 3, 3);
    return path;
}

} // namespace

HLAudioItemView *HLAudioItemView::audioItemViewOf(const QString &auid, const QString &name, QWidget *parent)
{
    if (auid.isEmpty() || name.isNull())
        return nullptr;
    return new HLAudioItemView(auid, name, parent);
}

HLAudioItemView::HLAudioItemView(const QString &auid, const QString &name, QWidget *parent)
    : QWidget(parent), m_strID(auid), m_strName(name)
{
    setObjectName(QStringLiteral("HLAudioItemView"));
}

QString HLAudioItemView::sharedInfoReapt()
{
    static const QString text = tr("Loop play all audios");
    return text;
}

void HLAudioItemView::updateStart(float start, float stop)
{
    HL_ASSERT(start >= 0 && stop >= start, "wrong paras");
    const QString from = HLInformationTitle::itMakeDigitalTitleTime(4, start);
    const QString to = HLInformationTitle::itMakeDigitalTitleTime(4, stop);
    const QString length = HLInformationTitle::itMakeDigitalTitleTime(4, stop - start);
    m_strTitle = QStringLiteral("%1  %2").arg(m_strName, length);
    m_strInfo = QStringLiteral("{%1 -- %2}").arg(from, to);
    update();
}

void HLAudioItemView::setEnType(qint64 type)
{
    m_enType = type;
    update();
}

QString HLAudioItemView::shownInfo() const
{
    return m_enType == 1 ? m_strInfo : sharedInfoReapt();
}

void HLAudioItemView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLAudioItemView::setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up)
{
    m_blkDown = std::move(down);
    m_blkDrag = std::move(drag);
    m_blkUp = std::move(up);
}

void HLAudioItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Measured y-up as the cell is drawn; flipped once here (the cell is symmetric about its
    // middle except for which caption is on top).
    const QRectF r = QRectF(rect()).adjusted(1, 0, -1, 0);
    const double h = r.height();
    const double m = std::trunc(r.center().y()) + 0.5;
    const double half = h / 2;
    const double s = std::trunc(r.left() + 30) + 0.5; // the head's right edge

    painter.fillPath(rounded(r), kFill);
    painter.drawPixmap(QRectF(r.left() + 1, h - m - 14, 28, 28),
                       HLNamedImage::pixmap(QStringLiteral("AudioHead"), devicePixelRatioF()), QRectF());

    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const double textHeight = painter.fontMetrics().height();
    painter.save();
    painter.setClipPath(rounded(r));
    const auto caption = [&](const QString &text, double yUp) {
        const QRectF box(s + 6, h - yUp - textHeight, 1e6, textHeight);
        painter.setPen(QColor(0, 0, 0, 200)); // shadow, half a point right and down
        painter.drawText(box.translated(0.5, 0.5), Qt::AlignLeft | Qt::AlignVCenter, text);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    caption(m_strTitle, m + (half - textHeight) / 2);
    caption(shownInfo(), (half - textHeight) / 2);
    painter.restore();

    painter.setPen(QPen(kLine, 1));
    painter.drawLine(QPointF(s, 0), QPointF(s, h));
    painter.drawLine(QPointF(s, h - m), QPointF(r.right(), h - m));
    painter.drawPath(rounded(r.adjusted(0.5, 0.5, -0.5, -0.5)));
    if (m_bIsChosen)
        HLStripPainting::drawChosen(painter, r, 3);
}

void HLAudioItemView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_blkDown)
        m_blkDown(this, event);
}

void HLAudioItemView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void HLAudioItemView::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && m_blkDrag)
        m_blkDrag(this, event);
}

void HLAudioItemView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_blkUp)
        m_blkUp(this, event);
}
