#include "SourceHL/Model/Audioline/HLSoloDucking.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Span = std::pair<float, float>;

std::vector<HLRanger> rangersOf(const std::vector<Span> &spans)
{
    std::vector<HLRanger> rangers;
    for (auto [min, max] : spans) {
        HLRanger ranger;
        ranger.setDMin(min);
        ranger.setDMax(max);
        rangers.push_back(ranger);
    }
    return rangers;
}

TEST(HLSoloDucking, JoinsOverlappingAndTouchingRanges)
{
    struct Case
    {
        std::vector<Span> in, out;
    };
    const Case cases[] = {
        {{{0, 10}, {8, 18}}, {{0, 18}}},
        {{{8, 18}, {0, 10}}, {{0, 18}}},
        {{{0, 5}, {5, 9}, {20, 22}}, {{0, 9}, {20, 22}}},
        {{{0, 20}, {2, 3}}, {{0, 20}}},
        {{{30, 31}, {1, 2}}, {{1, 2}, {30, 31}}},
    };
    for (const Case &c : cases) {
        const HLSoloDucking ducking(rangersOf(c.in));
        std::vector<Span> merged;
        for (const HLRanger &r : ducking.mergedRangers())
            merged.emplace_back(r.dMin(), r.dMax());
        EXPECT_EQ(merged, c.out);
    }
}

TEST(HLSoloDucking, RampsLieInsideEachJoinedRange)
{
    struct Case
    {
        Span range;
        std::vector<Span> ramps;
    };
    const Case cases[] = {
        {{10, 20}, {{10, 13}, {13, 17}, {17, 20}}},
        {{10, 14}, {{10, 12}, {12, 12}, {12, 14}}},
        {{10, 10}, {}},
    };
    for (const Case &c : cases) {
        const HLSoloDucking ducking(rangersOf({c.range}));
        std::vector<Span> ramps;
        for (const HLSoloDucking::Ramp &r : ducking.ramps())
            ramps.emplace_back(r.dStart, r.dStop);
        EXPECT_EQ(ramps, c.ramps);
        if (ducking.ramps().size() == 3) {
            const auto &r = ducking.ramps();
            EXPECT_EQ(std::make_pair(r[0].dFrom, r[0].dTo), std::make_pair(1.0f, 0.0f));
            EXPECT_EQ(std::make_pair(r[1].dFrom, r[1].dTo), std::make_pair(0.0f, 0.0f));
            EXPECT_EQ(std::make_pair(r[2].dFrom, r[2].dTo), std::make_pair(0.0f, 1.0f));
        }
    }
}

// Touching solo clips keep the music down across their join; a lone short one dips and rises.
TEST(HLSoloDucking, TheMusicStaysDownAcrossTouchingClips)
{
    const HLSoloDucking ducking(rangersOf({{0, 5}, {5, 9}, {20, 24}}));
    const std::pair<float, float> cases[] = {
        {-1, 1},  {0, 1},   {1.5f, 0.5f}, {3, 0},  {4.9f, 0}, {5, 0},   {5.1f, 0},
        {6, 0},   {7.5f, 0.5f}, {9, 1},   {15, 1}, {21, 0.5f}, {22, 0}, {23, 0.5f}, {24, 1},
    };
    for (auto [time, ratio] : cases)
        EXPECT_NEAR(ducking.ambientRatioAt(time), ratio, 1e-5) << time;
    EXPECT_EQ(HLSoloDucking({}).ambientRatioAt(3), 1.0f);
}

} // namespace
