// The backend the toolkit uses unless a program sets another: the Windows
// one in Windows builds, the headless raster one elsewhere.
#include "Platform.h"

#if defined(_WIN32)
#include "win32/Win32Platform.h"
using DefaultBackend = Win32Platform;
#else
#include "raster/RasterPlatform.h"
using DefaultBackend = RasterPlatform;
#endif

namespace platform {

static Platform* chosen = nullptr;

Platform& current() {
    if (!chosen) {
        static DefaultBackend backend;
        chosen = &backend;
    }
    return *chosen;
}

void setCurrent(Platform* backend) { chosen = backend; }

}  // namespace platform
