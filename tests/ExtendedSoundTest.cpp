// The extended cabinet's sound through the built CLAP and VST 3 plug-ins:
// changes heard smooth (the pitch while a depth jumps, the level around a
// drive-mode switch against no switch, the speed readings when a limit or
// the brake's down time moves, the level steps when distortion, balance or
// separation jump), and the band-limited drive's passband and alias floor.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AliasFloor.h"
#include "ClapTestHost.h"
#include "SpeakerDescriptor.h"
#include "Vst3Instance.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBlock = 64;
using Changes = std::vector<std::pair<int, double>>;  // parameter, value in its units

// One plug-in of a format with the extended cabinet, processing blocks.
class Plug {
public:
    virtual ~Plug() = default;
    virtual bool ready() const = 0;
    // One block, the changes acting at its first frame.
    virtual void block(float* inL, float* inR, float* outL, float* outR, int frames, const Changes& changes) = 0;
    // A rotor reading (CabinetReading) after the last block.
    virtual double reading(int index) = 0;
};

class ClapPlug : public Plug {
public:
    explicit ClapPlug(double rate) {
        plugin = host.create(library);
        if (!plugin) return;
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        active = plugin->activate(plugin, rate, 1, kBlock) && plugin->start_processing(plugin);
    }
    ~ClapPlug() override {
        if (!plugin) return;
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    bool ready() const override { return active && params; }
    void block(float* inL, float* inR, float* outL, float* outR, int frames, const Changes& changes) override {
        EventList events, replies;
        for (const auto& change : changes) events.value(0, static_cast<clap_id>(change.first), change.second);
        float* inputs[2] = {inL, inR};
        float* outputs[2] = {outL, outR};
        clap_audio_buffer_t in{inputs, nullptr, 2, 0, 0}, out{outputs, nullptr, 2, 0, 0};
        clap_process_t process = processCall(static_cast<uint32_t>(frames), &in, &out, events.input(), replies.output());
        EXPECT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_CONTINUE);
    }
    double reading(int index) override {
        double v = NAN;
        params->get_value(plugin, static_cast<clap_id>(kNumCabinetParameters + index), &v);
        return v;
    }

private:
    ClapLibrary library{HALVERN_CLAP_PATH};
    ClapTestHost host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    bool active = false;
};

class Vst3Plug : public Plug {
public:
    explicit Vst3Plug(double rate) : instance(module, kBlock, rate) {}
    bool ready() const override { return instance.processor && instance.controller; }
    void block(float* inL, float* inR, float* outL, float* outR, int frames, const Changes& changes) override {
        ParameterChanges sent;
        for (const auto& change : changes) {
            const auto id = static_cast<vst3::ParamID>(change.first);
            sent.add(id, 0, instance.controller->plainParamToNormalized(id, change.second));
        }
        float* in[2] = {inL, inR};
        float* out[2] = {outL, outR};
        instance.process(in, out, frames, sent);
    }
    // The readings' ids follow the table's rows, the bypass, program and MIDI ids.
    double reading(int index) override {
        const auto id = static_cast<vst3::ParamID>(kNumCabinetParameters + 3 + index);
        for (ValueQueue& queue : instance.sent.queues)
            if (queue.id == id && !queue.points.empty())
                return instance.controller->normalizedParamToPlain(id, queue.points.back().second);
        return NAN;
    }

private:
    Vst3Module module{HALVERN_VST3_MODULE};
    Instance instance;
};

// A plug-in playing a signal, its output kept.
class ExtendedSound : public ::testing::TestWithParam<std::string> {
protected:
    // A new plug-in, its output and clock from the start.
    void start(double sampleRate, std::function<float(long)> input) {
        rate = sampleRate;
        left.clear();
        right.clear();
        clock = 0;
        signal = std::move(input);
        if (GetParam() == "CLAP")
            plug = std::make_unique<ClapPlug>(rate);
        else
            plug = std::make_unique<Vst3Plug>(rate);
        ASSERT_TRUE(plug->ready());
    }
    // Plays `seconds`, the changes at the first frame; `perBlock` runs after each block.
    void play(double seconds, const Changes& changes = {}, const std::function<void()>& perBlock = {}) {
        float inL[kBlock], inR[kBlock], outL[kBlock], outR[kBlock];
        for (long n = static_cast<long>(seconds * rate / kBlock), first = 1; n > 0; --n, first = 0) {
            for (int i = 0; i < kBlock; ++i) inL[i] = inR[i] = signal(clock + i);
            plug->block(inL, inR, outL, outR, kBlock, first ? changes : Changes{});
            if (keepOutput) {
                left.insert(left.end(), outL, outL + kBlock);
                right.insert(right.end(), outR, outR + kBlock);
            }
            clock += kBlock;
            if (perBlock) perBlock();
        }
    }
    // The rotors braked to a standstill, the drum at its rest angle 0.
    void brakeFirst(Changes also) {
        also.insert(also.end(), {{kBrake, kBrakeOn}, {kHornDown, 0.1}, {kDrumDown, 0.1}, {kDrumRest, 0}});
        play(3.0, also);
    }
    static std::function<float(long)> tones(double rate, std::vector<std::pair<double, double>> partials) {
        return [=](long n) {
            double v = 0.0;
            for (const auto& p : partials) v += p.second * std::sin(2.0 * kPi * p.first * n / rate);
            return static_cast<float>(v);
        };
    }
    // The level in dB of `out` over `window` samples ending at `end`.
    static double level(const std::vector<float>& out, size_t end, size_t window) {
        double sum = 0.0;
        for (size_t i = end - window; i < end; ++i) sum += static_cast<double>(out[i]) * out[i];
        return 10.0 * std::log10(sum / window + 1e-30);
    }

    double rate = 44100.0;
    std::function<float(long)> signal;
    std::unique_ptr<Plug> plug;
    std::vector<float> left, right;
    bool keepOutput = true;
    long clock = 0;
};

}  // namespace

// The drum heard alone (balance -50, one microphone a side) standing at the
// angle where its tap swings most: the depth's full jump bends a 500 Hz tone
// by under 10 cents, and still moves the tap by the whole swing.
TEST_P(ExtendedSound, AFullDepthJumpBendsThePitchByUnderTenCents) {
    start(44100.0, tones(44100.0, {{500.0, 0.5}}));
    brakeFirst({{kBalance, -50}, {kSeparation, 100}, {kDrumDepth, 200}, {kTremolo, 0}});
    const size_t jump = left.size();
    play(0.6, {{kDrumDepth, 0}});
    std::vector<double> crossings;  // rising zero crossings, in samples
    for (size_t i = jump - 4410; i + 1 < left.size(); ++i)
        if (left[i] < 0.0f && left[i + 1] >= 0.0f) crossings.push_back(i + left[i] / (left[i] - left[i + 1]));
    ASSERT_GT(crossings.size(), 300u);
    double worst = 0.0;
    for (size_t k = 0; k + 8 < crossings.size(); ++k) {
        const double frequency = 8.0 * rate / (crossings[k + 8] - crossings[k]);
        worst = std::max(worst, std::fabs(1200.0 * std::log2(frequency / 500.0)));
    }
    EXPECT_LT(worst, 10.0);
    // The tap's delay moved by twice its swing of 0.6 ms times 0.577.
    const double period = rate / 500.0;
    auto phase = [&](size_t k) { return std::remainder(crossings[k], period); };
    const double moved = std::fabs(std::remainder(phase(crossings.size() - 1) - phase(0), period)) / rate;
    EXPECT_NEAR(moved, 2 * 0.0006 * 0.57735, 0.1 * 2 * 0.0006 * 0.57735);
}

// A tone at the first notch the two modes' 0.48 ms would cut, with the
// rotors still: its level over the switch to the band-limited drive stays
// within 1 dB of the level with no switch.
TEST_P(ExtendedSound, ADriveModeSwitchCutsNoNotch) {
    const Changes still = {{kHornDepth, 0}, {kDrumDepth, 0}, {kTremolo, 0}, {kDistortion, 10}};
    start(44100.0, tones(44100.0, {{1044.0, 0.3}}));
    play(1.5, still);
    const std::vector<float> steady = left;
    start(44100.0, tones(44100.0, {{1044.0, 0.3}}));
    play(1.0, still);
    play(0.5, {{kDrive, kDriveClean}});
    const size_t from = static_cast<size_t>(1.0 * rate), window = 441;
    double worst = 0.0;
    for (size_t end = from + window; end < left.size(); end += 44)
        worst = std::max(worst, std::fabs(level(left, end, window) - level(steady, end, window)));
    EXPECT_LT(worst, 1.0);
}

// Speeds that move past the speed in force are ridden to at the ramp
// rates: no reading jumps between blocks, and each lands where it is set.
TEST_P(ExtendedSound, MovedLimitsAndDownTimesAreRiddenNotStepped) {
    struct Case {
        Changes before, braking, change;  // braking: applied 0.2 s before the change
        int rpm;                          // the reading followed
        double target;                    // where it ends; -1: standing at the horn's rest angle
    };
    const Case cases[] = {
        {{{kSpeedToggle, 1}}, {}, {{kHornFast, 200}}, kHornRpm, 200},
        {{{kSpeedToggle, 0}}, {}, {{kHornSlow, 120}}, kHornRpm, 120},
        {{{kSpeedToggle, 1}, {kDrumFast, 500}}, {}, {{kDrumFast, 200}}, kDrumRpm, 200},
        {{{kSpeedToggle, 1}, {kHornRest, 90}}, {{kBrake, kBrakeOn}}, {{kHornDown, 8}}, kHornRpm, -1},
    };
    for (const Case& c : cases) {
        start(44100.0, tones(44100.0, {{440.0, 0.3}}));
        play(4.0, c.before);
        if (!c.braking.empty()) play(0.2, c.braking);
        double last = plug->reading(c.rpm), largestStep = 0.0;
        play(12.0, c.change, [&] {
            const double now = plug->reading(c.rpm);
            largestStep = std::max(largestStep, std::fabs(now - last));
            last = now;
        });
        EXPECT_LT(largestStep, 1.0) << c.change.front().first;
        if (c.target >= 0) {
            EXPECT_NEAR(last, c.target, 0.5) << c.change.front().first;
        } else {
            EXPECT_NEAR(last, 0.0, 1e-3);
            EXPECT_NEAR(plug->reading(kHornAngle), 90.0, 1.0);
        }
    }
}

// The longest ramp (20 s, doubled by acceleration -100) between close
// speeds takes its time to within 5 % at every rate, though its step per
// sample is then below one unit of the float speed at 384 kHz.
TEST_P(ExtendedSound, TheLongestRampsTakeTheirTimeAtEveryRate) {
    keepOutput = false;
    for (double sampleRate : {44100.0, 192000.0, 384000.0}) {
        start(sampleRate, [](long) { return 0.0f; });
        play(1.0, {{kAcceleration, -100}, {kHornUp, 20}, {kHornSlow, 120}, {kHornFast, 200}});
        const long switched = clock;
        long lastChange = clock;
        double last = plug->reading(kHornRpm);
        play(45.0, {{kSpeedToggle, 1}}, [&] {
            if (plug->reading(kHornRpm) != last) lastChange = clock;
            last = plug->reading(kHornRpm);
        });
        EXPECT_NEAR((lastChange - switched) / rate, 40.0, 2.0) << sampleRate;
        EXPECT_NEAR(last, 200.0, 1.0) << sampleRate;
    }
}

// Jumps of distortion, balance and separation, heard with the rotors
// braked: the level over 4 ms windows moves by at most 0.5 dB from one
// millisecond to the next, and is the new one's 50 ms after the jump (plus
// the longest tap's delay and the window).
TEST_P(ExtendedSound, LevelJumpsGlideWithoutSteps) {
    struct Case {
        int parameter;
        double from, to;
    };
    const Case cases[] = {{kDistortion, 0, 100}, {kDistortion, 100, 0}, {kBalance, -50, 50}, {kSeparation, 0, 100}};
    for (const Case& c : cases) {
        start(48000.0, tones(48000.0, {{250.0, 0.05}, {2000.0, 0.05}}));
        brakeFirst({{c.parameter, c.from}});
        const size_t jump = left.size();
        play(0.3, {{c.parameter, c.to}});
        for (const std::vector<float>* out : {&left, &right}) {
            double worst = 0.0;
            for (size_t end = jump + 48; end <= jump + 4800; end += 48)
                worst = std::max(worst, std::fabs(level(*out, end, 192) - level(*out, end - 48, 192)));
            EXPECT_LT(worst, 0.5) << c.parameter << " to " << c.to;
            const double before = level(*out, jump, 192), settled = level(*out, jump + 3360, 192);
            EXPECT_NEAR(settled, level(*out, out->size(), 192), 0.05) << c.parameter;
            if (c.parameter != kSeparation || out == &left) {
                EXPECT_GT(std::fabs(settled - before), 1.0) << "a jump worth hearing: " << c.parameter;
            }
        }
    }
}

// At a low drive the band-limited drive passes what the exact one does, to
// within 0.5 dB up to 16 kHz, rotors still.
TEST_P(ExtendedSound, TheCleanDriveIsFlatTo16Kilohertz) {
    for (double tone : {1000.0, 8000.0, 12000.0, 16000.0}) {
        double levels[2];
        for (int mode : {kDriveExact, kDriveClean}) {
            start(44100.0, tones(44100.0, {{tone, 0.1}}));
            play(0.3, {{kDistortion, 0}, {kHornDepth, 0}, {kDrumDepth, 0}, {kTremolo, 0}, {kDrive, mode}});
            levels[mode] = level(left, left.size(), 4410);
        }
        EXPECT_NEAR(levels[kDriveClean], levels[kDriveExact], 0.5) << tone;
    }
}

// Distortion 100, a tone at -1 dBFS, the rotors braked: every line that is
// neither the tone nor a harmonic below half the rate is 70 dB down.
TEST_P(ExtendedSound, TheCleanDriveKeepsAliasesOfTonesUpTo15Kilohertz70DecibelsDown) {
    for (double tone : {1000.0, 4500.0, 7500.0, 11000.0, 15000.0}) {
        start(44100.0, [tone](long n) { return aliasfloor::input(n, 44100.0, tone); });
        brakeFirst({{kDistortion, 100}, {kDrive, kDriveClean}});
        play(1.5);
        const aliasfloor::Lines lines = aliasfloor::linesOf(&left[left.size() - aliasfloor::kLength], rate, tone);
        EXPECT_LT(lines.worstOther - lines.tone, -70.0) << tone;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtendedSound, ::testing::Values("CLAP", "VST3"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });
