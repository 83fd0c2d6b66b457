// How attribute keys, style keys and the parent's propagation bits turn into
// an entry's Flags and State while the catalogue is loaded.
#pragma once

#include "base/text.h"
#include "catalogue/software_entry.h"

namespace tarn::catalogue {

// The six attribute keys, in the order an item reads them.
enum class Attribute { kSelected, kHidden, kCollapsed, kGroup, kLocked, kDisabled };

inline constexpr Attribute kAttributeOrder[] = {Attribute::kSelected,  Attribute::kHidden,
                                                Attribute::kCollapsed, Attribute::kGroup,
                                                Attribute::kLocked,    Attribute::kDisabled};

// The key's base name ("selected", "hidden", ...).
[[nodiscard]] TextView AttributeKey(Attribute attribute);

// Applies a section entry's attribute value. `selected` selects the entry
// unless the value is non-empty without the token 1; the others set nothing
// when empty. Section values are never conditional.
void ApplySectionAttribute(SoftwareEntry& entry, Attribute attribute, TextView value);

// Applies a numbered item's attribute value with the item's condition: the
// tokens 1, if.true, if.false and inherit. An empty value keeps what the item
// took over from its parent.
void ApplyItemAttribute(SoftwareEntry& entry, Attribute attribute, TextView value, bool condition);

// Section styles: the tokens bold, italic, underline, striked.
void ApplySectionStyles(SoftwareEntry& entry, TextView value);

// Item styles: the same tokens, each also with ":if.true" / ":if.false".
void ApplyItemStyles(SoftwareEntry& entry, TextView value, bool condition);

// Takes over the parent's handed-down attributes into a new item, in the
// fixed order in which later rules override earlier ones.
void TakeOverFromParent(SoftwareEntry& item, const SoftwareEntry& parent);

}  // namespace tarn::catalogue
