#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// The trim line's strip: a background and, over it, each selection as the part of a
// full-width image that lies in its range. A press or drag turns into a ratio of the width.
// Knows no selections or players: its owner feeds it through the callbacks.
class HLTrimlineView : public QWidget
{
    Q_OBJECT
public:
    using Click = std::function<void(float ratio)>;
    using Cancel = std::function<void()>;
    using Count = std::function<int()>;
    // index → chosen, ratioMin, ratioMax (pre-filled with false, 0, 1)
    using SelectionAt = std::function<void(int index, bool &chosen, float &ratioMin, float &ratioMax)>;

    explicit HLTrimlineView(QWidget *parent = nullptr);

    void setupClick(Click click, Cancel cancel, Count selectionsCount, SelectionAt selectionAt);
    bool bIsEnable() const { return m_bIsEnable; }
    void setBIsEnable(bool enable) { m_bIsEnable = enable; }

    static const QString kImageBack, kImageBackUn, kImageBackCh;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void p_click(double x);

    bool m_bIsEnable = false;
    Click m_blkClick;
    Cancel m_blkCancel;
    Count m_blkSelectionsCount;
    SelectionAt m_blkSelectionAt;
};
