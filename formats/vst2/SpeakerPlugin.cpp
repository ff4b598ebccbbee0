#include "SpeakerPlugin.h"

#include <new>

#include "VstEditor.h"

SpeakerPlugin::SpeakerPlugin(audioMasterCallback audioMaster, bool withEditor) : SpeakerEngine(audioMaster) {
    // The editor attaches itself to the effect, which deletes it with itself.
    if (withEditor) new (std::nothrow) VstEditor(this);
}

// The editor goes while the whole effect still exists: closing its window
// may end a text entry, whose new value the editor then sends to the effect.
SpeakerPlugin::~SpeakerPlugin() {
    delete speakerEditor();
    setEditor(nullptr);
}

// The only editor this effect ever has is its VstEditor.
VstEditor* SpeakerPlugin::speakerEditor() const { return static_cast<VstEditor*>(getEditorBase()); }

void SpeakerPlugin::setParameter(VstInt32 index, float value) {
    SpeakerEngine::setParameter(index, value);
    if (VstEditor* editor = speakerEditor()) editor->speakerEditor().setParameter(index, value);
}

void SpeakerPlugin::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) {
    SpeakerEngine::processBlock(inputs, outputs, sampleFrames, replacing);
    if (VstEditor* editor = speakerEditor()) editor->setRotorPositions(getHornPosition(), getDrumPosition());
}
