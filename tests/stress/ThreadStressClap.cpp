// The stress through Halvern.clap: the audio thread's process calls with
// MIDI events, the main thread's flushes, state loads and preset loads.
#include <string>

#include "ClapParameters.h"
#include "ClapTestHost.h"
#include "ThreadStress.h"

namespace {

class ClapStressed final : public threadstress::StressedPlugin {
public:
    explicit ClapStressed(ClapLibrary& library) : plugin(host.create(library)) {
        params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
        state = ClapTestHost::extension<clap_plugin_state_t>(plugin, CLAP_EXT_STATE);
        presets = ClapTestHost::extension<clap_plugin_preset_load_t>(plugin, CLAP_EXT_PRESET_LOAD);
        plugin->activate(plugin, 44100.0, 1, 1024);
    }
    ~ClapStressed() override {
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }

    void process(int frames, int switchTo) override {
        std::vector<float> left(frames, 0.1f), right(frames, -0.1f);
        float* channels[2] = {left.data(), right.data()};
        clap_audio_buffer_t buffer{channels, nullptr, 2, 0, 0};
        EventList events, sent;
        if (switchTo >= 0) events.midi(0, 0xB0, 64, switchTo ? 127 : 0);
        const clap_process_t call = processCall(frames, &buffer, &buffer, events.input(), sent.output());
        plugin->process(plugin, &call);
    }
    void setValue(int index, double value) override {
        EventList in, out;
        in.value(0, index, value);
        params->flush(plugin, in.input(), out.output());
    }
    void loadProgram(int program, std::vector<double>& values) override {
        for (size_t i = 0; i < values.size(); ++i) values[i] = kCabinetParameters[i].defaultValue;
        const std::string key = "program-" + std::to_string(program + 1);
        presets->from_location(plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, key.c_str());
    }
    void loadState(const settingsrecord::Bytes& record) override {
        MemoryStream stream;
        stream.bytes.assign(record.begin(), record.end());
        state->load(plugin, stream.input());
    }
    double value(int index) override { return read(index); }
    double hornRpm() override { return read(clapparameters::kFirstReading + kHornRpm); }

private:
    double read(clap_id id) {
        double v = NAN;
        params->get_value(plugin, id, &v);
        return v;
    }

    ClapTestHost host;
    const clap_plugin_t* plugin;
    const clap_plugin_params_t* params;
    const clap_plugin_state_t* state;
    const clap_plugin_preset_load_t* presets;
};

TEST(ThreadStress, ClapLosesNoUpdate) {
    ClapLibrary library(HALVERN_CLAP_PATH);
    ASSERT_NE(library.factory, nullptr);
    threadstress::stress([&] { return std::make_unique<ClapStressed>(library); }, kNumCabinetParameters);
}

}  // namespace
