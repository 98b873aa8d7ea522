#include "SourceHL/Editors/HLImageEditVCtrl.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/Common/HLTextFieldHelper.h"
#include "SourceHL/Common/HLTimeStringTransformer.h"
#include "SourceHL/Editors/HLPreviewTimes.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "widgets/HLNamedImage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <algorithm>

// A clip's sound, its kept part and the preview that loops in it.

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
    if (!p_isReset(*m_oItem->oTrim()))
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
