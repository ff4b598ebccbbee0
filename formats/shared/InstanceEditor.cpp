#include "InstanceEditor.h"

namespace {

bool isTableIndex(int index) { return index >= 0 && index < kNumCabinetParameters; }

}  // namespace

InstanceEditor::InstanceEditor(PluginInstance& instance, EditorHostCalls& host)
    : instance(instance), host(host), speakerEditor(this) {
    instance.observeValues(this);
}

InstanceEditor::~InstanceEditor() { instance.observeValues(nullptr); }

// The host hears the value as the instance holds it, clamped.
void InstanceEditor::changeParameter(int index, float normalized) {
    if (!isTableIndex(index)) return;
    instance.setNormalized(index, normalized);
    host.announceChange(index, instance.normalized(index));
}

void InstanceEditor::beginGesture(int index) {
    if (isTableIndex(index)) host.announceGesture(index, true);
}

void InstanceEditor::endGesture(int index) {
    if (isTableIndex(index)) host.announceGesture(index, false);
}
