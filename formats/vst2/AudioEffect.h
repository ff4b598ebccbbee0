// The VST 1 effect base: owns the AEffect record handed to the host, the host
// callback, and the basic settings; routes the record's five entry functions
// to virtual operations. The order of the virtual operations is part of the
// class's contract and follows the interface's own order.
#pragma once

#include "EditorBase.h"
#include "Relaxed.h"
#include "VstInterface.h"

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual VstIntPtr dispatcher(VstInt32 opCode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
    virtual void open();
    virtual void close();
    virtual VstInt32 getProgram();
    virtual void setProgram(VstInt32 program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(VstInt32 index, char* label);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueID(VstInt32 id);
    virtual void setNumInputs(VstInt32 inputs);
    virtual void setNumOutputs(VstInt32 outputs);
    virtual void hasVu(bool state);
    virtual void hasClip(bool state);
    virtual void canMono(bool state);
    virtual void canProcessReplacing(bool state);
    virtual void programsAreChunks(bool state);
    virtual void setRealtimeQualities(VstInt32 qualities);
    virtual void setOfflineQualities(VstInt32 qualities);
    virtual void setInitialDelay(VstInt32 delay);
    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();
    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);
    virtual void dB2string(float value, char* text);
    virtual void Hz2string(float samples, char* text);
    virtual void ms2string(float samples, char* text);
    virtual void float2string(float value, char* text);
    virtual void long2string(VstInt32 value, char* text);

    // A rate the effect can work with: a finite number above 0. Others are ignored.
    static bool isUsableSampleRate(float rate);

    AEffect* getAeffect() { return &cEffect; }
    EditorBase* getEditorBase() const { return editor; }
    // An editor attaching itself: the effect now has a window (and will
    // delete the editor with itself).
    void setEditor(EditorBase* newEditor);

    // The five functions whose addresses stand in every AEffect record.
    static VstIntPtr entryDispatcher(AEffect* e, VstInt32 opCode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt);
    static void entryProcess(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
    static void entryProcessReplacing(AEffect* e, float** inputs, float** outputs,
                                      VstInt32 sampleFrames);
    static void entrySetParameter(AEffect* e, VstInt32 index, float value);
    static float entryGetParameter(AEffect* e, VstInt32 index);

protected:
    // Sets or clears one bit of cEffect.flags.
    void setFlag(VstInt32 bit, bool state);
    // Calls the host if there is a callback; answers 0 without one.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    Relaxed<float> sampleRate{44100.0f};
    EditorBase* editor = nullptr;
    audioMasterCallback audioMaster;
    VstInt32 numPrograms;
    VstInt32 numParams;
    Relaxed<VstInt32> curProgram{0};
    VstInt32 blockSize = 1024;
    AEffect cEffect;
};
