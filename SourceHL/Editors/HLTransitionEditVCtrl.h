#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Editors/HLSlideshowItemPane.h"
#include "SourceHL/Editors/HLTemplatePopUp.h"

#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>

class HLDurationControl;
class HLSlideshowItem;
class QPushButton;
class QWidget;

// The edit pane of the transition that follows a slideshow item: its duration and its
// template with a live preview tile, each with apply-to-all. Every change is written through
// the owner's edit hook as it is made.
class HLTransitionEditVCtrl : public QObject, public HLSlideshowItemPane
{
    Q_OBJECT
public:

    HLTransitionEditVCtrl();

    void setUpApplyToAllDura(std::function<void(float seconds)> dura, std::function<void(const QVariantMap &info)> info);

    void applyToAllDuration();
    void changeQuartzName(const QString &name);
    void applyToAllInformation();

    HLDurationControl *duration() const { return m_duration; }
    QPushButton *btnApplyToAllDuration() const { return m_btnApplyToAllDuration; }
    QPushButton *btnApplyToAllInformation() const { return m_btnApplyToAllInformation; }
    QPushButton *btnDone() const { return m_btnDone; }

private:
    void p_itemChanged(bool opened) override;
    void p_refreshAll();
    void p_refreshDuration();
    void p_refreshTemplate() override;

    std::function<void(float)> m_blkDura;
    std::function<void(const QVariantMap &)> m_blkInfo;
    HLDurationControl *m_duration;
    QPushButton *m_btnApplyToAllDuration;
    QPushButton *m_btnApplyToAllInformation;
    QPushButton *m_btnDone;
};
