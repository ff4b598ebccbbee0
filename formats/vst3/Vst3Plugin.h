// Halvern as a VST 3 plug-in: one object that is both the processor (the
// component and its audio processor) and the edit controller, with the MIDI
// mapping and the factory program list: a translation of the plug-in
// instance. Hosts ask the component for the controller, and get itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "InstanceEditor.h"
#include "PluginInstance.h"
#include "Vst3Interface.h"
#include "Vst3Parameters.h"

class Vst3View;

class Vst3Plugin final : public vst3::IComponent,
                   public vst3::IAudioProcessor,
                   public vst3::IEditController,
                   public vst3::IMidiMapping,
                   public vst3::IUnitInfo,
                   public vst3::IProcessContextRequirements,
                   public vst3::ITimerHandler,
                   private EditorHostCalls {
public:
    // The class every instance is made of.
    static const vst3::Uid kClassId;

    Vst3Plugin();
    Vst3Plugin(const Vst3Plugin&) = delete;
    Vst3Plugin& operator=(const Vst3Plugin&) = delete;

    // FUnknown
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** object) override;
    uint32_t VST3_CALL addRef() override;
    uint32_t VST3_CALL release() override;

    // IPluginBase (shared by the component and the controller)
    vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3_CALL terminate() override;

    // IComponent
    vst3::tresult VST3_CALL getControllerClassId(vst3::TUID classId) override;
    vst3::tresult VST3_CALL setIoMode(int32_t mode) override;
    int32_t VST3_CALL getBusCount(int32_t type, int32_t dir) override;
    vst3::tresult VST3_CALL getBusInfo(int32_t type, int32_t dir, int32_t index, vst3::BusInfo& bus) override;
    vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult VST3_CALL activateBus(int32_t type, int32_t dir, int32_t index, vst3::TBool state) override;
    vst3::tresult VST3_CALL setActive(vst3::TBool state) override;
    // The component's state, the settings record; the controller's state is
    // the same record (both interfaces name these two methods alike), so
    // whichever the host restores sets the same values.
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) override;

    // IAudioProcessor
    vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, int32_t numIns,
                                               vst3::SpeakerArrangement* outputs, int32_t numOuts) override;
    vst3::tresult VST3_CALL getBusArrangement(int32_t dir, int32_t index, vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3_CALL canProcessSampleSize(int32_t symbolicSampleSize) override;
    uint32_t VST3_CALL getLatencySamples() override;
    vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult VST3_CALL process(vst3::ProcessData& data) override;
    uint32_t VST3_CALL getTailSamples() override;

    // IEditController
    vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
    int32_t VST3_CALL getParameterCount() override;
    vst3::tresult VST3_CALL getParameterInfo(int32_t paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult VST3_CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                  vst3::String128 string) override;
    vst3::tresult VST3_CALL getParamValueByString(vst3::ParamID id, vst3::char16* string,
                                                  vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue VST3_CALL normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::ParamValue VST3_CALL plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* VST3_CALL createView(vst3::FIDString name) override;

    // IMidiMapping
    vst3::tresult VST3_CALL getMidiControllerAssignment(int32_t busIndex, int16_t channel, int16_t controller,
                                                        vst3::ParamID& id) override;

    // IUnitInfo
    int32_t VST3_CALL getUnitCount() override;
    vst3::tresult VST3_CALL getUnitInfo(int32_t unitIndex, vst3::UnitInfo& info) override;
    int32_t VST3_CALL getProgramListCount() override;
    vst3::tresult VST3_CALL getProgramListInfo(int32_t listIndex, vst3::ProgramListInfo& info) override;
    vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, int32_t programIndex,
                                           vst3::String128 name) override;
    vst3::tresult VST3_CALL getProgramInfo(vst3::ProgramListID listId, int32_t programIndex, const char* attributeId,
                                           vst3::String128 attributeValue) override;
    vst3::tresult VST3_CALL hasProgramPitchNames(vst3::ProgramListID listId, int32_t programIndex) override;
    vst3::tresult VST3_CALL getProgramPitchName(vst3::ProgramListID listId, int32_t programIndex, int16_t midiPitch,
                                                vst3::String128 name) override;
    vst3::UnitID VST3_CALL getSelectedUnit() override;
    vst3::tresult VST3_CALL selectUnit(vst3::UnitID unitId) override;
    vst3::tresult VST3_CALL getUnitByBus(int32_t type, int32_t dir, int32_t busIndex, int32_t channel,
                                         vst3::UnitID& unitId) override;
    vst3::tresult VST3_CALL setUnitProgramData(int32_t listOrUnitId, int32_t programIndex,
                                               vst3::IBStream* data) override;

    // IProcessContextRequirements: the effect needs no transport or time.
    uint32_t VST3_CALL getProcessContextRequirements() override { return 0; }

    // ITimerHandler: the host context's run loop, where it offers one.
    void VST3_CALL onTimer() override { announceProcessorChanges(); }

    // For the view: the editor (made for the first view), the one view that
    // holds it now, and the host context's run loop (null where it has none).
    GuiEditor& speakerEditor() { return editor->editor(); }
    vst3::IRunLoop* contextRunLoop() const { return runLoop; }
    // What the processor changed that the host has not yet been told.
    void announceProcessorChanges();
    bool claimEditor(Vst3View* view);
    void releaseEditor(Vst3View* view);

private:
    ~Vst3Plugin();

    // EditorHostCalls: the host hears the editor's change and sends it to
    // the processor, which here is this object.
    void announceChange(int index, float normalized) override;
    void announceGesture(int index, bool begins) override;

    void sendReadings(vst3::IParameterChanges* out, int32_t frame);
    void tellHost(int32_t restartFlags);

    std::atomic<uint32_t> references{1};
    PluginInstance instance{ChangeStyle::Smooth};
    // The program the controller shows (the host's value of the program
    // change), and the one the processor's changes last loaded (or a
    // restored state named): one the host sends again is not loaded again.
    Relaxed<int> shownProgram{0};
    Relaxed<bool> monoInput{false};
    Relaxed<int> processorProgram{0};
    vst3::IComponentHandler* handler = nullptr;
    std::unique_ptr<InstanceEditor> editor;
    Vst3View* editorView = nullptr;
    vst3::IRunLoop* runLoop = nullptr;
    // The restart flags the processor's changes owe the host (a new speed
    // key, a loaded program), told on the host's thread.
    std::atomic<int32_t> unannounced{0};
};
