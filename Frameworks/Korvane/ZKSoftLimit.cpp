#include "Frameworks/Korvane/ZKSoftLimit.h"

#include <cmath>

void zk_soft_limit(float *samples, qsizetype count)
{
    constexpr float knee = 0.8f;
    constexpr float room = 1.0f - knee;
    for (qsizetype i = 0; i < count; ++i) {
        const float value = samples[i];
        const float magnitude = std::abs(value);
        if (magnitude > knee)
            samples[i] = std::copysign(knee + room * std::tanh((magnitude - knee) / room), value);
    }
}
