#pragma once

#include "SourceHL/Control/HLContentChoice.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class HLAudiolineItem;
class HLAudiolineVCtrl;
class HLContentlineBackView;
class HLEditGate;
class HLPlaylineHeadView;
class HLPlaylineTailView;
class HLTextlineItem;
class HLTextlineVCtrl;
class HLTimelineItem;
class HLTimelineVCtrl;
class QScrollArea;
class QWidget;

// The content line under the preview: the slideshow strip and the text line under it in one
// horizontally scrolled area (one x axis), the play line over them, and the audio line in a
// scrolled area of its own. It owns the three line controllers, merges their choices into
// the one choice of the whole content line, turns positions into play times and back, and is
// the one object through which the main window talks to the lines.
class HLContentlineVCtrl : public QObject
{
    Q_OBJECT
public:
    using Block = std::function<void()>;
    // Template kind (0 slideshow, 2 transition, 3 text) and the chosen item's template name.
    using ChooseBlock = std::function<void(qint64 kind, const QString &name)>;
    using SeekBlock = std::function<void(float time)>;
    using ContentBlock = std::function<void(bool timeScaled)>;
    using ChoiceBlock = std::function<void(const HLContentChoice &choice)>;

    explicit HLContentlineVCtrl(HLEditGate &gate);
    ~HLContentlineVCtrl() override;

    // The scrolled area with the strip, the text line and the play line; the owner places it.
    QWidget *view() const { return m_view; }
    // The audio line's scrolled area, 10 points in like the other lines; the owner places it
    // in the audio line's row.
    QWidget *audiolineView() const { return m_vAudiolineArea; }
    HLTimelineVCtrl &vCtrlTimeline() const { return *m_vCtrlTimeline; }
    HLTextlineVCtrl &vCtrlTextline() const { return *m_vCtrlTextline; }
    HLAudiolineVCtrl &vCtrlAudioline() const { return *m_vCtrlAudioline; }

    // Called by each line before it changes its model.
    void setupWarning(const Block &warning);
    void setupChoose(ChooseBlock choose, SeekBlock seek, Block edit, ContentBlock content);
    // Told the merged choice after every choice change of any line.
    void setupChoice(ChoiceBlock choice) { m_blkChoice = std::move(choice); }

    void updateTimeline(const std::shared_ptr<HLTimelineItem> &timeline);
    void updateTextline(const std::shared_ptr<HLTextlineItem> &textline);
    void updateAudioline(const std::shared_ptr<HLAudiolineItem> &audioline);
    void updateTimelineUI();
    void updateTextlineUI();
    void updateAudiolineUI();
    void updateContentlineWidth();
    void updateAudiolineWidth();
    // Moves the play line to the UI offset.
    void updatePlaylineX(double offset);
    // Seeks to the time under the play line: how edits refresh the preview.
    void seekNow();
    void quaryEditingInfo(const ChooseBlock &block) const;
    // Whether any of the three lines has something chosen.
    bool isThereChosen() const;
    // The strip's, then the text line's, then the audio line's chosen items go.
    void deleteTheChosen();
    // Drops the chosen views of the three lines; the merged choice stays as it was.
    void clear();

    const std::shared_ptr<HLTimelineItem> &oTimeline() const;
    const std::shared_ptr<HLTextlineItem> &oTextline() const;
    const std::shared_ptr<HLAudiolineItem> &oAudioline() const;
    QString strAddSSID() const;
    const HLContentChoice &choice() const { return m_choice; }

    // Parts of the view, for the window's tests and layout.
    QScrollArea *slvContentline() const { return m_slvContentline; }
    HLContentlineBackView *vContentlineBack() const { return m_vContentlineBack; }
    HLPlaylineHeadView *vPlaylineHead() const { return m_vPlaylineHead; }
    HLPlaylineTailView *vPlaylineTail() const { return m_vPlaylineTail; }
    QScrollArea *slvAudioline() const { return m_slvAudioline; }

    // Seeks to the position x of the content back view.
    void p_seekAt(double x);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_placeLines();
    void p_setupLineCallbacks();
    void p_layoutLines();
    void p_timelineStatus(const QString &sssid, const QString &tssid, const QString &rdid);
    void p_textlineStatus(const QString &ttid);
    void p_audiolineStatus(const QString &auid);
    void p_choiceChanged(const HLContentChoice &choice);
    void p_choose(qint64 kind, const QString &identifier);
    QString p_nameOf(qint64 kind, const QString &identifier) const;
    // A clicked item of the strip or the text line: seeks to its left edge unless the play
    // line already stands on it.
    void p_seekToItem(QWidget *view);
    void p_edit();
    // A line changed the model (the gate has announced it; the owner refreshes).
    void p_contentDidChange(bool timeScaled);
    void p_lineContentDidChange(bool timeScaled);
    void p_audiolineContentDidChange();

    HLEditGate &m_gate;
    std::unique_ptr<HLTimelineVCtrl> m_vCtrlTimeline;
    std::unique_ptr<HLTextlineVCtrl> m_vCtrlTextline;
    std::unique_ptr<HLAudiolineVCtrl> m_vCtrlAudioline;
    QPointer<QWidget> m_view;
    QScrollArea *m_slvContentline = nullptr;
    HLContentlineBackView *m_vContentlineBack = nullptr;
    HLPlaylineHeadView *m_vPlaylineHead = nullptr;
    HLPlaylineTailView *m_vPlaylineTail = nullptr;
    QWidget *m_vTextlineBack = nullptr;
    QPointer<QWidget> m_vAudiolineArea;
    QScrollArea *m_slvAudioline = nullptr;
    HLContentChoice m_choice;
    ChooseBlock m_blkChoose;
    SeekBlock m_blkSeek;
    Block m_blkEdit;
    ContentBlock m_blkContent;
    ChoiceBlock m_blkChoice;
};
