#include "SourceHL/Editors/HLImageEditVCtrl.h"

#include "SourceHL/Editors/HLCropBackView.h"
#include "SourceHL/Editors/HLCropView.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/View/HLDisplayView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>

// The pane's controls and its display, made once.

namespace {

constexpr int kPanelWidth = 320;
constexpr int kTrimlineHeight = 40;
constexpr float kVolumeMaximum = 3.0f;

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
