#pragma once

#include "SourceHL/Editors/HLEditorMovie.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Editors/HLImageEditGeometry.h"
#include "SourceHL/Editors/HLTrimlineGeometry.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>

class HLCropBackView;
class HLCropView;
class HLDisplayView;
class HLEditPaneLayout;
class HLRenderItem;
class HLTrimlineVCtrl;
class HLTypedNumberField;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

// The editor of one photo or clip of a slideshow item: crop, rotation and flips, colour
// effect and, for a clip, its sound, solo, trim and a looping preview on its own movie.
// Every write goes through the window's hook; the display (the edited picture with the crop
// rectangle and, for a clip, its play strip) fills the preview area while it edits.
class HLImageEditVCtrl : public QObject, public HLEditorPane
{
    Q_OBJECT
public:
    enum Effect { Saturation, Brightness, Contrast, Hue, Sharpness, EffectCount };

    HLImageEditVCtrl();
    ~HLImageEditVCtrl() override;

    QWidget *view() override { return m_view; }
    bool isNowEditing() const override { return m_oItem != nullptr; }
    QString editingID() const override;
    // Looks the render item up in the open project's timeline and edits it in the preview area.
    void startEditing(const QString &identifier) override;
    // The item already edited changes nothing.
    void startEditing(const std::shared_ptr<HLRenderItem> &item, QWidget *host);
    void stopEditing() override;

    const std::shared_ptr<HLRenderItem> &oItem() const { return m_oItem; }
    // A clip is a video with a trim record; a video without one is edited as a photo.
    bool isVideo() const;
    HLEditorMovie &oVideo() { return m_oVideo; }
    HLTrimlineVCtrl *vCtrlTrimline() const { return m_vCtrlTrimline.get(); }

    void resetCrop();
    void rotateL();
    void rotateR();
    void rotateH();
    void rotateV();
    void resetRotate();
    void effect(Effect which, float value);
    void resetEffect();
    void videoVolume(float volume);
    void vodeoPlaySolo(bool solo);
    void resetVideo();
    void trimStart();
    void trimEnd();
    void videoPlay();
    void done();

    // The controls and the display, named as the pane's parts.
    QLineEdit *edtCropW = nullptr;
    QLineEdit *edtCropH = nullptr;
    QToolButton *btnCropReset = nullptr;
    QToolButton *btnRotateL = nullptr;
    QToolButton *btnRotateR = nullptr;
    QToolButton *btnRotateH = nullptr;
    QToolButton *btnRotateV = nullptr;
    QToolButton *btnRotateReset = nullptr;
    std::array<QSlider *, EffectCount> sldEffect{};
    std::array<QLineEdit *, EffectCount> edtEffect{};
    QToolButton *btnEffectReset = nullptr;
    QWidget *vVideo = nullptr; // the sound section
    QSlider *sldVideoVolume = nullptr;
    QLineEdit *edtVideoVolume = nullptr;
    QCheckBox *btnVideoSolo = nullptr;
    QToolButton *btnTrimReset = nullptr;
    QWidget *vTrim = nullptr;
    QWidget *vTrimBack = nullptr;
    QToolButton *btnTrimStart = nullptr;
    QLineEdit *edtTrimStart = nullptr;
    QToolButton *btnTrimEnd = nullptr;
    QLineEdit *edtTrimEnd = nullptr;
    QToolButton *btnDone = nullptr;

    QWidget *vDisplay = nullptr;
    QWidget *vImageBack = nullptr;
    HLDisplayView *vImageDisplay = nullptr;
    HLCropBackView *vImageCropBack = nullptr;
    HLCropView *vImageCrop = nullptr;
    QWidget *vVideoBack = nullptr;
    QToolButton *btnVideoPlay = nullptr;
    QLabel *tldPlayTime = nullptr;
    QLabel *tldPlayDuration = nullptr;

    // The picture's frame in the picture area, y-up.
    HLImageEditGeometry::Rect imageDisplayFrame() const { return m_rctImageDisplay; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int kPlayStripHeight = 30;
    static constexpr int kEffectSteps = 100; // slider steps per unit of an effect value
    static constexpr int kVolumeSteps = 100; // slider steps per unit of the volume factor

    // Whether a reset would leave the record as it is (then nothing is written).
    template <class Record>
    static bool p_isReset(const Record &record)
    {
        const auto fresh = record.copy();
        fresh->reset();
        return fresh->isEqual(record);
    }

    void p_makePanel();
    void p_makeDisplay();
    // Runs a change of the edited item through the window's hook.
    void p_write(HLChange::Kinds kinds, const std::function<void()> &write);
    void p_displayFrameDidChange();
    void p_updateDisplaySuperview(QWidget *host);
    void p_updateImageDisplayFrame();
    void p_updateImageCropFrame();
    void p_syncCropRatio();
    void p_updateImageDisplay();
    void p_afterRotate(bool relayout);
    void p_typedCrop(bool width, float pixels);
    void p_typedTrim(bool start);
    void p_trimlineDidChange(HLTrimlineGeometry::TrimUnitType type);
    void p_playFeedback();
    void p_syncVideoVolume();
    void p_setupInterfaceAll();
    void p_setupInterfaceCrop();
    void p_setupInterfaceRotate();
    void p_setupInterfaceEffect();
    void p_setupInterfaceVideo();
    void p_setupInterfaceTrim();
    float p_nowSeconds() const;

    QWidget *m_view = nullptr;
    HLEditPaneLayout *m_layout = nullptr;
    HLTypedNumberField *m_fieldCropW = nullptr;
    HLTypedNumberField *m_fieldCropH = nullptr;
    std::array<HLTypedNumberField *, EffectCount> m_fieldEffect{};
    HLTypedNumberField *m_fieldVolume = nullptr;
    std::array<QString, 2> m_strTrimTexts; // the trim fields' texts when typing began
    std::unique_ptr<HLTrimlineVCtrl> m_vCtrlTrimline;
    HLEditorMovie m_oVideo;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_ownView;
    QPointer<QWidget> m_ownDisplay;
    HLImageEditGeometry::Rect m_rctImageDisplay;

    std::shared_ptr<HLRenderItem> m_oItem;
    std::shared_ptr<HLRenderItem> m_oCopy;
    // The item's resource with the item's own records: draws the edited picture and holds
    // the preview it loads, so the renderers' loads of the item stay theirs.
    std::shared_ptr<HLRenderItem> m_oDisplayItem;
};
