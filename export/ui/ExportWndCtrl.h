#pragma once

#include "export/ExportFormatSettings.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class ConvertProgressFlow;
class ConvertProgressWindowController;
class QComboBox;

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QStackedLayout;
class QWidget;
class TemplateViewItem;
class VETimelineExportMovie;

// The export window: the "Export to Video" tab chooses container, codecs and settings, shows
// frame size, length and an estimate of the file size, asks for the file and runs the
// conversion under the progress window; the "Export to DVD" tab hosts the DVD export view
// given with setDvdExportView, and stays hidden without one. Made once, reused for every
// export, keeping the last tab and settings.
class ExportWndCtrl : public QObject
{
    Q_OBJECT
public:
    // Told the movie source at the start of each export, before the window shows.
    using MovieHandler = std::function<void(const std::shared_ptr<VETimelineExportMovie> &movie)>;
    // Asks for the output file of a container, proposing fileName; empty when the user cancels.
    using SavePanel = std::function<QString(QWidget *window, const QString &container, const QString &fileName)>;

    explicit ExportWndCtrl(QWidget *parent = nullptr);
    ~ExportWndCtrl() override;

    // The DVD tab's page (the window takes it as a child) and what it is told at each export.
    void setDvdExportView(QWidget *view, MovieHandler exportMovie = {});
    QWidget *vExportDVD() const { return m_vExportDVD; }
    // The progress window, shared with the DVD tab.
    ConvertProgressWindowController &progressCtrl() const { return *m_progressCtrl; }

    // Runs the window modally for one export of movie; returns when the window has closed
    // and a conversion started from it has ended.
    void exportMovie(const std::shared_ptr<VETimelineExportMovie> &movie);
    // The DVD tab's work: closes the window, and exportMovie runs flow under the progress
    // window before it returns, as it does a video export.
    void handOverFlow(std::shared_ptr<ConvertProgressFlow> flow);
    std::shared_ptr<VETimelineExportMovie> timeline_movie() const { return m_timeline_movie; }

    // Switches to the tab of that title ("Export to Video", "Export to DVD").
    void typeClickAction(const QString &title);

    QString formatName() const;
    // The choice the controls hold, and the output format built from it.
    ExportFormatSettings::Choice choice() const;
    ZKFFMovieFileOutputFormat exportOutputVideoFormat() const;

    void changeVideoFormatAction();
    void changeVideoBitrateBtn();
    void changeVideoBitrateLabel();
    void changeVideoFramerateLabel();
    void loadVideoBitrateSettings();
    void changeVideoResolutionLabel();
    void changeVideoDurationLabel();
    // The Export button: asks for the file, closes the window and runs the conversion.
    void exportToVideoFile();

    void setSavePanel(SavePanel panel) { m_savePanel = std::move(panel); }
    // The open project's name, which the save panel proposes for the movie ("Untitled" when empty).
    void setStrProjectName(const QString &name) { m_strProjectName = name; }

    QDialog *window() const { return m_window; }

private:
    void p_makeWindow(QWidget *parent);
    QWidget *p_makeVideoPage();
    // The fields that show what the converter will use for the chosen codecs.
    void p_showUsedSettings();
    static QString p_defaultSavePanel(QWidget *window, const QString &container, const QString &fileName);

    QPointer<QDialog> m_window;
    TemplateViewItem *m_templateCtrV1 = nullptr;
    TemplateViewItem *m_templateCtrV2 = nullptr;
    QWidget *m_vBackView = nullptr;
    QStackedLayout *m_pages = nullptr;
    QWidget *m_vExportVideo = nullptr;
    QPointer<QWidget> m_vExportDVD;
    QComboBox *m_formatBtn = nullptr;
    QComboBox *m_codecBtn = nullptr;
    QLabel *m_resolutionLabel = nullptr;
    QLineEdit *m_videoFramerateLabel = nullptr;
    QSlider *m_videoBitrateBtn = nullptr;
    QLineEdit *m_videoBitrateLabel = nullptr;
    QLabel *m_exportVideoSizeLabel = nullptr;
    QLabel *m_exportVideoLengthLabel = nullptr;
    QComboBox *m_audioCodecBtn = nullptr;
    QComboBox *m_audioSampleBtn = nullptr;
    QComboBox *m_audioChannelBtn = nullptr;
    QComboBox *m_audioBitrateBtn = nullptr;
    QPushButton *m_exportButton = nullptr;

    double m_framerate = 30;
    std::shared_ptr<VETimelineExportMovie> m_timeline_movie;
    std::unique_ptr<ConvertProgressWindowController> m_progressCtrl;
    MovieHandler m_dvdExportMovie;
    SavePanel m_savePanel;
    QString m_strProjectName;
    // The export asked for by the Export button, run once the window has closed.
    QString m_pendingPath;
    std::shared_ptr<ConvertProgressFlow> m_pendingFlow;
    ZKFFMovieFileOutputFormat m_pendingFormat{};
};
