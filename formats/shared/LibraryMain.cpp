// The plug-in libraries' load notification on Windows: it keeps the module
// handle, by which the editor finds its images among the library's resources.
#if defined(_WIN32)
#include <windows.h>

#include "platform/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    platform::setModuleInstance(instance);
    return TRUE;
}
#endif
