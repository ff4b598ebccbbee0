// The backend an editor uses unless it is given another: the Windows one in
// Windows builds, the headless raster one elsewhere.
#include "Platform.h"

#if defined(_WIN32)
#include "win32/Win32Platform.h"
using DefaultBackend = Win32Platform;
#else
#include "raster/RasterPlatform.h"
using DefaultBackend = RasterPlatform;
#endif

namespace platform {

std::unique_ptr<Platform> createDefaultPlatform() { return std::make_unique<DefaultBackend>(); }

}  // namespace platform
