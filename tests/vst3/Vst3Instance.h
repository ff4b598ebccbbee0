// A VST 3 instance of the tests' host, set up as a host sets it up before
// processing, whose blocks are checked to succeed.
#pragma once

#include <gtest/gtest.h>

#include "Vst3TestHost.h"

// One instance, set up as a host sets it up before processing.
struct Instance : ControlledComponent {
    explicit Instance(Vst3Module& module, int block = 512, double rate = 44100.0) : ControlledComponent(module) {
        if (!component) return;
        processor = Vst3Module::ask<vst3::IAudioProcessor>(component, vst3::kIAudioProcessorIid);
        mapping = Vst3Module::ask<vst3::IMidiMapping>(component, vst3::kIMidiMappingIid);
        if (!processor || !controller) return;
        vst3::SpeakerArrangement stereo = vst3::kStereo, out = vst3::kStereo;
        processor->setBusArrangements(&stereo, 1, &out, 1);
        vst3::ProcessSetup setup{0, vst3::kSample32, block, rate};
        processor->setupProcessing(setup);
        component->setActive(1);
        processor->setProcessing(1);
    }
    ~Instance() {
        if (!component) return;
        if (processor) processor->setProcessing(0);
        component->setActive(0);
    }
    bool ready() const { return component && processor && controller && mapping; }

    // One block of `frames`, with the changes given; what the plug-in sends back is in `sent`.
    void process(float** in, float** out, int frames, ParameterChanges& changes, int inputChannels = 2) {
        vst3::AudioBusBuffers inputs{inputChannels, 0, in}, outputs{2, 0, out};
        sent = ParameterChanges();
        vst3::ProcessData data{};
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = frames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &inputs;
        data.outputs = &outputs;
        data.inputParameterChanges = &changes;
        data.outputParameterChanges = &sent;
        EXPECT_EQ(processor->process(data), vst3::kResultOk);
        silence = outputs.silenceFlags;
    }

    vst3::IAudioProcessor* processor = nullptr;
    vst3::IMidiMapping* mapping = nullptr;
    ParameterChanges sent;
    uint64_t silence = 0;
};
