#include "BypassFade.h"

#include <cstring>

namespace {

constexpr double kFadeSeconds = 0.010;

}  // namespace

BypassFade::BypassFade() : dryLeft(new float[kPiece]), dryRight(new float[kPiece]) { setRate(44100.0); }

void BypassFade::jumpTo(bool bypassed) { mix = bypassed ? 1.0 : 0.0; }

void BypassFade::setRate(double sampleRate) { step = 1.0 / (kFadeSeconds * sampleRate); }

void BypassFade::keepDry(const float* left, const float* right, uint32_t frames) {
    std::memcpy(dryLeft.get(), left, sizeof(float) * frames);
    std::memcpy(dryRight.get(), right, sizeof(float) * frames);
}

void BypassFade::mixInto(float* left, float* right, uint32_t frames, bool bypassed) {
    const double target = bypassed ? 1.0 : 0.0;
    for (uint32_t i = 0; i < frames; ++i) {
        if (mix < target)
            mix = mix + step < target ? mix + step : target;
        else if (mix > target)
            mix = mix - step > target ? mix - step : target;
        if (mix == 1.0) {  // the dry signal as it came in
            left[i] = dryLeft[i];
            right[i] = dryRight[i];
            continue;
        }
        left[i] = static_cast<float>(left[i] + mix * (dryLeft[i] - left[i]));
        right[i] = static_cast<float>(right[i] + mix * (dryRight[i] - right[i]));
    }
}
