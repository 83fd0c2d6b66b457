#include "app/name_rules.h"

#include <algorithm>

namespace tarn::app {
namespace {

// Characters Windows refuses in an account name besides the control
// characters; the double quote is among them although it looks harmless.
constexpr char16_t kUserNameForbidden[] = u"/,\\[]:|<>+=;?*\"";
// What a NetBIOS computer or workgroup name may hold besides letters and digits.
constexpr char16_t kComputerNameSymbols[] = u"!@#$%^&')(.-_{}~";

bool Contains(TextView set, char16_t c) {
  return set.find(c) != TextView::npos;
}

bool IsAsciiLetterOrDigit(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace

NameCheck CheckUserName(TextView name) {
  if (name.empty()) return NameCheck::kEmpty;
  for (const char16_t c : name) {
    if (c < 32 || Contains(kUserNameForbidden, c)) return NameCheck::kBadCharacters;
  }
  if (name.back() == u'.') return NameCheck::kBadCharacters;
  // Windows takes such a name for no name at all.
  const bool onlyBlanksAndPeriods =
      std::all_of(name.begin(), name.end(), [](char16_t c) { return c == u' ' || c == u'.'; });
  return onlyBlanksAndPeriods ? NameCheck::kBadCharacters : NameCheck::kValid;
}

NameCheck CheckComputerName(TextView name) {
  if (name.empty()) return NameCheck::kEmpty;
  for (const char16_t c : name) {
    if (!IsAsciiLetterOrDigit(c) && !Contains(kComputerNameSymbols, c)) {
      return NameCheck::kBadCharacters;
    }
  }
  return NameCheck::kValid;
}

}  // namespace tarn::app
