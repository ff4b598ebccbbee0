// The signal path for processors with AVX2 and FMA; this file alone is
// compiled with those instruction sets (see SegmentRunners.h).
#include "SegmentRunners.h"

#include "SignalPath.h"

void runSegmentAvx2(SignalPath& path, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                    int32_t frames) {
    signalpath::runSegment(path, inLeft, inRight, outLeft, outRight, frames);
}
