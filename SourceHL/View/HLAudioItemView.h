#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QMouseEvent;

// The cell of one music clip on the audio line: the head picture, the clip's name with its
// length, and under it the clip's range or the looping text of the play mode. It hands its
// mouse events to the audio line controller and is the source of the drag that carries it.
class HLAudioItemView : public QWidget
{
    Q_OBJECT
public:
    using MouseBlock = std::function<void(HLAudioItemView *view, QMouseEvent *event)>;

    // Null unless both are given. The controller sets the frame.
    static HLAudioItemView *audioItemViewOf(const QString &auid, const QString &name, QWidget *parent = nullptr);
    // The second caption of the looping play mode.
    static QString sharedInfoReapt();

    // Both captions from a range of project seconds; 0 <= start <= stop ("wrong paras").
    void updateStart(float start, float stop);
    void setEnType(qint64 type);
    void setBIsChosen(bool chosen);
    void setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up);

    bool bIsChosen() const { return m_bIsChosen; }
    QString strID() const { return m_strID; }
    QString UIHashID() const { return m_strID; }
    QString strName() const { return m_strName; }
    QString strTitle() const { return m_strTitle; }
    QString strInfo() const { return m_strInfo; }
    qint64 enType() const { return m_enType; }
    // What the second line shows: the range in play mode 1, the looping text otherwise.
    QString shownInfo() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    HLAudioItemView(const QString &auid, const QString &name, QWidget *parent);

    bool m_bIsChosen = false;
    QString m_strID;
    QString m_strName;
    QString m_strTitle;
    qint64 m_enType = 0;
    QString m_strInfo;
    MouseBlock m_blkDown;
    MouseBlock m_blkDrag;
    MouseBlock m_blkUp;
};
