#include "SourceHL/Editors/HLImageEditVCtrl.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/Common/HLTextFieldHelper.h"
#include "SourceHL/Common/HLTimeStringTransformer.h"
#include "SourceHL/Editors/HLCropBackView.h"
#include "SourceHL/Editors/HLCropView.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLPreviewTimes.h"
#include "SourceHL/Editors/HLTrimlineProtocols.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayView.h"
#include "widgets/HLNamedImage.h"

#include <QCheckBox>

#include <algorithm>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

using HLImageEditGeometry::Rect;

namespace {

constexpr int kPanelWidth = 320;
constexpr int kPlayStripHeight = 30;
constexpr int kTrimlineHeight = 40;
constexpr int kEffectSteps = 100; // slider steps per unit of an effect value
constexpr int kVolumeSteps = 100; // slider steps per unit of the volume factor
constexpr float kVolumeMaximum = 3.0f;

// A y-up frame in a parent of height parentHeight as the widget's geometry.
QRect qtRectOf(const Rect &r, int parentHeight)
{
    return QRectF(r.x, parentHeight - r.y - r.height, r.width, r.height).toAlignedRect();
}

QToolButton *buttonOf(const QString &title, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(title);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QLabel *titleOf(const QString &title, QWidget *parent)
{
    auto *label = new QLabel(title, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
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

void HLImageEditVCtrl::p_makePanel()
{
    m_view = new HLUIEditBackView;
    m_ownView = m_view;
    m_view->setObjectName(QStringLiteral("HLImageEditVCtrl"));
    m_layout = new HLEditPaneLayout(m_view);
    auto *outer = new QVBoxLayout(m_view);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_layout->sclEdit(), 1);
    auto *bottom = new HLUIEditBottomView(m_view);
    auto *bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(8, 4, 8, 4);
    bottomRow->addStretch(1);
    btnDone = buttonOf(tr("Done"), bottom);
    bottomRow->addWidget(btnDone);
    outer->addWidget(bottom);
    connect(btnDone, &QToolButton::clicked, this, &HLImageEditVCtrl::done);

    QWidget *base = m_layout->vBase();
    auto *column = new QVBoxLayout(base);
    column->setContentsMargins(12, 10, 12, 12);
    column->setSpacing(6);

    // Crop.
    column->addWidget(titleOf(tr("Crop"), base));
    auto *crop = new QGridLayout;
    edtCropW = new QLineEdit(base);
    edtCropH = new QLineEdit(base);
    btnCropReset = buttonOf(tr("Reset"), base);
    crop->addWidget(new QLabel(tr("Width"), base), 0, 0);
    crop->addWidget(edtCropW, 0, 1);
    crop->addWidget(new QLabel(tr("Height"), base), 0, 2);
    crop->addWidget(edtCropH, 0, 3);
    crop->addWidget(btnCropReset, 1, 3);
    column->addLayout(crop);
    m_fieldCropW = new HLTypedNumberField(edtCropW, 0, {true, 0, 0});
    m_fieldCropH = new HLTypedNumberField(edtCropH, 0, {true, 0, 0});
    m_fieldCropW->setupValue([this](float v) { p_typedCrop(true, v); });
    m_fieldCropH->setupValue([this](float v) { p_typedCrop(false, v); });
    connect(btnCropReset, &QToolButton::clicked, this, &HLImageEditVCtrl::resetCrop);

    // Rotation.
    column->addWidget(titleOf(tr("Rotate"), base));
    auto *rotate = new QHBoxLayout;
    btnRotateL = buttonOf(tr("Left"), base);
    btnRotateR = buttonOf(tr("Right"), base);
    btnRotateH = buttonOf(tr("Flip H"), base);
    btnRotateV = buttonOf(tr("Flip V"), base);
    btnRotateReset = buttonOf(tr("Reset"), base);
    for (QToolButton *button : {btnRotateL, btnRotateR, btnRotateH, btnRotateV, btnRotateReset})
        rotate->addWidget(button);
    column->addLayout(rotate);
    connect(btnRotateL, &QToolButton::clicked, this, &HLImageEditVCtrl::rotateL);
    connect(btnRotateR, &QToolButton::clicked, this, &HLImageEditVCtrl::rotateR);
    connect(btnRotateH, &QToolButton::clicked, this, &HLImageEditVCtrl::rotateH);
    connect(btnRotateV, &QToolButton::clicked, this, &HLImageEditVCtrl::rotateV);
    connect(btnRotateReset, &QToolButton::clicked, this, &HLImageEditVCtrl::resetRotate);

    // Colour effect.
    column->addWidget(titleOf(tr("Effect"), base));
    auto *effects = new QGridLayout;
    const QString names[EffectCount] = {tr("Saturation"), tr("Brightness"), tr("Contrast"), tr("Hue"),
                                        tr("Sharpness")};
    for (int i = 0; i < EffectCount; ++i) {
        auto *slider = new QSlider(Qt::Horizontal, base);
        slider->setRange(0, 2 * kEffectSteps);
        auto *field = new QLineEdit(base);
        field->setFixedWidth(44);
        effects->addWidget(new QLabel(names[i], base), i, 0);
        effects->addWidget(slider, i, 1);
        effects->addWidget(field, i, 2);
        sldEffect[i] = slider;
        edtEffect[i] = field;
        const auto which = Effect(i);
        connect(slider, &QSlider::valueChanged, this,
                [this, which](int value) { effect(which, float(value) / kEffectSteps); });
        m_fieldEffect[i] = new HLTypedNumberField(field, 1, {true, 0, 2.0f});
        m_fieldEffect[i]->setupValue([this, which](float v) { effect(which, v); });
    }
    btnEffectReset = buttonOf(tr("Reset"), base);
    effects->addWidget(btnEffectReset, EffectCount, 2);
    column->addLayout(effects);
    connect(btnEffectReset, &QToolButton::clicked, this, &HLImageEditVCtrl::resetEffect);

    // Sound.
    vVideo = new QWidget(base);
    auto *sound = new QGridLayout(vVideo);
    sound->setContentsMargins(0, 0, 0, 0);
    sound->addWidget(titleOf(tr("Sound"), vVideo), 0, 0, 1, 3);
    sldVideoVolume = new QSlider(Qt::Horizontal, vVideo);
    sldVideoVolume->setRange(0, int(kVolumeMaximum * kVolumeSteps));
    edtVideoVolume = new QLineEdit(vVideo);
    edtVideoVolume->setFixedWidth(52);
    btnVideoSolo = new QCheckBox(tr("Solo"), vVideo);
    btnTrimReset = buttonOf(tr("Reset"), vVideo);
    sound->addWidget(new QLabel(tr("Volume"), vVideo), 1, 0);
    sound->addWidget(sldVideoVolume, 1, 1);
    sound->addWidget(edtVideoVolume, 1, 2);
    sound->addWidget(btnVideoSolo, 2, 1);
    sound->addWidget(btnTrimReset, 2, 2);
    column->addWidget(vVideo);
    connect(sldVideoVolume, &QSlider::valueChanged, this,
            [this](int value) { videoVolume(float(value) / kVolumeSteps); });
    m_fieldVolume = new HLTypedNumberField(edtVideoVolume, 0, {true, 0, 300}, QStringLiteral("%"));
    m_fieldVolume->setupValue([this](float percent) {
        if (!m_oItem)
            return;
        {
            const QSignalBlocker blocker(sldVideoVolume);
            sldVideoVolume->setValue(qRound(percent / 100 * kVolumeSteps));
        }
        videoVolume(percent / 100);
    });
    connect(btnVideoSolo, &QCheckBox::clicked, this, &HLImageEditVCtrl::vodeoPlaySolo);
    connect(btnTrimReset, &QToolButton::clicked, this, &HLImageEditVCtrl::resetVideo);

    // Trim.
    vTrim = new QWidget(base);
    auto *trim = new QGridLayout(vTrim);
    trim->setContentsMargins(0, 0, 0, 0);
    trim->addWidget(titleOf(tr("Trim"), vTrim), 0, 0, 1, 2);
    vTrimBack = new QWidget(vTrim);
    vTrimBack->setFixedHeight(kTrimlineHeight);
    auto *trimBack = new QVBoxLayout(vTrimBack);
    trimBack->setContentsMargins(0, 0, 0, 0);
    trimBack->addWidget(m_vCtrlTrimline->view());
    trim->addWidget(vTrimBack, 1, 0, 1, 2);
    btnTrimStart = buttonOf(tr("Set Start"), vTrim);
    btnTrimEnd = buttonOf(tr("Set End"), vTrim);
    edtTrimStart = new QLineEdit(vTrim);
    edtTrimEnd = new QLineEdit(vTrim);
    trim->addWidget(btnTrimStart, 2, 0);
    trim->addWidget(edtTrimStart, 2, 1);
    trim->addWidget(btnTrimEnd, 3, 0);
    trim->addWidget(edtTrimEnd, 3, 1);
    column->addWidget(vTrim);
    column->addStretch(1);
    connect(btnTrimStart, &QToolButton::clicked, this, &HLImageEditVCtrl::trimStart);
    connect(btnTrimEnd, &QToolButton::clicked, this, &HLImageEditVCtrl::trimEnd);
    int index = 0;
    for (QLineEdit *field : {edtTrimStart, edtTrimEnd}) {
        const bool start = index++ == 0;
        // The text shown when typing began: leaving the field with it changes nothing.
        connect(field, &QLineEdit::textEdited, this, [this, start] {
            QString &kept = m_strTrimTexts[start ? 0 : 1];
            if (kept.isNull() && isVideo())
                kept = HLInformationTitle::itMakeDigitalTitleTime(3, start ? m_oItem->oTrim()->dTrimMin()
                                                                           : m_oItem->oTrim()->dTrimMax());
        });
        connect(field, &QLineEdit::editingFinished, this, [this, start] { p_typedTrim(start); });
    }

    base->setFixedWidth(kPanelWidth);
    base->setFixedHeight(column->sizeHint().height());
    m_layout->updateFrames();
}

void HLImageEditVCtrl::p_makeDisplay()
{
    vDisplay = new QWidget;
    m_ownDisplay = vDisplay;
    vDisplay->setObjectName(QStringLiteral("vImageEditDisplay"));
    vDisplay->setAutoFillBackground(true);
    QPalette palette = vDisplay->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.1, 0.1, 0.1));
    vDisplay->setPalette(palette);
    vImageBack = new QWidget(vDisplay);
    vImageDisplay = new HLDisplayView(vImageBack);
    vImageCropBack = new HLCropBackView(vImageBack);
    vImageCrop = new HLCropView(vImageCropBack);
    vImageCropBack->setVCrop(vImageCrop);
    vImageCrop->setEnumDrawType(HLCropView::GuideTrisection);
    vImageCrop->setup([this] {
        p_syncCropRatio();
        p_setupInterfaceCrop();
        vImageCropBack->update();
    });
    vVideoBack = new QWidget(vDisplay);
    vVideoBack->setFixedHeight(kPlayStripHeight);
    auto *strip = new QHBoxLayout(vVideoBack);
    strip->setContentsMargins(8, 2, 8, 2);
    btnVideoPlay = new QToolButton(vVideoBack);
    btnVideoPlay->setAutoRaise(true);
    tldPlayTime = new QLabel(vVideoBack);
    tldPlayDuration = new QLabel(vVideoBack);
    strip->addWidget(btnVideoPlay);
    strip->addWidget(tldPlayTime);
    strip->addStretch(1);
    strip->addWidget(tldPlayDuration);
    connect(btnVideoPlay, &QToolButton::clicked, this, &HLImageEditVCtrl::videoPlay);
    vDisplay->installEventFilter(this);
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
    if (!crop->isEdited()) {
        p_setupInterfaceCrop();
        p_updateImageCropFrame();
        return;
    }
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

// Sound, trim, play -------------------------------------------------------------------------

void HLImageEditVCtrl::p_syncVideoVolume()
{
    if (isVideo())
        m_oVideo.setVolume(m_oItem->oTrim()->dVolume());
}

void HLImageEditVCtrl::videoVolume(float volume)
{
    if (!isVideo())
        return;
    const auto trim = m_oItem->oTrim();
    if (trim->dVolume() != volume)
        p_write(HLChange::Style, [&] { trim->setDVolume(volume); });
    p_syncVideoVolume();
    p_setupInterfaceVideo();
}

void HLImageEditVCtrl::vodeoPlaySolo(bool solo)
{
    if (!isVideo())
        return;
    const auto trim = m_oItem->oTrim();
    if (trim->bSolo() != solo)
        p_write(HLChange::Style, [&] { trim->setBSolo(solo); });
    p_setupInterfaceVideo();
}

void HLImageEditVCtrl::resetVideo()
{
    if (!isVideo())
        return;
    p_write(HLChange::Timing, [&] { m_oItem->oTrim()->reset(); });
    p_syncVideoVolume();
    p_setupInterfaceVideo();
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::trimStart()
{
    if (!isVideo() || !m_oVideo.player())
        return;
    const float ratio = m_oVideo.player()->trimPlayRatio();
    p_write(HLChange::Timing, [&] { m_oItem->oTrim()->updateTrimRatioMin(ratio); });
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::trimEnd()
{
    if (!isVideo() || !m_oVideo.player())
        return;
    const float ratio = m_oVideo.player()->trimPlayRatio();
    p_write(HLChange::Timing, [&] { m_oItem->oTrim()->updateTrimRatioMax(ratio); });
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::p_typedTrim(bool start)
{
    QString &kept = m_strTrimTexts[start ? 0 : 1];
    const QString before = kept;
    kept = QString();
    QLineEdit *field = start ? edtTrimStart : edtTrimEnd;
    // Leaving a field as it was shown changes nothing (its text is rounded).
    if (before.isNull() || field->text() == before || !isVideo()) {
        p_setupInterfaceTrim();
        return;
    }
    const auto typed = HLPreviewTimes::typedTime(HLTimeStringTransformer::reverseTransformedValue(field->text()));
    const auto trim = m_oItem->oTrim();
    const float d = trim->dDuration();
    if (typed && d > 0) {
        const float ratio = start ? std::clamp(*typed, 0.0f, trim->dTrimMax()) / d
                                  : std::clamp(*typed, trim->dTrimMin(), d) / d;
        p_write(HLChange::Timing, [&] {
            start ? trim->updateTrimRatioMin(std::clamp(ratio, 0.0f, 1.0f))
                  : trim->updateTrimRatioMax(std::clamp(ratio, 0.0f, 1.0f));
        });
    }
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::videoPlay()
{
    if (m_oVideo.isPlay())
        m_oVideo.pause();
    else if (isVideo())
        m_oVideo.play();
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::p_playFeedback()
{
    if (!isVideo() || !m_oVideo.isOpen())
        return;
    const auto &movie = m_oVideo.movie();
    const auto trim = m_oItem->oTrim();
    if (const auto back = HLPreviewTimes::loopedTime(movie->currentTime(), trim->dTrimMin(), trim->dTrimMax(),
                                                     zk_default_time_base()))
        movie->setCurrentTime(*back);
    p_updateImageDisplay();
    p_setupInterfaceTrim();
}

void HLImageEditVCtrl::p_trimlineDidChange(HLTrimlineGeometry::TrimUnitType type)
{
    if (type == HLTrimlineGeometry::TrimUnitMid)
        p_updateImageDisplay();
    else if (m_oVideo.isPlay())
        videoPlay();
    p_setupInterfaceTrim();
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

void HLImageEditVCtrl::p_setupInterfaceVideo()
{
    const bool editing = m_oItem != nullptr;
    const bool video = isVideo();
    const float volume = video ? m_oItem->oTrim()->dVolume() : 0.0f;
    {
        const QSignalBlocker blocker(sldVideoVolume);
        sldVideoVolume->setValue(qRound(volume * kVolumeSteps));
    }
    edtVideoVolume->setText(hlPercentageOf(volume, 0));
    btnVideoSolo->setChecked(video && m_oItem->oTrim()->bSolo());
    for (QWidget *control : std::initializer_list<QWidget *>{sldVideoVolume, edtVideoVolume, btnVideoSolo, btnTrimReset})
        control->setEnabled(editing);
}

void HLImageEditVCtrl::p_setupInterfaceTrim()
{
    const bool editing = m_oItem != nullptr;
    const bool video = isVideo();
    const bool playing = m_oVideo.isPlay();
    const float now = p_nowSeconds();
    const float duration = m_oVideo.isOpen() ? float(zk_ff_time_to_double(m_oVideo.movie()->duration())) : 0.0f;
    const float start = video ? m_oItem->oTrim()->dTrimMin() : 0.0f;
    const float end = video ? m_oItem->oTrim()->dTrimMax() : 0.0f;
    for (QWidget *control : std::initializer_list<QWidget *>{btnVideoPlay, btnTrimStart, edtTrimStart, btnTrimEnd, edtTrimEnd})
        control->setEnabled(editing);
    m_vCtrlTrimline->setBIsEnable(editing);
    m_vCtrlTrimline->updateInterface();
    // The pictures "Pause.png" and "Play.png".
    btnVideoPlay->setIcon(HLNamedImage::icon(playing ? QStringLiteral("Pause") : QStringLiteral("Play")));
    tldPlayTime->setText(HLInformationTitle::itMakeDigitalTitleTime(3, now));
    tldPlayDuration->setText(HLInformationTitle::itMakeDigitalTitleTime(2, duration));
    // While playing, the field being typed into keeps what the user types.
    if (!(playing && edtTrimStart->hasFocus()))
        edtTrimStart->setText(HLInformationTitle::itMakeDigitalTitleTime(3, start));
    if (!(playing && edtTrimEnd->hasFocus()))
        edtTrimEnd->setText(HLInformationTitle::itMakeDigitalTitleTime(3, end));
}
