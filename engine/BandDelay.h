// Two circular buffers, one per band, that share one write position. They
// are allocated once at construction and never resized.
#pragma once

#include <cstdint>
#include <memory>

struct BandDelay {
    static constexpr int32_t kSize = 4096;

    int32_t bufferSize = 0;
    int32_t writeIndex = 0;
    std::unique_ptr<float[]> hornBuffer;
    std::unique_ptr<float[]> drumBuffer;

    void allocate() {
        hornBuffer.reset(new float[kSize]);
        drumBuffer.reset(new float[kSize]);
        bufferSize = kSize;
        clear();
    }

    void clear() {
        for (int32_t i = 0; i < bufferSize; ++i) hornBuffer[i] = drumBuffer[i] = 0.0f;
        writeIndex = 0;
    }

    void release() {
        hornBuffer.reset();
        drumBuffer.reset();
        bufferSize = 0;
    }
};
