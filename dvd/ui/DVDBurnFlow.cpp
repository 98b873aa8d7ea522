#include "dvd/ui/DVDBurnFlow.h"

#include "dvd/DVDOutputJob.h"
#include "dvd/ui/DVDBurnQuestionDialogs.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Platform/Foundation/HLJob.h"

#include <QFileInfo>

DVDBurnFlow::DVDBurnFlow(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner, QString name,
                         std::shared_ptr<DVDBurnQuestionDialogs> questions)
    : m_dvd(std::move(dvd)), m_burner(std::move(burner)), m_name(std::move(name)), m_questions(std::move(questions))
{
}

DVDBurnFlow::~DVDBurnFlow() = default;

bool DVDBurnFlow::run(HLJobState &state)
{
    DVDDiscCopies copies;
    copies.times = m_burnDVDTimes;
    copies.wanted = [this] { return p_wantCopy(QFileInfo(imagePath()).size()); };
    // A burn that failed before it asked or told anything (the disc went meanwhile) would
    // otherwise end without a word.
    copies.failed = [this](const QString &reason) {
        if (m_questions->alertsShown() == m_alertsBeforeCopy)
            m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), reason);
    };
    const std::shared_ptr<DVDOutputJob> output = DVDOutputJob::disc(m_dvd, m_burner, m_name, m_questions, copies);
    m_output.set(output);
    return output->run(state);
}

bool DVDBurnFlow::p_wantCopy(qint64 size)
{
    for (;;) {
        if (m_questions->askBurnCopy([&] { return DVDBurnQuestionDialogs::discState(*m_burner, size); })) {
            m_alertsBeforeCopy = m_questions->alertsShown();
            return true;
        }
        if (m_questions->confirmStopBurning())
            return false;
    }
}

QString DVDBurnFlow::imagePath() const
{
    const auto output = m_output.get();
    return output ? output->imagePath() : QString();
}

bool DVDBurnFlow::isBurning() const
{
    const auto output = m_output.get();
    return output && output->isBurning();
}

void DVDBurnFlow::finish(ConvertProgressWindowController &window, const HLJobState &state)
{
    // Once the burn has talked to the user (its outcome, a declined retry) nothing more is said.
    if (state.outcome() == HLJobState::Outcome::Succeeded)
        window.showRateApplicationWindow();
    else if (state.outcome() == HLJobState::Outcome::Failed && m_questions->alertsShown() == 0)
        window.showFailure(QStringLiteral("The DVD could not be made."), state.errorString());
}
