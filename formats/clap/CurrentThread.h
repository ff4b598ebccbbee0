// A number that names the calling thread, read without a system call, so the
// audio thread can tell its own calls from the user interface's.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

// Never 0, which stands for "no thread".
inline uintptr_t currentThread() {
#if defined(_WIN32)
    return static_cast<uintptr_t>(GetCurrentThreadId());
#else
    return reinterpret_cast<uintptr_t>(reinterpret_cast<void*>(pthread_self()));
#endif
}
