// Natural logarithm for the shapers: a few multiplications instead of a libm
// call, with a relative error below 1e-12 for positive, finite, normal
// arguments (the only ones the shapers produce). Like all of the signal
// path's inline code it has internal linkage: the path is compiled once for
// plain x86-64 and once for AVX2, and the two copies must never be merged.
#pragma once

#include <cstdint>
#include <cstring>

namespace signalpath {

static inline double fastLog(double x) {
    constexpr double kLn2 = 0.69314718055994530942;
    constexpr double kSqrt2 = 1.41421356237309504880;
    // x = 2^exponent * m with m in [1, 2). The exponent field becomes a double
    // through the 2^52 bias trick, so the whole function runs on two lanes.
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    uint64_t exponentBits = (bits >> 52) | 0x4330000000000000ull;
    double exponent;
    std::memcpy(&exponent, &exponentBits, sizeof exponent);
    exponent -= 4503599627370496.0 + 1023.0;
    const uint64_t mantissaBits = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    double m;
    std::memcpy(&m, &mantissaBits, sizeof m);
    // Move m into [sqrt(1/2), sqrt(2)) so the series below converges fast.
    const bool high = m > kSqrt2;
    m *= high ? 0.5 : 1.0;
    exponent += high ? 1.0 : 0.0;
    // log m = 2 atanh(s) with s = (m - 1) / (m + 1), |s| < 0.1716; the odd
    // series is evaluated in two halves to shorten the dependency chain.
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    const double s4 = s2 * s2;
    const double low = 1.0 + s2 * (1.0 / 3) + s4 * (1.0 / 5 + s2 * (1.0 / 7));
    const double rest = 1.0 / 9 + s2 * (1.0 / 11) + s4 * (1.0 / 13 + s2 * (1.0 / 15));
    return exponent * kLn2 + 2.0 * s * (low + s4 * s4 * rest);
}

}  // namespace signalpath
