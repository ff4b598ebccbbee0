// Reading and writing the render tool's audio files with libsndfile: mono
// or stereo in, stereo out in a chosen sample format, with a report of how
// far the output went past full scale.
#pragma once

#include <string>
#include <vector>

struct StereoAudio {
    std::vector<float> left, right;
    double sampleRate = 44100.0;
    bool floatingPoint = false;  // the file stored floating-point samples
};

// What the tool reads: at most 30 minutes at 48 kHz, at a rate a host could run.
constexpr long kMaxAudioFrames = 48000L * 60 * 30;
constexpr int kMinSampleRate = 1000, kMaxSampleRate = 768000;

// Reads a mono or stereo file (a mono one on both channels) to the end of
// its data. On failure answers false with a one-line reason: files of more
// channels, of a rate outside kMinSampleRate..kMaxSampleRate, of more than
// kMaxAudioFrames or of no audio at all are refused.
bool readAudio(const std::string& path, StereoAudio& audio, std::string& error);

enum class SampleFormat { Pcm16, Pcm24, Float };

struct OutputLevel {
    double peak = 0.0;  // largest magnitude, 1.0 being full scale
    long clipped = 0;   // samples an integer format had to clip
};

// Writes a stereo WAV file; integer formats clip what lies beyond full scale.
bool writeAudio(const std::string& path, const StereoAudio& audio, SampleFormat format, OutputLevel& level,
                std::string& error);
