#include "PluginInstance.h"

#include <cmath>
#include <cstring>

#include "SettingsRecord.h"

static_assert(kNumCabinetParameters + 2 <= 64, "one posted bit per parameter, a noted rate and a bypass jump");

namespace {

bool isTableIndex(int index) { return index >= 0 && index < kNumCabinetParameters; }

float unitRange(double normalized) {
    return static_cast<float>(normalized < 0.0 ? 0.0 : (normalized > 1.0 ? 1.0 : normalized));
}

// Silence for a block whose host gave no input, in pieces of this many frames.
const float kSilence[BypassFade::kPiece] = {};

}  // namespace

PluginInstance::PluginInstance(ChangeStyle style) : core(style) {
    for (int i = 0; i < kNumCabinetParameters; ++i) normalizedValues[i] = kCabinetParameters[i].defaultNormalized();
}

// --- Values -----------------------------------------------------------------------

float PluginInstance::normalized(int index) const { return isTableIndex(index) ? normalizedValues[index].load() : 0.0f; }

float PluginInstance::value(int index) const {
    return isTableIndex(index) ? kCabinetParameters[index].toValue(normalizedValues[index]) : 0.0f;
}

void PluginInstance::setNormalized(int index, float normalized) {
    if (!isTableIndex(index) || std::isnan(normalized)) return;
    store(index, unitRange(normalized));
    applyWhileIdle();
}

void PluginInstance::showNormalized(int index, float normalized) {
    if (!isTableIndex(index) || std::isnan(normalized)) return;
    normalizedValues[index] = unitRange(normalized);
    if (ValueObserver* observer = valueObserver.load()) observer->valueChanged(index, normalizedValues[index]);
}

// The value is stored before its bit is posted, so whoever takes the bit
// reads this value or a later one.
void PluginInstance::store(int index, float normalized) {
    normalizedValues[index] = normalized;
    posted.post(index);
    if (ValueObserver* observer = valueObserver.load()) observer->valueChanged(index, normalized);
}

void PluginInstance::applyPosted() {
    uint64_t bits = posted.take();
    if (bits >> kNotedRateBit & 1) core.noteSampleRate(notedRate);
    if (bits >> kBypassJumpBit & 1) fade.jumpTo(bypassed());
    for (bits &= (uint64_t{1} << kNumCabinetParameters) - 1; bits != 0; bits &= bits - 1) {
        int index = 0;
        while (!(bits >> index & 1)) ++index;
        core.setParameter(index, kCabinetParameters[index].toValue(normalizedValues[index]));
        runningStale = true;
    }
}

// Only this instance writes the coefficients, so the core's copy for the
// block is taken again only after it changed them.
void PluginInstance::refreshRunning() {
    if (!runningStale) return;
    core.beginBlock();
    runningStale = false;
}

// What stays posted when a block holds the core is that block's to apply.
void PluginInstance::applyWhileIdle() {
    if (processing.load(std::memory_order_acquire) || coreClaim.test_and_set(std::memory_order_acquire)) return;
    applyPosted();
    coreClaim.clear(std::memory_order_release);
}

// --- Programs and the settings record ---------------------------------------------

// Every factory program holds the parameters' defaults.
int PluginInstance::programCount() { return kSpeakerIdentity.programCount; }

bool PluginInstance::loadProgram(int chosen) {
    if (chosen < 0 || chosen >= programCount()) return false;
    storeProgram(chosen);
    applyWhileIdle();
    return true;
}

bool PluginInstance::showProgram(int chosen) {
    if (chosen < 0 || chosen >= programCount()) return false;
    currentProgram = chosen;
    for (int i = 0; i < kNumCabinetParameters; ++i) showNormalized(i, kCabinetParameters[i].defaultNormalized());
    return true;
}

void PluginInstance::storeProgram(int chosen) {
    currentProgram = chosen;
    for (int i = 0; i < kNumCabinetParameters; ++i) store(i, kCabinetParameters[i].defaultNormalized());
}

using settingsrecord::kExtrasSize;
using settingsrecord::kExtrasTag;

const char* PluginInstance::save(ByteSink& sink) const {
    settingsrecord::Values values;
    for (int i = 0; i < kNumCabinetParameters; ++i) values[i] = value(i);
    const settingsrecord::Bytes record = settingsrecord::encode(values);
    const uint32_t chosen = static_cast<uint32_t>(program());
    uint8_t bytes[settingsrecord::kSize + kExtrasSize];
    std::memcpy(bytes, record.data(), record.size());
    uint8_t* extras = bytes + record.size();
    std::memcpy(extras, kExtrasTag, 4);
    for (int b = 0; b < 4; ++b) extras[4 + b] = static_cast<uint8_t>(chosen >> (8 * b));
    extras[8] = bypassed() ? 1 : 0;
    for (size_t written = 0; written < sizeof bytes;) {
        const int64_t n = sink.write(bytes + written, sizeof bytes - written);
        if (n <= 0 || static_cast<uint64_t>(n) > sizeof bytes - written) return "the host's stream took no more bytes";
        written += static_cast<size_t>(n);
    }
    return nullptr;
}

// The header tells how long the record is; a header that starts none is
// decoded as it is, for the reason.
const char* PluginInstance::load(ByteSource& source, After after) {
    uint8_t bytes[settingsrecord::kSize + kExtrasSize + 1];
    size_t size = 0;
    auto readUpTo = [&](size_t wanted) {
        while (size < wanted) {
            const int64_t n = source.read(bytes + size, wanted - size);
            if (n == 0) return true;
            if (n < 0 || static_cast<uint64_t>(n) > wanted - size) return false;
            size += static_cast<size_t>(n);
        }
        return true;
    };
    if (!readUpTo(settingsrecord::kHeaderSize)) return "the host's stream reported an error";
    const size_t recordSize = size == settingsrecord::kHeaderSize ? settingsrecord::sizeOf(bytes) : 0;
    if (recordSize > 0 && !readUpTo(recordSize + kExtrasSize + (after == After::Nothing ? 1 : 0)))
        return "the host's stream reported an error";
    const size_t following = recordSize > 0 && size > recordSize ? size - recordSize : 0;
    const uint8_t* extras = bytes + recordSize;
    const bool hasExtras = following >= kExtrasSize && std::memcmp(extras, kExtrasTag, 4) == 0;
    uint32_t chosen = 0;
    for (int b = 0; hasExtras && b < 4; ++b) chosen |= static_cast<uint32_t>(extras[4 + b]) << (8 * b);
    settingsrecord::Values values;
    if (const char* why = settingsrecord::decode(bytes, size - following, values)) return why;
    if (after == After::Nothing && following > 0 && !(hasExtras && following == kExtrasSize))
        return following < kExtrasSize ? "it is truncated" : "it is longer than a state of its version";
    if (hasExtras && (chosen >= static_cast<uint32_t>(programCount()) || extras[8] > 1)) return "it is corrupt";
    // The record holds values within their ranges only.
    for (int i = 0; i < kNumCabinetParameters; ++i)
        store(i, kCabinetParameters[i].toNormalized(static_cast<float>(values[i])));
    if (hasExtras) {
        currentProgram = static_cast<int>(chosen);
        bypassOn = extras[8] != 0;
        posted.post(kBypassJumpBit);
    }
    applyWhileIdle();
    return nullptr;
}

// --- Activation -------------------------------------------------------------------

// Not processing, so no block holds the core for long: only a host that
// processes an inactive plug-in makes this wait for its block.
void PluginInstance::claimCore() {
    while (coreClaim.test_and_set(std::memory_order_acquire)) {
    }
}

void PluginInstance::setSampleRate(double rate) {
    claimCore();
    core.setSampleRate(static_cast<float>(rate));
    runningStale = true;
    fade.setRate(rate);
    coreClaim.clear(std::memory_order_release);
}

void PluginInstance::noteSampleRate(double rate) {
    notedRate = static_cast<float>(rate);
    posted.post(kNotedRateBit);
    applyWhileIdle();
}

void PluginInstance::activate() {
    claimCore();
    applyPosted();
    core.clearDelays();
    core.settleChanges();
    runningStale = true;
    fade.jumpTo(bypassed());
    coreClaim.clear(std::memory_order_release);
    processing.store(true, std::memory_order_release);
}

void PluginInstance::deactivate() {
    processing.store(false, std::memory_order_release);
    applyWhileIdle();
}

// --- Processing -------------------------------------------------------------------

void PluginInstance::process(const AudioBlock& block, EventSource* events, ProcessReport* report) {
    if (coreClaim.test_and_set(std::memory_order_acquire)) {
        for (float* out : block.out)
            if (out) std::memset(out, 0, sizeof(float) * block.frames);
        return;
    }
    applyPosted();
    refreshRunning();  // a MIDI message is read against the speed key in force
    uint32_t reached = 0;
    TimedEvent event;
    while (events && events->next(event)) {
        if (event.kind == EventKind::Midi && core.speedSwitchOf(event.midi, event.size) < 0) continue;
        const uint32_t at = event.frame < reached ? reached : (event.frame < block.frames ? event.frame : block.frames);
        runStretch(block, reached, at);
        reached = at;
        // A switch after the block's last frame is reported at that frame.
        actOn(event, at < block.frames || at == 0 ? at : at - 1, report);
    }
    runStretch(block, reached, block.frames);
    core.publishReadings();
    hornTurn = core.hornPosition();
    drumTurn = core.drumPosition();
    coreClaim.clear(std::memory_order_release);
}

// Whatever was posted meanwhile is applied with the event, so a MIDI switch
// meets the speed toggle as last set.
void PluginInstance::actOn(const TimedEvent& event, uint32_t frame, ProcessReport* report) {
    switch (event.kind) {
        case EventKind::Value:
            if (isTableIndex(event.index) && !std::isnan(event.normalized))
                store(event.index, unitRange(event.normalized));
            break;
        case EventKind::Bypass: bypassOn = event.normalized >= 0.5; break;
        case EventKind::Program:
            if (event.index >= 0 && event.index < programCount()) storeProgram(event.index);
            break;
        case EventKind::Midi:
        case EventKind::SpeedSwitch: break;
    }
    applyPosted();
    refreshRunning();
    if (event.kind == EventKind::Midi) switchSpeed(core.speedSwitchOf(event.midi, event.size) == 1, frame, report);
    if (event.kind == EventKind::SpeedSwitch) switchSpeed(event.normalized >= 0.5, frame, report);
}

void PluginInstance::switchSpeed(bool fast, uint32_t frame, ProcessReport* report) {
    if (!core.switchSpeed(fast)) return;
    normalizedValues[kSpeedToggle] = fast ? 1.0f : 0.0f;
    if (ValueObserver* observer = valueObserver.load()) observer->valueChanged(kSpeedToggle, fast ? 1.0f : 0.0f);
    if (report) report->speedSwitched(frame, fast);
}

void PluginInstance::runStretch(const AudioBlock& block, uint32_t from, uint32_t to) {
    if (to <= from) return;
    const bool silentInput = !block.in[0] || !block.in[1];
    if (!silentInput && !fade.isActive(bypassed())) {
        runPiece(block.in[0] + from, block.in[1] + from, block.out[0] + from, block.out[1] + from, to - from);
        return;
    }
    for (uint32_t start = from; start < to; start += BypassFade::kPiece) {
        const uint32_t n = to - start < BypassFade::kPiece ? to - start : BypassFade::kPiece;
        const float* left = silentInput ? kSilence : block.in[0] + start;
        const float* right = silentInput ? kSilence : block.in[1] + start;
        runPiece(left, right, block.out[0] + start, block.out[1] + start, n);
    }
}

// The dry input is kept before the core writes the outputs, which may be the inputs.
void PluginInstance::runPiece(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                              uint32_t frames) {
    const bool on = bypassed();
    const bool fading = fade.isActive(on);
    if (fading) fade.keepDry(inLeft, inRight, frames);
    refreshRunning();
    core.processStretch(inLeft, inRight, outLeft, outRight, static_cast<int>(frames));
    if (fading) fade.mixInto(outLeft, outRight, frames, on);
}
