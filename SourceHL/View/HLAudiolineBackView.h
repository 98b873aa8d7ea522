#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

// The audio line's row behind the clip cells: the audio line controller's view, and the drop
// target both for files from outside and for a clip carried within the row, with a green
// marker on the cell boundary where the drop would land.
class HLAudiolineBackView : public QWidget
{
    Q_OBJECT
public:
    // The boundary (0 = before the first cell) and the dropped files, or none for a carried clip.
    using DropBlock = std::function<void(HLAudiolineBackView *view, qint64 index,
                                         const std::optional<QStringList> &paths)>;

    explicit HLAudiolineBackView(QWidget *parent = nullptr);

    void setUpMouseDrop(DropBlock drop) { m_blkDrop = std::move(drop); }
    // -1: no marker.
    qint64 iDropIndex() const { return m_iDropIndex; }
    void setIDropIndex(qint64 index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Carried { Nothing, Files, Clip };
    Carried p_track(QDropEvent *event);

    DropBlock m_blkDrop;
    qint64 m_iDropIndex = -1;
};
