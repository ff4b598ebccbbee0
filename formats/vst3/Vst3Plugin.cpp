#include "Vst3Plugin.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "BandDelay.h"
#include "SettingsRecord.h"
#include "Vst3Identity.h"
#include "Vst3View.h"

namespace {

// The dry signal fades in and out over 10 ms when the bypass moves.
constexpr double kBypassFadeSeconds = 0.010;
// The dry copy is made in pieces of this many frames.
constexpr int32_t kDryFrames = 1024;
// The most parameter queues one block's changes are read from.
constexpr int kMaxQueues = 64;

template <class Interface>
bool offer(const vst3::TUID iid, const vst3::Uid& id, Interface* self, void** object) {
    if (!(id == iid)) return false;
    self->addRef();
    *object = self;
    return true;
}

}  // namespace

const vst3::Uid Vst3Plugin::kClassId{vst3identity::kClassIdWords[0], vst3identity::kClassIdWords[1],
                                     vst3identity::kClassIdWords[2], vst3identity::kClassIdWords[3]};

Vst3Plugin::Vst3Plugin() : dryLeft(new float[kDryFrames]), dryRight(new float[kDryFrames]), editor(this) {
    for (int i = 0; i < kNumCabinetParameters; ++i) normalizedValues[i] = kCabinetParameters[i].defaultNormalized();
}

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
              object))
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

vst3::tresult Vst3Plugin::initialize(vst3::FUnknown*) { return vst3::kResultOk; }

vst3::tresult Vst3Plugin::terminate() {
    setComponentHandler(nullptr);
    return vst3::kResultOk;
}

// --- Component --------------------------------------------------------------------

// The controller is this object itself: there is no class of its own.
vst3::tresult Vst3Plugin::getControllerClassId(vst3::TUID) { return vst3::kResultFalse; }

vst3::tresult Vst3Plugin::setIoMode(int32_t) { return vst3::kResultOk; }

// One stereo audio bus each way and one event input, for MIDI.
int32_t Vst3Plugin::getBusCount(int32_t type, int32_t dir) {
    if (type == vst3::kAudio) return 1;
    return type == vst3::kEvent && dir == vst3::kInput ? 1 : 0;
}

vst3::tresult Vst3Plugin::getBusInfo(int32_t type, int32_t dir, int32_t index, vst3::BusInfo& bus) {
    if (index != 0 || getBusCount(type, dir) == 0) return vst3::kInvalidArgument;
    bus = vst3::BusInfo{};
    bus.mediaType = type;
    bus.direction = dir;
    bus.channelCount = type == vst3::kAudio ? 2 : 16;
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
    if (state) core.clearDelays();
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getState(vst3::IBStream* stream) {
    if (!stream) return vst3::kInvalidArgument;
    settingsrecord::Values values;
    for (size_t i = 0; i < values.size(); ++i) values[i] = kCabinetParameters[i].toValue(normalizedValues[i]);
    settingsrecord::Bytes bytes = settingsrecord::encode(values);
    for (size_t written = 0; written < bytes.size();) {
        int32_t n = 0;
        if (stream->write(bytes.data() + written, static_cast<int32_t>(bytes.size() - written), &n) !=
                vst3::kResultOk ||
            n <= 0)
            return vst3::kResultFalse;
        written += static_cast<size_t>(n);
    }
    return vst3::kResultOk;
}

// The stream is read to its end (one byte more than a record may hold, so a
// longer one is seen); nothing changes unless the whole record is good.
vst3::tresult Vst3Plugin::setState(vst3::IBStream* stream) {
    if (!stream) return vst3::kInvalidArgument;
    uint8_t bytes[settingsrecord::kSize + 1];
    size_t size = 0;
    while (size < sizeof bytes) {
        int32_t n = 0;
        if (stream->read(bytes + size, static_cast<int32_t>(sizeof bytes - size), &n) != vst3::kResultOk) break;
        if (n <= 0 || static_cast<size_t>(n) > sizeof bytes - size) break;
        size += static_cast<size_t>(n);
    }
    settingsrecord::Values values;
    if (settingsrecord::decode(bytes, size, values)) return vst3::kResultFalse;
    for (size_t i = 0; i < values.size(); ++i)
        setTableValue(static_cast<int>(i), kCabinetParameters[i].toNormalized(static_cast<float>(values[i])));
    tellHost(vst3::kParamValuesChanged | vst3::kMidiCCAssignmentChanged);
    return vst3::kResultOk;
}

// --- Processor --------------------------------------------------------------------

// Stereo, or a mono input (heard as both channels, summed as stereo is), to stereo.
vst3::tresult Vst3Plugin::setBusArrangements(vst3::SpeakerArrangement* inputs, int32_t numIns,
                                             vst3::SpeakerArrangement* outputs, int32_t numOuts) {
    const bool accepted = numIns == 1 && numOuts == 1 && inputs && outputs &&
                          (inputs[0] == vst3::kStereo || inputs[0] == vst3::kMono) && outputs[0] == vst3::kStereo;
    return accepted ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult Vst3Plugin::getBusArrangement(int32_t, int32_t index, vst3::SpeakerArrangement& arr) {
    if (index != 0) return vst3::kInvalidArgument;
    arr = vst3::kStereo;
    return vst3::kResultOk;
}

// 32-bit samples only; hosts then convert 64-bit ones.
vst3::tresult Vst3Plugin::canProcessSampleSize(int32_t size) {
    return size == vst3::kSample32 ? vst3::kResultTrue : vst3::kResultFalse;
}

uint32_t Vst3Plugin::getLatencySamples() { return 0; }

uint32_t Vst3Plugin::getTailSamples() { return BandDelay::kSize; }

vst3::tresult Vst3Plugin::setupProcessing(vst3::ProcessSetup& setup) {
    if (setup.symbolicSampleSize != vst3::kSample32 || !SpeakerCore::isUsableSampleRate(setup.sampleRate))
        return vst3::kResultFalse;
    core.setSampleRate(static_cast<float>(setup.sampleRate));
    bypassStep = 1.0 / (kBypassFadeSeconds * setup.sampleRate);
    if (!(bypassStep > 0.0 && bypassStep <= 1.0)) bypassStep = 1.0;
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::setProcessing(vst3::TBool) { return vst3::kResultOk; }

// A run of frames through the core, with the dry signal mixed in while the
// bypass is on or fading.
void Vst3Plugin::runPiece(const float* inL, const float* inR, float* outL, float* outR, int32_t frames) {
    const double target = bypassed.load() >= 0.5f ? 1.0 : 0.0;
    if (bypassMix == 0.0 && target == 0.0) {
        core.beginBlock();
        core.processStretch(inL, inR, outL, outR, frames, true);
        return;
    }
    for (int32_t start = 0; start < frames; start += kDryFrames) {
        const int32_t n = frames - start < kDryFrames ? frames - start : kDryFrames;
        std::memcpy(dryLeft.get(), inL + start, sizeof(float) * n);
        std::memcpy(dryRight.get(), inR + start, sizeof(float) * n);
        core.beginBlock();
        core.processStretch(inL + start, inR + start, outL + start, outR + start, n, true);
        for (int32_t i = 0; i < n; ++i) {
            if (bypassMix < target)
                bypassMix = bypassMix + bypassStep < target ? bypassMix + bypassStep : target;
            else if (bypassMix > target)
                bypassMix = bypassMix - bypassStep > target ? bypassMix - bypassStep : target;
            if (bypassMix == 1.0) {  // the dry signal as it came in
                outL[start + i] = dryLeft[i];
                outR[start + i] = dryRight[i];
                continue;
            }
            outL[start + i] = static_cast<float>(outL[start + i] + bypassMix * (dryLeft[i] - outL[start + i]));
            outR[start + i] = static_cast<float>(outR[start + i] + bypassMix * (dryRight[i] - outR[start + i]));
        }
    }
}

// A parameter change from the host at `offset`: a table value, the bypass,
// a program, or the mapped MIDI speed controller, whose switch the host
// hears back as the speed toggle's value at the same offset.
bool Vst3Plugin::applyChange(vst3::ParamID id, double value, int32_t offset, vst3::IParameterChanges* out) {
    if (vst3parameters::isTableParameter(id)) {
        setTableValue(static_cast<int>(id), static_cast<float>(value));
    } else if (id == vst3parameters::kBypass) {
        bypassed = value >= 0.5 ? 1.0f : 0.0f;
    } else if (id == vst3parameters::kProgram) {
        loadProgram(static_cast<int>(vst3parameters::toPlain(id, value)));
    } else if (id == vst3parameters::kMidiSpeed) {
        const bool fast = vst3parameters::midiSpeedIsFast(value);
        if (!core.switchSpeed(fast)) return true;
        normalizedValues[kSpeedToggle] = fast ? 1.0f : 0.0f;
        editor.setParameter(kSpeedToggle, normalizedValues[kSpeedToggle]);
        int32_t index = 0;
        vst3::IParamValueQueue* queue = out ? out->addParameterData(kSpeedToggle, index) : nullptr;
        if (queue) queue->addPoint(offset, fast ? 1.0 : 0.0, index);
    }
    return true;
}

// The block, cut at every change's offset; the changes at one offset act
// together, the MIDI speed switch after the others. An offset before the
// last cut acts there, one past the block at its last frame.
vst3::tresult Vst3Plugin::process(vst3::ProcessData& data) {
    if (data.symbolicSampleSize != vst3::kSample32) return vst3::kInvalidArgument;
    const int32_t frames = data.numSamples > 0 ? data.numSamples : 0;
    const int32_t lastFrame = frames > 0 ? frames - 1 : 0;
    vst3::IParamValueQueue* queues[kMaxQueues];
    int32_t next[kMaxQueues], counts[kMaxQueues];
    int queueCount = 0;
    if (vst3::IParameterChanges* changes = data.inputParameterChanges) {
        const int32_t available = changes->getParameterCount();
        for (int32_t i = 0; i < available && queueCount < kMaxQueues; ++i)
            if (vst3::IParamValueQueue* queue = changes->getParameterData(i)) {
                queues[queueCount] = queue;
                next[queueCount] = 0;
                counts[queueCount++] = queue->getPointCount();
            }
    }
    const vst3::AudioBusBuffers* in = data.numInputs > 0 ? data.inputs : nullptr;
    vst3::AudioBusBuffers* out = data.numOutputs > 0 ? data.outputs : nullptr;
    const bool audio = frames > 0 && in && out && in->numChannels >= 1 && out->numChannels >= 2 &&
                       in->channelBuffers32 && out->channelBuffers32 && in->channelBuffers32[0] &&
                       (in->numChannels == 1 || in->channelBuffers32[1]) && out->channelBuffers32[0] &&
                       out->channelBuffers32[1];
    const float* inL = audio ? in->channelBuffers32[0] : nullptr;
    const float* inR = audio ? in->channelBuffers32[in->numChannels > 1 ? 1 : 0] : nullptr;
    float* outL = audio ? out->channelBuffers32[0] : nullptr;
    float* outR = audio ? out->channelBuffers32[1] : nullptr;

    int32_t done = 0;
    auto offsetOf = [&](int q) {
        int32_t offset = 0;
        double value = 0.0;
        queues[q]->getPoint(next[q], offset, value);
        return offset < done ? done : (offset > lastFrame ? lastFrame : offset);
    };
    for (;;) {
        int32_t at = INT32_MAX;
        for (int q = 0; q < queueCount; ++q)
            if (next[q] < counts[q]) at = std::min(at, offsetOf(q));
        if (at == INT32_MAX) break;
        if (audio && at > done) runPiece(inL + done, inR + done, outL + done, outR + done, at - done);
        done = at > done ? at : done;
        for (bool midiPass : {false, true})
            for (int q = 0; q < queueCount; ++q) {
                const bool isMidi = queues[q]->getParameterId() == vst3parameters::kMidiSpeed;
                while (isMidi == midiPass && next[q] < counts[q] && offsetOf(q) == at) {
                    int32_t offset = 0;
                    double value = 0.0;
                    if (queues[q]->getPoint(next[q]++, offset, value) == vst3::kResultOk && value == value)
                        applyChange(queues[q]->getParameterId(), value, at, data.outputParameterChanges);
                }
            }
    }
    if (!audio) return vst3::kResultOk;
    if (frames > done) runPiece(inL + done, inR + done, outL + done, outR + done, frames - done);
    core.publishReadings();
    sendReadings(data.outputParameterChanges, frames - 1);
    hornPosition = core.hornPosition();
    drumPosition = core.drumPosition();
    bool silent = true;
    for (int32_t i = 0; i < frames && silent; ++i) silent = outL[i] == 0.0f && outR[i] == 0.0f;
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
            queue->addPoint(frame, vst3parameters::toNormalized(id, core.reading(r)), index);
    }
}

void Vst3Plugin::setTableValue(int index, float normalized) {
    const float clamped = normalized < 0.0f ? 0.0f : (normalized > 1.0f ? 1.0f : normalized);
    normalizedValues[index] = clamped;
    core.setParameter(index, kCabinetParameters[index].toValue(clamped));
    editor.setParameter(index, clamped);
}

// Every factory program holds the parameters' defaults.
void Vst3Plugin::loadProgram(int chosen) {
    if (chosen < 0 || chosen >= kSpeakerDescriptor.numPrograms) return;
    program = chosen;
    for (int i = 0; i < kNumCabinetParameters; ++i) setTableValue(i, kCabinetParameters[i].defaultNormalized());
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

vst3::ParamValue Vst3Plugin::getParamNormalized(vst3::ParamID id) {
    if (vst3parameters::isTableParameter(id)) return normalizedValues[id].load();
    if (id == vst3parameters::kBypass) return bypassed.load();
    if (id == vst3parameters::kProgram) return vst3parameters::toNormalized(id, program.load());
    if (vst3parameters::isReading(id))
        return vst3parameters::toNormalized(id, core.reading(static_cast<int>(id - vst3parameters::kFirstReading)));
    return 0.0;
}

// The host's view of a value, for the editor; the sound follows the
// processor's changes. A new speed key changes the MIDI mapping.
vst3::tresult Vst3Plugin::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
    if (!vst3parameters::isParameter(id) || value != value) return vst3::kInvalidArgument;
    if (vst3parameters::isTableParameter(id)) {
        const float before = normalizedValues[id].load();
        const float clamped = static_cast<float>(value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value));
        normalizedValues[id] = clamped;
        editor.setParameter(static_cast<int>(id), clamped);
        if (id == kSpeedKey && before != clamped) tellHost(vst3::kMidiCCAssignmentChanged);
    } else if (id == vst3parameters::kBypass) {
        bypassed = value >= 0.5 ? 1.0f : 0.0f;
    } else if (id == vst3parameters::kProgram) {
        const int chosen = static_cast<int>(vst3parameters::toPlain(id, value));
        if (chosen != program.load()) {
            program = chosen;
            for (int i = 0; i < kNumCabinetParameters; ++i) normalizedValues[i] = kCabinetParameters[i].defaultNormalized();
            tellHost(vst3::kParamValuesChanged);
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
    return new (std::nothrow) Vst3View(this);
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
    const SpeedKeyRow* key = speedKeyAt(static_cast<int>(kCabinetParameters[kSpeedKey].toValue(normalizedValues[kSpeedKey])));
    if (busIndex != 0 || !key || key->controller < 0 || key->controller != controller) return vst3::kResultFalse;
    id = vst3parameters::kMidiSpeed;
    return vst3::kResultTrue;
}

// --- The editor's controller --------------------------------------------------------

float Vst3Plugin::parameter(int index) {
    return index >= 0 && index < kNumCabinetParameters ? normalizedValues[index].load() : 0.0f;
}

// The host hears the change and sends it to the processor, which here is
// this object: the sound follows at the next block.
void Vst3Plugin::changeParameter(int index, float normalized) {
    if (index < 0 || index >= kNumCabinetParameters) return;
    normalizedValues[index] = normalized;
    if (handler) handler->performEdit(static_cast<vst3::ParamID>(index), normalized);
}

void Vst3Plugin::beginGesture(int index) {
    if (handler) handler->beginEdit(static_cast<vst3::ParamID>(index));
}

void Vst3Plugin::endGesture(int index) {
    if (handler) handler->endEdit(static_cast<vst3::ParamID>(index));
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
    info.programCount = kSpeakerDescriptor.numPrograms;
    return vst3::kResultOk;
}

vst3::tresult Vst3Plugin::getProgramName(vst3::ProgramListID listId, int32_t index, vst3::String128 name) {
    if (listId != vst3parameters::kFactoryPrograms || index < 0 || index >= kSpeakerDescriptor.numPrograms || !name)
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
