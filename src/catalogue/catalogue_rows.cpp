#include "catalogue/catalogue_rows.h"

namespace tarn::catalogue {
namespace {

struct Open {
  uint32_t level;
  bool childrenShown;
};

}  // namespace

std::vector<SoftwareEntry*> InitialRows(const SoftwareCatalogue& catalogue) {
  std::vector<SoftwareEntry*> rows;
  std::vector<Open> ancestors;  // the path from the top to the current entry
  for (SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    while (!ancestors.empty() && ancestors.back().level >= e->Level) ancestors.pop_back();
    const bool parentShowsChildren = ancestors.empty() || ancestors.back().childrenShown;
    const bool hasRow = parentShowsChildren && !e->Has(EF_HIDDEN);
    if (hasRow) rows.push_back(e);
    ancestors.push_back({e->Level, hasRow && !e->Has(EF_COLLAPSED)});
  }
  return rows;
}

}  // namespace tarn::catalogue
