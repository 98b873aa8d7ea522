#pragma once

#include <QWidget>

// A time read-out drawn with the digit pictures "TimeNum0"…"TimeNum9", "TimeSep" and
// "TimeDot", from the left edge and bottom; enType picks the format (see hl_timeDigits).
class HLUITimeView : public QWidget
{
    Q_OBJECT
public:
    explicit HLUITimeView(QWidget *parent = nullptr);

    // Store and redraw only when the value changes.
    void setDTime(float time);
    qint64 enType() const { return m_enType; }
    void setEnType(qint64 type);

    // The picture names drawn for the current time and format, left to right.
    QStringList glyphNames() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float m_dTime = 0;
    qint64 m_enType = 0;
};
