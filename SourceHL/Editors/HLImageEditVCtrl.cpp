#include "SourceHL/Editors/HLImageEditVCtrl.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Editors/HLCropBackView.h"
#include "SourceHL/Editors/HLCropView.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLTrimlineProtocols.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayView.h"

#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

using HLImageEditGeometry::Rect;

namespace {

// A y-up frame in a parent of height parentHeight as the widget's geometry.
QRect qtRectOf(const Rect &r, int parentHeight)
{
    return QRectF(r.x, parentHeight - r.y - r.height, r.width, r.height).toAlignedRect();
}

} // namespace

HLImageEditVCtrl::HLImageEditVCtrl()
{
    m_vCtrlTrimline = std::make_unique<HLTrimlineVCtrl>(HLTrimlineVCtrl::Editor);
    m_vCtrlTrimline->setupDidChange([this](HLTrimlineGeometry::TrimUnitType type) { p_trimlineDidChange(type); });
    m_vCtrlTrimline->setBTrimSyncPlay(true);
    m_vCtrlTrimline->setBTrimLoopPlay(true);
    m_oVideo.setupTick([this] { p_playFeedback(); });
    p_makePanel();
    p_makeDisplay();
    p_setupInterfaceAll();
}

HLImageEditVCtrl::~HLImageEditVCtrl()
{
    m_oVideo.close();
    if (m_oDisplayItem)
        m_oDisplayItem->releaseLoaded();
    m_vCtrlTrimline.reset();
    // The pane's widgets go with it, out of the window or host they are in (unless those went first).
    delete m_ownDisplay;
    delete m_ownView;
}

bool HLImageEditVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == vDisplay)
            p_displayFrameDidChange();
        else if (watched == m_host && vDisplay->parent() == m_host)
            vDisplay->setGeometry(m_host->rect());
    }
    return QObject::eventFilter(watched, event);
}

QString HLImageEditVCtrl::editingID() const
{
    return m_oItem && m_oItem->oResource() ? m_oItem->oResource()->strHashID() : QString();
}

bool HLImageEditVCtrl::isVideo() const
{
    return m_oItem && m_oItem->oResource() && m_oItem->oResource()->isVideo() && m_oItem->oTrim();
}

void HLImageEditVCtrl::p_write(HLChange::Kinds kinds, const std::function<void()> &write)
{
    if (!m_oItem)
        return;
    if (m_context.write)
        m_context.write(kinds, write);
    else
        write();
}

// Start and stop ----------------------------------------------------------------------------

void HLImageEditVCtrl::startEditing(const QString &identifier)
{
    if (!m_context.contents)
        return;
    const HLProjectContents contents = m_context.contents();
    if (!contents.timeline)
        return;
    const auto items = contents.timeline->renderItemsOf({identifier});
    if (!items.isEmpty() && items.last())
        startEditing(items.last(), m_context.previewHost);
}

void HLImageEditVCtrl::startEditing(const std::shared_ptr<HLRenderItem> &item, QWidget *host)
{
    if (!item || item == m_oItem)
        return;
    m_oItem = item;
    m_oCopy = item->copy();
    m_oDisplayItem = item->copy();
    m_oDisplayItem->setOCrop(item->oCrop());
    m_oDisplayItem->setORotate(item->oRotate());
    m_oDisplayItem->setOEffect(item->oEffect());
    m_oDisplayItem->setOTrim(item->oTrim());

    const bool video = isVideo() && m_oVideo.open(item->oResource(), item->oTrim()->dVolume());
    vImageDisplay->show();
    vImageCrop->show();
    vTrim->setVisible(video);
    vVideo->setVisible(video);
    vVideoBack->setVisible(video);
    m_layout->vBase()->setFixedHeight(m_layout->vBase()->layout()->sizeHint().height());
    m_layout->updateFrames();

    if (video) {
        auto selection = std::make_shared<HLTrimRecordSelection<HLRenderEditTrim>>(
            item->oTrim(), [this](HLChange::Kinds kinds, const std::function<void()> &write) { p_write(kinds, write); });
        m_vCtrlTrimline->updatePlayer(m_oVideo.player());
        m_vCtrlTrimline->updateSeletions({selection});
        m_vCtrlTrimline->selectSeletion(selection);
    } else {
        m_vCtrlTrimline->updatePlayer(nullptr);
        m_vCtrlTrimline->updateSeletions({});
    }
    m_vCtrlTrimline->updateInterface();
    p_setupInterfaceAll();
    p_updateDisplaySuperview(host);
    m_layout->sclEdit()->verticalScrollBar()->setValue(0);
}

void HLImageEditVCtrl::stopEditing()
{
    if (m_oVideo.isPlay())
        videoPlay();
    if (!m_oItem)
        return;
    // The renderers draw an item again when its generation rises; an editor never lowers it.
    if (!m_oItem->isEqual(*m_oCopy)) {
        const auto item = m_oItem;
        p_write(HLChange::None, [item] { item->makeDirty(); });
    }
    m_oItem.reset();
    m_oCopy.reset();
    m_oDisplayItem->releaseLoaded();
    m_oDisplayItem.reset();
    m_oVideo.close();
    m_vCtrlTrimline->updatePlayer(nullptr);
    m_vCtrlTrimline->updateSeletions({});
    m_vCtrlTrimline->updateInterface();
    p_setupInterfaceAll();
    p_updateDisplaySuperview(nullptr);
}

void HLImageEditVCtrl::done()
{
    if (m_context.end)
        m_context.end();
}

// Display -----------------------------------------------------------------------------------

void HLImageEditVCtrl::p_updateDisplaySuperview(QWidget *host)
{
    if (m_host)
        m_host->removeEventFilter(this);
    vDisplay->hide();
    vDisplay->setParent(nullptr);
    m_host = host;
    if (!host)
        return;
    vDisplay->setParent(host);
    vDisplay->setGeometry(host->rect());
    host->installEventFilter(this);
    vDisplay->show();
    vDisplay->raise();
    p_displayFrameDidChange();
    p_updateImageCropFrame();
    p_updateImageDisplay();
}

void HLImageEditVCtrl::p_displayFrameDidChange()
{
    const int width = vDisplay->width();
    const int height = vDisplay->height();
    const int strip = isVideo() ? kPlayStripHeight : 0;
    vImageBack->setGeometry(0, 0, width, height - strip);
    vImageCropBack->setGeometry(vImageBack->rect());
    vVideoBack->setGeometry(0, height - kPlayStripHeight, width, kPlayStripHeight);
    p_updateImageDisplayFrame();
    p_updateImageCropFrame();
}

void HLImageEditVCtrl::p_updateImageDisplayFrame()
{
    const float ratio = m_oItem ? m_oItem->renderDisplayRatio() : 1.0f;
    m_rctImageDisplay = HLImageEditGeometry::pictureFrameIn(
        {0, 0, double(vImageBack->width()), double(vImageBack->height())}, ratio);
    vImageDisplay->setGeometry(qtRectOf(m_rctImageDisplay, vImageBack->height()));
    const Rect reference = HLImageEditGeometry::referenceFrame(isVideo(), ratio);
    if (reference.width > 0)
        vImageCrop->setDResizeRatio(m_rctImageDisplay.width / reference.width);
}

void HLImageEditVCtrl::p_updateImageCropFrame()
{
    HLImageEditGeometry::CropRatios ratios;
    if (m_oItem) {
        const auto &crop = *m_oItem->oCrop();
        ratios = {crop.dRatioX(), crop.dRatioY(), crop.dRatioW(), crop.dRatioH()};
    }
    vImageCrop->setFrameRect({});
    vImageCrop->setLimitedRect(m_rctImageDisplay);
    vImageCrop->setRctDisplayFrame(HLImageEditGeometry::ratioFrameIn(m_rctImageDisplay, ratios));
    vImageCropBack->update();
}

void HLImageEditVCtrl::p_syncCropRatio()
{
    // A display not laid out yet would turn any rectangle into the whole picture.
    const auto ratios = HLImageEditGeometry::cropRatiosOf(m_rctImageDisplay, vImageCrop->rctDisplayFrame());
    if (!m_oItem || !ratios)
        return;
    const auto crop = m_oItem->oCrop();
    const HLImageEditGeometry::CropRatios now{crop->dRatioX(), crop->dRatioY(), crop->dRatioW(), crop->dRatioH()};
    if (*ratios == now)
        return;
    p_write(HLChange::Style, [&] {
        crop->setDRatioX(ratios->x);
        crop->setDRatioY(ratios->y);
        crop->setDRatioW(ratios->w);
        crop->setDRatioH(ratios->h);
    });
}

float HLImageEditVCtrl::p_nowSeconds() const
{
    return m_oVideo.isOpen() ? float(zk_ff_time_to_double(m_oVideo.movie()->currentTime())) : 0.0f;
}

void HLImageEditVCtrl::p_updateImageDisplay()
{
    if (!m_oDisplayItem)
        return;
    const QImage picture = m_oDisplayItem->editedPreviewImageAt(p_nowSeconds());
    if (!picture.isNull())
        vImageDisplay->update(picture);
}

// Crop, rotation, effect --------------------------------------------------------------------

void HLImageEditVCtrl::resetCrop()
{
    if (!m_oItem)
        return;
    const auto crop = m_oItem->oCrop();
    if (!p_isReset(*crop))
        p_write(HLChange::Style, [&] { crop->reset(); });
    p_setupInterfaceCrop();
    p_updateImageCropFrame();
}

void HLImageEditVCtrl::p_afterRotate(bool relayout)
{
    p_setupInterfaceRotate();
    p_updateImageDisplay();
    if (relayout)
        p_updateImageDisplayFrame();
    p_setupInterfaceCrop();
    p_updateImageCropFrame();
}

void HLImageEditVCtrl::rotateL()
{
    if (!m_oItem)
        return;
    // Every turn clears the crop, in the same change.
    p_write(HLChange::Style, [&] {
        m_oItem->oRotate()->rotateL();
        m_oItem->oCrop()->reset();
    });
    p_afterRotate(true);
}

void HLImageEditVCtrl::rotateR()
{
    if (!m_oItem)
        return;
    p_write(HLChange::Style, [&] {
        m_oItem->oRotate()->rotateR();
        m_oItem->oCrop()->reset();
    });
    p_afterRotate(true);
}

void HLImageEditVCtrl::resetRotate()
{
    if (!m_oItem)
        return;
    if (!p_isReset(*m_oItem->oRotate()) || !p_isReset(*m_oItem->oCrop()))
        p_write(HLChange::Style, [&] {
            m_oItem->oRotate()->reset();
            m_oItem->oCrop()->reset();
        });
    p_afterRotate(true);
}

void HLImageEditVCtrl::rotateH()
{
    if (!m_oItem)
        return;
    // A flip acts on the picture as shown: on a quarter-turned one the record's other axis.
    p_write(HLChange::Style, [&] {
        const auto rotate = m_oItem->oRotate();
        rotate->isNormal() ? rotate->flipH() : rotate->flipV();
        m_oItem->oCrop()->reset();
    });
    p_afterRotate(false);
}

void HLImageEditVCtrl::rotateV()
{
    if (!m_oItem)
        return;
    p_write(HLChange::Style, [&] {
        const auto rotate = m_oItem->oRotate();
        rotate->isNormal() ? rotate->flipV() : rotate->flipH();
        m_oItem->oCrop()->reset();
    });
    p_afterRotate(false);
}

void HLImageEditVCtrl::effect(Effect which, float value)
{
    if (!m_oItem)
        return;
    const auto effect = m_oItem->oEffect();
    p_write(HLChange::Style, [&] {
        switch (which) {
        case Saturation: effect->setDSaturation(value); break;
        case Brightness: effect->setDBrightness(value); break;
        case Contrast: effect->setDContrast(value); break;
        case Hue: effect->setDHue(value); break;
        default: effect->setDSharpeness(value); break;
        }
    });
    p_setupInterfaceEffect();
    p_updateImageDisplay();
}

void HLImageEditVCtrl::resetEffect()
{
    if (!m_oItem)
        return;
    if (!p_isReset(*m_oItem->oEffect()))
        p_write(HLChange::Style, [&] { m_oItem->oEffect()->reset(); });
    p_setupInterfaceEffect();
    p_updateImageDisplay();
}

void HLImageEditVCtrl::p_typedCrop(bool width, float pixels)
{
    if (!m_oItem)
        return;
    const QSizeF size = m_oItem->renderDisplaySize();
    const double side = width ? size.width() : size.height();
    if (!(side > 0))
        return;
    // Record, crop view, record: the crop view's limits decide what is kept; one change.
    p_write(HLChange::Style, [&] {
        const auto crop = m_oItem->oCrop();
        width ? crop->setDRatioW(float(pixels / side)) : crop->setDRatioH(float(pixels / side));
        p_updateImageCropFrame();
        const auto ratios = HLImageEditGeometry::cropRatiosOf(m_rctImageDisplay, vImageCrop->rctDisplayFrame());
        if (ratios) {
            crop->setDRatioX(ratios->x);
            crop->setDRatioY(ratios->y);
            crop->setDRatioW(ratios->w);
            crop->setDRatioH(ratios->h);
        }
    });
    p_setupInterfaceCrop();
    vImageCropBack->update();
}

// Controls ----------------------------------------------------------------------------------

void HLImageEditVCtrl::p_setupInterfaceAll()
{
    p_setupInterfaceCrop();
    p_setupInterfaceRotate();
    p_setupInterfaceEffect();
    p_setupInterfaceVideo();
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::p_setupInterfaceCrop()
{
    const bool editing = m_oItem != nullptr;
    QSizeF size;
    float w = 0, h = 0;
    if (editing) {
        size = m_oItem->renderDisplaySize();
        w = m_oItem->oCrop()->dRatioW();
        h = m_oItem->oCrop()->dRatioH();
    }
    // A typed side is clamped to the picture's.
    m_fieldCropW->setRange({true, 0, float(size.width())});
    m_fieldCropH->setRange({true, 0, float(size.height())});
    edtCropW->setText(QString::number(HLImageEditGeometry::cropPixels(size.width(), w)));
    edtCropH->setText(QString::number(HLImageEditGeometry::cropPixels(size.height(), h)));
    for (QWidget *control : std::initializer_list<QWidget *>{edtCropW, edtCropH, btnCropReset})
        control->setEnabled(editing);
}

void HLImageEditVCtrl::p_setupInterfaceRotate()
{
    for (QToolButton *button : {btnRotateL, btnRotateR, btnRotateH, btnRotateV, btnRotateReset})
        button->setEnabled(m_oItem != nullptr);
}

void HLImageEditVCtrl::p_setupInterfaceEffect()
{
    const bool editing = m_oItem != nullptr;
    std::array<float, EffectCount> values{};
    if (editing) {
        const auto &e = *m_oItem->oEffect();
        values = {e.dSaturation(), e.dBrightness(), e.dContrast(), e.dHue(), e.dSharpeness()};
    }
    for (int i = 0; i < EffectCount; ++i) {
        {
            const QSignalBlocker blocker(sldEffect[i]);
            sldEffect[i]->setValue(qRound(values[i] * kEffectSteps));
        }
        m_fieldEffect[i]->setValue(values[i]);
        sldEffect[i]->setEnabled(editing);
        edtEffect[i]->setEnabled(editing);
    }
    btnEffectReset->setEnabled(editing);
}
