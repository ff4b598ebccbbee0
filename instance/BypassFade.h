// The bypass heard without a click: the dry input fades in over the
// effect's output, and back, in 10 ms. Fully bypassed, the output is the
// input exactly. Only the audio thread uses it.
#pragma once

#include <cstdint>
#include <memory>

class BypassFade {
public:
    BypassFade();

    // Where the fade starts from: at once fully on or off, with no fade.
    void jumpTo(bool bypassed);
    void setRate(double sampleRate);
    // Whether the block needs the dry signal: the bypass is on or fading.
    bool isActive(bool bypassed) const { return mix != 0.0 || bypassed; }

    // The dry copy of up to kPiece frames, taken before the effect writes
    // the outputs (which may be the inputs)...
    static constexpr uint32_t kPiece = 1024;
    void keepDry(const float* left, const float* right, uint32_t frames);
    // ...and the fade toward `bypassed` over the effect's output.
    void mixInto(float* left, float* right, uint32_t frames, bool bypassed);

private:
    double mix = 0.0;  // the dry signal's share
    double step = 0.0;
    std::unique_ptr<float[]> dryLeft, dryRight;
};
