#pragma once

class ZKVideoConverter;

// Told by a converter about its run. Optional: a converter without a delegate is polled.
class ZKVideoConverterDelegate
{
public:
    virtual ~ZKVideoConverterDelegate() = default;
    // Once per run, on the converter's thread, after the file is in place, or after a
    // failure or cancel has removed what was written (isFinished is already true).
    virtual void videoConverterDidFinish(ZKVideoConverter *converter) = 0;
};
