#pragma once

#include "export/ui/ConvertProgressFlow.h"

#include <memory>

class DVDOutputJob;

// A DVD-Video folder or an ISO image made under the progress window, in its job; the result
// is shown in the file manager, a failure with its reason.
class DVDFileOutputFlow : public ConvertProgressFlow
{
public:
    explicit DVDFileOutputFlow(std::unique_ptr<DVDOutputJob> output);
    ~DVDFileOutputFlow() override;

    bool run(HLJobState &state) override;
    void finish(ConvertProgressWindowController &window, const HLJobState &state) override;

private:
    std::unique_ptr<DVDOutputJob> m_output;
};
