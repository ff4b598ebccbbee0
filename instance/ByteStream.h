// The host's stream a state is saved to or loaded from, as the plug-in
// instance sees it: each format's adapter wraps its own stream in one.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteSink {
public:
    // Writes up to `size` bytes; answers how many were taken, 0 or less
    // when the stream takes no more.
    virtual int64_t write(const uint8_t* bytes, size_t size) = 0;

protected:
    ~ByteSink() = default;
};

class ByteSource {
public:
    // Reads up to `size` bytes; answers how many, 0 at the end, below 0 for
    // an error.
    virtual int64_t read(uint8_t* bytes, size_t size) = 0;

protected:
    ~ByteSource() = default;
};
