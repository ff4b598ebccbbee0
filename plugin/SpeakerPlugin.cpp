#include "SpeakerPlugin.h"

#include <new>

#include "SpeakerEditor.h"

SpeakerPlugin::SpeakerPlugin(audioMasterCallback audioMaster, bool withEditor) : SpeakerEngine(audioMaster) {
    // The editor attaches itself to the effect, which deletes it with itself.
    if (withEditor) new (std::nothrow) SpeakerEditor(this);
}

// The editor goes while the whole effect still exists: closing its window
// may end a text entry, whose new value the editor then sends to the effect.
SpeakerPlugin::~SpeakerPlugin() {
    delete speakerEditor();
    setEditor(nullptr);
}

// The only editor this effect ever has is its SpeakerEditor.
SpeakerEditor* SpeakerPlugin::speakerEditor() const { return static_cast<SpeakerEditor*>(getEditorBase()); }

void SpeakerPlugin::setParameter(VstInt32 index, float value) {
    SpeakerEngine::setParameter(index, value);
    if (SpeakerEditor* editor = speakerEditor()) editor->setParameter(index, value);
}

void SpeakerPlugin::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) {
    SpeakerEngine::processBlock(inputs, outputs, sampleFrames, replacing);
    if (SpeakerEditor* editor = speakerEditor()) editor->setRotorPositions(getHornPosition(), getDrumPosition());
}
