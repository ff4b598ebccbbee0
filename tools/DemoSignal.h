// The built-in demo: an organ-like chord, so the render host has something
// to play on a machine without audio files.
#pragma once

#include <vector>

// A sustained chord of `seconds` at `sampleRate`, the same on both channels,
// with a short attack and release.
std::vector<float> organChord(double seconds, double sampleRate);
