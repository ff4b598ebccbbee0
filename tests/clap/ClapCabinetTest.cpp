// The extended cabinet through the built CLAP plug-in, measured the way a
// user would see it: from the rotors' angle readings after each block.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ClapTestHost.h"
#include "SpeakerDescriptor.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 64;
constexpr double kBlockSeconds = kBlock / kRate;

// One instance, activated, with a tone at its input, run block by block.
class Cabinet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.factory, nullptr) << HALVERN_CLAP_PATH;
        plugin = host.create(library);
        ASSERT_NE(plugin, nullptr);
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        ASSERT_NE(params, nullptr);
        ASSERT_TRUE(plugin->activate(plugin, kRate, 1, kBlock));
        ASSERT_TRUE(plugin->start_processing(plugin));
        for (int i = 0; i < kBlock; ++i) inL[i] = inR[i] = static_cast<float>(0.3 * std::sin(0.05 * i));
    }
    void TearDown() override {
        if (!plugin) return;
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }

    double get(clap_id id) {
        double v = NAN;
        EXPECT_TRUE(params->get_value(plugin, id, &v));
        return v;
    }
    double angle(int rotor) { return get(kNumCabinetParameters + (rotor == 0 ? kHornAngle : kDrumAngle)); }
    double rpm(int rotor) { return get(kNumCabinetParameters + (rotor == 0 ? kHornRpm : kDrumRpm)); }

    // One block, with parameter values at its first frame.
    void block(const std::vector<std::pair<clap_id, double>>& changes = {}) {
        EventList events, replies;
        for (const auto& change : changes) events.value(0, change.first, change.second);
        float* inputs[2] = {inL, inR};
        float* outputs[2] = {outL, outR};
        clap_audio_buffer_t in{inputs, nullptr, 2, 0, 0};
        clap_audio_buffer_t out{outputs, nullptr, 2, 0, 0};
        clap_process_t process = processCall(kBlock, &in, &out, events.input(), replies.output());
        ASSERT_EQ(plugin->process(plugin, &process), CLAP_PROCESS_CONTINUE);
    }
    void run(double seconds) {
        for (int n = static_cast<int>(seconds / kBlockSeconds); n > 0; --n) block();
    }

    // The rotor's speed in rpm over the next block, from its angle before and after.
    double measuredRpm(int rotor) {
        const double before = angle(rotor);
        block();
        double turned = angle(rotor) - before;
        if (turned < -180.0) turned += 360.0;
        return turned / 360.0 / kBlockSeconds * 60.0;
    }

    // Seconds until the measured speed is within 0.5 % of `target`, or -1
    // when it is not within `limit` seconds.
    double secondsToReach(int rotor, double target, double limit) {
        for (int n = 1; n * kBlockSeconds <= limit; ++n)
            if (std::fabs(measuredRpm(rotor) - target) <= 0.005 * target) return (n - 0.5) * kBlockSeconds;
        return -1.0;
    }

    ClapLibrary library{HALVERN_CLAP_PATH};
    ClapTestHost host;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    float inL[kBlock], inR[kBlock], outL[kBlock], outR[kBlock];
};

// The time to reach the new speed, from the switch, when it is a fraction
// `share` of the full swing the ramp time is set for.
double rampSeconds(double rampTime, double share) { return rampTime * share; }

}  // namespace

TEST_F(Cabinet, EachRotorRunsAtItsSpeedsAndRampsInItsTimes) {
    block({{kHornSlow, 60},
           {kHornFast, 300},
           {kHornUp, 1.5},
           {kHornDown, 2.5},
           {kDrumSlow, 30},
           {kDrumFast, 450},
           {kDrumUp, 3.0},
           {kDrumDown, 6.0},
           {kAcceleration, 50}});
    run(2.0);
    EXPECT_NEAR(measuredRpm(0), 60, 0.6);
    EXPECT_NEAR(measuredRpm(1), 30, 0.3);

    // "acceleration" 50 scales every ramp by 2^-0.5. The horn reaches its
    // fast speed in its up time, but the 0.5 % tolerance is met just before.
    const double scale = std::pow(2.0, -0.5);
    block({{kSpeedToggle, 1}});
    const double hornUp = rampSeconds(1.5 * scale, 1.0 - 0.005 * 300 / 240);
    EXPECT_NEAR(secondsToReach(0, 300, 4.0), hornUp, 0.02 * hornUp);
    run(4.0);
    EXPECT_NEAR(measuredRpm(1), 450, 4.5);

    block({{kSpeedToggle, 0}});
    const double drumDown = rampSeconds(6.0 * scale, 1.0 - 0.005 * 30 / 420);
    EXPECT_NEAR(secondsToReach(1, 30, 8.0), drumDown, 0.02 * drumDown);
    EXPECT_NEAR(rpm(0), 60, 0.6);  // the speeds in force, as read
    EXPECT_NEAR(rpm(1), 30, 0.3);
}

// From fast, each rotor runs down within its down ramp time plus one turn,
// slowing all the way (its angle never steps), and stands at its rest
// angle; released, it runs up to the speed the switch selects in its up time.
TEST_F(Cabinet, TheBrakeStopsEachRotorAtItsRestAngle) {
    block({{kSpeedToggle, 1}, {kAcceleration, 100}});
    run(3.0);
    const double fastRpm[2] = {measuredRpm(0), measuredRpm(1)};
    ASSERT_NEAR(fastRpm[0], 414, 4);
    ASSERT_NEAR(fastRpm[1], 384, 4);

    const double rest[2] = {90, 200};
    block({{kBrake, 1}, {kHornRest, rest[0]}, {kDrumRest, rest[1]}});
    const double downTime[2] = {1.8 * 0.5, 7.0 * 0.5};
    double stoppedAfter[2] = {-1, -1}, lastSpeed[2] = {fastRpm[0], fastRpm[1]};
    for (int n = 1; n * kBlockSeconds < 6.0; ++n) {
        double before[2] = {angle(0), angle(1)};
        block();
        for (int r = 0; r < 2; ++r) {
            double turned = angle(r) - before[r];
            if (turned < -180.0) turned += 360.0;
            const double speed = turned / 360.0 / kBlockSeconds * 60.0;
            EXPECT_GE(turned, 0.0) << r;                                              // never backwards
            EXPECT_LE(speed, lastSpeed[r] * 1.001 + 0.01) << r << " at block " << n;  // never faster
            if (stoppedAfter[r] < 0 && turned == 0.0) {
                stoppedAfter[r] = n * kBlockSeconds;
                EXPECT_LT(lastSpeed[r], 0.05 * fastRpm[r]) << r;  // it slowed into the stop
            }
            lastSpeed[r] = speed;
        }
    }
    for (int r = 0; r < 2; ++r) {
        ASSERT_GT(stoppedAfter[r], 0.0) << r;
        EXPECT_LE(stoppedAfter[r], downTime[r] + 60.0 / fastRpm[r] + kBlockSeconds) << r;
        EXPECT_NEAR(angle(r), rest[r], 1.0) << r;
        EXPECT_EQ(rpm(r), 0.0) << r;
    }

    // A new rest angle while braked: the rotor turns there and stands again.
    block({{kHornRest, 300}});
    run(3.0);
    EXPECT_NEAR(angle(0), 300, 1.0);

    block({{kBrake, 0}});
    const double upTime = 0.7 * 0.5 * (1.0 - 0.005);
    EXPECT_NEAR(secondsToReach(0, fastRpm[0], 2.0), upTime, 0.02 * upTime);
}

// With both Doppler swings and the tremolo at 0 the rotors move nothing:
// the sound at any speed is the sound at any other.
TEST_F(Cabinet, DepthsAtZeroLeaveNoMotionInTheSound) {
    block({{kHornDepth, 0}, {kDrumDepth, 0}, {kTremolo, 0}});
    run(0.1);
    std::vector<float> slow, fast;
    for (int n = 0; n < 40; ++n) {
        block();
        slow.insert(slow.end(), outL, outL + kBlock);
    }
    block({{kSpeedToggle, 1}});
    run(3.0);
    for (int n = 0; n < 40; ++n) {
        block();
        fast.insert(fast.end(), outL, outL + kBlock);
    }
    float loudest = 0.0f;
    for (float v : slow) loudest = std::max(loudest, std::fabs(v));
    ASSERT_GT(loudest, 0.01f);
    for (size_t i = 0; i < slow.size(); ++i) ASSERT_NEAR(slow[i], fast[i], 1e-6f * loudest) << i;
}
