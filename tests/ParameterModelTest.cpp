// Value curves and display texts of parameter rows, and the plug-in base's
// programs on a small table of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <cstring>
#include <string>

#include "pluginbase.h"

namespace {

const char* const kNames[] = {"zero", "one", "two"};

std::string display(const ParameterInfo& row, float x) {
    char text[32];
    row.formatValue(x, text, sizeof text);
    return text;
}

const ParameterInfo kRows[] = {
    {0.0f, -60.0f, 0.0f, "gain", "dB", Gain, nullptr},
    {0.0f, -25.0f, 25.0f, "trim", "%", Integer, nullptr},
    {1.0f, 0.0f, 2.0f, "mode", "", List, kNames},
    {0.5f, 0.0f, 2.0f, "amount", "", Continuous, nullptr},
};

const EffectDescriptor kDescriptor = {3, 4, 1, 1, 0x12345678, CanReplacing, "Tiny", "Vendor", "Product",
                                      7, kPlugCategEffect, kRows};

class TinyPlugin : public PluginBase {
public:
    explicit TinyPlugin() : PluginBase(nullptr, kDescriptor) {}
    void processBlock(float**, float**, VstInt32, bool) override {}
    void setParameter(VstInt32 index, float value) override {
        PluginBase::setParameter(index, value);
        replayed.push_back(index);
    }
    std::vector<VstInt32> replayed;
};

}  // namespace

TEST(ParameterCurves, GainRowFromSilenceToMaximum) {
    const ParameterInfo& gain = kRows[0];
    EXPECT_EQ(gain.toValue(0.0f), 0.0f);
    EXPECT_EQ(display(gain, 0.0f), "-inf");
    EXPECT_NEAR(gain.toValue(0.1f), 0.001f, 1e-8);
    EXPECT_EQ(display(gain, 0.1f), "-60.0");
    EXPECT_FLOAT_EQ(gain.toValue(1.0f), 1.0f);
    EXPECT_EQ(display(gain, 1.0f), "+0.0");
    EXPECT_NEAR(gain.toValue(0.05f), 0.0005f, 1e-8);  // the straight line below -60 dB
    EXPECT_NEAR(gain.toNormalized(0.0005f), 0.05f, 1e-6);
    EXPECT_NEAR(gain.toNormalized(gain.toValue(0.55f)), 0.55f, 1e-5);
    EXPECT_EQ(gain.toNormalized(-1.0f), 0.0f);
    EXPECT_EQ(gain.toNormalized(std::nanf("")), 0.0f);
    EXPECT_EQ(gain.toNormalized(2.0f), 1.0f);
    EXPECT_FLOAT_EQ(gain.defaultNormalized(), 1.0f);  // 0 dB
}

TEST(ParameterCurves, IntegerAndListRowsRoundHalfUpAndClamp) {
    const ParameterInfo& trim = kRows[1];
    EXPECT_EQ(display(trim, 0.5f), "0");
    EXPECT_EQ(display(trim, 0.52f), "1");
    EXPECT_EQ(display(trim, 0.48f), "-1");
    EXPECT_EQ(display(trim, 0.0f), "-25");
    EXPECT_EQ(display(trim, 1.0f), "25");
    EXPECT_EQ(display(trim, 0.51f), "1");   // -0.5 + 1 halfway rounds up
    EXPECT_EQ(display(trim, -3.0f), "-25");  // inputs are clamped
    EXPECT_EQ(display(trim, 7.0f), "25");
    const ParameterInfo& mode = kRows[2];
    for (int k = 0; k < 3; ++k) {
        const float x = mode.toNormalized(static_cast<float>(k));
        EXPECT_EQ(mode.toValue(x), k);
        EXPECT_EQ(display(mode, x), kNames[k]);
    }
    EXPECT_EQ(display(kRows[3], 0.5f), "1.000000");
}

TEST(ParameterCurves, DisplayTextIsCutToItsBuffer) {
    char small[4] = {'x', 'x', 'x', 'x'};
    kRows[3].formatValue(1.0f, small, sizeof small);
    EXPECT_STREQ(small, "2.0");
}

TEST(PluginBasePrograms, ProgramsStartFromDefaultsAndReplayInOrder) {
    TinyPlugin plugin;
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(2), 0.5f);
    EXPECT_FLOAT_EQ(plugin.getParameter(3), 0.25f);
    plugin.setParameter(1, 0.9f);
    plugin.replayed.clear();
    plugin.setProgram(2);
    EXPECT_EQ(plugin.replayed, (std::vector<VstInt32>{0, 1, 2, 3}));
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.5f);
    plugin.setProgram(0);
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.9f);  // program 0 kept its edit
    plugin.replayed.clear();
    plugin.setProgram(3);
    plugin.setProgram(-1);
    EXPECT_TRUE(plugin.replayed.empty());
    EXPECT_EQ(plugin.getProgram(), 0);
}

TEST(PluginBasePrograms, CopyAndNamesWithinTheirBounds) {
    TinyPlugin plugin;
    plugin.setProgram(1);
    plugin.setParameter(2, 1.0f);
    char name[] = "A rather long program name of forty chars";
    plugin.setProgramName(name);
    EXPECT_TRUE(plugin.copyProgram(2));
    EXPECT_FALSE(plugin.copyProgram(3));
    EXPECT_FALSE(plugin.copyProgram(-1));
    plugin.setProgram(2);
    EXPECT_FLOAT_EQ(plugin.getParameter(2), 1.0f);

    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_TRUE(plugin.getProgramNameIndexed(0, 2, buffer));
    EXPECT_EQ(std::string(buffer), std::string(name).substr(0, 23));
    EXPECT_EQ(buffer[24], '#');  // nothing written past the 24-byte name buffer
    std::memset(buffer, '#', sizeof buffer);
    plugin.getProgramName(buffer);
    EXPECT_EQ(std::strlen(buffer), 23u);
    // The stored name is whole: copying it back shows the same 23 characters.
    EXPECT_FALSE(plugin.getProgramNameIndexed(0, 3, buffer));
    EXPECT_FALSE(plugin.getProgramNameIndexed(0, -1, buffer));
}

TEST(PluginBasePrograms, BadIndicesAndValuesChangeNothing) {
    TinyPlugin plugin;
    plugin.setParameter(1, std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(plugin.getParameter(1), 0.5f);
    plugin.setParameter(1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(plugin.getParameter(1), 1.0f);
    plugin.setParameter(1, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(plugin.getParameter(1), 0.0f);
    plugin.setParameter(4, 0.3f);
    plugin.setParameter(-1, 0.3f);
    EXPECT_EQ(plugin.getParameter(4), 0.0f);
    EXPECT_EQ(plugin.getParameter(-1), 0.0f);
    char text[32] = "unchanged";
    plugin.getParameterDisplay(9, text);
    EXPECT_STREQ(text, "");
    plugin.getParameterName(9, text);
    EXPECT_STREQ(text, "");
    plugin.getParameterDisplay(0, nullptr);  // no buffer: nothing written
}
