#include "widgets/HLTimeDigits.h"

#include <cmath>
#include <limits>

namespace {

void appendPair(std::string &out, long long value)
{
    out += char('0' + (value / 10) % 10);
    out += char('0' + value % 10);
}

} // namespace

std::string hl_timeDigits(float seconds, long long type)
{
    if (type < 0 || type > 5)
        return {};
    const float t = (std::isnan(seconds) || seconds < 0) ? 0.0f : seconds;
    const float whole = std::floor(t);
    const long long total = whole >= float(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                             : static_cast<long long>(whole);
    const long long hours = total / 3600;
    long long minutes = total / 60;
    const long long secs = total % 60;
    const float fraction = t - whole;
    const long long hundredths = static_cast<long long>(std::floor(fraction * 100.0f));

    std::string out;
    if (type >= 4) {
        appendPair(out, hours);
        out += ':';
    }
    if (type >= 2) {
        if (type >= 4) {
            minutes %= 60;
        } else if (minutes >= 100) {
            out += char('0' + (minutes / 100) % 10);
            minutes %= 100;
        }
        appendPair(out, minutes);
        out += ':';
    }
    appendPair(out, secs);
    if (type == 1 || type == 3 || type == 5) {
        out += '.';
        appendPair(out, hundredths);
    }
    return out;
}
