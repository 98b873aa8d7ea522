#pragma once

#include "SourceHL/Control/HLContentChoice.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Control/HLInterfaceState.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLWindowHost.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Model/Package/HLProjectContents.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class Ambrelle;
class HLAudioEditVCtrl;
class HLAudioImport;
class HLAudiolineItem;
class HLAudiolineVCtrl;
class HLAudiolinePlayer;
class HLContentlineVCtrl;
class HLEditGate;
class HLImageEditVCtrl;
class HLLastOperateQueue;
class HLMainWindow;
class HLMediaImport;
class HLPlayLoop;
class HLProjectDocument;
class HLQuartzsPreviewVCtrl;
class HLQuartzPool;
class HLRenderSizer;
class HLSettingWndCtrl;
class HLSizeWndCtrl;
class HLSortWndCtrl;
class HLSlideshowEditVCtrl;
class HLTextEditVCtrl;
class HLTextlineItem;
class HLTextlineRender;
class HLTextlineVCtrl;
class HLTimelineItem;
class HLTimelinePlayer;
class HLTimelineRender;
class HLTransitionEditVCtrl;
class HLTrimlineVCtrl;
class QAction;
class VETimelineExportMovie;

// The one main window and the owner of the open project's session (model, renderers,
// players, queue and gate), the preview, and the areas that host the panes. It alone turns
// the gate's announcements into refreshed views, a new preview frame and the edited mark.
// Made once at start-up with an empty, untitled project of 1280 × 960.
class HLMainWndCtrl : public QObject, public HLWindowHost
{
    Q_OBJECT
public:
    HLMainWndCtrl();
    ~HLMainWndCtrl() override;

    HLMainWindow *window() const { return m_window.get(); }
    void showWindow();

    // The open project's files, title and edited mark: new, open, save, the unsaved-changes question.
    HLProjectDocument &document() const { return *m_document; }
    // The four objects of the open project (shared with the live model).
    HLProjectContents contents() const { return m_session->contents(); }
    // A new, empty project of size (the preview limit of the open one carries over).
    HLProjectContents emptyProject(QSizeF size) const override;
    // Main thread: a new session of contents replaces the open one after the preview job has
    // stopped; then projectReplaced() and the interface follow the new project.
    void replaceProject(const HLProjectContents &contents) override;
    // The package the project is saved in (empty: never saved); the saved project's
    // resource pools are pointed at its media folders.
    void setStrWorkDirectory(const QString &package);

    // Runs the export window for a movie source (set by the application, which owns it);
    // returns when it has closed.
    std::function<void(const std::shared_ptr<VETimelineExportMovie> &movie)> blkExportMovie;
    // Export: stops playing and editing, waits for the preview, hands the project's movie
    // source to the export window, and shows the play position again afterwards.
    void p_export();

    bool bIsEditing() const { return m_bIsEditing; }

    float dNowTime() const { return m_dNowTime; }
    // Store and refresh the read-outs only when the value changes.
    void setDNowTime(float time);
    float dDuration() const { return m_dDuration; }
    void setDDuration(float duration);

    QString strTempDirectory() const { return m_strTempDirectory; }
    QString strMediDirectory() const { return m_strMediDirectory; }
    QString strWorkDirectory() const { return m_strWorkDirectory; }

    const std::shared_ptr<HLProjectSession> &session() const override { return m_session; }
    const std::shared_ptr<HLLastOperateQueue> &oLastOperateQueue() const { return m_session->oLastOperateQueue(); }
    HLEditGate &gate() const { return m_session->gate(); }
    const std::shared_ptr<HLRenderSizer> &oSizer() const { return m_session->oSizer(); }
    const std::shared_ptr<HLTimelineItem> &oTimeline() const { return m_session->oTimeline(); }
    const std::shared_ptr<HLTextlineItem> &oTextline() const { return m_session->oTextline(); }
    const std::shared_ptr<HLAudiolineItem> &oAudioline() const { return m_session->oAudioline(); }
    const std::shared_ptr<HLTimelineRender> &oTimelineRender() const { return m_session->oTimelineRender(); }
    const std::shared_ptr<HLTextlineRender> &oTextlineRender() const { return m_session->oTextlineRender(); }
    const std::shared_ptr<HLTimelinePlayer> &oTimelinePlayer() const { return m_session->oTimelinePlayer(); }
    const std::shared_ptr<HLAudiolinePlayer> &oAudiolinePlayer() const { return m_session->oAudiolinePlayer(); }

    // Places an item editor in the right-hand area (the window takes its view as a child);
    // the window opens it for choices of its kind. A kind without an editor is left alone,
    // and the Edit command is shown only for choices whose kind has one.
    // The pane is given the window's write hook, the open project, the preview area and the
    // Done command (HLEditorContext).
    void installEditor(HLEditorPane::Kind kind, HLEditorPane *pane);
    HLImageEditVCtrl *vCtrlImageEdit() const { return m_vCtrlImageEdit.get(); }
    // The content line's choice changed: while editing the open editors follow it (or editing
    // stops when it cannot be edited); otherwise only the interface is refreshed.
    void updateChoice(const HLContentChoice &choice);
    const HLContentChoice &choice() const { return m_choice; }

    // The window's state as it derives from the flags and the choice.
    HLInterfaceInputs interfaceInputs() const;

    // Opens the editors of the chosen items.
    void p_startEditing();
    // Closes every open editor and shows the changes they made.
    void p_stopEditing();
    // While editing: closes the editors whose item is no longer chosen and opens those of the
    // newly chosen ones.
    void p_switchEditing();

    // Moves the play head to time (seconds, clamped into the project) and renders the preview.
    void p_seekAt(float time);
    bool bIsPlaying() const;
    void p_startPlaying();
    void p_stopPlaying();
    // The play command: stops, or closes the editors and plays.
    void play();
    // A rendered frame and title layer for the preview; a null picture empties its layer.
    void p_updatePreview(const QImage &frame, const QImage &titles);

    HLContentlineVCtrl *vCtrlContentline() const { return m_vCtrlContentline.get(); }
    HLPlayLoop &playLoop() const { return *m_playLoop; }
    HLMediaImport &mediaImport() const { return *m_mediaImport; }

    // The content line's text line and audio line; their commands and the music import
    // (HLMainWndCtrl+Lines.cpp).
    HLTextlineVCtrl *vCtrlTextline() const;
    HLAudiolineVCtrl *vCtrlAudioline() const;
    HLAudioImport &audioImport() const { return *m_audioImport; }
    // A new title at the play position, 115 points long.
    void addText();
    void addAudios();
    // The delete command: the chosen cells, title or music clip go.
    void deleteChosen();
    // The media browser (HLMainWndCtrl+Media.cpp): shown in the right-hand area instead of
    // the template chooser while bIsOnMedia.
    Ambrelle *vCtrlMedia() const { return m_vCtrlMedia.get(); }
    void media();
    // The template chooser (shown in the right-hand area while neither the media browser nor
    // an editor is) and the slideshow and transition editors (HLMainWndCtrl+Templates.cpp).
    HLQuartzsPreviewVCtrl *vCtrlQuartzs() const;
    HLSlideshowEditVCtrl *vCtrlSlideshowEdit() const;
    HLTransitionEditVCtrl *vCtrlTransitionEdit() const;
    // Applies the chooser's template name to the chosen item of that template type.
    void p_applyTemplate(std::int64_t type, const QString &name);
    // Add Text, Add Audio and Delete, for the menus; each enabled only where it can act.
    QList<QAction *> lineActions() const;

    // The project as the progress line's player: playing, the play position as a ratio of
    // the duration, and a ratio to seek to (while playing) or to show (while stopped).
    bool isTrimPlaying() const { return bIsPlaying(); }
    float trimPlayRatio() const;
    void updateTrimPlayRatio(float ratio);
    HLTrimlineVCtrl *vCtrlProgress() const { return m_vCtrlProgress.get(); }
    HLTextEditVCtrl *vCtrlTextEdit() const { return m_vCtrlTextEdit.get(); }
    HLAudioEditVCtrl *vCtrlAudioEdit() const { return m_vCtrlAudioEdit.get(); }

    // The secondary windows (HLMainWndCtrl+Windows.cpp). Sort: the slide sorter over the
    // timeline, modal, with no preview job while it is open; the main window's views follow it
    // when it closes. Setting: items per new slideshow item and the music play mode. Size: the
    // output size; a new one re-renders the preview.
    void sort();
    void setting();
    void size();
    bool bIsSorting() const { return m_bIsSorting; }
    HLSortWndCtrl *sortWndCtrl() const { return m_sortWndCtrl; }
    HLSettingWndCtrl *settingWndCtrl() const { return m_settingWndCtrl; }
    HLSizeWndCtrl *sizeWndCtrl() const { return m_sizeWndCtrl; }

    void p_updateInterfaceAll();
    void p_updateInterfaceBase();
    void p_updateInterfaceTime();
    void p_updateInterfaceSize();

    // HLWindowHost: what the play loop, the imports and the document ask of the window.
    QWidget *sheetHost() const override;
    void showFrame(const QImage &frame, const QImage &titles) override { p_updatePreview(frame, titles); }
    void showPlayPosition() override;
    void playingChanged() override { p_updateInterfaceBase(); }
    void stopPlayingAndEditing() override;
    void stopPlaying() override { p_stopPlaying(); }
    QString chosenSlideshowID() const override;
    QString temporaryFolder() const override { return m_strTempDirectory; }
    QString workFolder() const override { return m_strWorkDirectory; }
    void setWorkFolder(const QString &package) override { setStrWorkDirectory(package); }
    void showTitle(const QString &name) override;
    bool isEdited() const override;
    void setEdited(bool edited) override;

signals:
    // The model, renderers and players were replaced (new, open): views of the model follow.
    void projectReplaced();

private:
    // The one subscriber of the gate: refreshes what kinds changed and marks the project.
    void p_projectDidChange(HLChange::Kinds kinds);
    bool p_hasEditorFor(const HLContentChoice &choice) const;
    // Makes the item editors, once, and installs them (HLMainWndCtrl+Editors.cpp).
    void p_setupEditors();
    HLEditorContext p_editorContext();
    void p_edit();
    QString p_chosenIdentifierOf(HLEditorPane::Kind kind) const;
    void p_setupFolders();
    void p_setupTemplates();
    void p_setupModel();
    void p_setupContentline();
    // Hands the open project's lines to the content line.
    void p_updateContentline();
    bool p_shouldClose();
    void p_setupLineCommands();
    void p_setupMedia();
    // A music clip's trim may have changed its length: the audio line lays its clips out again.
    void p_arrangeAfterAudioEditing();
    void p_updateLineActions();
    void p_setupLineScale();
    void p_setupWindows();
    void p_setupTemplateWindows();
    // The chosen item's template type and name (none for a static title or no item).
    std::pair<std::int64_t, QString> p_chosenTemplate() const;
    // The chooser follows the chosen item.
    void p_updateChooser();
    // Asks "Choose" with information; on OK runs apply through the gate. Nothing when !valid.
    void p_applyToAll(const QString &information, HLChange::Kinds kinds, bool valid, const std::function<void()> &apply);

    std::unique_ptr<HLMainWindow> m_window;
    std::unique_ptr<HLProjectDocument> m_document;

    bool m_bIsEditing = false;
    bool m_bIsOnMedia = false;
    HLContentChoice m_choice;
    std::array<HLEditorPane *, HLEditorPane::KindCount> m_editors{};
    float m_dNowTime = 0;
    float m_dDuration = 0;

    QString m_strTempDirectory;
    QString m_strMediDirectory;
    QString m_strWorkDirectory;

    HLProjectSession::Pools m_pools;
    std::shared_ptr<HLProjectSession> m_session;

    std::unique_ptr<HLAudioImport> m_audioImport;
    QAction *m_actAddText = nullptr;
    QAction *m_actAddAudio = nullptr;
    QAction *m_actDelete = nullptr;
    std::unique_ptr<Ambrelle> m_vCtrlMedia;
    std::unique_ptr<HLContentlineVCtrl> m_vCtrlContentline;
    std::unique_ptr<HLPlayLoop> m_playLoop;
    std::unique_ptr<HLMediaImport> m_mediaImport;
    std::unique_ptr<HLTrimlineVCtrl> m_vCtrlProgress;
    // The item editors go before the window whose areas hold their views.
    std::unique_ptr<HLImageEditVCtrl> m_vCtrlImageEdit;
    std::unique_ptr<HLQuartzsPreviewVCtrl> m_vCtrlQuartzs;
    std::unique_ptr<HLSlideshowEditVCtrl> m_vCtrlSlideshowEdit;
    std::unique_ptr<HLTransitionEditVCtrl> m_vCtrlTransitionEdit;

    HLSortWndCtrl *m_sortWndCtrl = nullptr; // children of this object
    HLSettingWndCtrl *m_settingWndCtrl = nullptr;
    HLSizeWndCtrl *m_sizeWndCtrl = nullptr;
    bool m_bIsSorting = false;
    HLChange::Kinds m_iSortedKinds = HLChange::None; // what the open sorter changed
    std::unique_ptr<HLTextEditVCtrl> m_vCtrlTextEdit;
    std::unique_ptr<HLAudioEditVCtrl> m_vCtrlAudioEdit;
};
