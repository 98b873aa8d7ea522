#pragma once

#include "Frameworks/Korvane/ZKMoviePlayer.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <memory>

class AudioEditProgressView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;
class ZKSegmentMovie;

// The modal dialog that edits the menu music in place while it plays: the trim (never
// shorter than a second), fade-in and fade-out, and the volume. Apply keeps the changes;
// Cancel (or closing the window) puts back what the music had when the dialog opened.
class BackgroundMusicWindowController : public QObject, public ZKMoviePlayerDelegate
{
    Q_OBJECT
public:
    explicit BackgroundMusicWindowController(QWidget *parent = nullptr);
    ~BackgroundMusicWindowController() override;

    // Runs the dialog on segment; returns when it has closed.
    void showWindowWithMovie(const std::shared_ptr<ZKSegmentMovie> &segment);

    void playOrPauseAction();
    void fadeInChanged();
    void fadeOutChanged();
    void volumeSliderChangedAction();
    void volumeFieldChangedAction();
    void trimStartLabelAction();
    void trimStopLabelAction();
    void cancelAction();
    void applyAction();

    // The trim bar's delegate messages.
    void seekPlayerToTime(double time);
    void pausePlayerToTime(double time);
    void trimTimeInEditViewDidUpdate();

    void imageDidFlushInPlayer(ZKMoviePlayer *player) override;

    ZKMoviePlayer &player() { return *m_player; }
    QDialog *window() const { return m_window; }
    AudioEditProgressView *progressView() const { return m_progressView; }

private:
    // What Cancel puts back.
    struct Snapshot
    {
        qint64 start = 0;
        qint64 stop = 0;
        qint64 fadeIn = 0;
        qint64 fadeOut = 0;
        double volume = 1.0;
    };

    void p_makeWindow(QWidget *parent);
    void p_showPlayState();
    void p_loadTrimLabels();
    void p_loadFades();
    void p_loadVolume();
    void p_showProgressTime();
    double p_volume() const;
    void p_setVolume(double volume);
    void p_windowDidClose();

    QPointer<QDialog> m_window;
    QPushButton *m_playMusicButton = nullptr;
    QComboBox *m_fadeInButton = nullptr;
    QComboBox *m_fadeOutButton = nullptr;
    AudioEditProgressView *m_progressView = nullptr;
    QLabel *m_progressTimeLabel = nullptr;
    QSlider *m_volumeChangeBtn = nullptr;
    QLineEdit *m_volumeChangeLabel = nullptr;
    QLineEdit *m_trimStartLabel = nullptr;
    QLineEdit *m_trimStopLabel = nullptr;
    QLabel *m_trimTotalLengthLabel = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_applyButton = nullptr;

    std::unique_ptr<ZKMoviePlayer> m_player;
    std::shared_ptr<ZKSegmentMovie> m_segmentMovie;
    Snapshot m_snapshot;
    bool m_applied = false;
};
