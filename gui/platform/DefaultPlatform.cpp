// The backend an editor uses unless it is given another: the Windows one in
// Windows builds, the X11 one in builds with it, the headless raster one
// elsewhere.
#include "Platform.h"

#if defined(_WIN32)
#include "win32/Win32Platform.h"
using DefaultBackend = Win32Platform;
#elif defined(HALVERN_X11)
#include "x11/X11Platform.h"
using DefaultBackend = X11Platform;
#else
#include "raster/RasterPlatform.h"
using DefaultBackend = RasterPlatform;
#endif

namespace platform {

std::unique_ptr<Platform> createDefaultPlatform() { return std::make_unique<DefaultBackend>(); }

}  // namespace platform
