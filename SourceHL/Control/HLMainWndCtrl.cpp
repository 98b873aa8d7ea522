#include "SourceHL/Control/HLMainWndCtrl.h"

#include "Platform/Foundation/HLDispatch.h"
#include "Frameworks/Ambrelle/Ambrelle.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Common/HLTempSession.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "export/VEExportHandOff.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLAudiolinePlayer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayVCtrl.h"
#include "widgets/HLNamedImage.h"
#include "widgets/HLResourceFolder.h"
#include "widgets/HLUITimeView.h"
#include "widgets/HLUIWindowTitleView.h"

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr quint64 kRenderItemsPerSlideshow = 30;
const QSizeF kRenderSize(1280, 960);
constexpr float kPreviewLimit = 1200;
const QSizeF kFreeContextSize(120, 90);

// Makes the three media folders inside folder and points the pools of source at them.
void makePoolFolders(const QString &folder, HLResourceSource source)
{
    const struct
    {
        const char *name;
        HLResourceType type;
    } kinds[] = {{"Audios", HLResourceTypeAudio}, {"Videos", HLResourceTypeVideo}, {"Images", HLResourceTypeImage}};
    for (const auto &kind : kinds) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(kind.name));
        QDir().mkpath(path);
        HLResourcePool::update(path, source, kind.type);
    }
}

} // namespace

HLMainWndCtrl::HLMainWndCtrl() : m_window(std::make_unique<HLMainWindow>())
{
    m_window->vTimeNowTime->setEnType(3);
    m_window->vTimeDuration->setEnType(2);
    m_window->blkShouldClose = [this] { return p_shouldClose(); };
    connect(m_window->btnEdit, &QToolButton::clicked, this, &HLMainWndCtrl::p_edit);
    connect(m_window->btnExport, &QToolButton::clicked, this, &HLMainWndCtrl::p_export);

    HLBusyWndCtrl::sharedBusyWndCtrl();
    HLProgressWndCtrl::sharedProgressWndCtrl();
    HLResourceItem::configureForAudio();
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();
    HLProjectContents::registerCoding();
    p_setupFolders();
    p_setupTemplates();
    m_oLastOperateQueue = std::make_shared<HLLastOperateQueue>();
    m_gate = std::make_unique<HLEditGate>(m_oLastOperateQueue);
    m_oSizer = HLRenderSizer::renderSizerOf(kRenderSize, kPreviewLimit);
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(m_oSizer->typedRenderSize());
    HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(kFreeContextSize);
    m_playLoop = std::make_unique<HLPlayLoop>(*this);
    p_setupModel();
    m_document = std::make_unique<HLProjectDocument>(*this);
    m_mediaImport = std::make_unique<HLMediaImport>(*this);
    p_setupContentline();
    p_setupLineCommands();
    p_setupMedia();
    connect(m_window->btnPlay, &QToolButton::clicked, this, &HLMainWndCtrl::play);
    connect(m_window->btnAddMedia, &QToolButton::clicked, m_mediaImport.get(), &HLMediaImport::addVideosAndImages);

    p_setupWindows();

    p_updateInterfaceAll();
    p_seekAt(0);
}

HLMainWndCtrl::~HLMainWndCtrl()
{
    m_playLoop->p_stopPlaying();
    m_audioImport.reset(); // its job ends before the model it fills goes
    // No preview job may outlive the model it reads.
    m_oLastOperateQueue->cancel();
    m_oLastOperateQueue->wait();
}

void HLMainWndCtrl::showWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HLMainWndCtrl::p_setupFolders()
{
    // The session's private folder, made fresh for this run (mode 0700): never shared with
    // another user or running instance, so it is used as it is, never removed and remade.
    const QString temp = HLTempSession::shared().path();
    if (temp.isEmpty())
        return; // no private folder: the pools stay without folders rather than use a shared one
    makePoolFolders(temp, HLResourceSourceTemp);
    m_strTempDirectory = temp;
    const QString staging = QDir(temp).filePath(QStringLiteral("Project"));
    QDir(staging).removeRecursively();
    makePoolFolders(staging, HLResourceSourceMedi);
    m_strMediDirectory = staging;
}

void HLMainWndCtrl::p_setupTemplates()
{
    const QDir templates(QDir(HLResourceFolder::path()).filePath(QStringLiteral("Templates")));
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Slideshow")), HLRenderTypeSlideshow);
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Transition")), HLRenderTypeTransition);
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Text")), HLRenderTypeText);
    m_slideshowPool = HLQuartzPool::quartzPoolOf(HLRenderTypeSlideshow);
    m_transitionPool = HLQuartzPool::quartzPoolOf(HLRenderTypeTransition);
    m_textPool = HLQuartzPool::quartzPoolOf(HLRenderTypeText);
}

void HLMainWndCtrl::p_setupModel()
{
    HLProjectContents project = emptyProject(kRenderSize);
    project.sizer = m_oSizer;
    replaceProject(project);
}

HLProjectContents HLMainWndCtrl::contents() const
{
    return {m_oSizer, m_oTimeline, m_oTextline, m_oAudioline};
}

HLProjectContents HLMainWndCtrl::emptyProject(QSizeF size) const
{
    return {HLRenderSizer::renderSizerOf(size, m_oSizer ? m_oSizer->dPreviewLimit() : kPreviewLimit),
            HLTimelineItem::timelineOf(kRenderItemsPerSlideshow), HLTextlineItem::textline(),
            HLAudiolineItem::audioline()};
}

void HLMainWndCtrl::replaceProject(const HLProjectContents &contents)
{
    HL_ASSERT(contents.sizer && contents.timeline && contents.textline && contents.audioline, "wrong para");
    if (m_oSizer)
        contents.sizer->setDPreviewLimit(m_oSizer->dPreviewLimit());
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(contents.sizer->typedRenderSize());
    const auto slideshowPool = m_slideshowPool;
    const auto transitionPool = m_transitionPool;
    contents.timeline->setupSlideshow(
        [slideshowPool] { return slideshowPool->randomInfoDic().value_or(QVariantMap()); },
        [transitionPool] { return transitionPool->randomInfoDic().value_or(QVariantMap()); });
    const auto timelineRender = HLTimelineRender::timelineRenderOf(contents.timeline, false, contents.sizer,
                                                                   m_slideshowPool, m_transitionPool);
    const auto textlineRender = HLTextlineRender::textlineRenderOf(contents.textline, false, contents.sizer, m_textPool);
    const auto timelinePlayer = HLTimelinePlayer::timelinePlayerOf(contents.timeline);
    const auto audiolinePlayer = HLAudiolinePlayer::audiolinePlayerOf(contents.audioline);
    // The preview job reads the old project to its end before anything of it goes.
    m_gate->perform([&] {
        m_oSizer = contents.sizer;
        m_oTimeline = contents.timeline;
        m_oTextline = contents.textline;
        m_oAudioline = contents.audioline;
        m_oTimelineRender = timelineRender;
        m_oTextlineRender = textlineRender;
        m_oTimelinePlayer = timelinePlayer;
        m_oAudiolinePlayer = audiolinePlayer;
        m_choice = HLContentChoice();
    });
    emit projectReplaced();
    p_updateInterfaceAll();
    p_seekAt(0);
}

void HLMainWndCtrl::setStrWorkDirectory(const QString &package)
{
    m_strWorkDirectory = package;
    for (HLResourceType kind : {HLResourceTypeAudio, HLResourceTypeVideo, HLResourceTypeImage})
        HLResourcePool::update(package.isEmpty() ? QString() : QDir(package).filePath(HLProjectPackage::kindFolder(kind)),
                               HLResourceSourceProj, kind);
}

void HLMainWndCtrl::p_export()
{
    // An empty project has nothing to export (its shortcut reaches here as the button can't).
    if (!blkExportMovie || !m_window->btnExport->isEnabled())
        return;
    p_stopPlaying();
    p_stopEditing();
    m_gate->stopPreview();
    blkExportMovie(exportMovieOf(*m_oSizer, m_oTimeline, m_oTextline, *m_oAudioline, m_oTimelineRender,
                                 m_oTextlineRender));
    // The export moved the lines' play heads; the preview goes back to the play position.
    p_seekAt(m_dNowTime);
}

void HLMainWndCtrl::p_setupContentline()
{
    m_vCtrlContentline = std::make_unique<HLContentlineVCtrl>(*m_gate);
    HLContentlineVCtrl &contentline = *m_vCtrlContentline;
    QWidget *host = m_window->vSlideshowStripHost;
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(contentline.view());
    host->setFixedHeight(contentline.view()->minimumSizeHint().height());
    auto *audioRow = m_window->findChild<QWidget *>(QStringLiteral("vAudiolineBackView"));
    auto *audioLayout = new QVBoxLayout(audioRow);
    audioLayout->setContentsMargins(0, 0, 0, 0);
    audioLayout->addWidget(contentline.audiolineView());
    p_updateContentline();
    connect(this, &HLMainWndCtrl::projectReplaced, this, &HLMainWndCtrl::p_updateContentline);
    // Each line stops playing before it changes the model, through the gate.
    contentline.setupWarning([this] { p_stopPlaying(); });
    contentline.setupChoose({}, [this](float time) { p_seekAt(time); },
                            [this] {
                                p_stopPlaying();
                                p_startEditing();
                            },
                            [this](bool timeScaled) {
                                p_stopEditing();
                                if (timeScaled)
                                    p_updateInterfaceBase();
                                p_documentEdited();
                            });
    contentline.setupChoice([this](const HLContentChoice &choice) { updateChoice(choice); });
}

void HLMainWndCtrl::p_updateContentline()
{
    HLContentlineVCtrl &contentline = *m_vCtrlContentline;
    p_setupLineScale();
    // The choices of the project that went are dropped before its models are.
    contentline.clear();
    contentline.updateTimeline(m_oTimeline);
    contentline.updateTimelineUI();
    contentline.updateTextline(m_oTextline);
    contentline.updateTextlineUI();
    contentline.updateAudioline(m_oAudioline);
    contentline.updateAudiolineUI();
    contentline.updateContentlineWidth();
    contentline.updateAudiolineWidth();
}

HLTextlineVCtrl *HLMainWndCtrl::vCtrlTextline() const
{
    return &m_vCtrlContentline->vCtrlTextline();
}

HLAudiolineVCtrl *HLMainWndCtrl::vCtrlAudioline() const
{
    return &m_vCtrlContentline->vCtrlAudioline();
}

void HLMainWndCtrl::setDNowTime(float time)
{
    if (time == m_dNowTime)
        return;
    m_dNowTime = time;
    p_updateInterfaceTime();
}

void HLMainWndCtrl::setDDuration(float duration)
{
    if (duration == m_dDuration)
        return;
    m_dDuration = duration;
    p_updateInterfaceTime();
}

HLInterfaceInputs HLMainWndCtrl::interfaceInputs() const
{
    HLInterfaceInputs inputs;
    inputs.hasItems = !m_oTimeline->aryItems().empty();
    inputs.isOnMedia = m_bIsOnMedia;
    inputs.isEditing = m_bIsEditing;
    inputs.isPlaying = bIsPlaying();
    inputs.canEdit = m_choice.bCanEdit;
    inputs.slideshow = !m_choice.strSSSID.isEmpty();
    inputs.transition = !m_choice.strTSSID.isEmpty();
    inputs.render = !m_choice.strRDID.isEmpty();
    if (inputs.render) {
        const auto resources = m_oTimeline->resourceItemsOf({m_choice.strRDID});
        inputs.renderIsVideo = !resources.isEmpty() && resources.last() && resources.last()->isVideo();
    }
    inputs.text = !m_choice.strTTID.isEmpty();
    inputs.audio = !m_choice.strAUID.isEmpty();
    return inputs;
}

void HLMainWndCtrl::installEditor(HLEditorPane::Kind kind, HLEditorPane *pane)
{
    m_editors[kind] = pane;
    if (pane && pane->view()) {
        m_window->vEditPaneArea->layout()->addWidget(pane->view());
        pane->view()->hide();
    }
}

QString HLMainWndCtrl::p_chosenIdentifierOf(HLEditorPane::Kind kind) const
{
    switch (kind) {
    case HLEditorPane::Slideshow: return m_choice.strSSSID;
    case HLEditorPane::Transition: return m_choice.strTSSID;
    case HLEditorPane::Image: return m_choice.strRDID;
    case HLEditorPane::Text: return m_choice.strTTID;
    default: return m_choice.strAUID;
    }
}

void HLMainWndCtrl::updateChoice(const HLContentChoice &choice)
{
    m_choice = choice;
    if (!m_bIsEditing)
        p_updateInterfaceBase();
    else if (m_choice.bCanEdit)
        p_switchEditing();
    else
        p_stopEditing();
}

void HLMainWndCtrl::p_edit()
{
    if (m_bIsEditing)
        p_stopEditing();
    else
        p_startEditing();
    p_updateInterfaceBase();
}

void HLMainWndCtrl::p_startEditing()
{
    m_bIsEditing = true;
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind) {
        const QString identifier = p_chosenIdentifierOf(HLEditorPane::Kind(kind));
        if (m_editors[kind] && !identifier.isEmpty())
            m_editors[kind]->startEditing(identifier);
    }
    p_updateInterfaceBase();
}

void HLMainWndCtrl::p_stopEditing()
{
    if (!m_bIsEditing)
        return;
    m_bIsEditing = false;
    // Ask every editor first, then close: the slideshow, transition and image editors work
    // on one item together, so they close together.
    std::array<bool, HLEditorPane::KindCount> open{};
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind)
        open[kind] = m_editors[kind] && m_editors[kind]->isNowEditing();
    const bool timelineOpen = open[HLEditorPane::Slideshow] || open[HLEditorPane::Transition] ||
                              open[HLEditorPane::Image];
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind) {
        const bool timelineKind = kind <= HLEditorPane::Image;
        if (m_editors[kind] && (timelineKind ? timelineOpen : open[kind]))
            m_editors[kind]->stopEditing();
    }
    p_seekAt(m_dNowTime); // the preview shows what the editors changed
    p_updateInterfaceBase();
    p_documentEdited();
}

void HLMainWndCtrl::p_switchEditing()
{
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind) {
        HLEditorPane *editor = m_editors[kind];
        if (!editor)
            continue;
        const QString identifier = p_chosenIdentifierOf(HLEditorPane::Kind(kind));
        if (identifier.isEmpty()) {
            if (editor->isNowEditing())
                editor->stopEditing();
        } else if (identifier != editor->editingID()) {
            editor->stopEditing();
            editor->startEditing(identifier);
        }
    }
    p_updateInterfaceBase();
    p_documentEdited();
}

void HLMainWndCtrl::p_documentEdited()
{
    m_window->setWindowModified(true);
}

void HLMainWndCtrl::p_updateInterfaceAll()
{
    p_updateInterfaceBase();
    p_updateInterfaceTime();
    p_updateInterfaceSize();
}

void HLMainWndCtrl::p_updateInterfaceBase()
{
    const HLInterfaceState state = hl_interfaceStateOf(interfaceInputs());
    HLMainWindow &w = *m_window;
    w.vCtrlDisplay->hiddenImage(state.imageHidden);
    w.vCtrlDisplay->hiddenText(state.textHidden);
    w.vDisplayProgressView->setHidden(state.progressHidden);
    w.btnMedia->setText(QString::fromStdString(state.mediaLabel));
    w.btnEdit->setEnabled(state.editEnabled);
    w.btnEdit->setText(QString::fromStdString(state.editLabel));
    w.btnSort->setEnabled(state.sortEnabled);
    w.btnPlay->setEnabled(state.playEnabled);
    w.btnExport->setEnabled(state.exportEnabled);
    w.btnPlay->setIcon(HLNamedImage::icon(QString::fromStdString(state.playImage)));
    const bool shown[HLEditorPane::KindCount] = {state.slideshowEditorShown, state.transitionEditorShown,
                                                 state.imageEditorShown, state.textEditorShown,
                                                 state.audioEditorShown};
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind)
        if (m_editors[kind] && m_editors[kind]->view())
            m_editors[kind]->view()->setVisible(shown[kind]);
    if (m_vCtrlMedia)
        m_vCtrlMedia->view()->setVisible(!state.mediaPaneHidden);
    p_updateLineActions();
}

void HLMainWndCtrl::p_updateInterfaceTime()
{
    m_window->vTimeNowTime->setDTime(m_dNowTime);
    m_window->vTimeDuration->setDTime(m_dDuration);
}

void HLMainWndCtrl::p_updateInterfaceSize()
{
    const QSizeF size = m_oSizer->szRender();
    m_window->btnSize->setText(QStringLiteral("%1X%2").arg(qint64(size.width())).arg(qint64(size.height())));
}

void HLMainWndCtrl::p_seekAt(float time)
{
    m_playLoop->p_seekAt(time);
}

bool HLMainWndCtrl::bIsPlaying() const
{
    return m_playLoop && m_playLoop->bIsPlaying();
}

void HLMainWndCtrl::p_startPlaying()
{
    m_playLoop->p_startPlaying();
}

void HLMainWndCtrl::p_stopPlaying()
{
    m_playLoop->p_stopPlaying();
}

void HLMainWndCtrl::play()
{
    if (bIsPlaying()) {
        p_stopPlaying();
        return;
    }
    p_stopEditing();
    p_startPlaying();
}

void HLMainWndCtrl::p_updatePreview(const QImage &frame, const QImage &titles)
{
    m_window->vCtrlDisplay->updateImage(frame);
    m_window->vCtrlDisplay->updateText(titles);
}

bool HLMainWndCtrl::p_shouldClose()
{
    return m_document->windowShouldClose();
}
