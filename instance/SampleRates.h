// The sample rates the plug-in runs at, in every format: from 8 kHz to
// 384 kHz. Below, the crossover and the rotors' oscillators leave their
// design; above, the longest microphone tap no longer fits its delay line.
// A format that can refuse a rate refuses the others.
#pragma once

constexpr double kLowestSampleRate = 8000.0;
constexpr double kHighestSampleRate = 384000.0;

// Also false for a rate that is no number.
inline bool isSupportedSampleRate(double rate) { return rate >= kLowestSampleRate && rate <= kHighestSampleRate; }
