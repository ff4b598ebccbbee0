#include "AudioFile.h"

#include <sndfile.h>

#include <cmath>

namespace {

constexpr sf_count_t kChunkFrames = 65536;

}  // namespace

// The header's frame count is not trusted (it may be wrong, or "unknown"):
// the file is read chunk by chunk to the end of its data, and what is kept
// is bounded by kMaxAudioFrames.
bool readAudio(const std::string& path, StereoAudio& audio, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    auto refuse = [&](const std::string& reason) {
        sf_close(file);
        error = path + reason;
        return false;
    };
    if (info.channels < 1 || info.channels > 2)
        return refuse(" has " + std::to_string(info.channels) + " channels; only mono and stereo files are rendered");
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate)
        return refuse(" has a sample rate of " + std::to_string(info.samplerate) + " Hz; the tool renders " +
                      std::to_string(kMinSampleRate) + " to " + std::to_string(kMaxSampleRate) + " Hz");
    audio.left.clear();
    audio.right.clear();
    std::vector<float> chunk(static_cast<size_t>(kChunkFrames * info.channels));
    for (;;) {
        const sf_count_t frames = sf_readf_float(file, chunk.data(), kChunkFrames);
        if (frames <= 0) break;
        if (static_cast<sf_count_t>(audio.left.size()) + frames > kMaxAudioFrames)
            return refuse(" holds more than " + std::to_string(kMaxAudioFrames) +
                          " frames; the tool renders at most that (30 minutes at 48 kHz)");
        for (sf_count_t i = 0; i < frames; ++i) {
            audio.left.push_back(chunk[static_cast<size_t>(i * info.channels)]);
            audio.right.push_back(chunk[static_cast<size_t>(i * info.channels + info.channels - 1)]);
        }
    }
    if (audio.left.empty()) return refuse(" holds no audio");
    sf_close(file);
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    audio.floatingPoint = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    audio.sampleRate = info.samplerate;
    return true;
}

bool writeAudio(const std::string& path, const StereoAudio& audio, SampleFormat format, OutputLevel& level,
                std::string& error) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (format == SampleFormat::Float   ? SF_FORMAT_FLOAT
                                   : format == SampleFormat::Pcm16 ? SF_FORMAT_PCM_16
                                                                   : SF_FORMAT_PCM_24);
    std::vector<float> interleaved(audio.left.size() * 2);
    level = {};
    for (size_t i = 0; i < audio.left.size(); ++i) {
        interleaved[2 * i] = audio.left[i];
        interleaved[2 * i + 1] = audio.right[i];
    }
    for (float v : interleaved) {
        const double magnitude = std::fabs(v);
        if (magnitude > level.peak) level.peak = magnitude;
        if (format != SampleFormat::Float && magnitude > 1.0) ++level.clipped;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t frames = static_cast<sf_count_t>(audio.left.size());
    const bool written = sf_writef_float(file, interleaved.data(), frames) == frames;
    if (sf_close(file) != 0 || !written) {
        error = "cannot write all of " + path;
        return false;
    }
    return true;
}
