#pragma once

#include "SourceHL/Control/HLContentChoice.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class HLContentlineBackView;
class HLEditGate;
class HLPlaylineHeadView;
class HLPlaylineTailView;
class HLTextlineItem;
class HLTimelineItem;
class HLTimelineVCtrl;
class QScrollArea;
class QWidget;

// The content line under the preview: the slideshow strip in a horizontally scrolled area,
// the play line over it, and the one choice of the whole content line. It turns positions
// into play times and back, and is the one object through which the main window talks to
// the lines. The text line joins the scrolled area under the strip through addTextline
// (sharing its x axis), the audio line (scrolled on its own) through addAudioline; their
// controllers report their choices through p_textlineStatus and p_audiolineStatus.
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
    // What the content line asks of the text line and the audio line: drop their chosen
    // views (another line was chosen), delete what they have chosen.
    struct LineHooks
    {
        Block clear;
        Block deleteTheChosen;
    };

    explicit HLContentlineVCtrl(HLEditGate &gate);
    ~HLContentlineVCtrl() override;

    // The scrolled area with the strip and the play line; the owner places it.
    QWidget *view() const { return m_view; }
    HLTimelineVCtrl &vCtrlTimeline() const { return *m_vCtrlTimeline; }

    // Called by each line before it changes its model.
    void setupWarning(Block warning);
    void setupChoose(ChooseBlock choose, SeekBlock seek, Block edit, ContentBlock content);
    // Told the merged choice after every choice change of any line.
    void setupChoice(ChoiceBlock choice) { m_blkChoice = std::move(choice); }

    // The text line's view, placed under the strip 10 points in like the strip's.
    void addTextline(QWidget *lineView, int height, LineHooks hooks);
    void addAudioline(LineHooks hooks) { m_audioline = std::move(hooks); }
    // The choices of the other lines (a title's or a music clip's identifier, empty for none).
    void p_textlineStatus(const QString &ttid);
    void p_audiolineStatus(const QString &auid);
    // The other lines' seek, edit and content reports: a clicked title seeks like a cell,
    // edit asks the owner to open the editors, a content change is told to the owner (time
    // scaled only for the strip) and the play time is taken anew under the play line.
    void p_seekToItem(QWidget *view);
    void p_edit();
    void p_contentDidChange(bool timeScaled);

    void updateTimeline(const std::shared_ptr<HLTimelineItem> &timeline);
    void updateTextline(const std::shared_ptr<HLTextlineItem> &textline);
    void updateTimelineUI();
    void updateContentlineWidth();
    // Moves the play line to the UI offset.
    void updatePlaylineX(double offset);
    // Seeks to the time under the play line: how edits refresh the preview.
    void seekNow();
    void quaryEditingInfo(const ChooseBlock &block) const;
    // The strip's, then the text line's, then the audio line's chosen items go.
    void deleteTheChosen();
    void clear();

    const std::shared_ptr<HLTimelineItem> &oTimeline() const;
    const std::shared_ptr<HLTextlineItem> &oTextline() const { return m_oTextline; }
    QString strAddSSID() const;
    const HLContentChoice &choice() const { return m_choice; }

    // Parts of the view, for the window's tests and layout.
    QScrollArea *slvContentline() const { return m_slvContentline; }
    HLContentlineBackView *vContentlineBack() const { return m_vContentlineBack; }
    HLPlaylineHeadView *vPlaylineHead() const { return m_vPlaylineHead; }
    HLPlaylineTailView *vPlaylineTail() const { return m_vPlaylineTail; }

    // Seeks to the position x of the content back view.
    void p_seekAt(double x);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_timelineStatus(const QString &sssid, const QString &tssid, const QString &rdid);
    void p_report(qint64 kind, const QString &identifier);
    void p_choiceChanged(const HLContentChoice &choice);
    void p_layoutLines();
    QString p_nameOf(qint64 kind, const QString &identifier) const;

    std::unique_ptr<HLTimelineVCtrl> m_vCtrlTimeline;
    std::shared_ptr<HLTextlineItem> m_oTextline;
    HLEditGate &m_gate;
    QPointer<QWidget> m_view;
    QScrollArea *m_slvContentline = nullptr;
    HLContentlineBackView *m_vContentlineBack = nullptr;
    HLPlaylineHeadView *m_vPlaylineHead = nullptr;
    HLPlaylineTailView *m_vPlaylineTail = nullptr;
    QPointer<QWidget> m_vTextline;
    int m_iTextlineHeight = 0;
    LineHooks m_textline;
    LineHooks m_audioline;
    HLContentChoice m_choice;
    ChooseBlock m_blkChoose;
    SeekBlock m_blkSeek;
    Block m_blkEdit;
    ContentBlock m_blkContent;
    ChoiceBlock m_blkChoice;
};
