// The plug-in libraries' load notification on Windows: it keeps the module
// handle, by which the editor finds its images among the library's resources.
#if defined(_WIN32)
#include <windows.h>

#include "ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    setModuleInstance(instance);
    return TRUE;
}
#endif
