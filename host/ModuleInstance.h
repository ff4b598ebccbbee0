// The handle of the loaded plug-in library, stored when the system loads it.
// The GUI toolkit registers its window class, creates its windows and loads
// its bitmap resources through it. Null where the platform has no such handle.
#pragma once

void* moduleInstance();
void setModuleInstance(void* instance);
