#pragma once

#include <QString>

// A long disc-authoring step another thread watches: its progress (0 to 1) and a way to stop
// it. Every member may be called from any thread.
class DVDTask
{
public:
    virtual ~DVDTask() = default;
    virtual double progress() const = 0;
    virtual void cancel() = 0;
};
