// One key of the simulated registry. Shared by handles: a deleted key stays
// alive while handles refer to it and answers kErrorKeyDeleted.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_registry.h"

namespace tarn::sim {

struct SimRegistry::Key {
  using Values = std::vector<std::pair<Text, platform::RegValue>>;

  Text name;
  // In the order they were first set, as RegEnumValueW gives them.
  Values values;
  // Sorted ignoring case, as RegEnumKeyExW gives them.
  std::map<Text, std::shared_ptr<Key>, NameLess> subkeys;
  bool deleted = false;
  // Set on the root key of a loaded hive: the file it was loaded from.
  std::optional<Text> hiveFile;
  // The key's own access list; none when it was never set (the sim grants
  // every access regardless).
  std::optional<std::vector<platform::AccessEntry>> accessList;

  [[nodiscard]] Values::iterator FindValue(TextView valueName) {
    for (auto it = values.begin(); it != values.end(); ++it) {
      if (EqualsIgnoreCase(it->first, valueName)) return it;
    }
    return values.end();
  }

  // Replaces the value of that name (ignoring case, the stored name stays) or
  // appends a new one.
  void SetValue(TextView valueName, const platform::RegValue& value) {
    const auto it = FindValue(valueName);
    if (it != values.end()) {
      it->second = value;
    } else {
      values.emplace_back(Text(valueName), value);
    }
  }

  // Marks this key and everything below it deleted and drops the subkeys.
  void MarkDeleted() {
    deleted = true;
    for (auto& [subName, subkey] : subkeys) subkey->MarkDeleted();
    subkeys.clear();
    values.clear();
  }
};

}  // namespace tarn::sim
