#pragma once

#include <memory>

class ZKSegmentMovie;

// A new segment over the same movie source with the same bounds, fades and volume ramps.
std::shared_ptr<ZKSegmentMovie> getNewSegmentMovie(const ZKSegmentMovie &movie);
