#pragma once

#include <QMainWindow>

#include <functional>

class HLDisplayVCtrl;
class HLUITimeView;
class HLUIWindowTitleView;
class QToolButton;

// The main window's widget tree: title strip, tool bar with its read-outs, the preview
// column, the right-hand area and the content line area. It only lays things out; the
// controller (HLMainWndCtrl) fills and wires it. The outlets are public, as a window
// layout's are.
class HLMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HLMainWindow(QWidget *parent = nullptr);

    // Asked when the user closes the window; answers whether it may close.
    std::function<bool()> blkShouldClose;

    HLUIWindowTitleView *vWindowTitle = nullptr;
    QWidget *vDisplayBackView = nullptr;
    QWidget *vDisplayContentView = nullptr;
    QWidget *vDisplayProgressView = nullptr;
    QWidget *vEditBackView = nullptr;
    QWidget *vEditPaneArea = nullptr; // where the browsing panes and the item editors go
    QWidget *vContentlineBackView = nullptr;
    QWidget *vSlideshowStripHost = nullptr; // where the content line's strip and text line go

    QToolButton *btnAddMedia = nullptr;
    QToolButton *btnAddText = nullptr;
    QToolButton *btnAddAudio = nullptr;
    QToolButton *btnEdit = nullptr;
    QToolButton *btnSort = nullptr;
    QToolButton *btnPlay = nullptr;
    QToolButton *btnSetting = nullptr;
    QToolButton *btnMedia = nullptr;
    QToolButton *btnSize = nullptr;
    QToolButton *btnExport = nullptr;

    HLUITimeView *vTimeNowTime = nullptr;
    HLUITimeView *vTimeDuration = nullptr;
    HLDisplayVCtrl *vCtrlDisplay = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *p_makeToolbar();
    QWidget *p_makePreviewColumn();
    QWidget *p_makeRightArea();
    QWidget *p_makeContentline();
    QToolButton *p_makeToolButton(const QString &icon, const QString &label, const QString &name);
};
