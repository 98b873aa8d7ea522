#pragma once

#include <string>

// The glyphs of a time read-out, left to right: '0'…'9', ':' for the separator and '.'
// for the dot. Formats: 0 SS, 1 SS.CC, 2 MM:SS, 3 MM:SS.CC, 4 HH:MM:SS, 5 HH:MM:SS.CC;
// other formats show nothing. In formats 2 and 3 the minutes take a third digit from 100
// minutes on. A negative or not-a-number time reads as 0.
std::string hl_timeDigits(float seconds, long long type);
