#include "Platform/Foundation/HLVectorPath.h"

#include <atomic>

namespace HLVectorPath {

namespace {

bool processorHasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init(); // the first call may come from another library's constructor
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

std::atomic<bool> &state()
{
    static std::atomic<bool> on{processorHasAvx2()};
    return on;
}

} // namespace

bool avx2()
{
    return state().load(std::memory_order_relaxed);
}

bool setAvx2(bool wanted)
{
    state().store(wanted && processorHasAvx2(), std::memory_order_relaxed);
    return avx2();
}

} // namespace HLVectorPath
