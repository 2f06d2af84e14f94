#include "FeatureToggle/Evaluation/MappingBasedToggleStatusEvaluator.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Templates.hpp"

#include <utility>

namespace FeatureToggle {

MappingBasedToggleStatusEvaluator::MappingBasedToggleStatusEvaluator() = default;

MappingBasedToggleStatusEvaluator::MappingBasedToggleStatusEvaluator(
    const MappingBasedToggleStatusEvaluator& other) = default;

MappingBasedToggleStatusEvaluator::MappingBasedToggleStatusEvaluator(
    MappingBasedToggleStatusEvaluator&& other) noexcept
    : ToggleStatusEvaluator(other), mapping(std::move(other.mapping)) {
    // A moved-from table is only valid; make it empty so the source stays usable.
    other.mapping.Clear();
}

MappingBasedToggleStatusEvaluator& MappingBasedToggleStatusEvaluator::operator=(
    const MappingBasedToggleStatusEvaluator& other) {
    if (this != &other) {
        Zelk::HashTable<ToggleId, ToggleStatus> copy(other.mapping);
        std::swap(mapping, copy);
    }
    return *this;
}

MappingBasedToggleStatusEvaluator& MappingBasedToggleStatusEvaluator::operator=(
    MappingBasedToggleStatusEvaluator&& other) noexcept {
    if (this != &other) {
        mapping = std::move(other.mapping);
        other.mapping.Clear();
    }
    return *this;
}

MappingBasedToggleStatusEvaluator::~MappingBasedToggleStatusEvaluator() = default;

Zelk::Optional<ToggleStatus> MappingBasedToggleStatusEvaluator::EvaluateToggleStatus(
    const ToggleId& id) const {
    const ToggleStatus* const status = mapping.Get(id);
    if (status == nullptr) {
        return {};
    }
    return *status;
}

bool MappingBasedToggleStatusEvaluator::Contains(const ToggleId& id) const {
    return mapping.Contains(id);
}

void MappingBasedToggleStatusEvaluator::EnumerateMappedToggleIds(
    const std::function<void(const ToggleId&, ToggleStatus)>& callback) const {
    for (std::size_t index = 0; index < mapping.GetSize(); ++index) {
        callback(mapping.GetKeyAt(index), mapping.GetValueAt(index));
    }
}

void MappingBasedToggleStatusEvaluator::Add(const ToggleId& id, ToggleStatus status) {
    mapping.Add(id, status);
}

void MappingBasedToggleStatusEvaluator::Add(ToggleId&& id, ToggleStatus status) {
    mapping.Add(std::move(id), status);
}

MappingBasedToggleStatusEvaluator::LookUp MappingBasedToggleStatusEvaluator::LookUpForAdd(
    const ToggleId& id) const {
    return mapping.Find(id);
}

void MappingBasedToggleStatusEvaluator::Add(ToggleId&& id, ToggleStatus status, const LookUp& lookUp) {
    mapping.Add(std::move(id), status, lookUp);
}

void MappingBasedToggleStatusEvaluator::Remove(const ToggleId& id) {
    mapping.Remove(id);
}

}  // namespace FeatureToggle
