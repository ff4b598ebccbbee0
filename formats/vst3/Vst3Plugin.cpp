#include "Vst3Plugin.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "BandDelay.h"
#include "Vst3Identity.h"
#include "Vst3View.h"

namespace {

// The most parameter queues one block's changes are read from.
constexpr int kMaxQueues = 64;

template <class Interface>
bool offer(const vst3::TUID iid, const vst3::Uid& id, Interface* self, void** object) {
    if (!(id == iid)) return false;
    self->addRef();
    *object = self;
    return true;
}

// The host's stream as the instance's: a failed call is the stream's end.
class StreamSink final : public ByteSink {
public:
    explicit StreamSink(vst3::IBStream* stream) : stream(stream) {}
    int64_t write(const uint8_t* bytes, size_t size) override {
        int32_t n = 0;
        const int32_t asked = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
        return stream->write(const_cast<uint8_t*>(bytes), asked, &n) == vst3::kResultOk ? n : -1;
    }

private:
    vst3::IBStream* stream;
};

class StreamSource final : public ByteSource {
public:
    explicit StreamSource(vst3::IBStream* stream) : stream(stream) {}
    int64_t read(uint8_t* bytes, size_t size) override {
        int32_t n = 0;
        const int32_t asked = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
        if (stream->read(bytes, asked, &n) != vst3::kResultOk || n <= 0 || n > asked) return 0;
        return n;
    }

private:
    vst3::IBStream* stream;
};

// The block's parameter changes as the instance's events, in the order of
// their offsets; the changes at one offset come together, the MIDI speed
// switch after the others. A program the processor already loaded is not
// loaded again.
class ChangeEvents final : public EventSource {
public:
    ChangeEvents(vst3::IParameterChanges* changes, Relaxed<int>& processorProgram)
        : processorProgram(processorProgram) {
        const int32_t available = changes ? changes->getParameterCount() : 0;
        for (int32_t i = 0; i < available && count < kMaxQueues; ++i)
            if (vst3::IParamValueQueue* queue = changes->getParameterData(i)) {
                queues[count] = {queue, queue->getParameterId(), 0, queue->getPointCount()};
                ++count;
            }
    }

    bool next(TimedEvent& event) override {
        for (;;) {
            Queue* earliest = nullptr;
            int32_t earliestOffset = 0;
            for (int q = 0; q < count; ++q) {
                Queue& queue = queues[q];
                if (queue.next >= queue.points) continue;
                const int32_t offset = offsetOf(queue);
                if (!earliest || offset < earliestOffset ||
                    (offset == earliestOffset && earliest->id == vst3parameters::kMidiSpeed &&
                     queue.id != vst3parameters::kMidiSpeed)) {
                    earliest = &queue;
                    earliestOffset = offset;
                }
            }
            if (!earliest) return false;
            int32_t offset = 0;
            double value = 0.0;
            if (earliest->queue->getPoint(earliest->next++, offset, value) != vst3::kResultOk || value != value)
                continue;
            if (translate(earliest->id, value, earliestOffset, event)) return true;
        }
    }

private:
    struct Queue {
        vst3::IParamValueQueue* queue;
        vst3::ParamID id;
        int32_t next, points;
    };

    static int32_t offsetOf(Queue& queue) {
        int32_t offset = 0;
        double value = 0.0;
        queue.queue->getPoint(queue.next, offset, value);
        return offset > 0 ? offset : 0;
    }

    bool translate(vst3::ParamID id, double value, int32_t offset, TimedEvent& event) {
        event = TimedEvent{};
        event.frame = static_cast<uint32_t>(offset);
        event.normalized = value;
        if (vst3parameters::isTableParameter(id)) {
            event.kind = EventKind::Value;
            event.index = vst3parameters::rowOf(id);
        } else if (id == vst3parameters::kBypass) {
            event.kind = EventKind::Bypass;
        } else if (id == vst3parameters::kProgram) {
            event.kind = EventKind::Program;
            event.index = static_cast<int>(vst3parameters::toPlain(id, value));
            if (event.index == processorProgram) return false;
            processorProgram = event.index;
        } else if (id == vst3parameters::kMidiSpeed) {
            event.kind = EventKind::SpeedSwitch;
            event.normalized = vst3parameters::midiSpeedIsFast(value) ? 1.0 : 0.0;
        } else {
            return false;
        }
        return true;
    }

    Relaxed<int>& processorProgram;
    Queue queues[kMaxQueues];
    int count = 0;
};

// A MIDI speed switch reaches the host as the speed toggle's value at its offset.
class SwitchReport final : public ProcessReport {
public:
    explicit SwitchReport(vst3::IParameterChanges* out) : out(out) {}
    void speedSwitched(uint32_t frame, bool fast) override {
        int32_t index = 0;
        vst3::IParamValueQueue* queue =
            out ? out->addParameterData(vst3parameters::idOfRow(kSpeedToggle), index) : nullptr;
        if (queue) queue->addPoint(static_cast<int32_t>(frame), fast ? 1.0 : 0.0, index);
    }

private:
    vst3::IParameterChanges* out;
};

}  // namespace

const vst3::Uid Vst3Plugin::kClassId{vst3identity::kClassIdWords[0], vst3identity::kClassIdWords[1],
                                     vst3identity::kClassIdWords[2], vst3identity::kClassIdWords[3]};

// Sooner than a user notices a MIDI controller that does not yet switch.
constexpr uint64_t kAnnouncePeriodMs = 100;

Vst3Plugin::Vst3Plugin() = default;

Vst3Plugin::~Vst3Plugin() {
    if (handler) handler->release();
}

// --- FUnknown ---------------------------------------------------------------------

vst3::tresult Vst3Plugin::queryInterface(const vst3::TUID iid, void** object) {
    if (!object) return vst3::kInvalidArgument;
    auto* component = static_cast<vst3::IComponent*>(this);
    if (offer(iid, vst3::kFUnknownIid, component, object) || offer(iid, vst3::kIPluginBaseIid, component, object) ||
        offer(iid, vst3::kIComponentIid, component, object) ||
        offer(iid, vst3::kIAudioProcessorIid, static_cast<vst3::IAudioProcessor*>(this), object) ||
        offer(iid, vst3::kIEditControllerIid, static_cast<vst3::IEditController*>(this), object) ||
        offer(iid, vst3::kIMidiMappingIid, static_cast<vst3::IMidiMapping*>(this), object) ||
        offer(iid, vst3::kIUnitInfoIid, static_cast<vst3::IUnitInfo*>(this), object) ||
        offer(iid, vst3::kIProcessContextRequirementsIid, static_cast<vst3::IProcessContextRequirements*>(this),
              object) ||
        offer(iid, vst3::kITimerHandlerIid, static_cast<vst3::ITimerHandler*>(this), object))
        return vst3::kResultOk;
    *object = nullptr;
    return vst3::kNoInterface;
}

uint32_t Vst3Plugin::addRef() { return ++references; }

uint32_t Vst3Plugin::release() {
    const uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

vst3::tresult Vst3Plugin::initialize(vst3::FUnknown* context) {
    if (context && !runLoop &&
        context->queryInterface(vst3::kIRunLoopIid.bytes, reinterpret_cast<void**>(&runLoop)) != vst3::kResultOk)
        runLoop = nullptr;
    if (runLoop) runLoop->registerTimer(this, kAnnouncePeriodMs);
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::terminate() {
    if (runLoop) {
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
    setComponentHandler(nullptr);
    return vst3::kResultOk;
}

// --- Component --------------------------------------------------------------------

// The controller is this object itself: there is no class of its own.
vst3::tresult Vst3Plugin::getControllerClassId(vst3::TUID classId) {
    if (classId) std::memset(classId, 0, sizeof(vst3::TUID));
    return vst3::kNotImplemented;
}

vst3::tresult Vst3Plugin::setIoMode(int32_t) { return vst3::kResultOk; }

// One audio bus each way (stereo, or a mono input where the host arranged
// one) and one event input, for MIDI.
int32_t Vst3Plugin::getBusCount(int32_t type, int32_t dir) {
    if (type == vst3::kAudio) return 1;
    return type == vst3::kEvent && dir == vst3::kInput ? 1 : 0;
}

vst3::tresult Vst3Plugin::getBusInfo(int32_t type, int32_t dir, int32_t index, vst3::BusInfo& bus) {
    if (index != 0 || getBusCount(type, dir) == 0) return vst3::kInvalidArgument;
    bus = vst3::BusInfo{};
    bus.mediaType = type;
    bus.direction = dir;
    bus.channelCount = type == vst3::kEvent ? 16 : (dir == vst3::kInput && monoInput ? 1 : 2);
    bus.busType = vst3::kMain;
    bus.flags = vst3::BusInfo::kDefaultActive;
    vst3parameters::toUtf16(type == vst3::kEvent ? "MIDI" : dir == vst3::kInput ? "Input" : "Output", bus.name, 128);
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) { return vst3::kNotImplemented; }

vst3::tresult Vst3Plugin::activateBus(int32_t type, int32_t dir, int32_t index, vst3::TBool) {
    return index == 0 && getBusCount(type, dir) > 0 ? vst3::kResultOk : vst3::kInvalidArgument;
}

// As when a VST 2 host switches the effect on: the delay lines start silent.
vst3::tresult Vst3Plugin::setActive(vst3::TBool state) {
    if (state)
        instance.activate();
    else
        instance.deactivate();
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getState(vst3::IBStream* stream) {
    if (!stream) return vst3::kInvalidArgument;
    StreamSink sink(stream);
    return instance.save(sink) ? vst3::kResultFalse : vst3::kResultOk;
}

// Nothing changes unless the whole state is good; what follows it is left
// unread. The restored program is not loaded again when the host sends it.
vst3::tresult Vst3Plugin::setState(vst3::IBStream* stream) {
    if (!stream) return vst3::kInvalidArgument;
    StreamSource source(stream);
    if (instance.load(source, PluginInstance::After::Anything)) return vst3::kResultFalse;
    shownProgram = instance.program();
    processorProgram = instance.program();
    tellHost(vst3::kParamValuesChanged | vst3::kMidiCCAssignmentChanged);
    return vst3::kResultOk;
}

// --- Processor --------------------------------------------------------------------

// Stereo, or a mono input (heard as both channels, summed as stereo is), to
// stereo; the input bus then reports what was accepted.
vst3::tresult Vst3Plugin::setBusArrangements(vst3::SpeakerArrangement* inputs, int32_t numIns,
                                             vst3::SpeakerArrangement* outputs, int32_t numOuts) {
    const bool accepted = numIns == 1 && numOuts == 1 && inputs && outputs &&
                          (inputs[0] == vst3::kStereo || inputs[0] == vst3::kMono) && outputs[0] == vst3::kStereo;
    if (!accepted) return vst3::kResultFalse;
    monoInput = inputs[0] == vst3::kMono;
    return vst3::kResultTrue;
}

vst3::tresult Vst3Plugin::getBusArrangement(int32_t dir, int32_t index, vst3::SpeakerArrangement& arr) {
    if (index != 0 || (dir != vst3::kInput && dir != vst3::kOutput)) return vst3::kInvalidArgument;
    arr = dir == vst3::kInput && monoInput ? vst3::kMono : vst3::kStereo;
    return vst3::kResultOk;
}

// 32-bit samples only; hosts then convert 64-bit ones.
vst3::tresult Vst3Plugin::canProcessSampleSize(int32_t size) {
    return size == vst3::kSample32 ? vst3::kResultTrue : vst3::kResultFalse;
}

uint32_t Vst3Plugin::getLatencySamples() { return 0; }

uint32_t Vst3Plugin::getTailSamples() { return BandDelay::kSize; }

vst3::tresult Vst3Plugin::setupProcessing(vst3::ProcessSetup& setup) {
    if (setup.symbolicSampleSize != vst3::kSample32 || !isSupportedSampleRate(setup.sampleRate))
        return vst3::kResultFalse;
    instance.setSampleRate(setup.sampleRate);
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::setProcessing(vst3::TBool) { return vst3::kResultOk; }

// A mono input is heard on both channels; an input bus without buffers is
// silence. Without outputs the block's changes still act.
vst3::tresult Vst3Plugin::process(vst3::ProcessData& data) {
    if (data.symbolicSampleSize != vst3::kSample32) return vst3::kInvalidArgument;
    const int32_t frames = data.numSamples > 0 ? data.numSamples : 0;
    const vst3::AudioBusBuffers* in = data.numInputs > 0 ? data.inputs : nullptr;
    vst3::AudioBusBuffers* out = data.numOutputs > 0 ? data.outputs : nullptr;
    const bool output = frames > 0 && out && out->numChannels >= 2 && out->channelBuffers32 &&
                        out->channelBuffers32[0] && out->channelBuffers32[1];
    const bool input = in && in->numChannels >= 1 && in->channelBuffers32 && in->channelBuffers32[0] &&
                       (in->numChannels == 1 || in->channelBuffers32[1]);
    AudioBlock block{{nullptr, nullptr}, {nullptr, nullptr}, 0};
    if (output) {
        if (input) block.in[0] = in->channelBuffers32[0], block.in[1] = in->channelBuffers32[in->numChannels > 1 ? 1 : 0];
        block.out[0] = out->channelBuffers32[0];
        block.out[1] = out->channelBuffers32[1];
        block.frames = static_cast<uint32_t>(frames);
    }
    ChangeEvents events(data.inputParameterChanges, processorProgram);
    SwitchReport report(data.outputParameterChanges);
    const float speedKey = instance.normalized(kSpeedKey);
    const int program = processorProgram;
    instance.process(block, &events, &report);
    const int32_t owed = (instance.normalized(kSpeedKey) != speedKey ? vst3::kMidiCCAssignmentChanged : 0) |
                         (processorProgram != program ? vst3::kParamValuesChanged : 0);
    if (owed) unannounced.fetch_or(owed, std::memory_order_relaxed);
    if (!output) return vst3::kResultOk;
    sendReadings(data.outputParameterChanges, frames - 1);
    bool silent = true;
    for (int32_t i = 0; i < frames && silent; ++i) silent = block.out[0][i] == 0.0f && block.out[1][i] == 0.0f;
    out->silenceFlags = silent ? 3 : 0;
    return vst3::kResultOk;
}

// The rotors' readings go to the host at the block's last frame.
void Vst3Plugin::sendReadings(vst3::IParameterChanges* out, int32_t frame) {
    if (!out) return;
    for (int r = 0; r < kNumCabinetReadings; ++r) {
        const vst3::ParamID id = vst3parameters::kFirstReading + r;
        int32_t index = 0;
        if (vst3::IParamValueQueue* queue = out->addParameterData(id, index))
            queue->addPoint(frame, vst3parameters::toNormalized(id, instance.reading(r)), index);
    }
}

// --- Controller -------------------------------------------------------------------

// The host hands the controller the component's state, which this object
// has already taken as the component.
vst3::tresult Vst3Plugin::setComponentState(vst3::IBStream* state) { return state ? vst3::kResultOk : vst3::kInvalidArgument; }

int32_t Vst3Plugin::getParameterCount() { return vst3parameters::kCount; }

vst3::tresult Vst3Plugin::getParameterInfo(int32_t index, vst3::ParameterInfo& info) {
    return vst3parameters::describe(index, info) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult Vst3Plugin::getParamStringByValue(vst3::ParamID id, vst3::ParamValue value, vst3::String128 string) {
    char text[128];
    if (!string || !vst3parameters::text(id, value, text, sizeof text)) return vst3::kInvalidArgument;
    vst3parameters::toUtf16(text, string, 128);
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getParamValueByString(vst3::ParamID id, vst3::char16* string, vst3::ParamValue& value) {
    char text[128];
    vst3parameters::fromUtf16(string, text, sizeof text);
    return string && vst3parameters::parse(id, text, value) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::ParamValue Vst3Plugin::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue value) {
    return vst3parameters::toPlain(id, value);
}

vst3::ParamValue Vst3Plugin::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plain) {
    return vst3parameters::toNormalized(id, plain);
}

void Vst3Plugin::announceProcessorChanges() {
    if (const int32_t owed = unannounced.exchange(0, std::memory_order_relaxed)) tellHost(owed);
}

// The controller's calls come on the host's thread, where what the
// processor changed is told first.
vst3::ParamValue Vst3Plugin::getParamNormalized(vst3::ParamID id) {
    announceProcessorChanges();
    if (vst3parameters::isTableParameter(id)) return instance.normalized(vst3parameters::rowOf(id));
    if (id == vst3parameters::kBypass) return instance.bypassed() ? 1.0 : 0.0;
    if (id == vst3parameters::kProgram) return vst3parameters::toNormalized(id, shownProgram);
    if (vst3parameters::isReading(id))
        return vst3parameters::toNormalized(id, instance.reading(static_cast<int>(id - vst3parameters::kFirstReading)));
    return 0.0;
}

// The host's view of a value, for the editor; the sound follows the
// processor's changes. A new speed key changes the MIDI mapping; a new
// program, every value.
vst3::tresult Vst3Plugin::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
    announceProcessorChanges();
    if (!vst3parameters::isParameter(id) || value != value) return vst3::kInvalidArgument;
    if (vst3parameters::isTableParameter(id)) {
        const float before = instance.normalized(kSpeedKey);
        instance.showNormalized(vst3parameters::rowOf(id), static_cast<float>(value));
        if (before != instance.normalized(kSpeedKey)) tellHost(vst3::kMidiCCAssignmentChanged);
    } else if (id == vst3parameters::kBypass) {
        instance.setBypassed(value >= 0.5);
    } else if (id == vst3parameters::kProgram) {
        const int chosen = static_cast<int>(vst3parameters::toPlain(id, value));
        const float speedKey = instance.normalized(kSpeedKey);
        if (chosen != shownProgram && instance.showProgram(chosen)) {
            shownProgram = chosen;
            tellHost(vst3::kParamValuesChanged |
                     (instance.normalized(kSpeedKey) != speedKey ? vst3::kMidiCCAssignmentChanged : 0));
        }
    }
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::setComponentHandler(vst3::IComponentHandler* newHandler) {
    if (newHandler == handler) return vst3::kResultOk;
    if (newHandler) newHandler->addRef();
    if (handler) handler->release();
    handler = newHandler;
    return vst3::kResultOk;
}

void Vst3Plugin::tellHost(int32_t flags) {
    if (handler) handler->restartComponent(flags);
}

vst3::IPlugView* Vst3Plugin::createView(vst3::FIDString name) {
    if (!name || std::strcmp(name, vst3::kViewTypeEditor) != 0) return nullptr;
    if (!editor) editor.reset(new (std::nothrow) InstanceEditor(instance, *this));
    return editor ? new (std::nothrow) Vst3View(this) : nullptr;
}

bool Vst3Plugin::claimEditor(Vst3View* view) {
    if (editorView && editorView != view) return false;
    editorView = view;
    return true;
}

void Vst3Plugin::releaseEditor(Vst3View* view) {
    if (editorView == view) editorView = nullptr;
}

// The speed controller the speed key names, on the MIDI bus, any channel.
vst3::tresult Vst3Plugin::getMidiControllerAssignment(int32_t busIndex, int16_t, int16_t controller,
                                                      vst3::ParamID& id) {
    const SpeedKeyRow* key = speedKeyAt(static_cast<int>(instance.value(kSpeedKey)));
    if (busIndex != 0 || !key || key->controller < 0 || key->controller != controller) return vst3::kResultFalse;
    id = vst3parameters::kMidiSpeed;
    return vst3::kResultTrue;
}

// --- The editor's host calls ----------------------------------------------------------

// A new speed key changes the MIDI mapping.
void Vst3Plugin::announceChange(int index, float normalized) {
    if (handler) handler->performEdit(vst3parameters::idOfRow(index), normalized);
    if (index == kSpeedKey) tellHost(vst3::kMidiCCAssignmentChanged);
}

void Vst3Plugin::announceGesture(int index, bool begins) {
    if (!handler) return;
    if (begins)
        handler->beginEdit(vst3parameters::idOfRow(index));
    else
        handler->endEdit(vst3parameters::idOfRow(index));
}

// --- Units and the program list -------------------------------------------------------

int32_t Vst3Plugin::getUnitCount() { return 1; }

vst3::tresult Vst3Plugin::getUnitInfo(int32_t index, vst3::UnitInfo& info) {
    if (index != 0) return vst3::kInvalidArgument;
    info = vst3::UnitInfo{};
    info.id = vst3::kRootUnitId;
    info.parentUnitId = vst3::kNoParentUnitId;
    vst3parameters::toUtf16("Halvern", info.name, 128);
    info.programListId = vst3parameters::kFactoryPrograms;
    return vst3::kResultOk;
}

int32_t Vst3Plugin::getProgramListCount() { return 1; }

vst3::tresult Vst3Plugin::getProgramListInfo(int32_t index, vst3::ProgramListInfo& info) {
    if (index != 0) return vst3::kInvalidArgument;
    info = vst3::ProgramListInfo{};
    info.id = vst3parameters::kFactoryPrograms;
    vst3parameters::toUtf16("Factory programs", info.name, 128);
    info.programCount = PluginInstance::programCount();
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getProgramName(vst3::ProgramListID listId, int32_t index, vst3::String128 name) {
    if (listId != vst3parameters::kFactoryPrograms || index < 0 || index >= PluginInstance::programCount() || !name)
        return vst3::kInvalidArgument;
    char text[64];
    factoryPresetName(index, text, sizeof text);
    vst3parameters::toUtf16(text, name, 128);
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getProgramInfo(vst3::ProgramListID, int32_t, const char*, vst3::String128) {
    return vst3::kResultFalse;
}
vst3::tresult Vst3Plugin::hasProgramPitchNames(vst3::ProgramListID, int32_t) { return vst3::kResultFalse; }
vst3::tresult Vst3Plugin::getProgramPitchName(vst3::ProgramListID, int32_t, int16_t, vst3::String128) {
    return vst3::kResultFalse;
}
vst3::UnitID Vst3Plugin::getSelectedUnit() { return vst3::kRootUnitId; }
vst3::tresult Vst3Plugin::selectUnit(vst3::UnitID id) {
    return id == vst3::kRootUnitId ? vst3::kResultOk : vst3::kInvalidArgument;
}
vst3::tresult Vst3Plugin::getUnitByBus(int32_t, int32_t, int32_t, int32_t, vst3::UnitID& id) {
    id = vst3::kRootUnitId;
    return vst3::kResultOk;
}
vst3::tresult Vst3Plugin::setUnitProgramData(int32_t, int32_t, vst3::IBStream*) { return vst3::kNotImplemented; }
