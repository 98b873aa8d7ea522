#include "SourceHL/Editors/HLAudioEditVCtrl.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLMusicEditValues.h"
#include "SourceHL/Editors/HLPreviewTimes.h"
#include "SourceHL/Editors/HLResponderChain.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "widgets/HLNamedImage.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cfloat>

namespace {

constexpr int kFadeChoices = 10; // whole seconds 0 to 9
constexpr int kPanelWidth = 300;
constexpr const char *kShownText = "hlShownText"; // a time field's text as the pane last showed it

QString timeText(qint64 style, float seconds)
{
    return HLInformationTitle::itMakeDigitalTitleTime(style, std::max(seconds, 0.0f));
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: rgb(200, 200, 200);"));
    return label;
}

} // namespace

HLAudioEditVCtrl::HLAudioEditVCtrl(HLEditWrite write)
    : m_write(std::move(write))
    , m_vCtrlTrimline(std::make_unique<HLTrimlineVCtrl>())
{
    m_vCtrlTrimline->setupDidChange([this](HLTrimlineVCtrl::TrimUnitType type) {
        // Only a press on a trim handle stops the preview; sync play reports its drags as 1.
        if (type != HLTrimlineGeometry::TrimUnitType(1) && m_oAudio.isPlay())
            audioPlay();
        p_setupInterfaceTrim();
        p_setupInterfaceRepeat();
    });
    m_vCtrlTrimline->setBTrimSyncPlay(true);
    m_vCtrlTrimline->setBTrimLoopPlay(true);
    m_oAudio.setupTick([this] { p_playFeedback(); });
    p_build();
    p_setupInterfaceAll();
}

HLAudioEditVCtrl::~HLAudioEditVCtrl()
{
    m_oAudio.close();
    delete m_view; // a window it was installed in may have taken it already
}

QWidget *HLAudioEditVCtrl::view()
{
    return m_view;
}

void HLAudioEditVCtrl::p_build()
{
    m_view = new HLUIEditBackView;
    m_view->setObjectName(QStringLiteral("HLAudioEditVCtrl"));
    QGridLayout *grid = nullptr;
    m_layout = HLEditPaneLayout::withGrid(m_view, kPanelWidth, grid);
    QWidget *base = m_layout->vBase();
    int row = 0;

    grid->addWidget(caption(tr("Music"), base), row++, 0, 1, 4);
    btnAudioPlay = new QToolButton(base);
    btnAudioPlay->setAutoRaise(true);
    btnAudioPlay->setIconSize(HLNamedImage::size(QStringLiteral("Play")));
    connect(btnAudioPlay, &QToolButton::clicked, this, &HLAudioEditVCtrl::audioPlay);
    tldPlayTime = caption(QString(), base);
    tldPlayDuration = caption(QString(), base);
    grid->addWidget(btnAudioPlay, row, 0);
    grid->addWidget(tldPlayTime, row, 1, 1, 2);
    grid->addWidget(tldPlayDuration, row++, 3, Qt::AlignRight);

    auto *trimBack = new QWidget(base);
    trimBack->setObjectName(QStringLiteral("vTrimBack"));
    auto *trimLayout = new QVBoxLayout(trimBack);
    trimLayout->setContentsMargins(0, 0, 0, 0);
    trimLayout->addWidget(m_vCtrlTrimline->view());
    grid->addWidget(trimBack, row++, 0, 1, 4);
    HLResponderChain::hlAdjustResponderChain(m_vCtrlTrimline.get(), m_vCtrlTrimline->view(), {});

    btnTrimStart = new QPushButton(tr("Set Start"), base);
    edtTrimStart = new QLineEdit(base);
    btnTrimEnd = new QPushButton(tr("Set End"), base);
    edtTrimEnd = new QLineEdit(base);
    connect(btnTrimStart, &QPushButton::clicked, this, &HLAudioEditVCtrl::trimStart);
    connect(btnTrimEnd, &QPushButton::clicked, this, &HLAudioEditVCtrl::trimEnd);
    grid->addWidget(btnTrimStart, row, 0, 1, 2);
    grid->addWidget(edtTrimStart, row++, 2, 1, 2);
    grid->addWidget(btnTrimEnd, row, 0, 1, 2);
    grid->addWidget(edtTrimEnd, row++, 2, 1, 2);
    tldTrimDuration = caption(QString(), base);
    grid->addWidget(caption(tr("Duration"), base), row, 0, 1, 2);
    grid->addWidget(tldTrimDuration, row++, 2, 1, 2);

    ppBtnFadeIn = new QComboBox(base);
    ppBtnFadeOut = new QComboBox(base);
    for (int i = 0; i < kFadeChoices; ++i) {
        const QString title = QStringLiteral("%1 %2").arg(i).arg(i > 1 ? tr("seconds") : tr("second"));
        ppBtnFadeIn->addItem(title);
        ppBtnFadeOut->addItem(title);
    }
    connect(ppBtnFadeIn, &QComboBox::activated, this, &HLAudioEditVCtrl::fadeIn);
    connect(ppBtnFadeOut, &QComboBox::activated, this, &HLAudioEditVCtrl::fadeOut);
    grid->addWidget(caption(tr("Fade In"), base), row, 0, 1, 2);
    grid->addWidget(ppBtnFadeIn, row++, 2, 1, 2);
    grid->addWidget(caption(tr("Fade Out"), base), row, 0, 1, 2);
    grid->addWidget(ppBtnFadeOut, row++, 2, 1, 2);

    sldVolume = new QSlider(Qt::Horizontal, base);
    sldVolume->setRange(0, 300); // percent of the clip's own loudness
    connect(sldVolume, &QSlider::valueChanged, this, &HLAudioEditVCtrl::audioVolume);
    edtVolume = new QLineEdit(base);
    edtVolume->setFixedWidth(60);
    grid->addWidget(caption(tr("Volume"), base), row, 0);
    grid->addWidget(sldVolume, row, 1, 1, 2);
    grid->addWidget(edtVolume, row++, 3);
    m_volumeField = new HLTypedNumberField(edtVolume, 0, {true, 0, 300}, QStringLiteral("%"));
    m_volumeField->setupValue([this](float percent) {
        const float factor = percent / 100.0f;
        if (const auto edit = p_edit())
            m_write(HLChange::Style, [&] { edit->setDVolume(factor); });
        m_oAudio.setVolume(factor);
        p_setupInterfaceVolume();
    });

    vCustomBack = new QWidget(base);
    vCustomBack->setObjectName(QStringLiteral("vCustomBack"));
    auto *custom = new QGridLayout(vCustomBack);
    custom->setContentsMargins(0, 0, 0, 0);
    edtPlayStart = new QLineEdit(vCustomBack);
    edtPlayEnd = new QLineEdit(vCustomBack);
    edtPlayRepeat = new QLineEdit(vCustomBack);
    custom->addWidget(caption(tr("Play Start"), vCustomBack), 0, 0);
    custom->addWidget(edtPlayStart, 0, 1);
    custom->addWidget(caption(tr("Play End"), vCustomBack), 1, 0);
    custom->addWidget(edtPlayEnd, 1, 1);
    custom->addWidget(caption(tr("Repeat"), vCustomBack), 2, 0);
    custom->addWidget(edtPlayRepeat, 2, 1);
    grid->addWidget(vCustomBack, row++, 0, 1, 4);
    m_repeatField = new HLTypedNumberField(edtPlayRepeat, 2, {true, 0, FLT_MAX});
    m_repeatField->setupValue([this](float repeat) {
        if (!m_oItem)
            return;
        const float kept = m_oItem->dTrimDuration();
        const float start = m_oItem->dPlayMin();
        // Without a kept part the clip plays nothing past its start.
        m_write(HLChange::Timing,
                [&] { m_oItem->setDPlayMax(HLPreviewTimes::repeatedEnd(start, kept, repeat).value_or(start)); });
        p_setupInterfacePlay();
        p_setupInterfaceRepeat();
    });

    p_typedTime(edtTrimStart, [this](float seconds) {
        const auto edit = p_edit();
        const float ratio = std::clamp(seconds, 0.0f, edit->dTrimMax()) / edit->dDuration();
        m_write(HLChange::Timing, [&] { edit->updateTrimRatioMin(std::clamp(ratio, 0.0f, 1.0f)); });
        p_setupInterfaceTrim();
        p_setupInterfaceRepeat();
    });
    p_typedTime(edtTrimEnd, [this](float seconds) {
        const auto edit = p_edit();
        const float ratio = std::clamp(seconds, edit->dTrimMin(), edit->dDuration()) / edit->dDuration();
        m_write(HLChange::Timing, [&] { edit->updateTrimRatioMax(std::clamp(ratio, 0.0f, 1.0f)); });
        p_setupInterfaceTrim();
        p_setupInterfaceRepeat();
    });
    p_typedTime(edtPlayStart, [this](float seconds) {
        m_write(HLChange::Timing, [&] { m_oItem->setDPlayMin(seconds); });
        p_setupInterfacePlay();
        p_setupInterfaceRepeat();
    });
    p_typedTime(edtPlayEnd, [this](float seconds) {
        m_write(HLChange::Timing, [&] { m_oItem->setDPlayMax(seconds); });
        p_setupInterfacePlay();
        p_setupInterfaceRepeat();
    });

    btnDone = new QPushButton(tr("Done"), base);
    connect(btnDone, &QPushButton::clicked, this, &HLAudioEditVCtrl::done);
    grid->addWidget(btnDone, row++, 0, 1, 4, Qt::AlignRight);
    base->adjustSize();
    base->setFixedHeight(base->sizeHint().height());
}

void HLAudioEditVCtrl::p_typedTime(QLineEdit *field, const std::function<void(float seconds)> &apply)
{
    // Editing begins when the field takes the focus or is first typed into: the text the pane
    // showed is kept, and the preview tick leaves the field alone until editing ends.
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this, field] {
        if (m_oEditingUI != field)
            p_beginTyping(field);
    });
    connect(field, &QLineEdit::editingFinished, this, [this, field, apply] {
        if (m_oEditingUI != field)
            return;
        m_oEditingUI = nullptr;
        const QString kept = m_strTempStringValue;
        m_strTempStringValue.clear();
        // Leaving a field unchanged writes nothing, so the shown (rounded) time never drifts
        // the model; a time that is no finite, non-negative number gets the kept text back.
        if (m_oItem && field->text() != kept) {
            if (const std::optional<float> seconds = HLMusicEditValues::typedSeconds(field->text()))
                apply(*seconds);
            else
                field->setText(kept);
        }
        if (field->hasFocus()) // Return ends one entry; the next begins at once
            p_beginTyping(field);
    });
}

void HLAudioEditVCtrl::p_beginTyping(QLineEdit *field)
{
    m_oEditingUI = field;
    m_strTempStringValue = field->property(kShownText).toString();
}

void HLAudioEditVCtrl::p_showTime(QLineEdit *field, float seconds)
{
    const QString text = timeText(3, seconds);
    field->setProperty(kShownText, text);
    field->setText(text);
}

bool HLAudioEditVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && m_oEditingUI != watched)
        for (QLineEdit *field : {edtTrimStart, edtTrimEnd, edtPlayStart, edtPlayEnd})
            if (watched == field)
                p_beginTyping(field);
    return QObject::eventFilter(watched, event);
}

std::shared_ptr<HLAudioEdit> HLAudioEditVCtrl::p_edit() const
{
    return m_oItem ? m_oItem->oEdit() : nullptr;
}

QString HLAudioEditVCtrl::editingID() const
{
    return m_oItem ? m_oItem->strAUID() : QString();
}

void HLAudioEditVCtrl::startEditing(const QString &identifier)
{
    if (!m_blkLookup)
        return;
    const Target target = m_blkLookup(identifier);
    startEditing(target.clip, target.mode);
}

void HLAudioEditVCtrl::startEditing(const std::shared_ptr<HLAudioItem> &clip, qint64 mode)
{
    if (clip == m_oItem)
        return;
    stopEditing();
    if (!clip || !clip->oEdit())
        return;
    m_oItem = clip;
    const auto edit = clip->oEdit();
    m_oAudio.open(clip->oResource(), edit->dVolume());
    m_oSelection = std::make_shared<HLTrimRecordSelection<HLAudioEdit>>(edit, m_write);
    m_vCtrlTrimline->updatePlayer(m_oAudio.player());
    m_vCtrlTrimline->updateSeletions({m_oSelection});
    m_vCtrlTrimline->selectSeletion(m_oSelection);
    m_vCtrlTrimline->updateInterface();
    vCustomBack->setVisible(mode != 0);
    p_setupInterfaceAll();
}

void HLAudioEditVCtrl::stopEditing()
{
    if (m_oAudio.isPlay())
        audioPlay();
    if (!m_oItem)
        return;
    m_oItem.reset();
    m_oSelection.reset();
    m_oAudio.close();
    m_vCtrlTrimline->updatePlayer(nullptr);
    m_vCtrlTrimline->updateSeletions({});
    m_vCtrlTrimline->updateInterface();
    p_setupInterfaceAll();
}

void HLAudioEditVCtrl::audioPlay()
{
    if (m_oAudio.isPlay())
        m_oAudio.pause();
    else if (m_oItem)
        m_oAudio.play();
    p_setupInterfaceTrim();
}

void HLAudioEditVCtrl::p_playFeedback()
{
    const auto edit = p_edit();
    const auto &movie = m_oAudio.movie();
    if (!edit || !movie)
        return;
    qint64 current = movie->currentTime();
    if (const auto jump = HLPreviewTimes::loopedTime(current, edit->dTrimMin(), edit->dTrimMax(),
                                                     zk_default_time_base())) {
        current = *jump;
        movie->setCurrentTime(current);
    }
    const float now = std::clamp(float(zk_ff_time_to_double(current)), edit->dTrimMin(), edit->dTrimMax());
    m_oAudio.setVolume(m_oItem->localVolume(now - edit->dTrimMin()));
    p_setupInterfaceTrim();
}

void HLAudioEditVCtrl::trimStart()
{
    const auto edit = p_edit();
    if (!edit || !m_oAudio.player())
        return;
    const float ratio = m_oAudio.player()->trimPlayRatio();
    m_write(HLChange::Timing, [&] { edit->updateTrimRatioMin(ratio); });
    p_setupInterfaceTrim();
    p_setupInterfaceRepeat();
}

void HLAudioEditVCtrl::trimEnd()
{
    const auto edit = p_edit();
    if (!edit || !m_oAudio.player())
        return;
    const float ratio = m_oAudio.player()->trimPlayRatio();
    m_write(HLChange::Timing, [&] { edit->updateTrimRatioMax(ratio); });
    p_setupInterfaceTrim();
    p_setupInterfaceRepeat();
}

void HLAudioEditVCtrl::fadeIn(int index)
{
    const auto edit = p_edit();
    if (!edit || index < 0 || index >= kFadeChoices)
        return;
    m_write(HLChange::Style, [&] { edit->setDFadeIn(float(index)); });
    p_setupInterfaceFade();
}

void HLAudioEditVCtrl::fadeOut(int index)
{
    const auto edit = p_edit();
    if (!edit || index < 0 || index >= kFadeChoices)
        return;
    m_write(HLChange::Style, [&] { edit->setDFadeOut(float(index)); });
    p_setupInterfaceFade();
}

void HLAudioEditVCtrl::audioVolume()
{
    const auto edit = p_edit();
    if (!edit)
        return;
    const float volume = float(sldVolume->value()) / 100.0f;
    if (volume == edit->dVolume())
        return;
    m_write(HLChange::Style, [&] { edit->setDVolume(volume); });
    m_oAudio.setVolume(volume);
    p_setupInterfaceVolume();
}

void HLAudioEditVCtrl::done()
{
    if (m_blkEnd)
        m_blkEnd();
}

void HLAudioEditVCtrl::p_setupInterfaceAll()
{
    p_setupInterfaceTrim();
    p_setupInterfaceFade();
    p_setupInterfaceVolume();
    p_setupInterfacePlay();
    p_setupInterfaceRepeat();
}

void HLAudioEditVCtrl::p_setupInterfaceTrim()
{
    const auto edit = p_edit();
    const bool editing = edit != nullptr;
    const bool playing = editing && m_oAudio.isPlay();
    const auto &movie = m_oAudio.movie();
    const float now = editing && movie ? float(zk_ff_time_to_double(movie->currentTime())) : 0.0f;
    const float length = editing && movie ? float(zk_ff_time_to_double(movie->duration())) : 0.0f;
    m_vCtrlTrimline->setBIsEnable(editing);
    for (QWidget *control : {static_cast<QWidget *>(btnAudioPlay), static_cast<QWidget *>(btnTrimStart),
                             static_cast<QWidget *>(edtTrimStart), static_cast<QWidget *>(btnTrimEnd),
                             static_cast<QWidget *>(edtTrimEnd)})
        control->setEnabled(editing);
    m_vCtrlTrimline->updateInterface();
    btnAudioPlay->setIcon(HLNamedImage::icon(playing ? QStringLiteral("Pause") : QStringLiteral("Play")));
    tldPlayTime->setText(timeText(3, now));
    tldPlayDuration->setText(timeText(2, length));
    // What the user is typing stays while the preview ticks.
    if (m_oEditingUI != edtTrimStart)
        p_showTime(edtTrimStart, editing ? edit->dTrimMin() : 0.0f);
    if (m_oEditingUI != edtTrimEnd)
        p_showTime(edtTrimEnd, editing ? edit->dTrimMax() : 0.0f);
    tldTrimDuration->setText(timeText(3, editing ? edit->trimDuration() : 0.0f));
}

void HLAudioEditVCtrl::p_setupInterfaceFade()
{
    const auto edit = p_edit();
    ppBtnFadeIn->setEnabled(edit != nullptr);
    ppBtnFadeOut->setEnabled(edit != nullptr);
    const auto index = [](float seconds) { return std::clamp(int(seconds), 0, kFadeChoices - 1); };
    ppBtnFadeIn->setCurrentIndex(edit ? index(edit->dFadeIn()) : 0);
    ppBtnFadeOut->setCurrentIndex(edit ? index(edit->dFadeOut()) : 0);
}

void HLAudioEditVCtrl::p_setupInterfaceVolume()
{
    const auto edit = p_edit();
    sldVolume->setEnabled(edit != nullptr);
    edtVolume->setEnabled(edit != nullptr);
    const float volume = edit ? edit->dVolume() : 0.0f;
    const QSignalBlocker block(sldVolume);
    sldVolume->setValue(qRound(volume * 100.0f));
    m_volumeField->setValue(volume * 100.0f);
}

void HLAudioEditVCtrl::p_setupInterfacePlay()
{
    const bool editing = m_oItem != nullptr;
    edtPlayStart->setEnabled(editing);
    edtPlayEnd->setEnabled(editing);
    if (m_oEditingUI != edtPlayStart)
        p_showTime(edtPlayStart, editing ? m_oItem->dPlayMin() : 0.0f);
    if (m_oEditingUI != edtPlayEnd)
        p_showTime(edtPlayEnd, editing ? m_oItem->dPlayMax() : 0.0f);
}

void HLAudioEditVCtrl::p_setupInterfaceRepeat()
{
    const bool editing = m_oItem != nullptr;
    edtPlayRepeat->setEnabled(editing);
    const float repeat = editing ? HLMusicEditValues::repeatCount(m_oItem->dPlayMin(), m_oItem->dPlayMax(),
                                                                  m_oItem->dTrimDuration())
                                 : 0.0f;
    m_repeatField->setValue(repeat);
}
