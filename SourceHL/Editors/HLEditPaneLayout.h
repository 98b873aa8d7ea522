#pragma once

#include <QObject>

class QGridLayout;
class QScrollArea;
class QWidget;

// The layout every edit pane shares: the controls sit on a panel vBase inside the document
// view vBack of a scroll view sclEdit. Whenever the scroll view or the panel changes size,
// the document view takes the panel's width and the larger of the panel's and the scroll
// view's heights, and the panel stays pinned to its top. Put the controls on vBase() and
// give it a fixed size (or a layout that fixes one); place sclEdit() in the pane's view.
class HLEditPaneLayout : public QObject
{
    Q_OBJECT
public:
    explicit HLEditPaneLayout(QWidget *parent);
    // Fills a pane's view with the scroll view of a new layout whose panel is panelWidth wide
    // and holds a grid with the panes' margins, for panes laid out in one grid.
    static HLEditPaneLayout *withGrid(QWidget *view, int panelWidth, QGridLayout *&grid);

    QScrollArea *sclEdit() const { return m_sclEdit; }
    QWidget *vBack() const { return m_vBack; }
    QWidget *vBase() const { return m_vBase; }
    void updateFrames();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QScrollArea *m_sclEdit;
    QWidget *m_vBack;
    QWidget *m_vBase;
};
