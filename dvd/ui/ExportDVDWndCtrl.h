#pragma once

#include "export/ui/ExportWndCtrl.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class BackgroundMusicWindowController;
class ConvertProgressFlow;
class ConvertProgressWindowController;
class DVDBurn;
class DVDBurnDevice;
class DVDBurnNotification;
class DVDMenuEditObject;
class ExportDVDMenuEditCtrl;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;
class Trevanel;
class VETimelineExportMovie;
class ZKSegmentMovie;

// The export window's "Export to DVD" tab: the disc's name, shape, standard, bit rate,
// playing, output and burner, a live size estimate, and its one menu (background, music,
// length, title and play button, edited in the menu editor and the music dialog). Start
// checks the slideshow's shape and the burner, asks where a folder or image goes, closes the
// export window and runs the DVD under the progress window.
class ExportDVDWndCtrl : public QObject
{
    Q_OBJECT
public:
    // DVDOutputType: the output pop-up's index (1 is no choice).
    enum OutputType { BurnToDevice = 0, BurnToISO = 2, BurnToDVDMedia = 3, BurnToFolder = 4 };
    using DeviceList = std::function<std::vector<std::shared_ptr<DVDBurnDevice>>()>;
    // Asks for the destination of a folder, package or image, proposing fileName for a
    // package or image (empty for a folder); empty when the user cancels.
    using OutputPanel = std::function<QString(QWidget *window, OutputType type, const QString &fileName)>;
    // Asks for a picture or music file; empty when the user cancels.
    using OpenPanel = std::function<QString(QWidget *window, const QString &title)>;
    // Shows a file in the file manager.
    using Revealer = std::function<void(const QString &path)>;
    // Builds the flow that makes the disc (the tests count the burned copies through it).
    using FlowMade = std::function<void(const std::shared_ptr<ConvertProgressFlow> &flow)>;

    // Hooks itself into the export window as its DVD tab, sharing its progress window.
    explicit ExportDVDWndCtrl(ExportWndCtrl &exportWindow, DeviceList devices = {});
    ~ExportDVDWndCtrl() override;

    void exportMovie(const std::shared_ptr<VETimelineExportMovie> &movie);

    // Derived values of the controls.
    QString dvdNameString() const;
    bool isBurnToDevice() const { return outputType() == BurnToDevice; }
    bool isBurnToISO() const { return outputType() == BurnToISO; }
    bool isBurnToDVDMedia() const { return outputType() == BurnToDVDMedia; }
    bool isBurnToFolder() const { return outputType() == BurnToFolder; }
    int outputType() const;
    bool isExportDVD16_9() const;
    bool isExportDVDNTSC() const;
    bool isExportDVDAutoPlay() const;
    bool isExportDVDLoopPlay() const;
    bool isExportDVDAddMenu() const;
    bool isExportDVDMenuAddText() const;
    bool isExportDVDMenuFrame() const;
    int exportDVDBitrate() const;
    double exportDVDMenuLength() const;
    std::shared_ptr<Trevanel> getDVDObj();

    // Burners came or went, or a disc changed.
    void devicesDidChanged();
    // The button's picture at time seconds of the slideshow; from any thread.
    void loadMenuItemVideoImageForMenuEdit(double time);

    // The control actions.
    void dvdAspectBtnAction();
    void dvdBirtateBtnAction();
    void dvdAddMenuBtnAction();
    void dvdMenuMusicEditAction();
    void dvdMenuMusicChangeAction();
    void dvdMenuBgChangeAction();
    void dvdNameChangeAction();
    void dvdMenuAddTextAction();
    void dvdMenuTitleModeChangeAction();
    void dvdMenuFrameTitleEditAction();
    void dvdMenuLengthChangeAction();
    void exportDvdTypeBtnAction();
    void dvdDeviceAction();
    void dvdStartBurn();

    void setOutputPanel(OutputPanel panel) { m_outputPanel = std::move(panel); }
    void setOpenPanel(OpenPanel panel) { m_openPanel = std::move(panel); }
    void setRevealer(Revealer revealer) { m_revealer = std::move(revealer); }
    void setFlowMade(FlowMade made) { m_flowMade = std::move(made); }

    QWidget *dvdExportView() const { return m_dvdExportView; }
    ExportDVDMenuEditCtrl &exportDVDMenuEditCtrl() const { return *m_exportDVDMenuEditCtrl; }
    BackgroundMusicWindowController &backgroundMusicWindowCtrl() const { return *m_backgroundMusicWindowCtrl; }
    const std::shared_ptr<DVDMenuEditObject> &dvdMenuEdit() const { return m_dvdMenuEdit; }
    const std::shared_ptr<DVDBurn> &dvdBurn() const { return m_dvdBurn; }
    std::shared_ptr<ZKSegmentMovie> menuAudio() const { return m_menuAudio; }
    QString dvdMenuBgImagePath() const { return m_dvdMenuBgImagePath; }

private:
    void p_makeView();
    QWidget *p_makeDiscPane();
    QWidget *p_makeMenuPane();
    void loadDVDDevices();
    void loadDefaultDVDStandard();
    void loadExportDVDFileSize();
    void loadDVDMenuEditView();
    void loadMenuItemVideoImage(double time);
    void loadDVDMenuBgImage();
    void loadDvdMenuEditPreviewView();
    void loadDVDMenuEditState();
    void loadDVDMenuBgImageBtnSelection();
    void loadDVDMenuBgMusicBtnSelection();
    void showFileInFinder(const QString &path);
    bool alertDVDVideoSizeAspectContinue();
    int custom_run_alert_panel(const QString &text, const QStringList &buttons);
    void p_handOver(std::shared_ptr<ConvertProgressFlow> flow);
    // A file chosen in a file pop-up (background or music): the one selected, or after the
    // chooser item the user's pick.
    static void p_selectPath(QComboBox *box, const QString &path, const QString &fallbackTitle);

    QPointer<ExportWndCtrl> m_exportWindow;
    ConvertProgressWindowController *m_progressCtrl = nullptr;
    QPointer<QWidget> m_dvdExportView;
    QLineEdit *m_dvdNameLabel = nullptr;
    QButtonGroup *m_dvdAspectBtn = nullptr;
    QRadioButton *m_aspectWide = nullptr;
    QRadioButton *m_aspectStandard = nullptr;
    QSlider *m_dvdBitrateBtn = nullptr;
    QLabel *m_dvdBitrateLabel = nullptr;
    QLabel *m_dvdSizeLabel = nullptr;
    QButtonGroup *m_dvdStandardBtn = nullptr;
    QRadioButton *m_ntsc = nullptr;
    QRadioButton *m_pal = nullptr;
    QCheckBox *m_dvdAutoPlayBtn = nullptr;
    QCheckBox *m_dvdLoopMovieBtn = nullptr;
    QComboBox *m_exportDvdTypeBtn = nullptr;
    QWidget *m_burnerRow = nullptr;
    QComboBox *m_exportDvdBurnDeviceBtn = nullptr;
    QCheckBox *m_dvdAddMenuBtn = nullptr;
    QComboBox *m_dvdMenuLengthBtn = nullptr;
    QComboBox *m_dvdMenuMusicBtn = nullptr;
    QPushButton *m_dvdMenuMusicEditBtn = nullptr;
    QComboBox *m_dvdMenuImageBtn = nullptr;
    QCheckBox *m_dvdAddMenuTextBtn = nullptr;
    QButtonGroup *m_dvdMenuTitleModeBtn = nullptr;
    QRadioButton *m_titlePicture = nullptr;
    QRadioButton *m_titleText = nullptr;
    QPushButton *m_dvdMenuEditPreviewBtn = nullptr;
    QLabel *m_dvdMenuEditPreviewView = nullptr;
    QPushButton *m_dvdStartBurnBtn = nullptr;

    std::unique_ptr<DVDBurnNotification> m_dvdDeviceNotification;
    std::shared_ptr<DVDBurn> m_dvdBurn;
    DeviceList m_devices;
    std::vector<std::shared_ptr<DVDBurnDevice>> m_deviceList;
    std::shared_ptr<VETimelineExportMovie> m_timeline_movie; // written under m_videoImageLock
    QString m_dvdMenuBgImagePath;
    std::shared_ptr<DVDMenuEditObject> m_dvdMenuEdit;
    std::unique_ptr<ExportDVDMenuEditCtrl> m_exportDVDMenuEditCtrl;
    std::unique_ptr<BackgroundMusicWindowController> m_backgroundMusicWindowCtrl;
    std::shared_ptr<ZKSegmentMovie> m_menuAudio;
    QString m_menuAudioPath;
    // The frame loader runs on the editor's background reload too.
    std::mutex m_videoImageLock;

    OutputPanel m_outputPanel;
    OpenPanel m_openPanel;
    Revealer m_revealer;
    FlowMade m_flowMade;
};
