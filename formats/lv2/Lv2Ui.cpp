// Halvern's editor as an LV2 X11 user interface, in a binary of its own. It
// talks to the plug-in only through ports: the editor shows the parameter
// values the ports report, and whatever the user changes goes back through
// the host's write function (in the units the control ports use),
// bracketed by the host's touch feature. It is drawn at the host's
// ui:scaleFactor option where the host gives one (at instantiation, and
// later through the options interface), and asks the host's resize feature
// for each new size.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "Frame.h"
#include "Lv2Ports.h"
#include "SpeakerEditor.h"

namespace {

const ParameterInfo& row(int i) { return kCabinetParameters[i]; }

// The editor's controller: the parameter values the ports last reported,
// and the user's changes sent back as port writes bracketed by touches.
class Ui final : private SpeakerController, private WindowHost {
public:
    Ui(LV2UI_Write_Function write, LV2UI_Controller host, const LV2UI_Touch* touch, const LV2UI_Resize* resize,
       const LV2_URID_Map* map)
        : write(write), host(host), touch(touch), resize(resize), editor(this) {
        for (int i = 0; i < kNumCabinetParameters; ++i) values[i] = row(i).defaultNormalized();
        if (map) {
            scaleFactorKey = map->map(map->handle, LV2_UI__scaleFactor);
            floatType = map->map(map->handle, LV2_ATOM__Float);
        }
        editor.setWindowHost(this);
    }
    ~Ui() { editor.close(); }

    SpeakerEditor& speakerEditor() { return editor; }

    // Takes the scale factor among `options` (a list ended by a zero key and
    // no value); answers whether there was one.
    bool takeOptions(const LV2_Options_Option* options) {
        bool found = false;
        for (; options && (options->key != 0 || options->value); ++options)
            if (scaleFactorKey && options->key == scaleFactorKey && options->type == floatType &&
                options->size == sizeof(float) && options->value) {
                editor.setHostScale(*static_cast<const float*>(options->value));
                found = true;
            }
        return found;
    }

    // A value the plug-in reports on a control port, in the port's units.
    void portValue(int index, float shown) { store(index, row(index).toNormalized(shown)); }
    void rotorPort(uint32_t port, float position) {
        (port == kPortHornPosition ? rotors.horn : rotors.drum) = position;
    }

private:
    // Kept as the plug-in will hear it: rounded to the parameter's steps.
    void store(int index, float normalized) {
        values[index] = row(index).toNormalized(row(index).toValue(normalized));
        editor.setParameter(index, values[index]);
    }

    int parameterCount() override { return kNumCabinetParameters; }
    float parameter(int index) override {
        return static_cast<uint32_t>(index) < kNumCabinetParameters ? values[index] : 0.0f;
    }
    void changeParameter(int index, float normalized) override {
        if (static_cast<uint32_t>(index) >= kNumCabinetParameters) return;
        store(index, normalized);
        const float shown = row(index).toValue(values[index]);
        write(host, lv2ports::portOf(index), sizeof(float), 0, &shown);
    }
    void beginGesture(int index) override { touchPort(index, true); }
    void endGesture(int index) override { touchPort(index, false); }
    RotorPositions rotorPositions() override { return rotors; }

    bool resizeWindow(int width, int height) override {
        return resize && resize->ui_resize(resize->handle, width, height) == 0;
    }

    void touchPort(int index, bool grabbed) {
        if (touch && static_cast<uint32_t>(index) < kNumCabinetParameters)
            touch->touch(touch->handle, lv2ports::portOf(index), grabbed);
    }

    LV2UI_Write_Function write;
    LV2UI_Controller host;
    const LV2UI_Touch* touch;
    const LV2UI_Resize* resize;
    LV2_URID scaleFactorKey = 0;
    LV2_URID floatType = 0;
    float values[kNumCabinetParameters];
    RotorPositions rotors{0.0f, 0.0f};
    SpeakerEditor editor;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, kLv2PluginUri) != 0) return nullptr;
    void* parent = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
        if (std::strcmp(features[i]->URI, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>(features[i]->data);
        if (std::strcmp(features[i]->URI, LV2_UI__parent) == 0) parent = features[i]->data;
        if (std::strcmp(features[i]->URI, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>(features[i]->data);
        if (std::strcmp(features[i]->URI, LV2_UI__touch) == 0) touch = static_cast<const LV2UI_Touch*>(features[i]->data);
    }
    if (!parent) return nullptr;  // embedded only
    auto* ui = new (std::nothrow) Ui(write, controller, touch, resize, map);
    if (!ui) return nullptr;
    ui->takeOptions(options);
    SpeakerEditor& editor = ui->speakerEditor();
    editor.open(parent);
    Frame* frame = editor.getFrame();
    if (!frame || !frame->getWindow()) {
        delete ui;
        return nullptr;
    }
    *widget = editor.getPlatform().nativeHandle(frame->getWindow());
    const Rect size = editor.getRect();
    if (resize) resize->ui_resize(resize->handle, size.width(), size.height());
    return ui;
}

void cleanup(LV2UI_Handle handle) { delete static_cast<Ui*>(handle); }

// Control ports set the values shown; the outputs move the cabinet and tell
// the speed in force after MIDI switches.
void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    Ui& ui = *static_cast<Ui*>(handle);
    if (format != 0 || size != sizeof(float) || !buffer) return;
    const float value = *static_cast<const float*>(buffer);
    if (lv2ports::parameterOf(port) >= 0) {
        ui.portValue(lv2ports::parameterOf(port), value);
    } else if (port == kPortSpeedState) {
        ui.portValue(kSpeedToggle, value);
    } else if (port == kPortHornPosition || port == kPortDrumPosition) {
        ui.rotorPort(port, value);
    }
}

int idle(LV2UI_Handle handle) {
    static_cast<Ui*>(handle)->speakerEditor().idle();
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

// A new scale factor from the host; no option is read back.
const LV2_Options_Interface kOptionsInterface = {
    [](LV2_Handle, LV2_Options_Option*) -> uint32_t { return LV2_OPTIONS_ERR_UNKNOWN; },
    [](LV2_Handle handle, const LV2_Options_Option* options) -> uint32_t {
        return static_cast<Ui*>(handle)->takeOptions(options) ? LV2_OPTIONS_SUCCESS : LV2_OPTIONS_ERR_BAD_KEY;
    },
};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &kOptionsInterface;
    return nullptr;
}

const LV2UI_Descriptor kUiDescriptor = {kLv2UiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kUiDescriptor : nullptr;
}
