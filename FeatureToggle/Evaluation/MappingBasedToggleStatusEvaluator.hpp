#pragma once

#include <functional>

#include "FeatureToggle/Evaluation/ToggleStatusEvaluator.hpp"
#include "FeatureToggle/FeatureToggleExport.hpp"
#include "ZelkRoot/Containers.hpp"
#include "ZelkRoot/Templates.hpp"

namespace FeatureToggle {

// An evaluator holding an explicit table of identity to status. Entries are kept in the order
// they were added; removing one moves the last entry into its place. Derived evaluators fill it.
class FEATURETOGGLE_EXPORT MappingBasedToggleStatusEvaluator : public ToggleStatusEvaluator {
public:
    MappingBasedToggleStatusEvaluator();
    MappingBasedToggleStatusEvaluator(const MappingBasedToggleStatusEvaluator& other);
    MappingBasedToggleStatusEvaluator(MappingBasedToggleStatusEvaluator&& other) noexcept;
    // Copies the source completely before touching this table: a failed copy changes nothing.
    MappingBasedToggleStatusEvaluator& operator=(const MappingBasedToggleStatusEvaluator& other);
    MappingBasedToggleStatusEvaluator& operator=(MappingBasedToggleStatusEvaluator&& other) noexcept;
    ~MappingBasedToggleStatusEvaluator() override;

    Zelk::Optional<ToggleStatus> EvaluateToggleStatus(const ToggleId& id) const override;

    bool Contains(const ToggleId& id) const;
    // Calls `callback` for every entry, in entry order. It must not change this table.
    void EnumerateMappedToggleIds(const std::function<void(const ToggleId&, ToggleStatus)>& callback) const;

protected:
    // Adds the entry unless the identity is already mapped; an existing entry stays as it is.
    void Add(const ToggleId& id, ToggleStatus status);
    // The same, taking over `id` instead of cloning its identity once more.
    void Add(ToggleId&& id, ToggleStatus status);
    // Contains and then Add with one look-up of the identity, for an evaluator that checks more
    // between the two. The table must not change in between.
    using LookUp = Zelk::HashTable<ToggleId, ToggleStatus>::LookUp;
    LookUp LookUpForAdd(const ToggleId& id) const;
    void Add(ToggleId&& id, ToggleStatus status, const LookUp& lookUp);
    // Removes the identity's entry, if any.
    void Remove(const ToggleId& id);

private:
    Zelk::HashTable<ToggleId, ToggleStatus> mapping;
};

}  // namespace FeatureToggle
