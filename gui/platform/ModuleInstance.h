// The handle of the loaded plug-in library, handed to the toolkit by the
// library's load notification. The Win32 backend registers its window
// class, creates its windows and loads its bitmap resources through it.
// Null where the platform has no such handle.
#pragma once

namespace platform {

void* moduleInstance();
void setModuleInstance(void* instance);

}  // namespace platform
