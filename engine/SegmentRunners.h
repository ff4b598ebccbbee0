// The signal path compiled twice: for plain x86-64 (SSE2, every 64-bit x86
// processor) and for processors with AVX2 and FMA, which run the vector
// steps twice as wide. Both give the same samples: the compiler does not
// fuse multiplies and adds under ISO C++, so every result rounds alike.
#pragma once

#include <cstdint>

#include "SignalRecords.h"

using SegmentRunner = void (*)(SignalPath& path, const float* inLeft, const float* inRight, float* outLeft,
                               float* outRight, int32_t frames);

void runSegmentPortable(SignalPath& path, const float* inLeft, const float* inRight, float* outLeft,
                        float* outRight, int32_t frames);

// The AVX2 build, or null where this build has none or the processor lacks it.
SegmentRunner avx2SegmentRunner();

// The fastest runner this processor can use.
SegmentRunner bestSegmentRunner();
