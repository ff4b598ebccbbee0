// The stress through the VST 3 module: the audio thread's process calls
// with the mapped MIDI speed parameter's changes, the main thread's state
// loads and the controller's edits and program changes, each reaching the
// processor as a host sends them: in the next block's parameter changes.
#include <mutex>

#include "ThreadStress.h"
#include "Vst3Parameters.h"
#include "Vst3TestHost.h"

namespace {

class Vst3Stressed final : public threadstress::StressedPlugin {
public:
    explicit Vst3Stressed(Vst3Module& module) : instance(module) {
        processor = Vst3Module::ask<vst3::IAudioProcessor>(instance.component, vst3::kIAudioProcessorIid);
        vst3::ProcessSetup setup{0, vst3::kSample32, 1024, 44100.0};
        processor->setupProcessing(setup);
        instance.component->setActive(1);
        processor->setProcessing(1);
    }
    ~Vst3Stressed() override {
        processor->setProcessing(0);
        instance.component->setActive(0);
    }

    // The host's queue of the controller's edits is its own, locked while
    // a block delivers them, so a state loaded after an edit is never
    // overwritten by it. A program change ends a block's edits: a block's
    // changes keep no order between parameters.
    void process(int frames, int switchTo) override {
        std::vector<float> left(frames, 0.1f), right(frames, -0.1f);
        float* channels[2] = {left.data(), right.data()};
        vst3::AudioBusBuffers buses{2, 0, channels};
        ParameterChanges changes, sent;
        std::lock_guard<std::mutex> hold(edits);
        size_t taken = 0;
        while (taken < pending.size()) {
            const auto [id, normalized] = pending[taken++];
            changes.add(id, 0, normalized);
            if (id == vst3parameters::kProgram) break;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(taken));
        if (switchTo >= 0) changes.add(vst3parameters::kMidiSpeed, 0, switchTo ? 1.0 : 0.0);
        vst3::ProcessData data{};
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = frames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = data.outputs = &buses;
        data.inputParameterChanges = &changes;
        data.outputParameterChanges = &sent;
        processor->process(data);
    }
    void setValue(int index, double value) override {
        edit(vst3parameters::idOfRow(index), instance.controller->plainParamToNormalized(vst3parameters::idOfRow(index), value));
    }
    // The program chosen again is no change.
    void loadProgram(int program, std::vector<double>& values) override {
        if (program == plain(vst3parameters::kProgram)) return;
        for (size_t i = 0; i < values.size(); ++i) values[i] = kCabinetParameters[i].defaultValue;
        edit(vst3parameters::kProgram, instance.controller->plainParamToNormalized(vst3parameters::kProgram, program));
    }
    void loadState(const settingsrecord::Bytes& record) override {
        {
            std::lock_guard<std::mutex> hold(edits);
            pending.clear();  // what the state replaces
        }
        Vst3MemoryStream stream;
        stream.bytes.assign(record.begin(), record.end());
        instance.component->setState(&stream);
    }
    double value(int index) override { return plain(vst3parameters::idOfRow(index)); }
    double hornRpm() override { return plain(vst3parameters::kFirstReading + kHornRpm); }

private:
    void edit(vst3::ParamID id, double normalized) {
        instance.controller->setParamNormalized(id, normalized);
        std::lock_guard<std::mutex> hold(edits);
        pending.push_back({id, normalized});
    }
    double plain(vst3::ParamID id) {
        return instance.controller->normalizedParamToPlain(id, instance.controller->getParamNormalized(id));
    }

    ControlledComponent instance;
    vst3::IAudioProcessor* processor;
    std::mutex edits;
    std::vector<std::pair<vst3::ParamID, double>> pending;
};

TEST(ThreadStress, Vst3LosesNoUpdate) {
    Vst3Module module(HALVERN_VST3_MODULE);
    ASSERT_NE(module.factory, nullptr);
    threadstress::stress([&] { return std::make_unique<Vst3Stressed>(module); }, kNumCabinetParameters);
}

}  // namespace
