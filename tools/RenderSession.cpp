#include "RenderSession.h"

#include <algorithm>

#include "ClapRenderSession.h"
#include "SampleRates.h"
#include "Vst2RenderSession.h"

// A CLAP plug-in exports its entry record; a VST 2 library its entry function.
std::unique_ptr<RenderSession> RenderSession::open(const PluginLibrary& library, const std::string& path,
                                                   float sampleRate, int blockSize, std::string& error) {
    std::unique_ptr<RenderSession> session;
    if (const auto* clap = static_cast<const clap_plugin_entry_t*>(library.symbol("clap_entry"))) {
        auto made = std::make_unique<ClapRenderSession>(clap, path, sampleRate, blockSize);
        if (made->refusedTheRate()) {
            error = path + " does not run at " + std::to_string(static_cast<long>(sampleRate)) + " Hz (it runs at " +
                    std::to_string(static_cast<long>(kLowestSampleRate)) + " to " +
                    std::to_string(static_cast<long>(kHighestSampleRate)) + " Hz)";
            return nullptr;
        }
        if (made->ready()) session = std::move(made);
    } else {
        auto made = std::make_unique<Vst2RenderSession>(library, sampleRate, blockSize);
        if (made->ready()) session = std::move(made);
    }
    if (!session) error = path + " has no usable entry point";
    return session;
}

void RenderSession::scheduleSpeed(double seconds, bool fast, int controller) {
    switches.push_back({static_cast<long>(seconds * sampleRate + 0.5), fast, controller});
    std::stable_sort(switches.begin(), switches.end(),
                     [](const SpeedSwitch& a, const SpeedSwitch& b) { return a.frame < b.frame; });
}

void RenderSession::render(const float* left, const float* right, float* outLeft, float* outRight,
                           long frames, const std::function<void(double)>& progress) {
    std::vector<float> inL(static_cast<size_t>(blockSize)), inR(static_cast<size_t>(blockSize));
    std::vector<MidiMessage> midi;
    size_t nextSwitch = 0;
    for (long start = 0; start < frames; start += blockSize) {
        const int n = static_cast<int>(std::min<long>(blockSize, frames - start));
        midi.clear();
        while (nextSwitch < switches.size() && switches[nextSwitch].frame < start + n) {
            const SpeedSwitch& s = switches[nextSwitch++];
            const int frame = static_cast<int>(std::max<long>(0, s.frame - start));
            midi.push_back({frame,
                            {0xB0, static_cast<unsigned char>(s.controller),
                             static_cast<unsigned char>(s.fast ? 127 : 0)}});
        }
        std::copy(left + start, left + start + n, inL.begin());
        std::copy(right + start, right + start + n, inR.begin());
        float* const inputs[2] = {inL.data(), inR.data()};
        float* const outputs[2] = {outLeft + start, outRight + start};
        process(inputs, outputs, n, midi);
        if (progress) progress(static_cast<double>(start + n) / frames);
    }
}
