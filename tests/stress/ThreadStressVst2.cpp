// The stress through the VST 2 library: the audio thread's event lists and
// processReplacing calls, the main thread's setParameter and program
// calls (a VST 2 host restores a setting value by value). VST 2 reports no
// rotor speed, so only the values are compared.
#include "PluginLibrary.h"
#include "ThreadStress.h"

namespace {

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

class Vst2Stressed final : public threadstress::StressedPlugin {
public:
    explicit Vst2Stressed(const PluginLibrary& library) : effect(library.entry("VSTPluginMain")(host)) {
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    ~Vst2Stressed() override { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

    void process(int frames, int switchTo) override {
        std::vector<float> left(frames, 0.1f), right(frames, -0.1f);
        float* channels[2] = {left.data(), right.data()};
        // The list lives until the processing call it serves.
        VstMidiEvent event{};
        VstEvents list{};
        if (switchTo >= 0) {
            event.type = kVstMidiType;
            event.byteSize = sizeof event;
            event.midiData[0] = static_cast<char>(0xB0);
            event.midiData[1] = 64;
            event.midiData[2] = static_cast<char>(switchTo ? 127 : 0);
            list.numEvents = 1;
            list.events[0] = reinterpret_cast<VstEvent*>(&event);
            effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
        }
        effect->processReplacing(effect, channels, channels, frames);
    }
    void setValue(int index, double value) override {
        effect->setParameter(effect, index, kCabinetParameters[index].toNormalized(static_cast<float>(value)));
    }
    // A program holds the values last set while it was chosen.
    void loadProgram(int program, std::vector<double>& values) override {
        effect->dispatcher(effect, effSetProgram, 0, program, nullptr, 0.0f);
        for (size_t i = 0; i < values.size(); ++i) values[i] = value(static_cast<int>(i));
    }
    void loadState(const settingsrecord::Bytes& record) override {
        settingsrecord::Values values;
        settingsrecord::decode(record.data(), record.size(), values);
        for (int i = 0; i < kNumSpeakerParameters; ++i) setValue(i, values[i]);
    }
    double value(int index) override { return kCabinetParameters[index].toValue(effect->getParameter(effect, index)); }
    double hornRpm() override { return NAN; }

private:
    AEffect* effect;
};

TEST(ThreadStress, Vst2LosesNoValue) {
    PluginLibrary library(HALVERN_PLUGIN_PATH);
    ASSERT_TRUE(library.loaded());
    threadstress::stress([&] { return std::make_unique<Vst2Stressed>(library); }, kNumSpeakerParameters);
}

}  // namespace
