#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class ConvertProgressFlow;
class HLJob;

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class VETimelineExportMovieConverter;

// The one modal progress window of the export: runs a flow (a movie conversion here, the DVD
// flows beside it) as a job while the window is modal, shows the status line, the bar and
// the percentage, lets the user cancel, and afterwards lets the flow reveal what it made.
class ConvertProgressWindowController : public QObject
{
    Q_OBJECT
public:
    using Revealer = std::function<void(const QString &path)>;
    using RatePrompt = std::function<void()>;

    explicit ConvertProgressWindowController(QWidget *parent = nullptr);
    ~ConvertProgressWindowController() override;

    // The status line of a conversion ("Exporting to Video …"); kept for later flows.
    void setCustomProgressText(const QString &text) { m_customProgressText = text; }
    QString customProgressText() const { return m_customProgressText; }

    // Runs one conversion to its end; returns when the window has closed.
    void convertVideoWithConverter(const std::shared_ptr<VETimelineExportMovieConverter> &converter);
    // Runs any flow to its end under the window; returns after the flow's finish.
    void runFlow(const std::shared_ptr<ConvertProgressFlow> &flow);

    // The Cancel button.
    void cancel();
    bool isCancelled() const { return m_isCancelled; }
    // The share shown, 0 to 1.
    double progress() const { return m_progress; }

    // A finished file or folder at path: its date made now and shown in the file manager.
    // Nothing when nothing stands there.
    void selectOutputDVDFile(const QString &path);
    // How a result is shown; the desktop's file manager unless replaced.
    void setRevealer(Revealer revealer) { m_revealer = std::move(revealer); }
    // What runs once a result has been shown: after a revealed movie, folder or image, and
    // after a burned disc. Set once by the application, which owns the prompt's window.
    static void setRatePrompt(RatePrompt prompt);
    void showRateApplicationWindow();
    // An alert over the window's parent with the failure's reason.
    void showFailure(const QString &message, const QString &information);

    QDialog *window() const { return m_window; }
    QLabel *convertVideoStatus() const { return m_convertVideoStatus; }
    QProgressBar *progressIndicator() const { return m_progressIndicator; }
    QLabel *convertVideoProgressLabel() const { return m_convertVideoProgressLabel; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    // Main thread: the status line and the progress from the running flow.
    void updateConvertVideoStatus();
    void updateBurnProgress();
    // Shows p, clamped to 0..1.
    void updateProgressWithValue(double p);

protected:
    // Escape and the window's close box cancel the job instead of closing under it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_makeWindow(QWidget *parent);

    QPointer<QDialog> m_window;
    QLabel *m_convertVideoStatus = nullptr;
    QProgressBar *m_progressIndicator = nullptr;
    QLabel *m_convertVideoProgressLabel = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QTimer *m_refresh = nullptr;

    QString m_customProgressText;
    bool m_isCancelled = false;
    double m_progress = 0;
    std::shared_ptr<ConvertProgressFlow> m_flow;
    std::unique_ptr<HLJob> m_job;
    Revealer m_revealer;
};
