#include "SourceHL/View/HLTextItemView.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/View/HLStripPainting.h"
#include "widgets/HLNamedImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kHeadWidth = 30;
constexpr double kHeadImageSide = 28;
const QColor kFill = QColor::fromRgbF(0.028671f, 0.310513f, 0.531791f, 1.0f);
const QColor kLine = QColor::fromRgbF(0.02f, 0.02f, 0.02f, 1.0f);

QPainterPath rounded(const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, 3, 3);
    return path;
}

} // namespace

HLTextItemView *HLTextItemView::textlineItemViewOf(const QString &ttid, QWidget *parent)
{
    if (ttid.isEmpty())
        return nullptr;
    return new HLTextItemView(ttid, parent);
}

HLTextItemView::HLTextItemView(const QString &ttid, QWidget *parent) : QWidget(parent), m_strID(ttid)
{
    setObjectName(QStringLiteral("HLTextItemView"));
}

void HLTextItemView::update(const QString &content)
{
    m_strContent = content;
    QWidget::update();
}

void HLTextItemView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    QWidget::update();
}

void HLTextItemView::setFrame(const QRectF &frame)
{
    m_frame = frame;
    setGeometry(frame.toRect());
}

void HLTextItemView::setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up)
{
    m_blkDown = std::move(down);
    m_blkDrag = std::move(drag);
    m_blkUp = std::move(up);
}

void HLTextItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const double h = bounds.height();
    painter.fillPath(rounded(bounds), kFill);
    painter.setPen(QPen(kLine, 1));
    painter.drawLine(QPointF(kHeadWidth + 0.5, 0), QPointF(kHeadWidth + 0.5, h));
    painter.drawPixmap(QRectF(1, (h - kHeadImageSide) / 2, kHeadImageSide, kHeadImageSide),
                       HLNamedImage::pixmap(QStringLiteral("TextHead"), devicePixelRatioF()), QRectF());

    // The text is cut at the cell's outline, never shortened.
    painter.save();
    painter.setClipPath(rounded(bounds));
    painter.setFont(hl_fontWithName(QStringLiteral("Times New Roman"), 18));
    const QRectF text(kHeadWidth + 0.5 + 6, 0, 1e6, h);
    painter.setPen(QColor(0, 0, 0, 200)); // shadow, one point right and down
    painter.drawText(text.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, m_strContent);
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, m_strContent);
    painter.restore();

    painter.setPen(QPen(kLine, 1));
    painter.drawPath(rounded(bounds.adjusted(0.5, 0.5, -0.5, -0.5)));
    if (m_bIsChosen)
        HLStripPainting::drawChosen(painter, bounds, 3);
}

void HLTextItemView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_blkDown)
        m_blkDown(this, event);
    m_bDidDown = true;
}

void HLTextItemView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void HLTextItemView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDidDown && m_blkDrag)
        m_blkDrag(this, event);
}

void HLTextItemView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_bDidDown)
        return;
    m_bDidDown = false;
    if (m_blkUp)
        m_blkUp(this, event);
}
