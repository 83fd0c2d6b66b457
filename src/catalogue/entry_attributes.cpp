#include "catalogue/entry_attributes.h"

#include <array>
#include <optional>

#include "catalogue/token_list.h"

namespace tarn::catalogue {
namespace {

// What setting and clearing one attribute does, and the bits that hand it
// down to descendants.
struct AttributeBits {
  TextView key;
  uint32_t setFlags;
  int32_t setState;
  uint32_t setHandedDown;    // added when a set is handed down
  uint32_t clearHandedDown;  // added when a clear is handed down
  uint32_t propagation;      // every hand-down bit of this attribute
  uint32_t clearRemoves;     // further bits a handed-down clear removes
};

// Hidden and collapsed need no bit of their own to hand a set down: the
// flag itself is taken over by every child.
constexpr std::array<AttributeBits, 6> kBits = {{
    {u"selected", 0, ES_SELECTED, EF_SELECTED_INHERIT, EF_UNSELECTED_INHERIT,
     EF_SELECTED_INHERIT | EF_UNSELECTED_INHERIT, 0},
    {u"hidden", EF_HIDDEN, 0, 0, EF_UNHIDDEN_INHERIT, EF_UNHIDDEN_INHERIT, 0},
    {u"collapsed", EF_COLLAPSED, 0, 0, EF_EXPANDED_INHERIT, EF_EXPANDED_INHERIT, 0},
    {u"group", EF_GROUP, 0, EF_GROUP_INHERIT, EF_NOGROUP_INHERIT,
     EF_GROUP_INHERIT | EF_NOGROUP_INHERIT, 0},
    {u"locked", EF_LOCKED, 0, EF_LOCKED_INHERIT, EF_UNLOCKED_INHERIT,
     EF_LOCKED_INHERIT | EF_UNLOCKED_INHERIT, 0},
    {u"disabled", EF_DISABLED | EF_LOCKED, ES_DIMMED,
     EF_DISABLED_INHERIT | EF_LOCKED_INHERIT | EF_DIMMED_INHERIT, EF_ENABLED_INHERIT,
     EF_DISABLED_INHERIT | EF_DIMMED_INHERIT | EF_ENABLED_INHERIT, EF_LOCKED_INHERIT},
}};

const AttributeBits& BitsOf(Attribute attribute) {
  return kBits[static_cast<size_t>(attribute)];
}

void Set(SoftwareEntry& entry, const AttributeBits& bits) {
  entry.Flags |= bits.setFlags;
  entry.State |= bits.setState;
}

void Clear(SoftwareEntry& entry, const AttributeBits& bits) {
  entry.Flags &= ~bits.setFlags;
  entry.State &= ~bits.setState;
}

// The item's own hand-down replaces whatever it received for this attribute.
void HandDown(SoftwareEntry& entry, const AttributeBits& bits, bool set) {
  entry.Flags &= ~bits.propagation;
  if (set) {
    entry.Flags |= bits.setHandedDown;
  } else {
    entry.Flags &= ~bits.clearRemoves;
    entry.Flags |= bits.clearHandedDown;
  }
}

struct Style {
  TextView plain;
  TextView ifTrue;
  TextView ifFalse;
  uint32_t flag;
};

constexpr std::array<Style, 4> kStyles = {{
    {u"bold", u"bold:if.true", u"bold:if.false", EF_BOLD},
    {u"italic", u"italic:if.true", u"italic:if.false", EF_ITALIC},
    {u"underline", u"underline:if.true", u"underline:if.false", EF_UNDERLINE},
    {u"striked", u"striked:if.true", u"striked:if.false", EF_STRIKED},
}};

}  // namespace

TextView AttributeKey(Attribute attribute) {
  return BitsOf(attribute).key;
}

void ApplySectionAttribute(SoftwareEntry& entry, Attribute attribute, TextView value) {
  const AttributeBits& bits = BitsOf(attribute);
  const bool one = HasToken(value, u"1");
  const bool inherit = HasToken(value, u"inherit");
  if (attribute == Attribute::kSelected) {
    if (value.empty() || one) {
      entry.State |= ES_SELECTED;
      if (inherit) entry.Flags |= EF_SELECTED_INHERIT;
    } else if (inherit) {
      entry.Flags |= EF_UNSELECTED_INHERIT;
    }
    return;
  }
  if (one) {
    // A disabled section greys its text and locks its box, but the box of
    // the section itself and of its children is not dimmed.
    entry.Flags |= bits.setFlags;
    if (inherit) entry.Flags |= bits.setHandedDown & ~EF_DIMMED_INHERIT;
  } else if (inherit) {
    entry.Flags |= bits.clearHandedDown;
  }
}

void ApplyItemAttribute(SoftwareEntry& entry, Attribute attribute, TextView value, bool condition) {
  if (value.empty()) return;
  const AttributeBits& bits = BitsOf(attribute);
  std::optional<bool> outcome;  // set, cleared, or kept as inherited
  if (HasToken(value, u"1")) {
    outcome = true;
  } else if (HasToken(value, u"if.true")) {
    if (condition) outcome = true;
  } else if (!HasToken(value, u"if.false")) {
    outcome = false;
  } else if (!condition) {
    outcome = true;
  }
  if (!outcome) return;
  if (*outcome) {
    Set(entry, bits);
  } else {
    Clear(entry, bits);
  }
  if (HasToken(value, u"inherit")) HandDown(entry, bits, *outcome);
}

void ApplySectionStyles(SoftwareEntry& entry, TextView value) {
  ForEachToken(value, [&](TextView token) {
    for (const Style& style : kStyles) {
      if (EqualsIgnoreCase(token, style.plain)) entry.Flags |= style.flag;
    }
  });
}

void ApplyItemStyles(SoftwareEntry& entry, TextView value, bool condition) {
  ForEachToken(value, [&](TextView token) {
    for (const Style& style : kStyles) {
      if (EqualsIgnoreCase(token, style.plain) ||
          (condition && EqualsIgnoreCase(token, style.ifTrue)) ||
          (!condition && EqualsIgnoreCase(token, style.ifFalse))) {
        entry.Flags |= style.flag;
      }
    }
  });
}

void TakeOverFromParent(SoftwareEntry& item, const SoftwareEntry& parent) {
  const auto has = [&](uint32_t bits) { return (parent.Flags & bits) == bits; };
  item.Flags |= parent.Flags & (EF_HIDDEN | EF_COLLAPSED);
  for (uint32_t pair : {EF_LOCKED | EF_LOCKED_INHERIT, EF_DISABLED | EF_DISABLED_INHERIT,
                        EF_GROUP | EF_GROUP_INHERIT}) {
    if (has(pair)) item.Flags |= pair;
  }
  if (has(EF_SELECTED_INHERIT)) {
    item.State |= ES_SELECTED;
    item.Flags |= EF_SELECTED_INHERIT;
  }
  if (has(EF_DIMMED_INHERIT)) {
    item.State |= ES_DIMMED;
    item.Flags |= EF_DIMMED_INHERIT;
  }
  if (has(EF_ENABLED_INHERIT)) {
    item.State &= ~ES_DIMMED;
    item.Flags &= ~(EF_DISABLED | EF_DISABLED_INHERIT | EF_DIMMED_INHERIT);
    item.Flags |= EF_ENABLED_INHERIT;
  }
  if (has(EF_NOGROUP_INHERIT)) {
    item.Flags &= ~(EF_GROUP | EF_GROUP_INHERIT);
    item.Flags |= EF_NOGROUP_INHERIT;
  }
  if (has(EF_EXPANDED_INHERIT)) {
    item.Flags &= ~EF_COLLAPSED;
    item.Flags |= EF_EXPANDED_INHERIT;
  }
  if (has(EF_UNHIDDEN_INHERIT)) {
    item.Flags &= ~EF_HIDDEN;
    item.Flags |= EF_UNHIDDEN_INHERIT;
  }
  if (has(EF_UNLOCKED_INHERIT)) {
    item.Flags &= ~(EF_LOCKED | EF_LOCKED_INHERIT);
    item.Flags |= EF_UNLOCKED_INHERIT;
  }
  if (has(EF_UNSELECTED_INHERIT)) {
    item.State &= ~ES_SELECTED;
    item.Flags &= ~(EF_SELECTED_INHERIT);
    item.Flags |= EF_UNSELECTED_INHERIT;
  }
}

}  // namespace tarn::catalogue
