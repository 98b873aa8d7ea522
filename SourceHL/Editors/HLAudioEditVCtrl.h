#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Editors/HLEditorMovie.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Editors/HLTrimlineProtocols.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class HLAudioEdit;
class HLAudioItem;
class HLEditPaneLayout;
class HLTrimlineVCtrl;
class HLTypedNumberField;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;
class QPushButton;

// The edit pane of one music clip: its trim over the whole clip with a playing preview of its
// own movie that loops inside the kept part with the fades and volume, the fades, the volume
// and, when the audio line keeps each clip at its own place, that place and its repeat count.
// Every write goes through the owner's hook; the pane keeps no copy of the clip.
class HLAudioEditVCtrl : public QObject, public HLEditorPane
{
    Q_OBJECT
public:
    // The clip of an identifier and the audio line's play mode (0: end to end, 1: each at its
    // own place); the main window answers it.
    struct Target
    {
        std::shared_ptr<HLAudioItem> clip;
        qint64 mode = 0;
    };
    using Lookup = std::function<Target(const QString &identifier)>;

    explicit HLAudioEditVCtrl(HLEditWrite write);
    ~HLAudioEditVCtrl() override;

    void setUp(std::function<void()> end) { m_blkEnd = std::move(end); }
    void setUpLookup(Lookup lookup) { m_blkLookup = std::move(lookup); }
    // Nothing when the clip is the one being edited.
    void startEditing(const std::shared_ptr<HLAudioItem> &clip, qint64 mode);

    QWidget *view() override;
    bool isNowEditing() const override { return m_oItem != nullptr; }
    QString editingID() const override;
    void startEditing(const QString &identifier) override;
    void stopEditing() override;

    // The controls' actions.
    void audioPlay();
    void trimStart();
    void trimEnd();
    void fadeIn(int index);
    void fadeOut(int index);
    void audioVolume();
    void done();
    // One tick of the preview (the movie's 0.05 s timer calls it while playing).
    void p_playFeedback();

    const std::shared_ptr<HLAudioItem> &oItem() const { return m_oItem; }
    HLEditorMovie &oAudio() { return m_oAudio; }
    HLTrimlineVCtrl &vCtrlTrimline() const { return *m_vCtrlTrimline; }

    QToolButton *btnAudioPlay = nullptr;
    QLabel *tldPlayTime = nullptr;
    QLabel *tldPlayDuration = nullptr;
    QPushButton *btnTrimStart = nullptr;
    QLineEdit *edtTrimStart = nullptr;
    QPushButton *btnTrimEnd = nullptr;
    QLineEdit *edtTrimEnd = nullptr;
    QLabel *tldTrimDuration = nullptr;
    QComboBox *ppBtnFadeIn = nullptr;
    QComboBox *ppBtnFadeOut = nullptr;
    QSlider *sldVolume = nullptr;
    QLineEdit *edtVolume = nullptr;
    QWidget *vCustomBack = nullptr;
    QLineEdit *edtPlayStart = nullptr;
    QLineEdit *edtPlayEnd = nullptr;
    QLineEdit *edtPlayRepeat = nullptr;
    QPushButton *btnDone = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_build();
    void p_beginTyping(QLineEdit *field);
    void p_showTime(QLineEdit *field, float seconds);
    void p_typedTime(QLineEdit *field, const std::function<void(float seconds)> &apply);
    std::shared_ptr<HLAudioEdit> p_edit() const;
    void p_setupInterfaceAll();
    void p_setupInterfaceTrim();
    void p_setupInterfaceFade();
    void p_setupInterfaceVolume();
    void p_setupInterfacePlay();
    void p_setupInterfaceRepeat();

    HLEditWrite m_write;
    QPointer<QWidget> m_view;
    HLEditPaneLayout *m_layout = nullptr;
    std::unique_ptr<HLTrimlineVCtrl> m_vCtrlTrimline;
    HLTypedNumberField *m_volumeField = nullptr;
    HLTypedNumberField *m_repeatField = nullptr;
    std::shared_ptr<HLAudioItem> m_oItem;
    std::shared_ptr<TrimlineSelectionProtocol> m_oSelection;
    HLEditorMovie m_oAudio;
    QPointer<QLineEdit> m_oEditingUI; // the time field being typed into
    QString m_strTempStringValue;     // its text when typing began
    std::function<void()> m_blkEnd;
    Lookup m_blkLookup;
};
