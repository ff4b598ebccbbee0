#include "AudioEffectX.h"

// --- Dispatcher for opcodes 25 to 68; everything else goes to the VST 1 level --

VstIntPtr AudioEffectX::dispatcher(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    char* text = static_cast<char*>(ptr);
    const VstInt32 value32 = static_cast<VstInt32>(value);
    switch (opCode) {
        case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter: return string2parameter(index, text) ? 1 : 0;
        case effGetNumProgramCategories: return getNumCategories();
        case effGetProgramNameIndexed: return getProgramNameIndexed(value32, index, text) ? 1 : 0;
        case effCopyProgram: return copyProgram(index) ? 1 : 0;
        case effConnectInput: inputConnected(index, value != 0); return 1;
        case effConnectOutput: outputConnected(index, value != 0); return 1;
        case effGetInputProperties:
            return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effGetCurrentPosition: return reportCurrentPosition();
        case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
        case effOfflineNotify:
            return offlineNotify(static_cast<VstAudioFile*>(ptr), value32, index != 0) ? 1 : 0;
        case effOfflinePrepare:
            return offlinePrepare(static_cast<VstOfflineTask*>(ptr), value32) ? 1 : 0;
        case effOfflineRun: return offlineRun(static_cast<VstOfflineTask*>(ptr), value32) ? 1 : 0;
        case effProcessVarIo: return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(value32, opt); return 1;
        case effSetBypass: return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName: return getEffectName(text) ? 1 : 0;
        case effGetErrorText: return getErrorText(text) ? 1 : 0;
        case effGetVendorString: return getVendorString(text) ? 1 : 0;
        case effGetProductString: return getProductString(text) ? 1 : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
        case effCanDo: return canDo(text);
        case effGetTailSize: return getTailSize();
        case effIdle: return fxIdle();
        case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
        case effSetViewPosition: return setViewPosition(index, value32) ? 1 : 0;
        case effGetParameterProperties:
            return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effKeysRequired: return keysRequired() ? 0 : 1;
        case effGetVstVersion: return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            // The modifier bits come as a float, truncated; one past any integer
            // (or not a number) is read as none.
            const bool whole = opt > -2147483648.0f && opt < 2147483648.0f;
            const auto modifiers = static_cast<unsigned char>(whole ? static_cast<int>(opt) & 0xFF : 0);
            VstKeyCode keyCode{index, static_cast<unsigned char>(value & 0xFF), modifiers};
            return opCode == effEditKeyDown ? editor->onKeyDown(keyCode) : editor->onKeyUp(keyCode);
        }
        case effSetEditKnobMode: return editor ? editor->setKnobMode(value32) : 0;
        case effGetMidiProgramName:
            return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
        case effGetMidiProgramCategory:
            return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
        case effHasMidiProgramsChanged: return hasMidiProgramsChanged(index) ? 1 : 0;
        case effGetMidiKeyName: return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
        case effBeginSetProgram: return beginSetProgram() ? 1 : 0;
        case effEndSetProgram: return endSetProgram() ? 1 : 0;
        default: return AudioEffect::dispatcher(opCode, index, value, ptr, opt);
    }
}

// --- Base answers of the dispatcher targets -----------------------------------

EditorBase* AudioEffectX::getEditor() { return editor; }
VstInt32 AudioEffectX::processEvents(VstEvents*) { return 0; }
bool AudioEffectX::canParameterBeAutomated(VstInt32) { return true; }
bool AudioEffectX::string2parameter(VstInt32, char*) { return false; }
float AudioEffectX::getChannelParameter(VstInt32, VstInt32) { return 0.0f; }
VstInt32 AudioEffectX::getNumCategories() { return 1; }
bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool AudioEffectX::copyProgram(VstInt32) { return false; }
void AudioEffectX::inputConnected(VstInt32, bool) {}
void AudioEffectX::outputConnected(VstInt32, bool) {}
bool AudioEffectX::getInputProperties(VstInt32, VstPinProperties*) { return false; }
bool AudioEffectX::getOutputProperties(VstInt32, VstPinProperties*) { return false; }
VstInt32 AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}
VstInt32 AudioEffectX::reportCurrentPosition() { return 0; }
float* AudioEffectX::reportDestinationBuffer() { return nullptr; }
bool AudioEffectX::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }
bool AudioEffectX::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }
bool AudioEffectX::offlineRun(VstOfflineTask*, VstInt32) { return false; }
VstInt32 AudioEffectX::reserved1() { return 0; }
VstInt32 AudioEffectX::reserved2() { return 0; }
bool AudioEffectX::processVariableIo(VstVariableIo*) { return false; }
bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) {
    return false;
}

// Stores both values as they are; neither setBlockSize nor setSampleRate runs,
// so derived values keep the previous rate. A rate that is not a finite number
// above 0 is ignored.
void AudioEffectX::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
    blockSize = size;
    if (isUsableSampleRate(rate)) sampleRate = rate;
}

bool AudioEffectX::setBypass(bool) { return false; }
bool AudioEffectX::getEffectName(char*) { return false; }
bool AudioEffectX::getErrorText(char*) { return false; }
bool AudioEffectX::getVendorString(char*) { return false; }
bool AudioEffectX::getProductString(char*) { return false; }
VstInt32 AudioEffectX::getVendorVersion() { return 0; }
VstIntPtr AudioEffectX::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 AudioEffectX::canDo(char*) { return 0; }
void* AudioEffectX::getIcon() { return nullptr; }
bool AudioEffectX::setViewPosition(VstInt32, VstInt32) { return false; }
VstInt32 AudioEffectX::getTailSize() { return 0; }
VstInt32 AudioEffectX::fxIdle() { return 0; }
bool AudioEffectX::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
bool AudioEffectX::keysRequired() { return false; }
VstInt32 AudioEffectX::getVstVersion() { return 2200; }
VstInt32 AudioEffectX::getMidiProgramName(VstInt32, MidiProgramName*) { return 0; }
VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32, MidiProgramName*) { return -1; }
VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32, MidiProgramCategory*) { return 0; }
bool AudioEffectX::hasMidiProgramsChanged(VstInt32) { return false; }
bool AudioEffectX::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }
bool AudioEffectX::beginSetProgram() { return false; }
bool AudioEffectX::endSetProgram() { return false; }

// --- Flag bits -----------------------------------------------------------------

void AudioEffectX::wantAsyncOperation(bool state) { setFlag(effFlagsExtIsAsync, state); }
void AudioEffectX::hasExternalBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
void AudioEffectX::isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
void AudioEffectX::noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }

// --- Host services -------------------------------------------------------------

void AudioEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::tempoAt(VstInt32 pos) {
    return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }
bool AudioEffectX::needIdle() { return callHost(audioMasterNeedIdle) != 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

// The host answers by calling effSetSampleRate or effSetBlockSize; the field
// read after the call is the answer.
float AudioEffectX::updateSampleRate() {
    callHost(audioMasterGetSampleRate);
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
    callHost(audioMasterGetBlockSize);
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

AEffect* AudioEffectX::getPreviousPlug(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
    return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource) {
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstInt32 option) {
    return callHost(audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineStart(VstAudioFile* audioFiles, VstInt32 numAudioFiles,
                                VstInt32 numNewAudioFiles) {
    return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles) != 0;
}

bool AudioEffectX::offlineGetCurrentPass() {
    return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool AudioEffectX::offlineGetCurrentMetaPass() {
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

VstInt32 AudioEffectX::setOutputSampleRate(float rate) {
    return static_cast<VstInt32>(callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate));
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
    return callHost(audioMasterGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(pluginInput),
                    pluginOutput) != 0;
}

bool AudioEffectX::getHostVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                           float floatArg) {
    return callHost(audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

// The host answers 1 (yes), -1 (no) or 0 (don't know); only a yes is true.
bool AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) > 0; }

VstInt32 AudioEffectX::getHostLanguage() {
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::openWindow(VstWindow* window) {
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) {
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool AudioEffectX::openFileSelector(VstFileSelect* ptr) {
    return ptr && callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0;
}
