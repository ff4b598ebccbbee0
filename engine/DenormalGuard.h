// Flushes denormal numbers to zero while it lives and restores the caller's
// floating-point mode afterwards. A decaying tail would otherwise run through
// the filter and delay lines at a fraction of the normal speed.
#pragma once

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>

class DenormalGuard {
public:
    DenormalGuard() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved;
};
#else
class DenormalGuard {};
#endif
