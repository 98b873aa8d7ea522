#include "export/ui/ConvertProgressWindowController.h"

#include "export/ui/ConvertVideoFlow.h"
#include "export/ui/FileManagerReveal.h"
#include "Platform/Foundation/HLJob.h"
#include "SourceHL/Common/HLFileManager.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarRange = 1000;
// While a job runs the bar stops short of the end: the end is shown once it has succeeded.
constexpr double kRunningMax = 0.99;
constexpr int kRefreshMs = 200;

} // namespace

ConvertProgressWindowController::ConvertProgressWindowController(QWidget *parent)
    : m_revealer(&FileManagerReveal::reveal)
{
    p_makeWindow(parent);
}

ConvertProgressWindowController::~ConvertProgressWindowController()
{
    // A job still running (the window destroyed under it) is stopped before its flow goes.
    m_job.reset();
    delete m_window;
}

void ConvertProgressWindowController::p_makeWindow(QWidget *parent)
{
    m_window = new QDialog(parent);
    m_window->setObjectName(QStringLiteral("ConvertProgressWindowController"));
    m_window->setWindowTitle(QStringLiteral("Export"));
    m_window->setModal(true);
    m_window->setWindowModality(Qt::ApplicationModal);
    m_window->installEventFilter(this);

    m_convertVideoStatus = new QLabel(m_window);
    m_progressIndicator = new QProgressBar(m_window);
    m_progressIndicator->setRange(0, kBarRange);
    m_progressIndicator->setTextVisible(false);
    m_progressIndicator->setMinimumWidth(360);
    m_convertVideoProgressLabel = new QLabel(m_window);
    m_convertVideoProgressLabel->setMinimumWidth(44);
    m_convertVideoProgressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_window);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(m_convertVideoStatus);
    auto *bar = new QHBoxLayout;
    bar->addWidget(m_progressIndicator, 1);
    bar->addWidget(m_convertVideoProgressLabel);
    layout->addLayout(bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    m_window->setFixedSize(m_window->sizeHint());

    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, [this] { updateBurnProgress(); });
}

bool ConvertProgressWindowController::eventFilter(QObject *watched, QEvent *event)
{
    // The event's type first: while the window is being destroyed it still sends events here,
    // and m_window must not be looked at then.
    const bool keyOrClose = event->type() == QEvent::KeyPress || event->type() == QEvent::Close;
    if (keyOrClose && m_job && watched == m_window) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            cancel();
            return true;
        }
        if (event->type() == QEvent::Close && !m_job->state().isFinished()) {
            cancel();
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ConvertProgressWindowController::convertVideoWithConverter(
    const std::shared_ptr<VETimelineExportMovieConverter> &converter)
{
    runFlow(std::make_shared<ConvertVideoFlow>(converter));
}

void ConvertProgressWindowController::runFlow(const std::shared_ptr<ConvertProgressFlow> &flow)
{
    m_isCancelled = false;
    m_flow = flow;
    m_cancelButton->setEnabled(true);
    updateConvertVideoStatus();
    updateProgressWithValue(0);
    m_job = std::make_unique<HLJob>([flow](HLJobState &state) { return flow->run(state); });
    QPointer<QDialog> window = m_window;
    m_job->start([this, window](const HLJobState &state) {
        if (!window)
            return;
        m_refresh->stop();
        if (state.outcome() == HLJobState::Outcome::Succeeded)
            updateProgressWithValue(1.0);
        else
            updateBurnProgress();
        window->done(QDialog::Accepted);
    });
    m_refresh->start();
    m_window->exec();
    m_refresh->stop();
    // The modal loop ends only through the job's finish, so the state is final here.
    m_job->wait();
    flow->finish(*this, m_job->state());
    m_flow.reset();
}

void ConvertProgressWindowController::cancel()
{
    m_isCancelled = true;
    if (m_job)
        m_job->cancel();
    if (m_flow)
        m_flow->cancel();
    m_cancelButton->setEnabled(false);
}

void ConvertProgressWindowController::updateConvertVideoStatus()
{
    QString text;
    if (m_flow && m_flow->isBurning())
        text = QStringLiteral("%1 ...").arg(QStringLiteral("Burn DVD"));
    else if (!m_customProgressText.isEmpty())
        text = m_customProgressText;
    else
        text = QStringLiteral("%1 ...").arg(QStringLiteral("Convert Video"));
    m_convertVideoStatus->setText(text);
}

void ConvertProgressWindowController::updateBurnProgress()
{
    if (!m_flow || !m_job)
        return;
    updateConvertVideoStatus();
    updateProgressWithValue(std::min(m_flow->progress(m_job->state()), kRunningMax));
}

void ConvertProgressWindowController::updateProgressWithValue(double p)
{
    m_progress = std::clamp(std::isfinite(p) ? p : 0.0, 0.0, 1.0);
    m_convertVideoProgressLabel->setText(QString::asprintf("%.0f%%", 100 * m_progress));
    m_progressIndicator->setValue(int(std::lround(m_progress * kBarRange)));
}

void ConvertProgressWindowController::selectOutputDVDFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    HLFileManager::touchFile(path);
    if (m_revealer)
        m_revealer(path);
    showRateApplicationWindow();
}

namespace {
ConvertProgressWindowController::RatePrompt &ratePrompt()
{
    static ConvertProgressWindowController::RatePrompt prompt;
    return prompt;
}
} // namespace

void ConvertProgressWindowController::setRatePrompt(RatePrompt prompt)
{
    ratePrompt() = std::move(prompt);
}

void ConvertProgressWindowController::showRateApplicationWindow()
{
    if (ratePrompt())
        ratePrompt()();
}

void ConvertProgressWindowController::showFailure(const QString &message, const QString &information)
{
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("Export"), message, QMessageBox::Ok,
                      m_window ? m_window->parentWidget() : nullptr);
    alert.setInformativeText(information);
    alert.exec();
}
