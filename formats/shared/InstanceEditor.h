// The editor over a plug-in instance, for the formats that show one: the
// editor's controller reads and sets the instance's values (heard at once)
// and tells the host through the adapter's EditorHostCalls; every value
// change, from whichever thread, marks the editor's controls for redrawing.
#pragma once

#include "EditorHostCalls.h"
#include "PluginInstance.h"
#include "SpeakerController.h"
#include "SpeakerEditor.h"

class InstanceEditor final : private SpeakerController, private ValueObserver {
public:
    InstanceEditor(PluginInstance& instance, EditorHostCalls& host);
    ~InstanceEditor();
    InstanceEditor(const InstanceEditor&) = delete;
    InstanceEditor& operator=(const InstanceEditor&) = delete;

    SpeakerEditor& editor() { return speakerEditor; }

private:
    // SpeakerController: every parameter of the table, so the rear panel shows.
    int parameterCount() override { return kNumCabinetParameters; }
    float parameter(int index) override { return instance.normalized(index); }
    void changeParameter(int index, float normalized) override;
    void beginGesture(int index) override;
    void endGesture(int index) override;
    RotorPositions rotorPositions() override { return {instance.hornPosition(), instance.drumPosition()}; }

    void valueChanged(int index, float normalized) override { speakerEditor.setParameter(index, normalized); }

    PluginInstance& instance;
    EditorHostCalls& host;
    SpeakerEditor speakerEditor;
};
