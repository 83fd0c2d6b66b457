// The software catalogue: every entry of every software section in display
// order (pre-order; the depth is each entry's Level). The chain owns its
// records; the tree is implied by the levels (see catalogue_navigation.h).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "catalogue/software_entry.h"

namespace tarn::catalogue {

class SoftwareCatalogue {
 public:
  SoftwareCatalogue() = default;
  SoftwareCatalogue(const SoftwareCatalogue&) = delete;
  SoftwareCatalogue& operator=(const SoftwareCatalogue&) = delete;
  // A moved-from catalogue is empty.
  SoftwareCatalogue(SoftwareCatalogue&& other) noexcept;
  SoftwareCatalogue& operator=(SoftwareCatalogue&& other) noexcept;
  ~SoftwareCatalogue() = default;

  // Appends a zero-filled entry at the end of the chain; nullptr when memory
  // runs out (the chain is then unchanged).
  [[nodiscard]] SoftwareEntry* AllocEntry();
  // Releases every entry; afterwards the chain is empty.
  void Free();

  [[nodiscard]] SoftwareEntry* FirstEntry() const { return first_; }
  [[nodiscard]] SoftwareEntry* LastEntry() const { return last_; }
  [[nodiscard]] size_t EntryCount() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }

 private:
  std::vector<std::unique_ptr<SoftwareEntry>> entries_;
  SoftwareEntry* first_ = nullptr;
  SoftwareEntry* last_ = nullptr;
};

}  // namespace tarn::catalogue
