#include "export/ui/ConvertVideoFlow.h"

#include "export/VETimelineExportMovieConverter.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLJobStages.h"

#include <QFileInfo>

ConvertVideoFlow::ConvertVideoFlow(std::shared_ptr<VETimelineExportMovieConverter> converter)
    : m_converter(std::move(converter))
{
}

bool ConvertVideoFlow::run(HLJobState &state)
{
    m_converter->startConvert();
    HLJobStages stages(state, {1.0});
    stages.begin(0);
    if (!stages.follow(*m_converter->jobState()))
        return false;
    if (!QFileInfo::exists(m_converter->path())) {
        state.fail(QStringLiteral("The movie was not written"));
        return false;
    }
    return true;
}

void ConvertVideoFlow::cancel()
{
    m_converter->cancel();
}

void ConvertVideoFlow::finish(ConvertProgressWindowController &window, const HLJobState &state)
{
    // After a cancel or a failure an older file of the same name may stand there: leave it.
    if (state.outcome() == HLJobState::Outcome::Succeeded)
        window.selectOutputDVDFile(m_converter->path());
    else if (state.outcome() == HLJobState::Outcome::Failed)
        window.showFailure(QStringLiteral("The movie could not be exported."), state.errorString());
}
