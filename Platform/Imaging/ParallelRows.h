#pragma once

#include <functional>

namespace ImagingThreads {

// Calls band(begin, end) over consecutive row ranges that together cover [0, rows). Large
// jobs are shared with pool threads; the caller works too, so a call made from a busy pool
// thread still finishes. Bands never overlap, so each may write its own rows freely.
// workPerRow estimates the cost of one row (pixels, say) and decides how many bands pay.
// When a band throws, the call returns only after every band has ended, then rethrows.
void forEachBand(int rows, long long workPerRow, const std::function<void(int begin, int end)> &band);

// While one lives, forEachBand calls made on its thread run every band on that thread. For
// work already spread over threads a picture at a time, as the export is: sharing each
// picture's rows as well only adds hand-overs and takes cores from the encoder.
class SerialBands
{
public:
    SerialBands();
    ~SerialBands();
    SerialBands(const SerialBands &) = delete;
    SerialBands &operator=(const SerialBands &) = delete;

private:
    bool m_outer;
};

} // namespace ImagingThreads
