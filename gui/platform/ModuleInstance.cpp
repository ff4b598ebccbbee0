#include "ModuleInstance.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<void*> instanceHandle{nullptr};

}  // namespace

void* moduleInstance() { return instanceHandle.load(std::memory_order_relaxed); }
void setModuleInstance(void* instance) { instanceHandle.store(instance, std::memory_order_relaxed); }

}  // namespace platform
