#include "SegmentRunners.h"

#include "SignalPath.h"

void runSegmentPortable(SignalPath& path, const float* inLeft, const float* inRight, float* outLeft,
                        float* outRight, int32_t frames) {
    signalpath::runSegment(path, inLeft, inRight, outLeft, outRight, frames);
}

#if defined(HALVERN_AVX2_RUNNER)
void runSegmentAvx2(SignalPath& path, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                    int32_t frames);

SegmentRunner avx2SegmentRunner() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? runSegmentAvx2 : nullptr;
}
#else
SegmentRunner avx2SegmentRunner() { return nullptr; }
#endif

SegmentRunner bestSegmentRunner() {
    const SegmentRunner wide = avx2SegmentRunner();
    return wide ? wide : runSegmentPortable;
}
