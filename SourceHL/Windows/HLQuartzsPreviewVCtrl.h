#pragma once

#include "SourceHL/Windows/HLQuartzGridGeometry.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class HLQuartzPreviewVCtrl;
class HLQuartzPreviewView;
class HLTemplateInfoView;
class QPushButton;
class QWidget;

// The template chooser the main window hosts: four tabs (Slideshow, General, Transition,
// Text), the grid of the shown tab, and Apply, which hands the chosen item's template type and
// the template chosen in the shown tab to the owner. The owner tells it which item is chosen
// and whether applying is allowed at all.
class HLQuartzsPreviewVCtrl : public QObject
{
    Q_OBJECT
public:
    using ApplyBlock = std::function<void(std::int64_t type, const QString &name)>;

    HLQuartzsPreviewVCtrl();
    ~HLQuartzsPreviewVCtrl() override;

    QWidget *view() const { return m_view; }

    void setupApply(ApplyBlock apply) { m_blkApply = std::move(apply); }
    // Whether an item that takes a template is chosen: without one nothing can be chosen or applied.
    void setBEnable(bool enable);
    bool bEnable() const { return m_bEnable; }
    // The chosen item's template type and name (none: no item chosen).
    void updateNow(std::int64_t type, const QString &name);
    void switchTo(std::int64_t type, const QString &name);
    void switchToTheSame();
    // The chooser's tile of that template; none when its tab has no tile of that name.
    HLQuartzPreviewView *previewViewOf(std::int64_t type, const QString &name) const;
    void apply();

    QuartzUIType enNowUIType() const;
    std::int64_t enNowType() const { return m_enNowType; }
    QString strNowName() const { return m_strNowName; }
    QuartzUIType enTmpUIType() const { return m_enTmpUIType; }
    HLQuartzPreviewVCtrl *p_previewVCtrlOf(QuartzUIType uiType) const;
    HLTemplateInfoView *p_templateViewOf(QuartzUIType uiType) const;
    QPushButton *btnApply() const { return m_btnApply; }
    void p_switchTo(QuartzUIType uiType);

private:
    QString p_typedShowName() const;
    void p_updateInterfaceAll();

    QPointer<QWidget> m_view; // the window's area owns it once placed
    QWidget *m_vPreview;
    QPushButton *m_btnApply;
    std::array<HLTemplateInfoView *, 4> m_vTemplates{};
    std::array<std::unique_ptr<HLQuartzPreviewVCtrl>, 4> m_vCtrls;
    std::int64_t m_enNowType = 0;
    QString m_strNowName;
    QuartzUIType m_enTmpUIType = QuartzUITypeSlideshow;
    bool m_bEnable = false;
    ApplyBlock m_blkApply;
};
