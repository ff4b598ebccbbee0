// A long render through the engine's public operations, hashed bit for bit:
// any change to the arithmetic of the signal path, the coefficients or the
// block cutting moves the digest. The expected values were taken from the
// engine before its state was reorganised; every build of the project gives
// them (Linux and Windows, optimised or not, either build of the path).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "EngineProbe.h"
#include "SpeakerDescriptor.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Setting {
    int parameter;
    float value;
};

uint64_t renderDigest(float sampleRate, const std::vector<Setting>& settings) {
    EngineProbe engine(nullptr);
    engine.setSampleRate(sampleRate);
    for (const Setting& s : settings) engine.setParameter(s.parameter, s.value);
    engine.setParameter(kSpeedKey, kKeyCtrl64 / 5.0f);
    engine.resume();

    uint64_t hash = 1469598103934665603ull;  // FNV-1a over the output bits
    auto mixIn = [&hash](float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int b = 0; b < 4; ++b) {
            hash ^= (bits >> (8 * b)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    const int blockSizes[] = {512, 1, 37, 4096, 64, 300};
    long frame = 0;
    const long total = static_cast<long>(sampleRate) * 12;
    for (int block = 0; frame < total; ++block) {
        const int frames = blockSizes[block % 6];
        std::vector<float> input(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            const double t = (frame + i) / static_cast<double>(sampleRate);
            input[i] = static_cast<float>(0.6 * std::sin(2 * kPi * 220 * t) + 0.3 * std::sin(2 * kPi * 1375 * t) +
                                          0.2 * std::sin(2 * kPi * 55 * t));
        }
        MidiList midi;
        if (block % 40 == 7) midi.controlChange(frames / 2, 64, 127);
        if (block % 40 == 27) midi.controlChange(frames / 3, 64, 0);
        engine.processEvents(midi.get());
        std::vector<float> left, right;
        engine.run(input, left, right);
        for (int i = 0; i < frames; ++i) {
            mixIn(left[i]);
            mixIn(right[i]);
        }
        frame += frames;
    }
    mixIn(engine.getHornPosition());
    mixIn(engine.getDrumPosition());
    return hash;
}

}  // namespace

TEST(OutputDigest, LongRendersMatchTheRecordedDigests) {
    EXPECT_EQ(renderDigest(44100.0f, {}), 0xd835eb3edbe93896ull);
    EXPECT_EQ(renderDigest(48000.0f, {{kDistortion, 0.9f}, {kBalance, 0.2f}, {kSeparation, 0.3f}}), 0xe1ff7a2964d9724cull);
    EXPECT_EQ(renderDigest(96000.0f, {{kAcceleration, 0.8f}, {kSlowSpeed, 0.1f}, {kFastSpeed, 0.95f},
                                      {kDistortion, 0.0f}}),
              0x72c24e28a8226e5eull);
}
