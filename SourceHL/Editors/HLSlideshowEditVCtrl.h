#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Editors/HLSlideshowItemPane.h"
#include "SourceHL/Editors/HLTemplatePopUp.h"

#include <QObject>

#include <functional>
#include <memory>

class HLColorWell;
class HLDisplayView;
class HLDurationControl;
class HLEditPaneLayout;
class HLGradientView;
class HLSlideshowItem;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

// The edit pane of one slideshow item: its display and animate durations (each with
// apply-to-all), its slideshow template with a live preview tile, the photo frame (border and
// photo background) and the slide background (a colour, a gradient or a picture). Every change
// is written through the owner's edit hook as it is made.
class HLSlideshowEditVCtrl : public QObject, public HLSlideshowItemPane
{
    Q_OBJECT
public:
    using ApplyBlock = std::function<void(float seconds)>;

    HLSlideshowEditVCtrl();

    void setUpApplyToAllDis(ApplyBlock dis, ApplyBlock ani);

    // Actions of the controls.
    void applyToAllDurationDisplay();
    void applyToAllDurationAnimate();
    void changeQuartzName(const QString &name);
    // Imports the picture at path as the slide background; says why when it can't.
    void p_chooseBackImage(const QString &path);

    // The controls, for the owner's tests and pictures.
    QLabel *lblDurationAll() const { return m_lblDurationAll; }
    HLDurationControl *durationDisplay() const { return m_durationDisplay; }
    HLDurationControl *durationAnimate() const { return m_durationAnimate; }
    QPushButton *btnApplyToAllDis() const { return m_btnApplyToAllDis; }
    QPushButton *btnApplyToAllAni() const { return m_btnApplyToAllAni; }
    QCheckBox *btnPhotoBorder() const { return m_btnPhotoBorder; }
    HLColorWell *clwlPhotoBorder() const { return m_clwlPhotoBorder; }
    QSlider *sldPhotoBorder() const { return m_sldPhotoBorder; }
    QCheckBox *btnPhotoBack() const { return m_btnPhotoBack; }
    HLColorWell *clwlPhotoBack() const { return m_clwlPhotoBack; }
    QSlider *sldPhotoBack() const { return m_sldPhotoBack; }
    QCheckBox *btnSlideBack() const { return m_btnSlideBack; }
    QRadioButton *btnSlideBackColor() const { return m_btnSlideBackColor; }
    QRadioButton *btnSlideBackImage() const { return m_btnSlideBackImage; }
    QWidget *vSlideBackColorBack() const { return m_vSlideBackColorBack; }
    QWidget *vSlideBackImageBack() const { return m_vSlideBackImageBack; }
    QComboBox *ppBtnSlideBackColor() const { return m_ppBtnSlideBackColor; }
    HLGradientView *vSlideBackColorDisplay() const { return m_vSlideBackColorDisplay; }
    QWidget *vSlideBackColorSingleBack() const { return m_vSlideBackColorSingleBack; }
    QWidget *vSlideBackColorGrandientBack() const { return m_vSlideBackColorGrandientBack; }
    HLColorWell *clwlSlideBackColorSingle() const { return m_clwlSlideBackColorSingle; }
    HLColorWell *clwlSlideBackColorGradientA() const { return m_clwlSlideBackColorGradientA; }
    HLColorWell *clwlSlideBackColorGradientB() const { return m_clwlSlideBackColorGradientB; }
    QPushButton *btnSlideBackImageChoose() const { return m_btnSlideBackImageChoose; }
    QPushButton *btnSlideBackImageClear() const { return m_btnSlideBackImageClear; }
    HLDisplayView *vSlideBackImageDisplay() const { return m_vSlideBackImageDisplay; }
    QPushButton *btnDone() const { return m_btnDone; }

private:
    void p_itemChanged(bool opened) override;
    void p_build();
    QWidget *p_buildDuration();
    QWidget *p_buildTemplate();
    QWidget *p_buildPhotoFrame();
    QWidget *p_buildSlideBack();
    void p_connect();
    void p_refreshAll();
    void p_refreshDuration();
    void p_refreshTemplate() override;
    void p_refreshPhotoFrame();
    void p_refreshSlideBack();
    // Writes through the hook (or straight away without one), then refreshes.
    void p_write(HLChange::Kinds kinds, const std::function<void(HLSlideshowItem &item)> &write,
                 void (HLSlideshowEditVCtrl::*refresh)());
    void p_writeFrame(const std::function<void(HLSlideshowItem &item)> &write);
    void p_writeBack(const std::function<void(HLSlideshowItem &item)> &write);
    void p_chooseBackImageFromPanel();
    void p_tellWhy(const QString &path, const QString &reason);

    HLEditPaneLayout *m_layout = nullptr;
    ApplyBlock m_blkDis, m_blkAni;

    QLabel *m_lblDurationAll = nullptr;
    HLDurationControl *m_durationDisplay = nullptr;
    HLDurationControl *m_durationAnimate = nullptr;
    QPushButton *m_btnApplyToAllDis = nullptr;
    QPushButton *m_btnApplyToAllAni = nullptr;
    QCheckBox *m_btnPhotoBorder = nullptr;
    HLColorWell *m_clwlPhotoBorder = nullptr;
    QSlider *m_sldPhotoBorder = nullptr;
    QCheckBox *m_btnPhotoBack = nullptr;
    HLColorWell *m_clwlPhotoBack = nullptr;
    QSlider *m_sldPhotoBack = nullptr;
    QCheckBox *m_btnSlideBack = nullptr;
    QRadioButton *m_btnSlideBackColor = nullptr;
    QRadioButton *m_btnSlideBackImage = nullptr;
    QWidget *m_vSlideBackColorBack = nullptr;
    QWidget *m_vSlideBackImageBack = nullptr;
    QComboBox *m_ppBtnSlideBackColor = nullptr;
    HLGradientView *m_vSlideBackColorDisplay = nullptr;
    QWidget *m_vSlideBackColorSingleBack = nullptr;
    QWidget *m_vSlideBackColorGrandientBack = nullptr;
    HLColorWell *m_clwlSlideBackColorSingle = nullptr;
    HLColorWell *m_clwlSlideBackColorGradientA = nullptr;
    HLColorWell *m_clwlSlideBackColorGradientB = nullptr;
    QPushButton *m_btnSlideBackImageChoose = nullptr;
    QPushButton *m_btnSlideBackImageClear = nullptr;
    HLDisplayView *m_vSlideBackImageDisplay = nullptr;
    QPushButton *m_btnDone = nullptr;
};
