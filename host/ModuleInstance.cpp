#include "ModuleInstance.h"

#include <atomic>

static std::atomic<void*> instanceHandle{nullptr};

void* moduleInstance() { return instanceHandle.load(std::memory_order_relaxed); }
void setModuleInstance(void* instance) { instanceHandle.store(instance, std::memory_order_relaxed); }
