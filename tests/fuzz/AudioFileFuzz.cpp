// The render tool's reading of an audio file, on any bytes: it either
// reads some audio, within its bound, or refuses with a reason; it never
// crashes, and never allocates what a header merely claims.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/halvern-audio-fuzz-" + std::to_string(getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    StereoAudio audio;
    std::string error;
    if (readAudio(path, audio, error)) {
        if (audio.left.empty() || audio.left.size() != audio.right.size() ||
            audio.left.size() > static_cast<size_t>(kMaxAudioFrames))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
