// One Halvern plug-in in no plug-in format's terms: the sound core, the one
// store of parameter values, the bypass and its fade, the factory programs,
// the settings record's save and load, the rotor readings, and the
// scheduler that splits a block at its timed events. Each format's adapter
// translates its host's calls, events and records to these and back.
//
// Threads: only the thread that processes audio writes the core. A value
// set from any other thread is stored at once (and read back at once), and
// posted; the audio thread applies what was posted at its next block start,
// or at its next event. While the plug-in is not processing, the posting
// thread applies it itself, so a value set between activations is heard
// from the first block.
#pragma once

#include <atomic>
#include <cstdint>

#include "BypassFade.h"
#include "ByteStream.h"
#include "EditorHostCalls.h"
#include "PostedChanges.h"
#include "Relaxed.h"
#include "SampleRates.h"
#include "SpeakerCore.h"
#include "TimedEvent.h"

class PluginInstance {
public:
    // The style in which the sound follows changed settings (see ChangeStyle).
    explicit PluginInstance(ChangeStyle style);
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // --- Values, from any thread -------------------------------------------------
    // A table parameter's normalised value; an index off the table reads 0
    // and is ignored when set, NaN is ignored, anything else is clamped to [0, 1].
    float normalized(int index) const;
    void setNormalized(int index, float normalized);
    // A host's own view of a value, for a format whose host sends the sound
    // its changes separately: stored and shown, and heard only when the
    // host's change reaches a block.
    void showNormalized(int index, float normalized);
    // In the units the parameter shows.
    float value(int index) const;
    bool bypassed() const { return bypassOn.load(); }
    void setBypassed(bool on) { bypassOn = on; }
    // Told of every value change, on the thread that made it (a MIDI switch:
    // the audio thread). One observer; null for none.
    void observeValues(ValueObserver* observer) { valueObserver.store(observer); }

    // --- Factory programs -----------------------------------------------------------
    static int programCount();
    // The last program loaded (0 at first).
    int program() const { return currentProgram.load(); }
    // Loads a factory program's values; answers false for an index off the list.
    bool loadProgram(int program);
    // Shows them only, as showNormalized does.
    bool showProgram(int program);

    // --- The saved settings -----------------------------------------------------------
    // The settings record, the program and the bypass. Each answers null on
    // success, or why it failed (nothing loaded then). Loading reads the
    // record and, where nothing may follow it, one byte more, so a longer
    // stream is refused; or leaves what follows unread. A restored bypass is
    // heard at once, with no fade.
    enum class After { Nothing, Anything };
    const char* save(ByteSink& sink) const;
    const char* load(ByteSource& source, After after = After::Nothing);

    // --- Activation, on the host's main thread ----------------------------------------
    // The rate, while not processing; it must be one the plug-in runs at
    // (isSupportedSampleRate).
    void setSampleRate(double rate);
    // A rate the rotor positions follow from the next block on, while the
    // coefficients keep the one they were made for until the next value is
    // applied: what a host's call that sets the block size and rate together
    // means to the VST 2 effect. From any thread.
    void noteSampleRate(double rate);
    // Starts processing with silent delay lines and the bypass as it
    // stands, not fading; and stops.
    void activate();
    void deactivate();

    // --- A block, on the audio thread -------------------------------------------------
    // Events act at the first frame at or after their time, in the order the
    // source gives them: one timed behind a frame already processed acts at
    // the frame reached, one at or past the block's end acts after the
    // block's last frame. MIDI messages that do not switch the speed do not
    // cut the block.
    void process(const AudioBlock& block, EventSource* events, ProcessReport* report);
    // Silences the delay lines between blocks; the rotors keep turning.
    void reset() { core.clearDelays(); }

    // --- What the last block left, from any thread ------------------------------------
    // A rotor reading (see CabinetReading); 0 off the list.
    float reading(int index) const { return core.reading(index); }
    // The fraction of one animation turn of each rotor, in [0, 1).
    float hornPosition() const { return hornTurn.load(); }
    float drumPosition() const { return drumTurn.load(); }
    // The core, for measurements (its inspection) only.
    const SpeakerCore& speakerCore() const { return core; }
    // Runs the signal path on another of its builds. Off the audio thread.
    void useSegmentRunner(SegmentRunner runner) { core.useSegmentRunner(runner); }

private:
    // The bit posted for a noted rate, after the table's.
    static constexpr int kNotedRateBit = kNumCabinetParameters;
    // And one for a bypass restored without its fade.
    static constexpr int kBypassJumpBit = kNumCabinetParameters + 1;

    void store(int index, float normalized);
    void storeProgram(int program);
    void applyPosted();
    void refreshRunning();
    void applyWhileIdle();
    void claimCore();
    void runStretch(const AudioBlock& block, uint32_t from, uint32_t to);
    void runPiece(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t frames);
    void actOn(const TimedEvent& event, uint32_t frame, ProcessReport* report);
    void switchSpeed(bool fast, uint32_t frame, ProcessReport* report);

    SpeakerCore core;
    Relaxed<float> normalizedValues[kNumCabinetParameters];
    PostedChanges posted;
    Relaxed<float> notedRate{44100.0f};
    Relaxed<bool> bypassOn{false};
    Relaxed<int> currentProgram{0};
    std::atomic<ValueObserver*> valueObserver{nullptr};
    // Set while the host processes; while clear, a posting thread applies
    // its own change, holding `coreClaim` so no block runs meanwhile (a block
    // that finds the claim held, which only a host processing an inactive
    // plug-in can meet, is silence).
    std::atomic<bool> processing{false};
    std::atomic_flag coreClaim = ATOMIC_FLAG_INIT;
    BypassFade fade;  // audio thread
    bool runningStale = true;  // the core's copy of the coefficients for the block is older than they are
    Relaxed<float> hornTurn{0.0f}, drumTurn{0.0f};
};
