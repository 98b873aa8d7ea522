#include "dvd/ui/DVDFileOutputFlow.h"

#include "dvd/DVDOutputJob.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "Platform/Foundation/HLJob.h"

DVDFileOutputFlow::DVDFileOutputFlow(std::unique_ptr<DVDOutputJob> output) : m_output(std::move(output)) {}

DVDFileOutputFlow::~DVDFileOutputFlow() = default;

bool DVDFileOutputFlow::run(HLJobState &state)
{
    return m_output->run(state);
}

void DVDFileOutputFlow::finish(ConvertProgressWindowController &window, const HLJobState &state)
{
    if (state.outcome() == HLJobState::Outcome::Succeeded)
        window.selectOutputDVDFile(m_output->resultPath());
    else if (state.outcome() == HLJobState::Outcome::Failed)
        window.showFailure(QStringLiteral("The DVD could not be made."), state.errorString());
}
