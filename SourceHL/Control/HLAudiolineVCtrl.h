#pragma once

#include "SourceHL/Control/HLLineChoice.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class HLAudiolineItem;
class HLEditGate;
class QMouseEvent;

// The audio line: one cell of 200 × 50 per music clip, left to right in the clips' order (the
// row shows the order of the music, not its timing). The user chooses a clip, opens its
// editor by a double click, carries a clip to another place in the order, drops files on the
// row, and deletes the chosen clip. File drops are announced with
// AudiolineVCtrlBackInsertNotification for the main window to import.
class HLAudiolineVCtrl : public QObject
{
    Q_OBJECT
public:
    // Every change of the model goes through gate.
    explicit HLAudiolineVCtrl(HLEditGate &gate, QObject *parent = nullptr);
    ~HLAudiolineVCtrl() override;

    HLAudiolineBackView *view() const { return m_view; }

    void setupWarning(std::function<void()> warning) { m_blkWarning = std::move(warning); }
    void setupStatus(std::function<void(const QString &auid)> status, std::function<void()> edit,
                     std::function<void()> content);

    void updateModel(const std::shared_ptr<HLAudiolineItem> &audioline);
    void updateUI();
    void clear();
    bool isThereChosen() const { return m_vChosenView.view() != nullptr; }
    void deleteTheChosen();
    QString strAUID() const;

    const std::shared_ptr<HLAudiolineItem> &oAudioline() const { return m_oAudioline; }
    const QList<HLAudioItemView *> &aryAudioItemViews() const { return m_aryAudioItemViews; }

private:
    HLAudioItemView *p_makeCell(const QString &auid, const QString &name);
    void p_aiMouseDown(HLAudioItemView *view, QMouseEvent *event);
    void p_aiMouseDragged(HLAudioItemView *view, QMouseEvent *event);
    void p_tbMouseDrop(const QString &target, const std::optional<QStringList> &paths);

    void p_audiolineWarning();
    void p_audiolineStatus();
    void p_audiolineEdit();
    void p_audiolineContent();

    bool m_bDidDrag = false;
    std::shared_ptr<HLAudiolineItem> m_oAudioline;
    QList<HLAudioItemView *> m_aryAudioItemViews;
    std::function<void()> m_blkWarning;
    std::function<void(const QString &)> m_blkStatus;
    std::function<void()> m_blkEdit;
    std::function<void()> m_blkContent;
    HLLineChoice<HLAudioItemView> m_vChosenView;
    HLEditGate &m_gate;
    QPointer<HLAudiolineBackView> m_view;
};

// Posted for files dropped on the audio line: "Paths" (the files as dropped, unfiltered) and,
// when the drop fell before a clip, "AUID" (that clip).
extern const QString AudiolineVCtrlBackInsertNotification;
