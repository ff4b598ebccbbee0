// The benchmarks' block: 512 frames at 44.1 kHz of a two-tone signal at a
// chosen level, fed to both inputs, and the two output channels.
#pragma once

#include <cmath>
#include <vector>

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

struct Buffers {
    std::vector<float> in, left, right;
    float* inputs[2];
    float* outputs[2];
    explicit Buffers(float level) : in(kBlock), left(kBlock), right(kBlock) {
        for (int i = 0; i < kBlock; ++i)
            in[i] = static_cast<float>(level * (0.6 * std::sin(2 * kPi * 220 * i / kRate) +
                                                0.4 * std::sin(2 * kPi * 3300 * i / kRate)));
        inputs[0] = inputs[1] = in.data();
        outputs[0] = left.data();
        outputs[1] = right.data();
    }
};
