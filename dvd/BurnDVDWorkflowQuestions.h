#pragma once

#include <QString>

#include <functional>

// What the burn asks the user, answered by the progress window (on the main thread). Called
// from the burn's thread; each call blocks until answered.
class BurnDVDWorkflowQuestions
{
public:
    virtual ~BurnDVDWorkflowQuestions() = default;
    // The burn failed: true to burn again. Retry is offered only while canRetry answers true
    // (a blank disc with room for the image is in the drive); callers poll it.
    virtual bool askRetry(const std::function<bool()> &canRetry) = 0;
    // The outcome of a burn: a message and an optional explanation.
    virtual void showOutcome(const QString &message, const QString &information) = 0;
};
