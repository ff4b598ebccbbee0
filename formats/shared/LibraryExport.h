// How a plug-in library marks the symbols hosts look up.
#pragma once

#if defined(_WIN32)
#define HALVERN_EXPORT extern "C" __declspec(dllexport)
#else
#define HALVERN_EXPORT extern "C" __attribute__((visibility("default")))
#endif
