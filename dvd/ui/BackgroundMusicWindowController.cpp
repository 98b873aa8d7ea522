#include "dvd/ui/BackgroundMusicWindowController.h"

#include "widgets/HLWindowBar.h"

#include "dvd/DVDTimeText.h"
#include "export/ui/AudioEditProgressView.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "widgets/HLNamedImage.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <utility>

#include <algorithm>
#include <cmath>

namespace {

// The volume slider in hundredths: 0 to 3.
constexpr int kVolumeSteps = 100;
constexpr int kMaxVolume = 3 * kVolumeSteps;

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

double seconds(qint64 ticks)
{
    return zk_ff_time_to_double(ticks);
}

} // namespace

BackgroundMusicWindowController::BackgroundMusicWindowController(QWidget *parent)
    : m_player(std::make_unique<ZKMoviePlayer>())
{
    p_makeWindow(parent);
    m_player->setDelegate(this);
    m_player->setIsApplyEffect(true);
    m_progressView->setMin_trim_time(zk_default_time_base());
    m_progressView->setIsAddTrim(true);
    m_progressView->setSeekPlayerToTime([this](double t) { seekPlayerToTime(t); });
    m_progressView->setPausePlayerToTime([this](double t) { pausePlayerToTime(t); });
    m_progressView->setTrimTimeInEditViewDidUpdate([this] { trimTimeInEditViewDidUpdate(); });
}

BackgroundMusicWindowController::~BackgroundMusicWindowController()
{
    m_player->setDelegate(nullptr);
    m_player->setSegmentMovie(nullptr);
    delete m_window;
}

void BackgroundMusicWindowController::p_makeWindow(QWidget *parent)
{
    m_window = new QDialog(parent);
    m_window->setObjectName(QStringLiteral("BackgroundMusicWindowController"));
    m_window->setWindowTitle(QStringLiteral("Menu Music"));
    m_window->setWindowModality(Qt::ApplicationModal);

    m_playMusicButton = new QPushButton(m_window);
    m_playMusicButton->setFixedSize(32, 32);
    m_playMusicButton->setFlat(true);
    m_playMusicButton->setIconSize(QSize(24, 24));
    m_progressView = new AudioEditProgressView(m_window);
    m_progressView->setMinimumWidth(360);
    m_progressView->setFixedHeight(36);
    m_progressTimeLabel = new QLabel(m_window);
    m_progressTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_trimStartLabel = new QLineEdit(m_window);
    m_trimStopLabel = new QLineEdit(m_window);
    for (QLineEdit *field : {m_trimStartLabel, m_trimStopLabel})
        field->setFixedWidth(100);
    m_trimTotalLengthLabel = new QLabel(m_window);
    m_fadeInButton = new QComboBox(m_window);
    m_fadeOutButton = new QComboBox(m_window);
    const QStringList fades = {QStringLiteral("None"), QStringLiteral("1 s"), QStringLiteral("2 s"),
                               QStringLiteral("3 s"),  QStringLiteral("4 s"), QStringLiteral("5 s")};
    m_fadeInButton->addItems(fades);
    m_fadeOutButton->addItems(fades);
    m_volumeChangeBtn = new QSlider(Qt::Horizontal, m_window);
    m_volumeChangeBtn->setRange(0, kMaxVolume);
    m_volumeChangeLabel = new QLineEdit(m_window);
    m_volumeChangeLabel->setFixedWidth(60);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_window);
    m_applyButton = new QPushButton(QStringLiteral("Apply"), m_window);
    for (QPushButton *button : {m_playMusicButton, m_cancelButton, m_applyButton})
        button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->setSpacing(12);
    auto *bar = new QHBoxLayout;
    bar->addWidget(m_playMusicButton);
    bar->addWidget(m_progressView, 1);
    bar->addWidget(m_progressTimeLabel);
    layout->addLayout(bar);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->addWidget(caption(QStringLiteral("Start:"), m_window), 0, 0);
    grid->addWidget(m_trimStartLabel, 0, 1);
    grid->addWidget(caption(QStringLiteral("Stop:"), m_window), 0, 2);
    grid->addWidget(m_trimStopLabel, 0, 3);
    grid->addWidget(caption(QStringLiteral("Length:"), m_window), 0, 4);
    grid->addWidget(m_trimTotalLengthLabel, 0, 5);
    grid->addWidget(caption(QStringLiteral("Fade in:"), m_window), 1, 0);
    grid->addWidget(m_fadeInButton, 1, 1);
    grid->addWidget(caption(QStringLiteral("Fade out:"), m_window), 1, 2);
    grid->addWidget(m_fadeOutButton, 1, 3);
    grid->addWidget(caption(QStringLiteral("Volume:"), m_window), 2, 0);
    auto *volume = new QHBoxLayout;
    volume->addWidget(m_volumeChangeBtn, 1);
    volume->addWidget(m_volumeChangeLabel);
    grid->addLayout(volume, 2, 1, 1, 5);
    grid->setColumnStretch(5, 1);
    layout->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_applyButton);
    layout->addLayout(buttons);
    changeWindowBarToBlack(m_window);
    // The names the controls are found by (tests, screenshots).
    const std::pair<QWidget *, const char *> named[] = {
        {m_playMusicButton, "playMusicButton"},
        {m_fadeInButton, "fadeInButton"},
        {m_fadeOutButton, "fadeOutButton"},
        {m_progressTimeLabel, "progressTimeLabel"},
        {m_volumeChangeBtn, "volumeChangeBtn"},
        {m_volumeChangeLabel, "volumeChangeLabel"},
        {m_trimStartLabel, "trimStartLabel"},
        {m_trimStopLabel, "trimStopLabel"},
        {m_trimTotalLengthLabel, "trimTotalLengthLabel"},
        {m_cancelButton, "cancelButton"},
        {m_applyButton, "applyButton"},
    };
    for (const auto &[widget, name] : named)
        widget->setObjectName(QLatin1String(name));

    connect(m_playMusicButton, &QPushButton::clicked, this, [this] { playOrPauseAction(); });
    connect(m_fadeInButton, &QComboBox::activated, this, [this] { fadeInChanged(); });
    connect(m_fadeOutButton, &QComboBox::activated, this, [this] { fadeOutChanged(); });
    connect(m_volumeChangeBtn, &QSlider::valueChanged, this, [this] { volumeSliderChangedAction(); });
    connect(m_volumeChangeLabel, &QLineEdit::editingFinished, this, [this] { volumeFieldChangedAction(); });
    connect(m_trimStartLabel, &QLineEdit::editingFinished, this, [this] { trimStartLabelAction(); });
    connect(m_trimStopLabel, &QLineEdit::editingFinished, this, [this] { trimStopLabelAction(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelAction(); });
    connect(m_applyButton, &QPushButton::clicked, this, [this] { applyAction(); });
    connect(m_window, &QDialog::finished, this, [this] { p_windowDidClose(); });
}

double BackgroundMusicWindowController::p_volume() const
{
    const auto movie = m_segmentMovie ? std::dynamic_pointer_cast<ZKFFMovie>(m_segmentMovie->ffmovie()) : nullptr;
    return movie ? movie->volume() : 1.0;
}

void BackgroundMusicWindowController::p_setVolume(double volume)
{
    const auto movie = m_segmentMovie ? std::dynamic_pointer_cast<ZKFFMovie>(m_segmentMovie->ffmovie()) : nullptr;
    if (movie)
        movie->setVolume(volume);
}

void BackgroundMusicWindowController::showWindowWithMovie(const std::shared_ptr<ZKSegmentMovie> &segment)
{
    if (!segment)
        return;
    m_player->pause();
    m_segmentMovie = segment;
    m_snapshot = {segment->start(), segment->stop(), segment->fadeIn(), segment->fadeOut(), p_volume()};
    m_applied = false;
    m_player->setSegmentMovie(segment);
    m_progressView->setDuration(m_player->duration());
    m_progressView->setTrimStart(segment->start());
    m_progressView->setTrimStop(segment->stop());
    m_progressView->setProgress(m_player->currentTime());
    p_showPlayState();
    p_loadTrimLabels();
    p_loadVolume();
    p_loadFades();
    p_showProgressTime();
    m_window->exec();
}

void BackgroundMusicWindowController::p_windowDidClose()
{
    m_player->pause();
    if (m_segmentMovie && !m_applied) {
        m_segmentMovie->setStop(std::max(m_snapshot.stop, m_segmentMovie->start()));
        m_segmentMovie->setStart(m_snapshot.start);
        m_segmentMovie->setStop(m_snapshot.stop);
        m_segmentMovie->setFadeIn(m_snapshot.fadeIn);
        m_segmentMovie->setFadeOut(m_snapshot.fadeOut);
        p_setVolume(m_snapshot.volume);
    }
    m_player->setSegmentMovie(nullptr);
    m_segmentMovie.reset();
}

void BackgroundMusicWindowController::cancelAction()
{
    m_applied = false;
    m_window->reject();
}

void BackgroundMusicWindowController::applyAction()
{
    m_applied = true;
    m_window->accept();
}

void BackgroundMusicWindowController::playOrPauseAction()
{
    if (m_player->isPlay())
        m_player->pause();
    else
        m_player->play();
    p_showPlayState();
}

void BackgroundMusicWindowController::p_showPlayState()
{
    const bool playing = m_player->isPlay();
    m_playMusicButton->setIcon(HLNamedImage::icon(playing ? QStringLiteral("library_player_pause")
                                                          : QStringLiteral("library_player_play")));
    m_playMusicButton->setToolTip(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void BackgroundMusicWindowController::imageDidFlushInPlayer(ZKMoviePlayer *)
{
    QMetaObject::invokeMethod(this, [this] {
        if (!m_segmentMovie)
            return;
        m_progressView->setProgress(std::min(m_player->currentTime(), m_player->duration()));
        m_progressView->updateProgress();
        p_showProgressTime();
        p_showPlayState();
    }, Qt::QueuedConnection);
}

void BackgroundMusicWindowController::p_showProgressTime()
{
    m_progressTimeLabel->setText(QStringLiteral("%1/%2").arg(DVDTimeText::timeStrFromSecond(seconds(m_progressView->progress())),
                                                            DVDTimeText::timeStrFromSecond(seconds(m_progressView->duration()))));
}

void BackgroundMusicWindowController::seekPlayerToTime(double time)
{
    m_player->setCurrentTime(qint64(time));
    m_progressView->setProgress(qint64(time));
    p_showProgressTime();
}

void BackgroundMusicWindowController::pausePlayerToTime(double time)
{
    m_player->pause();
    p_showPlayState();
    seekPlayerToTime(time);
}

void BackgroundMusicWindowController::trimTimeInEditViewDidUpdate()
{
    if (m_segmentMovie) {
        // Stop first when moving right, so the start never passes it.
        m_segmentMovie->setStop(std::max(m_progressView->trimStop(), m_segmentMovie->start()));
        m_segmentMovie->setStart(m_progressView->trimStart());
        m_segmentMovie->setStop(m_progressView->trimStop());
    }
    p_loadTrimLabels();
}

void BackgroundMusicWindowController::p_loadTrimLabels()
{
    m_trimStartLabel->setText(DVDTimeText::timeLongStrFromSecond(seconds(m_progressView->trimStart())));
    m_trimStopLabel->setText(DVDTimeText::timeLongStrFromSecond(seconds(m_progressView->trimStop())));
    m_trimTotalLengthLabel->setText(DVDTimeText::timeStrFromSecond(
        seconds(std::max<qint64>(m_progressView->trimStop() - m_progressView->trimStart(), 0))));
}

void BackgroundMusicWindowController::trimStartLabelAction()
{
    const qint64 tb = zk_default_time_base();
    const auto typed = DVDTimeText::secondsFromText(m_trimStartLabel->text());
    if (typed) {
        const double t = *typed * double(tb);
        if (t >= 0 && t <= double(m_progressView->trimStop() - tb)) {
            m_progressView->setTrimStart(qint64(t));
            m_progressView->updateProgress();
        }
    }
    trimTimeInEditViewDidUpdate();
}

void BackgroundMusicWindowController::trimStopLabelAction()
{
    const qint64 tb = zk_default_time_base();
    const auto typed = DVDTimeText::secondsFromText(m_trimStopLabel->text());
    if (typed) {
        const double t = *typed * double(tb);
        if (t <= double(m_progressView->duration()) && t >= double(m_progressView->trimStart() + tb)) {
            m_progressView->setTrimStop(qint64(t));
            m_progressView->updateProgress();
        }
    }
    trimTimeInEditViewDidUpdate();
}

void BackgroundMusicWindowController::fadeInChanged()
{
    if (m_segmentMovie)
        m_segmentMovie->setFadeIn(zk_default_time_base() * m_fadeInButton->currentText().section(' ', 0, 0).toInt());
}

void BackgroundMusicWindowController::fadeOutChanged()
{
    if (m_segmentMovie)
        m_segmentMovie->setFadeOut(zk_default_time_base() * m_fadeOutButton->currentText().section(' ', 0, 0).toInt());
}

void BackgroundMusicWindowController::p_loadFades()
{
    if (!m_segmentMovie)
        return;
    const auto index = [](qint64 ticks) { return int(std::clamp<long long>(std::llround(seconds(ticks)), 0, 5)); };
    m_fadeInButton->setCurrentIndex(index(m_segmentMovie->fadeIn()));
    m_fadeOutButton->setCurrentIndex(index(m_segmentMovie->fadeOut()));
}

void BackgroundMusicWindowController::volumeSliderChangedAction()
{
    p_setVolume(double(m_volumeChangeBtn->value()) / kVolumeSteps);
    p_loadVolume();
}

void BackgroundMusicWindowController::volumeFieldChangedAction()
{
    bool ok = false;
    const double percent = m_volumeChangeLabel->text().remove(QLatin1Char('%')).trimmed().toDouble(&ok);
    if (ok && percent >= 0 && percent <= 100.0 * kMaxVolume / kVolumeSteps) {
        const QSignalBlocker quiet(m_volumeChangeBtn);
        m_volumeChangeBtn->setValue(int(std::lround(percent)));
        p_setVolume(percent / 100.0);
    }
    p_loadVolume();
}

void BackgroundMusicWindowController::p_loadVolume()
{
    const QSignalBlocker quiet(m_volumeChangeBtn);
    m_volumeChangeBtn->setValue(int(std::lround(p_volume() * kVolumeSteps)));
    m_volumeChangeLabel->setText(QString::asprintf("%.0f%%", 100.0 * p_volume()));
}
