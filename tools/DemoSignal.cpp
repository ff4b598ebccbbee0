#include "DemoSignal.h"

#include <cmath>

std::vector<float> organChord(double seconds, double sampleRate) {
    constexpr double kPi = 3.14159265358979323846;
    // A C major chord over two octaves.
    const double notes[] = {130.81, 164.81, 196.00, 261.63, 329.63};
    // Tone-wheel style harmonics: fundamental, octave, twelfth, fifteenth and
    // a little of the higher footages.
    const double harmonics[] = {1, 2, 3, 4, 6, 8};
    const double weights[] = {1.0, 0.7, 0.5, 0.35, 0.2, 0.15};
    const long frames = static_cast<long>(seconds * sampleRate);
    const double attack = 0.02 * sampleRate, release = 0.3 * sampleRate;
    std::vector<float> signal(static_cast<size_t>(frames));
    for (long i = 0; i < frames; ++i) {
        const double t = i / sampleRate;
        double sum = 0.0;
        for (double note : notes)
            for (int h = 0; h < 6; ++h) sum += weights[h] * std::sin(2 * kPi * note * harmonics[h] * t);
        double envelope = 1.0;
        if (i < attack) envelope = i / attack;
        if (frames - i < release) envelope = (frames - i) / release;
        signal[static_cast<size_t>(i)] = static_cast<float>(0.045 * envelope * sum);
    }
    return signal;
}
