// Halvern's editor as an LV2 X11 user interface, in a binary of its own. It
// talks to the plug-in only through ports: the editor works on a stand-in
// effect that holds the parameter values the ports report, and whatever
// the user changes goes back through the host's write function (in the
// units the control ports use), bracketed by the host's touch feature.
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <new>

#include "Frame.h"
#include "Lv2Ports.h"
#include "SpeakerEditor.h"

namespace {

// The editor's effect: a store of normalised parameter values. Its calls
// to its host become port writes and touches.
class UiEffect : public AudioEffectX {
public:
    UiEffect(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : AudioEffectX(hostCallback, 1, kNumSpeakerParameters), write(write), controller(controller), touch(touch) {
        for (int i = 0; i < kNumSpeakerParameters; ++i) values[i] = row(i).defaultNormalized();
    }

    void setParameter(VstInt32 index, float value) override {
        if (static_cast<uint32_t>(index) >= kNumSpeakerParameters) return;
        values[index] = row(index).toNormalized(row(index).toValue(value));
        if (editor) static_cast<SpeakerEditor*>(editor)->setParameter(index, values[index]);
    }
    float getParameter(VstInt32 index) override {
        return static_cast<uint32_t>(index) < kNumSpeakerParameters ? values[index] : 0.0f;
    }
    void process(float**, float**, VstInt32) override {}

    // A value the plug-in reports on a control port, in the port's units.
    void portValue(int index, float shown) { setParameter(index, row(index).toNormalized(shown)); }

private:
    static const ParameterInfo& row(int i) { return kSpeakerDescriptor.parameters[i]; }

    static VstIntPtr hostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
        if (opcode == audioMasterVersion) return 2400;
        auto* self = record ? static_cast<UiEffect*>(static_cast<AudioEffect*>(record->object)) : nullptr;
        if (!self || static_cast<uint32_t>(index) >= kNumSpeakerParameters) return 0;
        const uint32_t port = kPortFirstControl + static_cast<uint32_t>(index);
        if (opcode == audioMasterAutomate) {
            const float shown = row(index).toValue(self->values[index]);
            self->write(self->controller, port, sizeof(float), 0, &shown);
        } else if ((opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) && self->touch) {
            self->touch->touch(self->touch->handle, port, opcode == audioMasterBeginEdit);
        }
        return 1;
    }

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    float values[kNumSpeakerParameters];
};

struct Ui {
    UiEffect effect;
    SpeakerEditor* editor;  // the effect deletes it
    float hornPosition = 0.0f, drumPosition = 0.0f;

    Ui(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : effect(write, controller, touch), editor(new SpeakerEditor(&effect)) {}
    ~Ui() { editor->close(); }
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, kLv2PluginUri) != 0) return nullptr;
    void* parent = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        if (std::strcmp(features[i]->URI, LV2_UI__parent) == 0) parent = features[i]->data;
        if (std::strcmp(features[i]->URI, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>(features[i]->data);
        if (std::strcmp(features[i]->URI, LV2_UI__touch) == 0) touch = static_cast<const LV2UI_Touch*>(features[i]->data);
    }
    if (!parent) return nullptr;  // embedded only
    auto* ui = new (std::nothrow) Ui(write, controller, touch);
    if (!ui) return nullptr;
    ui->editor->open(parent);
    Frame* frame = ui->editor->getFrame();
    if (!frame || !frame->getWindow()) {
        delete ui;
        return nullptr;
    }
    *widget = ui->editor->getPlatform().nativeHandle(frame->getWindow());
    if (resize) resize->ui_resize(resize->handle, kEditorRect.width(), kEditorRect.height());
    return ui;
}

void cleanup(LV2UI_Handle handle) { delete static_cast<Ui*>(handle); }

// Control ports set the stand-in's values; the outputs move the cabinet and
// tell the speed in force after MIDI switches.
void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    Ui& ui = *static_cast<Ui*>(handle);
    if (format != 0 || size != sizeof(float) || !buffer) return;
    const float value = *static_cast<const float*>(buffer);
    if (port >= kPortFirstControl && port < kPortMidiIn) {
        ui.effect.portValue(static_cast<int>(port - kPortFirstControl), value);
    } else if (port == kPortSpeedState) {
        ui.effect.portValue(kSpeedToggle, value);
    } else if (port == kPortHornPosition || port == kPortDrumPosition) {
        (port == kPortHornPosition ? ui.hornPosition : ui.drumPosition) = value;
        ui.editor->setRotorPositions(ui.hornPosition, ui.drumPosition);
    }
}

int idle(LV2UI_Handle handle) {
    static_cast<Ui*>(handle)->editor->idle();
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kUiDescriptor = {kLv2UiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kUiDescriptor : nullptr;
}
