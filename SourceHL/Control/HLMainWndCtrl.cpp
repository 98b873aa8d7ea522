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
#include "SourceHL/Editors/HLImageEditVCtrl.h"
#include "SourceHL/Editors/HLSlideshowEditVCtrl.h"
#include "SourceHL/Editors/HLTransitionEditVCtrl.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
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
#include "SourceHL/View/HLTimelineItemUI.h"
#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"
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
    p_setupModel();
    HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(kFreeContextSize);
    m_playLoop = std::make_unique<HLPlayLoop>(*this);
    m_document = std::make_unique<HLProjectDocument>(*this);
    m_mediaImport = std::make_unique<HLMediaImport>(*this);
    p_setupContentline();
    p_setupLineCommands();
    p_setupMedia();
    p_setupTemplateWindows();
    auto project = std::make_shared<HLCallbackTrimPlayer>();
    project->isPlaying = [this] { return isTrimPlaying(); };
    project->playRatio = [this] { return trimPlayRatio(); };
    project->updatePlayRatio = [this](float ratio) { updateTrimPlayRatio(ratio); };
    m_vCtrlProgress = HLTrimlineVCtrl::progressLineIn(m_window->vDisplayProgressView, project);
    p_setupEditors();
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
    oLastOperateQueue()->cancel();
    oLastOperateQueue()->wait();
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
    m_pools.slideshow = HLQuartzPool::quartzPoolOf(HLRenderTypeSlideshow);
    m_pools.transition = HLQuartzPool::quartzPoolOf(HLRenderTypeTransition);
    m_pools.text = HLQuartzPool::quartzPoolOf(HLRenderTypeText);
}

void HLMainWndCtrl::p_setupModel()
{
    // The gate and its queue stay for the window's life; projects come and go around them.
    auto gate = std::make_shared<HLEditGate>(std::make_shared<HLLastOperateQueue>());
    gate->subscribe([this](HLChange::Kinds kinds) { p_projectDidChange(kinds); });
    const HLProjectContents project = emptyProject(kRenderSize);
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(project.sizer->typedRenderSize());
    m_session = HLProjectSession::sessionOf(project, m_pools, std::move(gate));
}

HLProjectContents HLMainWndCtrl::emptyProject(QSizeF size) const
{
    return {HLRenderSizer::renderSizerOf(size, m_session ? oSizer()->dPreviewLimit() : kPreviewLimit),
            HLTimelineItem::timelineOf(kRenderItemsPerSlideshow), HLTextlineItem::textline(),
            HLAudiolineItem::audioline()};
}

void HLMainWndCtrl::replaceProject(const HLProjectContents &contents)
{
    HL_ASSERT(contents.sizer && contents.timeline && contents.textline && contents.audioline, "wrong para");
    contents.sizer->setDPreviewLimit(oSizer()->dPreviewLimit());
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(contents.sizer->typedRenderSize());
    const auto session = HLProjectSession::sessionOf(contents, m_pools, m_session->sharedGate());
    // The preview job reads the old project to its end before anything of it goes.
    gate().perform(HLChange::Project, [&] {
        m_session = session;
        m_choice = HLContentChoice();
    });
}

void HLMainWndCtrl::p_projectDidChange(HLChange::Kinds kinds)
{
    if (kinds & HLChange::Project) {
        emit projectReplaced();
        p_updateInterfaceAll();
        p_seekAt(0);
        return;
    }
    if (!(kinds & HLChange::kEdits))
        return; // the play loop shows its own position
    if (m_bIsSorting) {
        // No preview job runs while the sorter is open: its close follows what it changed.
        m_iSortedKinds |= kinds;
        return;
    }
    if (m_vCtrlContentline && (kinds & (HLChange::Structure | HLChange::Timing))) {
        // Titles keep their place on the shared axis; their times follow the strip.
        gate().perform(HLChange::None, [&] { oTextline()->syncPlayTime(); });
        m_vCtrlContentline->updateTimelineUI();
        m_vCtrlContentline->updateTextlineUI();
        m_vCtrlContentline->updateAudiolineUI();
        m_vCtrlContentline->updateContentlineWidth();
        m_vCtrlContentline->updateAudiolineWidth();
    } else if (m_vCtrlContentline && (kinds & HLChange::Style)) {
        m_vCtrlContentline->updateTextlineUI(); // a title's cell shows its text
    }
    p_updateInterfaceBase();
    setEdited(true);
    // The time under the play line, taken anew: the preview shows the edit.
    if (m_vCtrlContentline)
        m_vCtrlContentline->seekNow();
    else
        p_seekAt(m_dNowTime);
}

void HLMainWndCtrl::showTitle(const QString &name)
{
    m_window->vWindowTitle->setStrTitle(name);
    m_window->setWindowTitle(name + QStringLiteral("[*]"));
}

bool HLMainWndCtrl::isEdited() const
{
    return m_window->isWindowModified();
}

void HLMainWndCtrl::setEdited(bool edited)
{
    m_window->setWindowModified(edited);
}

QWidget *HLMainWndCtrl::sheetHost() const
{
    if (m_bIsSorting && m_sortWndCtrl)
        return m_sortWndCtrl->window();
    return m_window.get();
}

void HLMainWndCtrl::showPlayPosition()
{
    const HLTimelineItem &timeline = *oTimeline();
    setDNowTime(timeline.dNowTime());
    setDDuration(timeline.dDuration());
    if (m_vCtrlContentline)
        m_vCtrlContentline->updatePlaylineX(HLTimelineItemUI::UIOffsetAt(timeline, timeline.dNowTime()));
}

void HLMainWndCtrl::stopPlayingAndEditing()
{
    p_stopPlaying();
    p_stopEditing();
}

QString HLMainWndCtrl::chosenSlideshowID() const
{
    return m_vCtrlContentline ? m_vCtrlContentline->strAddSSID() : QString();
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
    gate().stopPreview();
    blkExportMovie(exportMovieOf(contents(), *oTimelineRender(), *oTextlineRender()));
    // The preview shows the play position again once the export window has closed.
    p_seekAt(m_dNowTime);
}

void HLMainWndCtrl::p_setupContentline()
{
    m_vCtrlContentline = std::make_unique<HLContentlineVCtrl>(gate());
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
                            [this](bool) { p_stopEditing(); });
    contentline.setupChoice([this](const HLContentChoice &choice) { updateChoice(choice); });
}

void HLMainWndCtrl::p_updateContentline()
{
    HLContentlineVCtrl &contentline = *m_vCtrlContentline;
    p_setupLineScale();
    // The choices of the project that went are dropped before its models are.
    contentline.clear();
    contentline.updateTimeline(oTimeline());
    contentline.updateTimelineUI();
    contentline.updateTextline(oTextline());
    contentline.updateTextlineUI();
    contentline.updateAudioline(oAudioline());
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
    inputs.hasItems = !oTimeline()->aryItems().empty();
    inputs.isOnMedia = m_bIsOnMedia;
    inputs.isEditing = m_bIsEditing;
    inputs.isPlaying = bIsPlaying();
    inputs.canEdit = m_choice.bCanEdit && p_hasEditorFor(m_choice);
    inputs.slideshow = !m_choice.strSSSID.isEmpty();
    inputs.transition = !m_choice.strTSSID.isEmpty();
    inputs.render = !m_choice.strRDID.isEmpty();
    if (inputs.render) {
        const auto resources = oTimeline()->resourceItemsOf({m_choice.strRDID});
        inputs.renderIsVideo = !resources.isEmpty() && resources.last() && resources.last()->isVideo();
    }
    inputs.text = !m_choice.strTTID.isEmpty();
    inputs.audio = !m_choice.strAUID.isEmpty();
    return inputs;
}

void HLMainWndCtrl::installEditor(HLEditorPane::Kind kind, HLEditorPane *pane)
{
    m_editors[kind] = pane;
    if (pane)
        pane->setUp(p_editorContext());
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

bool HLMainWndCtrl::p_hasEditorFor(const HLContentChoice &choice) const
{
    const QString identifiers[HLEditorPane::KindCount] = {choice.strSSSID, choice.strTSSID, choice.strRDID,
                                                           choice.strTTID, choice.strAUID};
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind)
        if (m_editors[kind] && !identifiers[kind].isEmpty())
            return true;
    return false;
}

void HLMainWndCtrl::updateChoice(const HLContentChoice &choice)
{
    m_choice = choice;
    p_updateChooser();
    if (!m_bIsEditing)
        p_updateInterfaceBase();
    else if (m_choice.bCanEdit && p_hasEditorFor(m_choice))
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
    // Editing without an editor would only blank the preview.
    if (!p_hasEditorFor(m_choice))
        return;
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
    if (open[HLEditorPane::Audio])
        p_arrangeAfterAudioEditing();
    p_seekAt(m_dNowTime); // the preview shows the whole picture again
    p_updateChooser();
    p_updateInterfaceBase();
}

void HLMainWndCtrl::p_switchEditing()
{
    for (int kind = 0; kind < HLEditorPane::KindCount; ++kind) {
        HLEditorPane *editor = m_editors[kind];
        if (!editor)
            continue;
        const QString identifier = p_chosenIdentifierOf(HLEditorPane::Kind(kind));
        const bool wasEditing = editor->isNowEditing();
        if (identifier.isEmpty() ? !wasEditing : identifier == editor->editingID())
            continue;
        editor->stopEditing();
        if (wasEditing && kind == HLEditorPane::Audio)
            p_arrangeAfterAudioEditing();
        if (!identifier.isEmpty())
            editor->startEditing(identifier);
    }
    p_updateInterfaceBase();
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
    // A choice whose kind has no editor yet has no Edit command.
    w.btnEdit->setVisible(m_bIsEditing || !m_choice.bCanEdit || p_hasEditorFor(m_choice));
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
    if (m_vCtrlQuartzs) {
        m_vCtrlQuartzs->view()->setVisible(!state.chooserHidden);
        m_vCtrlQuartzs->setBEnable(state.chooserEnabled);
    }
    p_updateLineActions();
}

void HLMainWndCtrl::p_updateInterfaceTime()
{
    m_window->vTimeNowTime->setDTime(m_dNowTime);
    m_window->vTimeDuration->setDTime(m_dDuration);
    if (m_vCtrlProgress)
        m_vCtrlProgress->updateInterface();
}

float HLMainWndCtrl::trimPlayRatio() const
{
    return HLTrimlineGeometry::playRatio(m_dNowTime, m_dDuration);
}

void HLMainWndCtrl::updateTrimPlayRatio(float ratio)
{
    const float time = m_dDuration * ratio;
    if (bIsPlaying())
        m_playLoop->p_seekAt(time);
    else
        m_playLoop->p_playAt(time);
}

void HLMainWndCtrl::p_updateInterfaceSize()
{
    const QSizeF size = oSizer()->szRender();
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
