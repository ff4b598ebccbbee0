// The built CLAP plug-in for the CLAP harnesses, loaded once. Each harness
// loads it from LLVMFuzzerInitialize, before fuzzing starts, so that the
// plug-in's code counts for coverage from the first input.
#pragma once

#include <cstdlib>

#include "ClapTestHost.h"

inline ClapLibrary& loadedClapLibrary() {
    static ClapLibrary library(HALVERN_CLAP_PATH);
    if (!library.factory) std::abort();
    return library;
}
