#pragma once

#include "SourceHL/Editors/HLTrimlineGeometry.h"
#include "SourceHL/Editors/HLTrimlineProtocols.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class HLTrimUnitView;
class HLTrimlineView;
class QWidget;

// The trim line: a strip with the selections (kept ranges) as min and max handles below it
// and the play position as a handle above it. Owners:
// - an editor: updatePlayer(the clip's player), updateSeletions({trim record}),
//   selectSeletion(it), updateInterface(); on stop updatePlayer(nullptr), updateSeletions({}).
// - the main window's progress line: a player and no selections (Progress layout).
// Each press of a handle, drag step and strip press reports its TrimUnitType through
// setupDidChange: 1 when the player moved, else 0 or 2 for the min or max handle.
class HLTrimlineVCtrl : public QObject
{
    Q_OBJECT
public:
    using TrimUnitType = HLTrimlineGeometry::TrimUnitType;
    using Selection = std::shared_ptr<TrimlineSelectionProtocol>;
    enum Layout { Editor, Progress }; // Progress: a thin strip and no room for range handles

    explicit HLTrimlineVCtrl(Layout layout = Editor);
    ~HLTrimlineVCtrl() override;
    // The main window's progress line filling area: enabled, the project as its player, no
    // selections; the owner calls updateInterface when the shown time or duration changes.
    static std::unique_ptr<HLTrimlineVCtrl> progressLineIn(QWidget *area, std::shared_ptr<TrimlinePlayerProtocol> project);

    QWidget *view() const { return m_view; } // the owner places it; it goes with the controller

    void setupDidChange(std::function<void(TrimUnitType)> change) { m_blkChange = std::move(change); }
    bool bTrimSyncPlay() const { return m_bTrimSyncPlay; }
    void setBTrimSyncPlay(bool on) { m_bTrimSyncPlay = on; }
    bool bTrimLoopPlay() const { return m_bTrimLoopPlay; }
    void setBTrimLoopPlay(bool on) { m_bTrimLoopPlay = on; }
    // The strip and the range handles present now; the play handle stays enabled.
    void setBIsEnable(bool enable);
    void updatePlayer(std::shared_ptr<TrimlinePlayerProtocol> player) { m_oPlayer = std::move(player); }
    const std::shared_ptr<TrimlinePlayerProtocol> &oPlayer() const { return m_oPlayer; }
    // Replaces the selections (strip order, not overlapping); handles are reused by index.
    // Leaves the chosen selection as it was and does not redraw.
    void updateSeletions(const std::vector<Selection> &selections);
    void selectSeletion(const Selection &selection);
    // Places every handle from the model and redraws the strip.
    void updateInterface();

    const std::vector<Selection> &arySelections() const { return m_arySelections; }
    const QList<HLTrimUnitView *> &aryUnitMins() const { return m_aryUnitMins; }
    const QList<HLTrimUnitView *> &aryUnitMaxs() const { return m_aryUnitMaxs; }
    HLTrimUnitView *vUnitMid() const { return m_vUnitMid; }
    HLTrimlineView *vTrimline() const { return m_vTrimline; }
    QWidget *vUpBack() const { return m_vUpBack; }
    QWidget *vDownBack() const { return m_vDownBack; }
    Selection oSelection() const { return m_oSelection.lock(); }

    // The layout's sizes: the strip keeps this margin on each side so handles reach both ends.
    static constexpr int kSideMargin = 16;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HLTrimUnitView *p_makeUnit(TrimUnitType type, QWidget *parent);
    void p_layout();
    void p_markChosen();
    float p_fold(float ratio) const;
    void p_click(HLTrimUnitView *unit);
    void p_change(HLTrimUnitView *unit);
    void p_stripClick(float ratio);
    std::vector<HLTrimlineGeometry::Range> p_ranges() const;

    Layout m_layout;
    QPointer<QWidget> m_view;
    QWidget *m_vUpBack = nullptr;
    QWidget *m_vDownBack = nullptr;
    HLTrimlineView *m_vTrimline = nullptr;
    HLTrimUnitView *m_vUnitMid = nullptr;
    QList<HLTrimUnitView *> m_aryUnitMins;
    QList<HLTrimUnitView *> m_aryUnitMaxs;
    std::vector<Selection> m_arySelections;
    std::weak_ptr<TrimlineSelectionProtocol> m_oSelection;
    std::shared_ptr<TrimlinePlayerProtocol> m_oPlayer;
    std::function<void(TrimUnitType)> m_blkChange;
    bool m_bTrimSyncPlay = false;
    bool m_bTrimLoopPlay = false;
};
