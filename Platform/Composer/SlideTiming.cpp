#include "Platform/Composer/SlideTiming.h"

#include "Platform/Foundation/HLPropertyList.h"

SlideTiming SlideTiming::fromInfo(const QVariantMap &info)
{
    SlideTiming t;
    t.durationTS = HLPropertyList::number(info, QStringLiteral("Duration_T_S"), 0);
    t.durationS = HLPropertyList::number(info, QStringLiteral("Duration_S"), 0);
    t.durationT = HLPropertyList::number(info, QStringLiteral("Duration_T"), 0);
    t.durationTA = HLPropertyList::number(info, QStringLiteral("Duration_T_A"), 0);
    t.durationTB = HLPropertyList::number(info, QStringLiteral("Duration_T_B"), 0);
    t.durationTB2 = HLPropertyList::number(info, QStringLiteral("Duration_T_B_2"), 0);
    return t;
}

double SlideTiming::entryLength(int index, int count) const
{
    if (index == 0)
        return durationTS;
    if (index == count - 1)
        return count == 2 ? durationTB2 : durationTB;
    if (index == 1)
        return durationTA;
    return durationT;
}

std::vector<SlideTiming::Phase> SlideTiming::phases(int count) const
{
    std::vector<Phase> result(size_t(std::max(count, 0)));
    double start = 0;
    for (int i = 0; i < count; ++i) {
        Phase &p = result[size_t(i)];
        p.entry = start;
        p.hold = start + entryLength(i, count);
        p.exit = p.hold + durationS;
        start = p.exit;
    }
    for (int i = 0; i < count; ++i)
        result[size_t(i)].end = i + 1 < count ? result[size_t(i + 1)].hold : result[size_t(i)].exit;
    return result;
}

double SlideTiming::total(int count) const
{
    // summed as phases() sums, so the total is exactly the last picture's end: a time clamped to it
    // still shows that picture
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum = sum + entryLength(i, count) + durationS;
    return sum;
}
