#include "export/ui/ConvertVideoFlow.h"

#include "export/VETimelineExportMovieConverter.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "Platform/Foundation/HLJob.h"

#include <QFileInfo>

#include <chrono>
#include <thread>

ConvertVideoFlow::ConvertVideoFlow(std::shared_ptr<VETimelineExportMovieConverter> converter)
    : m_converter(std::move(converter))
{
}

bool ConvertVideoFlow::run(HLJobState &state)
{
    m_converter->startConvert();
    while (!m_converter->isFinished()) {
        if (state.isCancelled())
            m_converter->cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (m_converter->isCancelled() || state.isCancelled())
        return false;
    if (!m_converter->errorString().isEmpty()) {
        state.fail(m_converter->errorString());
        return false;
    }
    if (!QFileInfo::exists(m_converter->path())) {
        state.fail(QStringLiteral("The movie was not written"));
        return false;
    }
    return true;
}

double ConvertVideoFlow::progress() const
{
    return m_converter->progress();
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
