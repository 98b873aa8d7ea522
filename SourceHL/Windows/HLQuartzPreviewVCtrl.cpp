#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"

#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/Model/Render/HLTextRender.h"
#include "SourceHL/Model/Render/HLTransitionRender.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "widgets/HLResourceFolder.h"
#include "widgets/HLViewHelper.h"

#include <QDir>
#include <QEvent>
#include <QHash>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace {
constexpr int kPreviewInterval = 1000 / 30;
} // namespace

std::unique_ptr<HLQuartzPreviewVCtrl> HLQuartzPreviewVCtrl::quartzPreviewVCtrlOf(QuartzUIType uiType)
{
    return std::unique_ptr<HLQuartzPreviewVCtrl>(new HLQuartzPreviewVCtrl(uiType));
}

HLQuartzPreviewVCtrl::HLQuartzPreviewVCtrl(QuartzUIType uiType)
    : m_enUIType(uiType)
    , m_view(new QScrollArea)
    , m_vContentView(new QWidget)
    , m_tTimer(new QTimer(this))
    , m_clock(&HLMachTime::machTime)
{
    m_view->setObjectName(QStringLiteral("vQuartzGrid%1").arg(uiType));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setWidget(m_vContentView);
    m_view->setWidgetResizable(false);
    m_view->viewport()->installEventFilter(this);
    m_tTimer->setInterval(kPreviewInterval);
    m_tTimer->setTimerType(Qt::PreciseTimer);
    connect(m_tTimer, &QTimer::timeout, this, &HLQuartzPreviewVCtrl::p_previewFeedback);
    p_SetupPreviews();
    p_FrameDidChange();
    scrollToUp();
}

HLQuartzPreviewVCtrl::~HLQuartzPreviewVCtrl()
{
    p_stopPreviewing();
    // The view may have been given to a parent; it goes with this controller all the same.
    delete m_view.data();
}

bool HLQuartzPreviewVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (hlIsViewportResize(m_view, watched, event))
        p_FrameDidChange();
    return QObject::eventFilter(watched, event);
}

void HLQuartzPreviewVCtrl::p_SetupPreviews()
{
    QPointer<HLQuartzPreviewVCtrl> self(this);
    const auto enter = [self](HLQuartzPreviewView *tile) { if (self) self->p_enter(tile); };
    const auto down = [self](HLQuartzPreviewView *tile) { if (self) self->p_down(tile); };
    const auto exit = [self](HLQuartzPreviewView *tile) { if (self) self->p_exit(tile); };
    const auto pool = HLQuartzPool::quartzPoolOf(enType());
    for (const QString &name : pool->quartzNames()) {
        if (enType() == 0 && HLQuartzRules::UITypeOf(0, name.toStdString()) != m_enUIType)
            continue;
        const auto item = pool->quartzOf(name);
        const QSizeF size = HLQuartzPreviewView::previewViewSize();
        auto *tile = HLQuartzPreviewView::quartzPreviewViewOf(QRectF(QPointF(0, 0), size), name,
                                                              item ? item->imgThumb() : QImage(), m_vContentView);
        tile->setUpMouseEnter(enter, down, exit);
        m_aryPreviewViews.append(tile);
    }
}

void HLQuartzPreviewVCtrl::p_FrameDidChange()
{
    const QSize visible = m_view->viewport()->size();
    const auto layout = HLQuartzGridLayout::layoutOf(visible.width(), visible.height(), m_aryPreviewViews.size());
    const int height = int(std::ceil(layout.contentHeight));
    m_vContentView->resize(visible.width(), height);
    for (qsizetype i = 0; i < m_aryPreviewViews.size(); ++i) {
        // y-up origin to the widget's y-down top edge
        const double top = height - (layout.yOf(i) + HLQuartzGridLayout::kTileHeight);
        m_aryPreviewViews[i]->move(int(std::lround(layout.xOf(i))), int(std::lround(top)));
    }
}

void HLQuartzPreviewVCtrl::setBCanChoose(bool can)
{
    for (HLQuartzPreviewView *tile : std::as_const(m_aryPreviewViews))
        tile->setBCanChoose(can);
}

void HLQuartzPreviewVCtrl::setStrChosenName(const QString &name)
{
    m_vChosenView = nullptr;
    for (HLQuartzPreviewView *tile : std::as_const(m_aryPreviewViews)) {
        const bool chosen = !name.isNull() && tile->strTitle() == name;
        tile->setBIsChosen(chosen);
        if (chosen)
            m_vChosenView = tile;
    }
}

QString HLQuartzPreviewVCtrl::strChosenName() const
{
    return m_vChosenView ? m_vChosenView->strTitle() : QString();
}

HLQuartzPreviewView *HLQuartzPreviewVCtrl::quartzPreviewOf(const QString &name) const
{
    for (HLQuartzPreviewView *tile : m_aryPreviewViews)
        if (tile->strTitle() == name)
            return tile;
    return nullptr;
}

void HLQuartzPreviewVCtrl::scrollToUp()
{
    m_view->verticalScrollBar()->setValue(0);
}

void HLQuartzPreviewVCtrl::scrollToVisible()
{
    if (m_vChosenView && m_aryPreviewViews.contains(m_vChosenView.data()))
        m_view->ensureWidgetVisible(m_vChosenView, 0, int(HLQuartzGridLayout::kGap));
}

void HLQuartzPreviewVCtrl::clear()
{
    p_stopPreviewing();
    if (m_vDisplayView)
        m_vDisplayView->update(QImage());
    m_vDisplayView = nullptr;
}

bool HLQuartzPreviewVCtrl::isPreviewing() const
{
    return m_tTimer->isActive();
}

void HLQuartzPreviewVCtrl::p_enter(HLQuartzPreviewView *tile)
{
    p_stopPreviewing();
    for (HLQuartzPreviewView *each : std::as_const(m_aryPreviewViews))
        each->update(QImage());
    if (m_vDisplayView)
        m_vDisplayView->update(QImage());
    m_vDisplayView = tile;
    m_oDisplayRender = p_renderOf(tile->strTitle());
    // A template whose renderer can't be made keeps its thumbnail and runs no timer.
    if (m_oDisplayRender)
        p_startPreviewing();
}

void HLQuartzPreviewVCtrl::p_down(HLQuartzPreviewView *tile)
{
    for (HLQuartzPreviewView *each : std::as_const(m_aryPreviewViews))
        each->setBIsChosen(each == tile);
    m_vChosenView = tile;
    if (m_blkFeedback)
        m_blkFeedback();
}

void HLQuartzPreviewVCtrl::p_exit(HLQuartzPreviewView *tile)
{
    p_stopPreviewing();
    m_vDisplayView = nullptr;
    tile->update(QImage());
}

QList<QImage> HLQuartzPreviewVCtrl::p_previewImages(int count)
{
    // Read once: every hover of every grid shows the same pictures.
    static QHash<int, QImage> loaded;
    QList<QImage> images;
    for (int k = 0; k < count; ++k) {
        auto found = loaded.find(k);
        if (found == loaded.end())
            found = loaded.insert(k, QImage(QDir(HLResourceFolder::path()).filePath(QStringLiteral("Preview%1.png").arg(k))));
        if (!found->isNull())
            images.append(*found);
    }
    return images;
}

std::unique_ptr<HLRender> HLQuartzPreviewVCtrl::p_renderOf(const QString &name)
{
    const auto item = HLQuartzPool::quartzPoolOf(enType())->quartzOf(name);
    if (!item)
        return nullptr;
    const QVariantMap &info = item->dicInfo();
    m_dDuration = HLQuartzPreviewClock::loopOf(enType(), info.value(QStringLiteral("BestDuration")).toDouble());
    switch (enType()) {
    case 0: {
        auto render = HLSlideshowRender::initFreely(true, item->strName(), item->oContent());
        if (render) {
            QList<Picture> pictures;
            for (const QImage &image : p_previewImages(info.value(QStringLiteral("BestCount")).toInt()))
                pictures.append(Picture::fromImage(image));
            render->updateImages(pictures);
        }
        return render;
    }
    case 2: {
        auto render = HLTransitionRender::initFreely(true, item->strName(), item->oContent());
        if (render) {
            const QList<QImage> images = p_previewImages(2);
            render->updateImageA(images.isEmpty() ? Picture() : Picture::fromImage(images.first()));
            render->updateImageB(images.isEmpty() ? Picture() : Picture::fromImage(images.last()));
        }
        return render;
    }
    default: {
        auto render = HLTextRender::initFreely(true, item->strName(), item->oContent());
        if (render)
            render->updateContent(QStringLiteral("Text"));
        return render;
    }
    }
}

void HLQuartzPreviewVCtrl::p_startPreviewing()
{
    if (m_tTimer->isActive())
        return;
    m_tTimer->start();
    m_dNowTime = 0;
    m_iFramesShown = 0;
    m_iMarkTime = m_clock();
}

void HLQuartzPreviewVCtrl::p_stopPreviewing()
{
    m_tTimer->stop();
}

void HLQuartzPreviewVCtrl::p_previewFeedback()
{
    if (!m_oDisplayRender || !m_vDisplayView) {
        p_stopPreviewing();
        return;
    }
    const quint64 now = m_clock();
    const float elapsed = float(HLMachTime::normalTimeFrom(now - m_iMarkTime)) * HLQuartzPreviewClock::speedOf(enType());
    m_iMarkTime = now;
    m_dNowTime = HLQuartzPreviewClock::wrapped(m_dNowTime, elapsed, m_dDuration);
    const float time = HLQuartzPreviewClock::renderTimeOf(enType(), m_dNowTime, m_dDuration);
    m_vDisplayView->update(m_oDisplayRender->snapshotNSImageAt(time));
    ++m_iFramesShown;
}
