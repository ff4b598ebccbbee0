#include "VstEditor.h"

namespace {

// The host interface numbers tab 2 and space 7 among its virtual keys.
constexpr unsigned char kVirtualTab = 2, kVirtualSpace = 7;

platform::KeyPress keyPressOf(const VstKeyCode& key) {
    int named = platform::kKeyOther;
    if (key.virt == 0) named = platform::kKeyNone;
    if (key.virt == kVirtualTab) named = platform::kKeyTab;
    if (key.virt == kVirtualSpace) named = platform::kKeySpace;
    return {key.character, named};
}

}  // namespace

VstEditor::VstEditor(AudioEffectX* effect, platform::Platform* platform)
    : EditorBase(effect), editor(this, platform) {
    editor.setWindowHost(this);
    effect->setEditor(this);
}

VstEditor::~VstEditor() { editor.close(); }

// The size of the editor as it is now; a host asks again after a resize.
int VstEditor::getRect(ERect** out) {
    const Rect size = editor.getRect();
    rect = {0, 0, static_cast<VstInt16>(size.height()), static_cast<VstInt16>(size.width())};
    *out = &rect;
    return 1;
}

bool VstEditor::resizeWindow(int width, int height) { return effectX()->sizeWindow(width, height); }

int VstEditor::open(void* parent) {
    EditorBase::open(parent);
    return editor.open(parent);
}

void VstEditor::close() { editor.close(); }
void VstEditor::idle() { editor.idle(); }
void VstEditor::postUpdate() { editor.postUpdate(); }
int VstEditor::onKeyDown(VstKeyCode& key) { return editor.onKeyDown(keyPressOf(key)); }
int VstEditor::onKeyUp(VstKeyCode& key) { return editor.onKeyUp(keyPressOf(key)); }
int VstEditor::setKnobMode(int mode) { return editor.setKnobMode(mode); }
bool VstEditor::onWheel(float distance) { return editor.onWheel(distance); }

float VstEditor::parameter(int index) { return effect->getParameter(index); }
void VstEditor::changeParameter(int index, float normalized) { effect->setParameterAutomated(index, normalized); }
void VstEditor::beginGesture(int index) { effectX()->beginEdit(index); }
void VstEditor::endGesture(int index) { effectX()->endEdit(index); }
void VstEditor::hostIdle() { effect->masterIdle(); }
