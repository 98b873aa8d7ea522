#pragma once

#include "export/AudioEditProgressGeometry.h"

#include <QWidget>

#include <atomic>
#include <functional>

// The play and trim bar of a sound clip: a knob at the play position and two handles around
// the part of the clip that is used. It owns no player: seeks and trim changes go to the
// delegate's blocks (each optional), and the delegate sets progress as its player moves.
// Times are in the caller's unit. A clip of no length draws no knob or handles and takes no
// clicks.
class AudioEditProgressView : public QWidget
{
    Q_OBJECT
public:
    using TimeBlock = std::function<void(double time)>;

    explicit AudioEditProgressView(QWidget *parent = nullptr);

    bool isAddTrim() const { return m_isAddTrim; }
    void setIsAddTrim(bool add);
    qint64 progress() const { return m_progress; }
    void setProgress(qint64 progress);
    qint64 duration() const { return m_duration; }
    void setDuration(qint64 duration);
    qint64 trimStart() const { return m_trimStart; }
    void setTrimStart(qint64 start);
    qint64 trimStop() const { return m_trimStop; }
    void setTrimStop(qint64 stop);
    qint64 min_trim_time() const { return m_minTrimTime; }
    void setMin_trim_time(qint64 time) { m_minTrimTime = time; }

    // The delegate's messages.
    void setSeekPlayerToTime(TimeBlock block) { m_seekPlayerToTime = std::move(block); }
    void setPausePlayerToTime(TimeBlock block) { m_pausePlayerToTime = std::move(block); }
    void setTrimTimeInEditViewDidUpdate(std::function<void()> block) { m_trimDidUpdate = std::move(block); }

    // The bar's geometry at the view's width (y-up).
    AudioEditProgressGeometry geometry() const { return {double(width()), m_duration}; }
    // Asks for a redraw; from any thread.
    void updateProgress();

    QSize sizeHint() const override { return {300, 36}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Drag { None, Progress, TrimLeft, TrimRight };
    // A y-up rectangle of the geometry on this y-down widget.
    QRectF p_flipped(const QRectF &rect) const;
    void p_dragTo(double x);

    bool m_isAddTrim = true;
    std::atomic<qint64> m_progress{0};
    qint64 m_duration = 0;
    qint64 m_trimStart = 0;
    qint64 m_trimStop = 0;
    qint64 m_minTrimTime = 0;
    Drag m_drag = Drag::None;
    TimeBlock m_seekPlayerToTime;
    TimeBlock m_pausePlayerToTime;
    std::function<void()> m_trimDidUpdate;
};
