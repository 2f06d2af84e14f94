#include "FeatureToggle/Identity/ToggleIdData.hpp"
#include "ZelkRoot/Memory.hpp"

namespace FeatureToggle {

ToggleIdData::~ToggleIdData() = default;

// Payloads are made and freed by this library but may be released from any module, so they all
// live on the platform's heap rather than on one module's runtime heap.
void* ToggleIdData::operator new(std::size_t size) {
    return Zelk::MemoryManager::Allocate(size);
}

void ToggleIdData::operator delete(void* pointer) noexcept {
    Zelk::MemoryManager::Free(pointer);
}

}  // namespace FeatureToggle
