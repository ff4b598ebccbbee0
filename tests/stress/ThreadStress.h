// One plug-in driven from two threads as hosts drive it: an audio thread
// processing blocks with MIDI speed switches while the main thread sets
// rotor values, loads states and loads programs. After each round, once
// the rotors have had time to settle, every value reads back as last set
// and the horn turns as fast as in a fresh instance given those values: no
// update of either thread was lost.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "SettingsRecord.h"
#include "SpeakerDescriptor.h"

namespace threadstress {

// What the stress asks of one plug-in, through its format's entry points.
class StressedPlugin {
public:
    virtual ~StressedPlugin() = default;
    // The audio thread's block; a speed switch (fast or slow) at its first
    // frame unless `switchTo` is below 0, as a control change of
    // controller 64 where the format hears MIDI.
    virtual void process(int frames, int switchTo) = 0;
    // The main thread's calls; values in the units they show.
    virtual void setValue(int index, double value) = 0;
    // Loads a program and gives the values it holds.
    virtual void loadProgram(int program, std::vector<double>& values) = 0;
    virtual void loadState(const settingsrecord::Bytes& record) = 0;
    virtual double value(int index) = 0;
    // The horn's speed as the plug-in reports it, or NaN where it reports none.
    virtual double hornRpm() = 0;
};

using Maker = std::function<std::unique_ptr<StressedPlugin>()>;

constexpr int kRounds = 100;
constexpr int kActions = 12;  // per thread and round
// Longer than the horn's slowest ramp at the accelerations the rounds
// choose, and than its ride down from the highest fast speed to the lowest
// (at the lowest one's rate) where limits moved past the speed glide.
constexpr int kSettleFrames = 9 * 44100;

// Runs the rotors on until they turn at the speed their values give.
inline void settle(StressedPlugin& plugin) {
    for (int done = 0; done < kSettleFrames; done += 1024) plugin.process(1024, -1);
}

inline void stress(const Maker& make, int parameterCount) {
    std::unique_ptr<StressedPlugin> plugin = make();
    ASSERT_TRUE(plugin);
    std::mt19937 random(2026);
    // The rotor values a round may set, with their ranges (acceleration
    // kept from slowing the ramps past the settling time).
    struct Moved {
        int index;
        int low, high;
    };
    std::vector<Moved> moved = {{kSlowSpeed, -25, 25}, {kFastSpeed, -25, 25}, {kAcceleration, 0, 100}};
    if (parameterCount > kNumSpeakerParameters)
        moved.insert(moved.end(), {{kHornSlow, 10, 120}, {kHornFast, 200, 500}});
    plugin->setValue(kSpeedKey, kKeyCtrl64);
    std::vector<double> expected(parameterCount);
    for (int i = 0; i < parameterCount; ++i) expected[i] = plugin->value(i);

    for (int round = 0; round < kRounds; ++round) {
        // Both threads start together, and meet again for their last
        // action: a rotor value and a speed switch at the same moment.
        std::atomic<int> arrived{0};
        auto meet = [&](int time) {
            ++arrived;
            while (arrived.load() < 2 * time) {
            }
        };
        std::thread audio([&] {
            meet(1);
            for (int k = 0; k < kActions; ++k) plugin->process(32, (round + k) % 2);
            meet(2);
            plugin->process(32, round % 2);
        });
        meet(1);
        for (int k = 0; k <= kActions; ++k) {
            if (k == kActions) meet(2);
            const int choice = k == kActions ? 2 : static_cast<int>(random() % 16);
            if (choice == 0) {
                plugin->loadProgram(static_cast<int>(random() % 8), expected);
                plugin->setValue(kSpeedKey, kKeyCtrl64);
                expected[kSpeedKey] = kKeyCtrl64;
            } else if (choice == 1) {
                settingsrecord::Values values;
                for (int i = 0; i < kNumCabinetParameters; ++i) values[i] = kCabinetParameters[i].defaultValue;
                values[kSpeedKey] = kKeyCtrl64;
                for (const Moved& m : moved) values[m.index] = m.low + static_cast<int>(random() % (m.high - m.low + 1));
                plugin->loadState(settingsrecord::encode(values));
                for (int i = 0; i < parameterCount; ++i) expected[i] = values[i];
            } else {
                const Moved& m = moved[random() % moved.size()];
                expected[m.index] = m.low + static_cast<int>(random() % (m.high - m.low + 1));
                plugin->setValue(m.index, expected[m.index]);
            }
        }
        audio.join();
        settle(*plugin);
        for (int i = 0; i < parameterCount; ++i) {
            if (i == kSpeedToggle) continue;
            ASSERT_EQ(plugin->value(i), expected[i]) << "round " << round << ", parameter " << i;
        }
        if (std::isnan(plugin->hornRpm())) continue;
        std::unique_ptr<StressedPlugin> fresh = make();
        for (int i = 0; i < parameterCount; ++i) fresh->setValue(i, plugin->value(i));
        settle(*fresh);
        ASSERT_NEAR(plugin->hornRpm(), fresh->hornRpm(), 1e-3) << "round " << round;
    }
}

}  // namespace threadstress
