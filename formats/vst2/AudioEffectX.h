// AudioEffectX, the VST 2 extension of the effect base: the operations
// behind opcodes 25 to 68 with their base answers, and the wrappers for the
// host's services. Adds no data.
#pragma once

#include "AudioEffect.h"

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    VstIntPtr dispatcher(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    virtual EditorBase* getEditor();
    virtual void wantEvents(VstInt32 filter = 1);
    virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
    virtual VstInt32 tempoAt(VstInt32 pos);
    virtual VstInt32 processEvents(VstEvents* events);
    virtual VstInt32 getNumAutomatableParameters();
    virtual VstInt32 getParameterQuantization();
    virtual bool canParameterBeAutomated(VstInt32 index);
    virtual bool string2parameter(VstInt32 index, char* text);
    virtual float getChannelParameter(VstInt32 channel, VstInt32 index);
    virtual VstInt32 getNumCategories();
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32 destination);
    virtual bool ioChanged();
    virtual bool needIdle();
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
    virtual float updateSampleRate();
    virtual VstInt32 updateBlockSize();
    virtual VstInt32 getInputLatency();
    virtual VstInt32 getOutputLatency();
    virtual AEffect* getPreviousPlug(VstInt32 input);
    virtual AEffect* getNextPlug(VstInt32 output);
    virtual void inputConnected(VstInt32 index, bool state);
    virtual void outputConnected(VstInt32 index, bool state);
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties);
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties);
    virtual VstInt32 getPlugCategory();
    virtual VstInt32 willProcessReplacing();
    virtual VstInt32 getCurrentProcessLevel();
    virtual VstInt32 getAutomationState();
    virtual void wantAsyncOperation(bool state);
    virtual void hasExternalBuffer(bool state);
    virtual VstInt32 reportCurrentPosition();
    virtual float* reportDestinationBuffer();
    virtual bool offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource);
    virtual bool offlineWrite(VstOfflineTask* offline, VstInt32 option);
    virtual bool offlineStart(VstAudioFile* audioFiles, VstInt32 numAudioFiles,
                              VstInt32 numNewAudioFiles);
    virtual bool offlineGetCurrentPass();
    virtual bool offlineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* audioFiles, VstInt32 numAudioFiles, bool start);
    virtual bool offlinePrepare(VstOfflineTask* offline, VstInt32 count);
    virtual bool offlineRun(VstOfflineTask* offline, VstInt32 count);
    // Two slots the interface keeps free; they answer 0.
    virtual VstInt32 reserved1();
    virtual VstInt32 reserved2();
    virtual VstInt32 setOutputSampleRate(float rate);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                       VstSpeakerArrangement** pluginOutput);
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual VstInt32 getHostVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                         float floatArg);
    virtual bool canHostDo(char* text);
    virtual VstInt32 getHostLanguage();
    virtual void isSynth(bool state);
    virtual void noTail(bool state);
    virtual void* openWindow(VstWindow* window);
    virtual bool closeWindow(VstWindow* window);
    virtual void* getDirectory();
    virtual bool updateDisplay();
    virtual bool processVariableIo(VstVariableIo* varIo);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                                       VstSpeakerArrangement* pluginOutput);
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate);
    virtual bool setBypass(bool onOff);
    virtual bool getEffectName(char* name);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg,
                                     float floatArg);
    virtual VstInt32 canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(VstInt32 x, VstInt32 y);
    virtual VstInt32 getTailSize();
    virtual VstInt32 fxIdle();
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* properties);
    virtual bool keysRequired();
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* current);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    virtual bool openFileSelector(VstFileSelect* ptr);
};
