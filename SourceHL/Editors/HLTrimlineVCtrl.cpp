#include "SourceHL/Editors/HLTrimlineVCtrl.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Editors/HLTrimUnitView.h"
#include "SourceHL/Editors/HLTrimlineView.h"

#include <QEvent>
#include <QVBoxLayout>
#include <QWidget>

namespace G = HLTrimlineGeometry;

namespace {

constexpr int kUpHeight = 12;
constexpr int kDownHeight = 16;
constexpr int kStripHeight[2] = {30, 22}; // Editor, Progress
// The handles' views reach over the strip's empty inset, so the play handle's tip and the
// range handles' flat edges touch the drawn bar.
constexpr int kOverlap = int(HLTrimlineGeometry::kStripInset);

} // namespace

HLTrimlineVCtrl::HLTrimlineVCtrl(Layout layout)
    : m_layout(layout)
{
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("HLTrimlineVCtrl"));
    m_vUpBack = new QWidget(m_view);
    m_vTrimline = new HLTrimlineView(m_view);
    m_vDownBack = new QWidget(m_view);
    m_vDownBack->setHidden(layout == Progress);
    m_view->setMinimumHeight(kUpHeight - kOverlap + kStripHeight[layout] + (layout == Editor ? kDownHeight - kOverlap : 0));
    m_vUpBack->raise(); // over the strip's inset, under which the handles would be hidden
    m_vDownBack->raise();
    m_view->installEventFilter(this);

    m_vUnitMid = p_makeUnit(G::TrimUnitMid, m_vUpBack);
    QPointer<HLTrimlineVCtrl> self(this);
    m_vTrimline->setupClick([self](float ratio) { if (self) self->p_stripClick(ratio); }, nullptr,
                            [self] { return self ? int(self->m_arySelections.size()) : 0; },
                            [self](int index, bool &chosen, float &ratioMin, float &ratioMax) {
                                if (!self || index < 0 || size_t(index) >= self->m_arySelections.size())
                                    return;
                                const Selection &s = self->m_arySelections[size_t(index)];
                                chosen = s == self->m_oSelection.lock();
                                ratioMin = s->trimRatioMin();
                                ratioMax = s->trimRatioMax();
                            });
    p_layout();
}

std::unique_ptr<HLTrimlineVCtrl> HLTrimlineVCtrl::progressLineIn(QWidget *area, std::shared_ptr<TrimlinePlayerProtocol> project)
{
    auto line = std::make_unique<HLTrimlineVCtrl>(Progress);
    auto *fill = new QVBoxLayout(area);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(line->view());
    line->setBIsEnable(true);
    line->updatePlayer(std::move(project));
    return line;
}

HLTrimlineVCtrl::~HLTrimlineVCtrl()
{
    if (m_view)
        m_view->removeEventFilter(this);
    delete m_view; // with the strip and every handle; null when its parent went first
}

HLTrimUnitView *HLTrimlineVCtrl::p_makeUnit(TrimUnitType type, QWidget *parent)
{
    HLTrimUnitView *unit = HLTrimUnitView::trimUnitViewOf(type, m_vTrimline);
    unit->setParent(parent);
    QPointer<HLTrimlineVCtrl> self(this);
    unit->setupClick([self](HLTrimUnitView *u) { if (self) self->p_click(u); },
                     [self](HLTrimUnitView *u) { if (self) self->p_change(u); }, nullptr);
    unit->show();
    return unit;
}

bool HLTrimlineVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize) {
        p_layout();
        updateInterface();
    }
    return QObject::eventFilter(watched, event);
}

void HLTrimlineVCtrl::p_layout()
{
    const int w = m_view->width();
    const int strip = kStripHeight[m_layout];
    const int stripTop = kUpHeight - kOverlap;
    m_vUpBack->setGeometry(0, 0, w, kUpHeight);
    m_vTrimline->setGeometry(kSideMargin, stripTop, std::max(0, w - 2 * kSideMargin), strip);
    m_vDownBack->setGeometry(0, stripTop + strip - kOverlap, w, kDownHeight);
}

void HLTrimlineVCtrl::setBIsEnable(bool enable)
{
    m_vTrimline->setBIsEnable(enable);
    for (HLTrimUnitView *unit : m_aryUnitMins)
        unit->setBIsEnable(enable);
    for (HLTrimUnitView *unit : m_aryUnitMaxs)
        unit->setBIsEnable(enable);
}

void HLTrimlineVCtrl::updateSeletions(const std::vector<Selection> &selections)
{
    QList<HLTrimUnitView *> mins, maxs;
    for (size_t i = 0; i < selections.size(); ++i) {
        const qsizetype k = qsizetype(i);
        mins.append(k < m_aryUnitMins.size() ? m_aryUnitMins[k] : p_makeUnit(G::TrimUnitMin, m_vDownBack));
        maxs.append(k < m_aryUnitMaxs.size() ? m_aryUnitMaxs[k] : p_makeUnit(G::TrimUnitMax, m_vDownBack));
    }
    m_arySelections = selections;
    for (HLTrimUnitView *old : m_aryUnitMins + m_aryUnitMaxs)
        if (!mins.contains(old) && !maxs.contains(old)) {
            old->setParent(nullptr);
            old->deleteLater();
        }
    m_aryUnitMins = mins;
    m_aryUnitMaxs = maxs;
    p_markChosen();
}

void HLTrimlineVCtrl::selectSeletion(const Selection &selection)
{
    m_oSelection = selection;
    p_markChosen();
}

void HLTrimlineVCtrl::p_markChosen()
{
    const Selection chosen = m_oSelection.lock();
    for (qsizetype i = 0; i < m_aryUnitMins.size(); ++i) {
        const bool on = chosen && m_arySelections[size_t(i)] == chosen;
        m_aryUnitMins[i]->setBIsChoosen(on);
        m_aryUnitMaxs[i]->setBIsChoosen(on);
        m_aryUnitMins[i]->update();
        m_aryUnitMaxs[i]->update();
    }
}

void HLTrimlineVCtrl::updateInterface()
{
    m_vUnitMid->setDNow(m_oPlayer ? m_oPlayer->trimPlayRatio() : 0.0);
    for (size_t i = 0; i < m_arySelections.size(); ++i) {
        m_aryUnitMins[qsizetype(i)]->setDNow(m_arySelections[i]->trimRatioMin());
        m_aryUnitMaxs[qsizetype(i)]->setDNow(m_arySelections[i]->trimRatioMax());
    }
    m_vTrimline->update();
}

std::vector<G::Range> HLTrimlineVCtrl::p_ranges() const
{
    std::vector<G::Range> ranges;
    for (const Selection &s : m_arySelections)
        ranges.push_back({s->trimRatioMin(), s->trimRatioMax()});
    return ranges;
}

float HLTrimlineVCtrl::p_fold(float ratio) const
{
    const bool playing = m_oPlayer && m_oPlayer->isTrimPlaying();
    return G::fold(ratio, m_bTrimLoopPlay && playing, p_ranges());
}

void HLTrimlineVCtrl::p_click(HLTrimUnitView *unit)
{
    HL_ASSERT(unit, "wrong para");
    qsizetype index = m_aryUnitMins.indexOf(unit);
    if (index < 0)
        index = m_aryUnitMaxs.indexOf(unit);
    const auto [low, high] = G::handleLimits(unit->enumType(), size_t(std::max<qsizetype>(index, 0)), p_ranges());
    unit->setDMin(index < 0 ? 0.0 : low);
    unit->setDMax(index < 0 ? 1.0 : high);
    if (index >= 0 && unit->enumType() != G::TrimUnitMid)
        selectSeletion(m_arySelections[size_t(index)]);
    updateInterface();
    if (m_blkChange)
        m_blkChange(unit->enumType());
}

void HLTrimlineVCtrl::p_change(HLTrimUnitView *unit)
{
    HL_ASSERT(unit, "wrong para");
    const TrimUnitType type = unit->enumType();
    const float r = float(unit->dNow());
    if (type == G::TrimUnitMid) {
        if (m_oPlayer)
            m_oPlayer->updateTrimPlayRatio(p_fold(r));
    } else {
        if (m_bTrimSyncPlay && m_oPlayer)
            m_oPlayer->updateTrimPlayRatio(r);
        if (const Selection chosen = m_oSelection.lock())
            type == G::TrimUnitMin ? chosen->updateTrimRatioMin(r) : chosen->updateTrimRatioMax(r);
    }
    updateInterface();
    if (m_blkChange)
        m_blkChange(m_bTrimSyncPlay ? G::TrimUnitMid : type);
}

void HLTrimlineVCtrl::p_stripClick(float ratio)
{
    if (m_oPlayer)
        m_oPlayer->updateTrimPlayRatio(p_fold(ratio));
    updateInterface();
    if (m_blkChange)
        m_blkChange(G::TrimUnitMid);
}
