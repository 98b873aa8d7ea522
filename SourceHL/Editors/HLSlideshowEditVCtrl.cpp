#include "SourceHL/Editors/HLSlideshowEditVCtrl.h"

#include "SourceHL/Editors/HLDurationControl.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "widgets/HLColorWell.h"
#include "widgets/HLGradientView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kPanelWidth = 320;
// Ratio sliders count hundredths.
constexpr float kRatioSteps = 100;

QLabel *sectionTitle(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QSlider *ratioSlider(float maximum)
{
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, int(maximum * kRatioSteps));
    return slider;
}

void showRatio(QSlider *slider, float ratio)
{
    const QSignalBlocker quiet(slider);
    slider->setValue(int(std::lround(ratio * kRatioSteps)));
}

// The colour-kind pop-up's entry for a background edit, and what choosing an entry writes.
int colorKindOf(qint64 colorType, qint64 gradientType)
{
    if (colorType == 0)
        return 0;
    return gradientType == 0 ? 1 : 2;
}

} // namespace

HLSlideshowEditVCtrl::HLSlideshowEditVCtrl() : HLSlideshowItemPane(new HLUIEditBackView)
{
    m_view->setObjectName(QStringLiteral("HLSlideshowEditVCtrl"));
    p_build();
    p_connect();
    p_refreshAll();
}

void HLSlideshowEditVCtrl::setUpApplyToAllDis(ApplyBlock dis, ApplyBlock ani)
{
    m_blkDis = std::move(dis);
    m_blkAni = std::move(ani);
}

void HLSlideshowEditVCtrl::p_itemChanged(bool opened)
{
    p_refreshAll();
    if (opened)
        m_layout->sclEdit()->ensureVisible(0, 0, 0, 0);
}

// Building ---------------------------------------------------------------------------------

void HLSlideshowEditVCtrl::p_build()
{
    auto *column = new QVBoxLayout(m_view);
    column->setContentsMargins(2, 0, 0, 0);
    column->setSpacing(0);
    m_layout = new HLEditPaneLayout(m_view);
    column->addWidget(m_layout->sclEdit(), 1);
    auto *bottom = new HLUIEditBottomView;
    bottom->setFixedHeight(36);
    auto *bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(10, 5, 10, 5);
    bar->addStretch(1);
    m_btnDone = new QPushButton(tr("Done"));
    bar->addWidget(m_btnDone);
    column->addWidget(bottom);

    QWidget *base = m_layout->vBase();
    auto *sections = new QVBoxLayout(base);
    sections->setSizeConstraint(QLayout::SetFixedSize);
    sections->setContentsMargins(12, 10, 12, 12);
    sections->setSpacing(6);
    for (QWidget *section : {p_buildDuration(), p_buildTemplate(), p_buildPhotoFrame(), p_buildSlideBack()}) {
        section->setFixedWidth(kPanelWidth - 24);
        sections->addWidget(section);
    }
}

QWidget *HLSlideshowEditVCtrl::p_buildDuration()
{
    auto *section = new QWidget;
    auto *grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 6);
    grid->addWidget(sectionTitle(tr("Duration")), 0, 0, 1, 4);
    m_durationDisplay = new HLDurationControl(0.5f, 30.0f, section);
    m_durationAnimate = new HLDurationControl(0.1f, 10.0f, section);
    m_btnApplyToAllDis = new QPushButton(tr("Apply to All"));
    m_btnApplyToAllAni = new QPushButton(tr("Apply to All"));
    grid->addWidget(new QLabel(tr("Photo")), 1, 0);
    grid->addWidget(m_durationDisplay->slider(), 1, 1);
    grid->addWidget(m_durationDisplay->field(), 1, 2);
    grid->addWidget(m_btnApplyToAllDis, 1, 3);
    grid->addWidget(new QLabel(tr("Animation")), 2, 0);
    grid->addWidget(m_durationAnimate->slider(), 2, 1);
    grid->addWidget(m_durationAnimate->field(), 2, 2);
    grid->addWidget(m_btnApplyToAllAni, 2, 3);
    grid->addWidget(new QLabel(tr("Total")), 3, 0);
    m_lblDurationAll = new QLabel;
    m_lblDurationAll->setObjectName(QStringLiteral("lblDurationAll"));
    grid->addWidget(m_lblDurationAll, 3, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    return section;
}

QWidget *HLSlideshowEditVCtrl::p_buildTemplate()
{
    auto *section = new QWidget;
    auto *grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 6);
    grid->addWidget(sectionTitle(tr("Template")), 0, 0, 1, 2);
    m_quartz = new HLTemplatePopUp(0, section);
    grid->addWidget(m_quartz->ppBtnQuartzNames(), 1, 0, Qt::AlignTop);
    grid->addWidget(m_quartz->vQuartzPreview(), 1, 1);
    grid->setColumnStretch(0, 1);
    return section;
}

QWidget *HLSlideshowEditVCtrl::p_buildPhotoFrame()
{
    auto *section = new QWidget;
    auto *grid = new QGridLayout(section);
    grid->setContentsMargins(0, 0, 0, 6);
    grid->addWidget(sectionTitle(tr("Photo Frame")), 0, 0, 1, 3);
    m_btnPhotoBorder = new QCheckBox(tr("Border"));
    m_clwlPhotoBorder = new HLColorWell;
    m_sldPhotoBorder = ratioSlider(2.0f);
    m_btnPhotoBack = new QCheckBox(tr("Background"));
    m_clwlPhotoBack = new HLColorWell;
    m_sldPhotoBack = ratioSlider(1.0f);
    grid->addWidget(m_btnPhotoBorder, 1, 0);
    grid->addWidget(m_clwlPhotoBorder, 1, 1);
    grid->addWidget(m_sldPhotoBorder, 1, 2);
    grid->addWidget(m_btnPhotoBack, 2, 0);
    grid->addWidget(m_clwlPhotoBack, 2, 1);
    grid->addWidget(m_sldPhotoBack, 2, 2);
    grid->setColumnStretch(2, 1);
    return section;
}

QWidget *HLSlideshowEditVCtrl::p_buildSlideBack()
{
    auto *section = new QWidget;
    auto *column = new QVBoxLayout(section);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(sectionTitle(tr("Slide Background")));
    auto *kinds = new QHBoxLayout;
    m_btnSlideBack = new QCheckBox(tr("Background"));
    m_btnSlideBackColor = new QRadioButton(tr("Color"));
    m_btnSlideBackImage = new QRadioButton(tr("Image"));
    // The pair is set from the model; neither excludes the other by itself.
    m_btnSlideBackColor->setAutoExclusive(false);
    m_btnSlideBackImage->setAutoExclusive(false);
    kinds->addWidget(m_btnSlideBack);
    kinds->addStretch(1);
    kinds->addWidget(m_btnSlideBackColor);
    kinds->addWidget(m_btnSlideBackImage);
    column->addLayout(kinds);

    m_vSlideBackColorBack = new QWidget;
    auto *color = new QGridLayout(m_vSlideBackColorBack);
    color->setContentsMargins(0, 0, 0, 0);
    m_ppBtnSlideBackColor = new QComboBox;
    m_ppBtnSlideBackColor->addItems(
        {QStringLiteral("Single Color Fill"), QStringLiteral("Gradient(Left -> Right)"), QStringLiteral("Gradient(Bottom -> Up)")});
    m_vSlideBackColorDisplay = new HLGradientView;
    m_vSlideBackColorDisplay->setFixedSize(120, 90);
    m_vSlideBackColorSingleBack = new QWidget;
    auto *single = new QHBoxLayout(m_vSlideBackColorSingleBack);
    single->setContentsMargins(0, 0, 0, 0);
    m_clwlSlideBackColorSingle = new HLColorWell;
    single->addWidget(new QLabel(tr("Color")));
    single->addWidget(m_clwlSlideBackColorSingle);
    single->addStretch(1);
    m_vSlideBackColorGrandientBack = new QWidget;
    auto *gradient = new QHBoxLayout(m_vSlideBackColorGrandientBack);
    gradient->setContentsMargins(0, 0, 0, 0);
    m_clwlSlideBackColorGradientA = new HLColorWell;
    m_clwlSlideBackColorGradientB = new HLColorWell;
    gradient->addWidget(new QLabel(tr("From")));
    gradient->addWidget(m_clwlSlideBackColorGradientA);
    gradient->addWidget(new QLabel(tr("To")));
    gradient->addWidget(m_clwlSlideBackColorGradientB);
    gradient->addStretch(1);
    auto *wells = new QVBoxLayout;
    wells->addWidget(m_ppBtnSlideBackColor);
    wells->addWidget(m_vSlideBackColorSingleBack);
    wells->addWidget(m_vSlideBackColorGrandientBack);
    wells->addStretch(1);
    color->addLayout(wells, 0, 0);
    color->addWidget(m_vSlideBackColorDisplay, 0, 1);
    color->setColumnStretch(0, 1);
    column->addWidget(m_vSlideBackColorBack);

    m_vSlideBackImageBack = new QWidget;
    auto *image = new QGridLayout(m_vSlideBackImageBack);
    image->setContentsMargins(0, 0, 0, 0);
    m_btnSlideBackImageChoose = new QPushButton(tr("Choose…"));
    m_btnSlideBackImageClear = new QPushButton(tr("Clear"));
    m_vSlideBackImageDisplay = new HLDisplayView;
    m_vSlideBackImageDisplay->setFixedSize(120, 90);
    m_vSlideBackImageDisplay->setClBack(QColor(Qt::black));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_btnSlideBackImageChoose);
    buttons->addWidget(m_btnSlideBackImageClear);
    buttons->addStretch(1);
    image->addLayout(buttons, 0, 0);
    image->addWidget(m_vSlideBackImageDisplay, 0, 1);
    image->setColumnStretch(0, 1);
    column->addWidget(m_vSlideBackImageBack);
    return section;
}

void HLSlideshowEditVCtrl::p_connect()
{
    m_durationDisplay->setupValue([this](float seconds) {
        p_write(HLChange::Timing, [seconds](HLSlideshowItem &item) { item.setDSlideshowDisplay(seconds); },
                &HLSlideshowEditVCtrl::p_refreshDuration);
    });
    m_durationAnimate->setupValue([this](float seconds) {
        p_write(HLChange::Timing, [seconds](HLSlideshowItem &item) { item.setDSlideshowAnimate(seconds); },
                &HLSlideshowEditVCtrl::p_refreshDuration);
    });
    connect(m_btnApplyToAllDis, &QPushButton::clicked, this, &HLSlideshowEditVCtrl::applyToAllDurationDisplay);
    connect(m_btnApplyToAllAni, &QPushButton::clicked, this, &HLSlideshowEditVCtrl::applyToAllDurationAnimate);
    m_quartz->setupChoose([this](const QString &name) { changeQuartzName(name); });

    connect(m_btnPhotoBorder, &QCheckBox::clicked, this, [this](bool on) {
        p_writeFrame([on](HLSlideshowItem &item) { item.oRenderEdit()->setBImageBorder(on); });
    });
    connect(m_clwlPhotoBorder, &HLColorWell::colorChosen, this, [this] {
        const QColor color = m_clwlPhotoBorder->color();
        p_writeFrame([color](HLSlideshowItem &item) { item.oRenderEdit()->setClBorderColor(color); });
    });
    connect(m_sldPhotoBorder, &QSlider::valueChanged, this, [this](int steps) {
        p_writeFrame([steps](HLSlideshowItem &item) { item.oRenderEdit()->setDBorderRatio(float(steps) / kRatioSteps); });
    });
    connect(m_btnPhotoBack, &QCheckBox::clicked, this, [this](bool on) {
        p_writeFrame([on](HLSlideshowItem &item) { item.oRenderEdit()->setBImageBackground(on); });
    });
    connect(m_clwlPhotoBack, &HLColorWell::colorChosen, this, [this] {
        const QColor color = m_clwlPhotoBack->color();
        p_writeFrame([color](HLSlideshowItem &item) { item.oRenderEdit()->setClBackgroundColor(color); });
    });
    connect(m_sldPhotoBack, &QSlider::valueChanged, this, [this](int steps) {
        p_writeFrame(
            [steps](HLSlideshowItem &item) { item.oRenderEdit()->setDBackgroundRatio(float(steps) / kRatioSteps); });
    });

    connect(m_btnSlideBack, &QCheckBox::clicked, this, [this](bool on) {
        p_writeBack([on](HLSlideshowItem &item) { item.oBackEdit()->setBBackground(on); });
    });
    connect(m_btnSlideBackColor, &QRadioButton::clicked, this, [this] {
        p_writeBack([](HLSlideshowItem &item) { item.oBackEdit()->setEnBackType(0); });
    });
    connect(m_btnSlideBackImage, &QRadioButton::clicked, this, [this] {
        p_writeBack([](HLSlideshowItem &item) { item.oBackEdit()->setEnBackType(1); });
    });
    connect(m_ppBtnSlideBackColor, &QComboBox::activated, this, [this](int index) {
        p_writeBack([index](HLSlideshowItem &item) {
            item.oBackEdit()->setEnColorType(index != 0);
            item.oBackEdit()->setEnGradientType(index != 1);
        });
    });
    const auto well = [this](HLColorWell *well, void (HLBackEditSlideshow::*set)(const QColor &)) {
        connect(well, &HLColorWell::colorChosen, this, [this, well, set] {
            const QColor color = well->color();
            p_writeBack([color, set](HLSlideshowItem &item) { (item.oBackEdit().get()->*set)(color); });
        });
    };
    well(m_clwlSlideBackColorSingle, &HLBackEditSlideshow::setClBackSingle);
    well(m_clwlSlideBackColorGradientA, &HLBackEditSlideshow::setClBackGradientStart);
    well(m_clwlSlideBackColorGradientB, &HLBackEditSlideshow::setClBackGradientEnd);
    connect(m_btnSlideBackImageClear, &QPushButton::clicked, this, [this] {
        p_writeBack([](HLSlideshowItem &item) { item.oBackEdit()->setOBack(nullptr); });
    });
    connect(m_btnSlideBackImageChoose, &QPushButton::clicked, this, &HLSlideshowEditVCtrl::p_chooseBackImageFromPanel);
    connect(m_btnDone, &QPushButton::clicked, this, [this] {
        if (m_blkEnd)
            m_blkEnd();
    });
}

// Writing ----------------------------------------------------------------------------------

void HLSlideshowEditVCtrl::p_write(HLChange::Kinds kinds, const std::function<void(HLSlideshowItem &item)> &write,
                                   void (HLSlideshowEditVCtrl::*refresh)())
{
    if (!m_oItem)
        return;
    const std::shared_ptr<HLSlideshowItem> item = m_oItem;
    const auto run = [&] { write(*item); };
    if (m_write)
        m_write(kinds, run);
    else
        run();
    (this->*refresh)();
}

void HLSlideshowEditVCtrl::p_writeFrame(const std::function<void(HLSlideshowItem &item)> &write)
{
    p_write(HLChange::Style,
            [&write](HLSlideshowItem &item) {
                write(item);
                item.oRenderEdit()->makeDirty();
            },
            &HLSlideshowEditVCtrl::p_refreshPhotoFrame);
}

void HLSlideshowEditVCtrl::p_writeBack(const std::function<void(HLSlideshowItem &item)> &write)
{
    p_write(HLChange::Style,
            [&write](HLSlideshowItem &item) {
                write(item);
                item.oBackEdit()->makeDirty();
            },
            &HLSlideshowEditVCtrl::p_refreshSlideBack);
}

void HLSlideshowEditVCtrl::applyToAllDurationDisplay()
{
    // Every item gets a positive length or nothing.
    if (m_oItem && m_blkDis && m_oItem->dSlideshowDisplay() > 0)
        m_blkDis(m_oItem->dSlideshowDisplay());
}

void HLSlideshowEditVCtrl::applyToAllDurationAnimate()
{
    if (m_oItem && m_blkAni && m_oItem->dSlideshowAnimate() > 0)
        m_blkAni(m_oItem->dSlideshowAnimate());
}

void HLSlideshowEditVCtrl::changeQuartzName(const QString &name)
{
    const auto info = HLQuartzPool::quartzPoolOf(0)->infoDicOf(name);
    // A name the catalogue doesn't know leaves the template as it was.
    if (!info) {
        p_refreshAll();
        return;
    }
    p_write(HLChange::Timing | HLChange::Style,
            [&info](HLSlideshowItem &item) {
                item.updateSlideshow(*info);
                item.oRenderEdit()->makeDirty();
            },
            &HLSlideshowEditVCtrl::p_refreshAll);
}

void HLSlideshowEditVCtrl::p_chooseBackImageFromPanel()
{
    QFileDialog panel(m_view->window());
    panel.setWindowModality(Qt::WindowModal);
    panel.setFileMode(QFileDialog::ExistingFile);
    panel.setLabelText(QFileDialog::Accept, tr("Select"));
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return;
    p_chooseBackImage(panel.selectedFiles().first());
}

void HLSlideshowEditVCtrl::p_chooseBackImage(const QString &path)
{
    if (!m_oItem)
        return;
    if (!HLResourceItem::isKindOfImage(path)) {
        p_tellWhy(path, tr("It is not a picture file."));
        return;
    }
    QString reason;
    const auto setup = [](HLResourceType kind, const QString &resourceID, const QString &hashID, const QString &placed,
                          QString *why) { return HLResourceItem::itemOf(kind, resourceID, hashID, placed, why); };
    const auto back = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage)
                          ->addResourceFrom(path, setup, &reason);
    if (!back) {
        p_tellWhy(path, reason);
        return;
    }
    p_writeBack([&back](HLSlideshowItem &item) { item.oBackEdit()->setOBack(back); });
}

void HLSlideshowEditVCtrl::p_tellWhy(const QString &path, const QString &reason)
{
    QMessageBox alert(QMessageBox::Warning, QString(),
                      tr("\"%1\" can't be used as the slide background.").arg(QFileInfo(path).fileName()),
                      QMessageBox::Ok, m_view->window());
    alert.setInformativeText(reason);
    alert.setWindowModality(Qt::WindowModal);
    alert.exec();
}

// Refreshing -------------------------------------------------------------------------------

void HLSlideshowEditVCtrl::p_refreshAll()
{
    p_refreshDuration();
    p_refreshTemplate();
    p_refreshPhotoFrame();
    p_refreshSlideBack();
}

void HLSlideshowEditVCtrl::p_refreshDuration()
{
    const bool editing = bool(m_oItem);
    const bool plain = editing && !m_oItem->isSpecial();
    const float display = editing ? m_oItem->dSlideshowDisplay() : 0.0f;
    const float animate = editing ? m_oItem->dSlideshowAnimate() : 0.0f;
    m_durationDisplay->setEnabled(editing);
    m_btnApplyToAllDis->setEnabled(editing);
    m_durationAnimate->setEnabled(plain);
    m_btnApplyToAllAni->setEnabled(plain);
    m_lblDurationAll->setText(QString::asprintf("%.1f", double(display + animate)));
    m_durationDisplay->setValue(display);
    m_durationAnimate->setValue(animate);
}

void HLSlideshowEditVCtrl::p_refreshTemplate()
{
    const bool editing = m_oItem && m_oItem->oSlideshowInfo();
    m_quartz->refresh(bool(m_oItem), editing ? m_oItem->oSlideshowInfo()->strName() : QString());
}

void HLSlideshowEditVCtrl::p_refreshPhotoFrame()
{
    const bool editing = bool(m_oItem);
    const HLRenderEditSlideshow *edit = editing ? m_oItem->oRenderEdit().get() : nullptr;
    const bool border = edit && edit->bImageBorder();
    const bool back = edit && edit->bImageBackground();
    m_btnPhotoBorder->setEnabled(editing);
    m_btnPhotoBorder->setChecked(border);
    m_clwlPhotoBorder->setEnabled(border);
    m_clwlPhotoBorder->setColor(edit ? edit->clBorderColor() : QColor(Qt::white));
    m_sldPhotoBorder->setEnabled(border);
    showRatio(m_sldPhotoBorder, edit ? edit->dBorderRatio() : 0.7f);
    m_btnPhotoBack->setEnabled(editing);
    m_btnPhotoBack->setChecked(back);
    m_clwlPhotoBack->setEnabled(back);
    m_clwlPhotoBack->setColor(edit ? edit->clBackgroundColor() : QColor(Qt::black));
    m_sldPhotoBack->setEnabled(back);
    showRatio(m_sldPhotoBack, edit ? edit->dBackgroundRatio() : 1.0f);
}

void HLSlideshowEditVCtrl::p_refreshSlideBack()
{
    const HLBackEditSlideshow *edit = m_oItem ? m_oItem->oBackEdit().get() : nullptr;
    const bool on = edit && edit->bBackground();
    m_btnSlideBack->setEnabled(bool(edit));
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_btnSlideBackColor, m_btnSlideBackImage, m_ppBtnSlideBackColor, m_clwlSlideBackColorSingle,
             m_clwlSlideBackColorGradientA, m_clwlSlideBackColorGradientB, m_btnSlideBackImageChoose,
             m_btnSlideBackImageClear})
        control->setEnabled(on);
    m_btnSlideBack->setChecked(on);
    const bool isColor = !edit || edit->enBackType() == 0;
    m_btnSlideBackColor->setChecked(isColor);
    m_btnSlideBackImage->setChecked(!isColor);
    m_vSlideBackColorBack->setHidden(!isColor);
    m_vSlideBackImageBack->setHidden(isColor);

    const qint64 colorType = edit ? edit->enColorType() : 0;
    const qint64 gradientType = edit ? edit->enGradientType() : 1;
    const bool isSingle = colorType == 0;
    m_ppBtnSlideBackColor->setCurrentIndex(colorKindOf(colorType, gradientType));
    m_vSlideBackColorSingleBack->setHidden(!isSingle);
    m_vSlideBackColorGrandientBack->setHidden(isSingle);
    const QColor single = edit ? edit->clBackSingle() : QColor(Qt::black);
    const QColor start = edit ? edit->clBackGradientStart() : QColor(Qt::green);
    const QColor end = edit ? edit->clBackGradientEnd() : QColor(Qt::blue);
    m_clwlSlideBackColorSingle->setColor(single);
    m_clwlSlideBackColorGradientA->setColor(start);
    m_clwlSlideBackColorGradientB->setColor(end);
    m_vSlideBackColorDisplay->setClColorLB(isSingle ? single : start);
    m_vSlideBackColorDisplay->setClColorRU(isSingle ? single : end);
    m_vSlideBackColorDisplay->setEnType(gradientType != 0 ? 1 : 0);
    m_vSlideBackColorDisplay->update();
    m_vSlideBackImageDisplay->update(edit ? edit->previewImage() : QImage());
}
