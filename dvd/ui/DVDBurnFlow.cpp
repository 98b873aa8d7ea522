#include "dvd/ui/DVDBurnFlow.h"

#include "Platform/Foundation/HLLog.h"
#include "dvd/BurnDVDWorkflow.h"
#include "dvd/ui/DVDBurnQuestionDialogs.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Platform/Foundation/HLJob.h"
#include "SourceHL/Common/HLFileManager.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

DVDBurnFlow::DVDBurnFlow(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner, QString name,
                         std::shared_ptr<DVDBurnQuestionDialogs> questions)
    : m_dvd(std::move(dvd)), m_burner(std::move(burner)), m_name(std::move(name)), m_questions(std::move(questions))
{
}

DVDBurnFlow::~DVDBurnFlow() = default;

bool DVDBurnFlow::p_stage(HLJobState &state, double weight, const std::function<bool()> &stage)
{
    m_currentWeight = weight;
    const bool ok = !state.isCancelled() && stage();
    m_currentWeight = 0;
    m_progressFinished = m_progressFinished + weight;
    const auto workflow = m_workflow.get();
    if (!ok && !state.isCancelled() && !workflow->isCancelled())
        state.fail(workflow->errorString());
    return ok && !state.isCancelled();
}

bool DVDBurnFlow::run(HLJobState &state)
{
    // The flow's working files, removed with the folder whatever the end.
    const QTemporaryDir folder(QDir(HLFileManager::temporaryDirectory()).filePath(QStringLiteral("burn-dvd-XXXXXX")));
    if (!folder.isValid()) {
        state.fail(QStringLiteral("Cannot make a temporary folder"));
        return false;
    }
    const auto workflow = std::make_shared<BurnDVDWorkflow>(folder.filePath(QStringLiteral("dvd-flow.dir")));
    workflow->setQuestions(m_questions);
    m_workflow.set(workflow);
    m_progressFinished = 0;
    if (!p_stage(state, 0.5, [&] { return workflow->make(m_dvd, folder.filePath(QStringLiteral("dvd.dvdmedia"))); }))
        return false;
    const QString media = workflow->resultPath();
    if (!p_stage(state, 0.05, [&] { return workflow->makeIso(media, folder.filePath(QStringLiteral("dvd.iso")), m_name); }))
        return false;
    const QString iso = workflow->resultPath();
    m_imagePath.set(iso);
    m_isBurnningDVD = true;
    if (!p_stage(state, 0.45, [&] { return workflow->burn(iso, m_burner); }))
        return false;
    p_burnCopies(state, iso);
    return !state.isCancelled();
}

void DVDBurnFlow::p_burnCopies(HLJobState &state, const QString &iso)
{
    const qint64 size = QFileInfo(iso).size();
    int remaining = m_burnDVDTimes - 1;
    while (!state.isCancelled() && remaining > 0) {
        const bool burn = m_questions->askBurnCopy([&] { return DVDBurnQuestionDialogs::discState(*m_burner, size); });
        if (!burn) {
            if (m_questions->confirmStopBurning())
                break;
            continue;
        }
        qCInfo(hlLog) << "burn" << remaining;
        m_progressFinished = 0;
        m_currentWeight = 0.99;
        // A burn that failed before it asked or told anything (the disc went meanwhile)
        // would otherwise end without a word.
        const int shown = m_questions->alertsShown();
        const auto workflow = m_workflow.get();
        if (!workflow->burn(iso, m_burner) && m_questions->alertsShown() == shown && !state.isCancelled())
            m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), workflow->errorString());
        --remaining;
    }
}

double DVDBurnFlow::progress() const
{
    const auto workflow = m_workflow.get();
    return m_progressFinished + (workflow ? workflow->progress() : 0.0) * m_currentWeight;
}

void DVDBurnFlow::cancel()
{
    if (const auto workflow = m_workflow.get())
        workflow->cancel();
}

void DVDBurnFlow::finish(ConvertProgressWindowController &window, const HLJobState &state)
{
    // Once the burn has talked to the user (its outcome, a declined retry) nothing more is said.
    if (state.outcome() == HLJobState::Outcome::Succeeded)
        window.showRateApplicationWindow();
    else if (state.outcome() == HLJobState::Outcome::Failed && m_questions->alertsShown() == 0)
        window.showFailure(QStringLiteral("The DVD could not be made."), state.errorString());
}
