// The rotating-speaker sound for any plug-in format: the coefficients made
// from the parameters (in the units they show) and the sample rate, the
// signal state, and a block processed in stretches between speed switches.
// It knows no plug-in interface; each format's adapter drives it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "EngineState.h"
#include "RelaxedRecord.h"
#include "SegmentRunners.h"
#include "SpeakerDescriptor.h"

// How the sound follows a changed setting. Immediate: as the eight
// parameters always have, levels and speed limits at once. Smooth: the
// distortion, balance and separation glide, and a rotor outside moved
// limits rides its ramps back to them. Both glide the depths and the drive
// mode; with steady settings the two give the same samples.
enum class ChangeStyle { Immediate, Smooth };

class SpeakerCore {
public:
    // Parameters at their defaults, 44.1 kHz; the coefficients are made by
    // the first parameter or rate that is set.
    explicit SpeakerCore(ChangeStyle style = ChangeStyle::Immediate);
    ~SpeakerCore();
    SpeakerCore(const SpeakerCore&) = delete;
    SpeakerCore& operator=(const SpeakerCore&) = delete;

    // --- Parameters and rate, from any thread ----------------------------------
    // A parameter in the units it shows (a list's position, a whole percent),
    // recomputing what depends on it; an index off the table is ignored.
    void setParameter(int index, float value);
    float value(int index) const { return values[index]; }
    // The rate, and every coefficient made anew for it.
    void setSampleRate(float rate);
    // A rate the rotor positions follow at once, while the coefficients keep
    // the one they were made for until the next parameter change or
    // setSampleRate.
    void noteSampleRate(float rate);
    float sampleRate() const { return rate; }
    // Silences the delay lines and the band-limited saturators' memory; the
    // rotors keep their speed and phase.
    void clearDelays();
    // Every glide at its end at once: for a start from silence, where a
    // glide from settings that were never heard would only blur the new ones.
    // On the audio thread, or while no block runs.
    void settleChanges();

    // --- A block, on the audio thread -------------------------------------------
    // The coefficients as they are now serve the block's stretches, which
    // are processed in order; inputs and outputs may be the same arrays.
    void beginBlock();
    void processStretch(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);
    // The speed toggle changed within the block: its rotor coefficients
    // serve the stretches from now on.
    void rotorsChanged();
    // The block's MIDI controller that switches the speed, or -1 for none.
    int speedController() const { return running.speedController; }
    // What a MIDI message asks of the speed: 1 fast, 0 slow, -1 nothing (it
    // is not a control change of the speed controller).
    int speedSwitchOf(const uint8_t* bytes, size_t size) const;
    // Switches the speed between two stretches; answers whether it changed.
    bool switchSpeed(bool toFast);

    // The rotors' true angles and speeds (see CabinetReading) as they were
    // when publishReadings last ran, which the audio thread calls after a block.
    void publishReadings();
    float reading(int index) const {
        return static_cast<unsigned>(index) < kNumCabinetReadings ? readings[index].load() : 0.0f;
    }

    // Rotor positions for an editor: the fraction of one animation turn, in [0, 1).
    float hornPosition() const { return signal.hornPosition; }
    float drumPosition() const { return signal.drumPosition; }

    // What the core holds now, for tests and measurements.
    struct Inspection {
        SpeakerCoefficients coefficients;
        const SignalState& signal;
    };
    Inspection inspect() const { return {coefficients.load(), signal}; }
    // Runs the signal path on another of its builds (they give identical
    // samples; tests and the benchmark compare them). Off the audio thread.
    void useSegmentRunner(SegmentRunner runner) { segmentRunner = runner; }

private:
    void processSegment(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                        const SpeakerCoefficients& c);
    RotorCoefficients loadRotors() const;
    void updateCoefficients();
    void updateCoefficientsFor(int index);

    void updateFilter(SpeakerCoefficients& c, float rate);
    void updateRotors(RotorCoefficients& r, float rate);
    void updateTaps(SpeakerCoefficients& c, float rate);
    void updateLevels(SpeakerCoefficients& c);
    void updateSpeedController(SpeakerCoefficients& c);
    void updateGlideTargets(SpeakerCoefficients& c);
    void steerRotors(const RotorCoefficients& r);
    void startGlides(const SpeakerCoefficients& c);
    void followLevels();
    void stepLevels();

    SignalPath loadSignalPath(const SpeakerCoefficients& c) const;
    void storeSignalPath(const SignalPath& path);
    void advancePositions(int frames, const SpeakerCoefficients& c);

    Relaxed<float> values[kNumCabinetParameters];
    Relaxed<float> readings[kNumCabinetReadings] = {};
    Relaxed<float> rate{44100.0f};
    RelaxedRecord<SpeakerCoefficients> coefficients;
    SignalState signal;
    SpeakerCoefficients running{};  // the block's, on the audio thread (levels as heard)
    const ChangeStyle style;
    // The signal path built for this processor (chosen once, off the audio thread).
    SegmentRunner segmentRunner;
};
