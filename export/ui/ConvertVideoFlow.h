#pragma once

#include "export/ui/ConvertProgressFlow.h"

#include <memory>

class VETimelineExportMovieConverter;

// One movie conversion: starts the converter, follows it as the flow's one stage until it
// has ended, then reveals the movie, but only after success; a failure shows its reason.
class ConvertVideoFlow : public ConvertProgressFlow
{
public:
    explicit ConvertVideoFlow(std::shared_ptr<VETimelineExportMovieConverter> converter);

    bool run(HLJobState &state) override;
    void cancel() override;
    void finish(ConvertProgressWindowController &window, const HLJobState &state) override;

private:
    std::shared_ptr<VETimelineExportMovieConverter> m_converter;
};
