// The render session on a CLAP plug-in: made by the library's plug-in
// factory for a host of no services, its parameters set in the units they
// show through a flush, and the MIDI switches handed over as events of the
// block they fall in.
#pragma once

#include <string>

#include "ClapInterface.h"
#include "RenderSession.h"

class ClapRenderSession : public RenderSession {
public:
    ClapRenderSession(const clap_plugin_entry_t* entry, const std::string& path, float sampleRate,
                      int blockSize);
    ~ClapRenderSession() override;

    bool ready() const { return params != nullptr; }
    // Whether the plug-in was made but would not run at the file's rate.
    bool refusedTheRate() const { return rateRefused; }

    const char* formatName() const override { return "CLAP"; }
    int parameterCount() const override { return settable; }
    std::string parameterName(int index) const override;
    std::string parameterDisplay(int index) const override;
    float parameter(int index) const override;
    void setParameter(int index, float normalized) override;

private:
    void process(float* const inputs[2], float* const outputs[2], int frames,
                 const std::vector<MidiMessage>& midi) override;
    double value(int index) const;

    const clap_plugin_entry_t* entry;
    bool initialised = false;
    clap_host_t host{};
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    int settable = 0;  // the parameters a host may set: every one but the read-only readings
    bool processing = false;
    bool rateRefused = false;
};
