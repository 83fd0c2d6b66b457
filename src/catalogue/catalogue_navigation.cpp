#include "catalogue/catalogue_navigation.h"

namespace tarn::catalogue {
namespace {

template <class StateOf>
Aggregate AggregateOver(const SoftwareEntry* e, StateOf stateOf) {
  size_t count = 0;
  size_t selected = 0;
  for (const SoftwareEntry* d = FirstChildOf(e); d; d = NextInSubtree(e, d)) {
    ++count;
    if ((stateOf(*d) & ES_SELECTED) != 0) ++selected;
  }
  if (count == 0) return Aggregate::kNoDescendants;
  if (selected == count) return Aggregate::kAll;
  return selected == 0 ? Aggregate::kNone : Aggregate::kSome;
}

}  // namespace

SoftwareEntry* ParentOf(const SoftwareEntry* e) {
  if (!e) return nullptr;
  for (SoftwareEntry* p = e->Previous; p; p = p->Previous) {
    if (p->Level < e->Level) return p;
  }
  return nullptr;
}

SoftwareEntry* FirstChildOf(const SoftwareEntry* e) {
  if (!e || !e->Next) return nullptr;
  return e->Next->Level > e->Level ? e->Next : nullptr;
}

SoftwareEntry* NextInSubtree(const SoftwareEntry* root, const SoftwareEntry* e) {
  if (!root || !e || !e->Next) return nullptr;
  return e->Next->Level > root->Level ? e->Next : nullptr;
}

SoftwareEntry* NextAfterSubtree(const SoftwareEntry* e) {
  if (!e) return nullptr;
  SoftwareEntry* n = e->Next;
  while (n && n->Level > e->Level) n = n->Next;
  return n;
}

SoftwareEntry* NextChecked(SoftwareEntry* e) {
  while (e && !e->IsSelected()) e = NextAfterSubtree(e);
  return e;
}

const SoftwareEntry* NextChecked(const SoftwareEntry* e) {
  while (e && !e->IsSelected()) e = NextAfterSubtree(e);
  return e;
}

bool HasVisibleDescendant(const SoftwareEntry* e) {
  for (const SoftwareEntry* d = FirstChildOf(e); d; d = NextInSubtree(e, d)) {
    if (!d->Has(EF_HIDDEN)) return true;
  }
  return false;
}

Aggregate AggregateSelection(const SoftwareEntry* e) {
  return AggregateOver(e, [](const SoftwareEntry& d) { return d.State; });
}

Aggregate AggregateSnapshot(const SoftwareEntry* e) {
  return AggregateOver(e, [](const SoftwareEntry& d) { return d.SnapshotState; });
}

void AggregateAtLoad(SoftwareEntry* e) {
  if (!e || !e->IsSelected()) return;
  switch (AggregateSelection(e)) {
    case Aggregate::kNoDescendants:
      return;
    case Aggregate::kAll:
      e->State = kStateSelected;
      return;
    case Aggregate::kNone:
    case Aggregate::kSome:
      e->State = kStateMixed;
      return;
  }
}

}  // namespace tarn::catalogue
