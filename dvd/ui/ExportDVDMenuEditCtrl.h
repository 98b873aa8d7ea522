#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <future>
#include <memory>

class HLColorWell;
class DVDFrameResourceItemContainerView;
class DVDFrameResourceItemView;
class DVDImageWell;
class DVDMenuEditObject;
class DVDMenuEditView;
class DVDMenuItemEditObject;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QTimer;
class QWidget;

// The modal menu editor: the menu canvas, the shadow pane, and either the picture pane (the
// button's zoom, border and frame, a movie frame at a chosen time or a picture file) or the
// text pane of the picked object. Every change goes at once into the shared menu model.
// A moved movie-time slider reloads the frame in the background, at most one reload at a
// time; finishPendingReload settles it before the slideshow is exported.
class MenuEditAreaView;

class ExportDVDMenuEditCtrl : public QObject
{
    Q_OBJECT
public:
    explicit ExportDVDMenuEditCtrl(QWidget *parent = nullptr);
    ~ExportDVDMenuEditCtrl() override;

    std::shared_ptr<DVDMenuEditObject> dvdMenuEdit() const;
    // The DVD tab's frame loader: renders the slideshow at the button's picture time (given,
    // so the background reload never reads the model the main thread edits).
    void setDvdDelegate(std::function<void(double time)> loadMenuItemVideoImageForMenuEdit)
    {
        m_dvdDelegate = std::move(loadMenuItemVideoImageForMenuEdit);
    }
    // Opens the window and returns when it has closed.
    void showEditWindowModal();
    // Runs a reload still waiting for its delay now and waits for one running.
    void finishPendingReload();

    void selectedEditItemDidChanged();
    void selectDVDFrameResourceView(DVDFrameResourceItemView *view);
    void showEditFrameView(bool frame);

    void loadShadowSettings();
    void loadMenuItemImageSettings();
    void loadMenuItemTextSettings();
    void loadItemSelectedFrameResource();

    // The actions of the controls.
    void hasShadowBtnAction();
    void shadowColorBtnAction();
    void shadowWidthBtnAction();
    void shadowPointXBtnAction();
    void shadowPointYBtnAction();
    void shadowPointXLabelAction();
    void shadowPointYLabelAction();
    void menuItemZoomBtnAction();
    void menuItemAddBorderBtnAction();
    void menuItemImageModeAction();
    void menuItemImageEditAction(const QImage &image);
    void menuItemImageTimeBtnAction();
    void menuItemImageTimeLabelAction();
    void menuItemLocalImageChoose();
    void itemTextStringChangeAction();
    void itemTextFontNameChangeAction();
    void itemTextFontSizeChangeBtnAction();
    void itemTextFontSizeChangeLabelAction();
    void itemTextFontColorModeChangeAction();
    void itemTextFontColorBtnAction();
    void itemTextFontEndColorBtnAction();
    void itemTextHasOutlineBtnAction();
    void itemTextOutlineColorBtnAction();
    void itemTextOutlineWidthBtnAction();
    void itemTextHasBgBtnAction();
    void itemTextBgColorBtnAction();
    void itemTextBgRoundBtnAction();

    // Asks for a picture file; empty when the user cancels.
    using OpenPanel = std::function<QString(QWidget *window)>;
    void setOpenPanel(OpenPanel panel) { m_openPanel = std::move(panel); }

    QDialog *window() const { return m_window; }
    DVDMenuEditView *menuEditView() const { return m_menuEditView; }
    DVDFrameResourceItemContainerView *framesListView() const { return m_framesListView; }
    HLColorWell *shadowColorBtn() const { return m_shadowColorBtn; }
    DVDImageWell *menuItemImageBtn() const { return m_menuItemImageBtn; }
    HLColorWell *itemTextColorBtn() const { return m_itemTextColorBtn; }
    HLColorWell *itemTextEndColorBtn() const { return m_itemTextEndColorBtn; }
    HLColorWell *itemTextOutlineColorBtn() const { return m_itemTextOutlineColorBtn; }
    HLColorWell *itemTextBgColorBtn() const { return m_itemTextBgColorBtn; }

private:
    void p_makeWindow(QWidget *parent);
    QWidget *p_makeShadowPane();
    QWidget *p_makeFramePane();
    QWidget *p_makeTextPane();
    void p_connect();
    void loadFrameResourceList();
    void loadMenuItemVideoImageForMenuEditHelper();
    std::shared_ptr<DVDMenuItemEditObject> p_item() const;
    double p_menuHeight() const;

    QPointer<QDialog> m_window;
    MenuEditAreaView *m_canvasContainer = nullptr;
    DVDMenuEditView *m_menuEditView = nullptr;
    QWidget *m_shadowEditView = nullptr;
    QWidget *m_vEditFrameView = nullptr;
    QWidget *m_vEditTextView = nullptr;
    QScrollArea *m_framesScroll = nullptr;
    DVDFrameResourceItemContainerView *m_framesListView = nullptr;
    QCheckBox *m_hasShadowBtn = nullptr;
    HLColorWell *m_shadowColorBtn = nullptr;
    QComboBox *m_shadowWidthBtn = nullptr;
    QSlider *m_shadowPointXBtn = nullptr;
    QSlider *m_shadowPointYBtn = nullptr;
    QLineEdit *m_shadowPointXLable = nullptr;
    QLineEdit *m_shadowPointYLable = nullptr;
    QSlider *m_menuItemZoomBtn = nullptr;
    QCheckBox *m_menuItemAddBoderBtn = nullptr;
    QButtonGroup *m_menuItemImageModeBtn = nullptr;
    QRadioButton *m_movieModeBtn = nullptr;
    QRadioButton *m_fileModeBtn = nullptr;
    DVDImageWell *m_menuItemImageBtn = nullptr;
    QSlider *m_menuItemImageTimeBtn = nullptr;
    QLineEdit *m_menuItemImageTimeLabel = nullptr;
    QPushButton *m_menuItemLocalImageChooseBtn = nullptr;
    QLineEdit *m_itemTextStringLabel = nullptr;
    QFontComboBox *m_itemTextFontNameBtn = nullptr;
    QSlider *m_itemTextFontSizeBtn = nullptr;
    QLineEdit *m_itemTextFontSizeLabel = nullptr;
    QComboBox *m_itemTextColorModeBtn = nullptr;
    HLColorWell *m_itemTextColorBtn = nullptr;
    HLColorWell *m_itemTextEndColorBtn = nullptr;
    QCheckBox *m_hasTextOutlineBtn = nullptr;
    HLColorWell *m_itemTextOutlineColorBtn = nullptr;
    QSlider *m_itemTextOutlineWidthBtn = nullptr;
    QCheckBox *m_hasTextBgBtn = nullptr;
    HLColorWell *m_itemTextBgColorBtn = nullptr;
    QSlider *m_itemTextBgRoundBtn = nullptr;

    std::function<void(double time)> m_dvdDelegate;
    OpenPanel m_openPanel;
    QTimer *m_reloadTimer = nullptr;
    std::future<void> m_reload;
    bool m_reloadQueued = false;
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
};
