// The configuration check: the identity in [settings] and the accounts of
// [users], judged by the rules the settings page and Windows apply.
#include <map>

#include "accounts/password_scrambling.h"
#include "app/machine_pattern.h"
#include "app/name_rules.h"
#include "base/format.h"
#include "startup/configuration_check_parts.h"

namespace tarn::startup::check {
namespace {

const KnownKey* FindKey(const std::vector<KnownKey>& keys, TextView base, TextView number = {}) {
  for (const KnownKey& key : keys) {
    if (EqualsIgnoreCase(key.base(), base) && key.match.number == number) return &key;
  }
  return nullptr;
}

void CheckComputerValue(const KnownKey& key, Findings& findings) {
  const TextView name = key.value();
  // A pattern over the machine's facts is fitted to the rules at the run.
  if (name.empty() || app::UsesMachineVariables(name)) return;
  if (name.size() > app::kComputerNameMaxLength) {
    findings.Error(key.line->valueAt,
                   Format(u"%s is %u characters long; at most %u are kept",
                          {Quoted(name), name.size(), app::kComputerNameMaxLength}));
  }
  if (app::CheckComputerName(name) == app::NameCheck::kBadCharacters) {
    findings.Error(key.line->valueAt,
                   Quoted(name) +
                       u" is refused: only letters, digits and !@#$%^&')(.-_{}~ are "
                       u"allowed");
  }
}

void CheckAccountName(const KnownKey& key, TextView computer, Findings& findings) {
  const TextView name = key.value();
  if (name.empty()) return;
  if (name.size() > app::kUserNameMaxLength) {
    findings.Error(key.line->valueAt,
                   Format(u"account name %s is %u characters long; Windows takes at most %u",
                          {Quoted(name), name.size(), app::kUserNameMaxLength}));
  }
  if (app::CheckUserName(name) == app::NameCheck::kBadCharacters) {
    findings.Error(key.line->valueAt,
                   u"account name " + Quoted(name) +
                       u" is refused by Windows: no /,\\[]:|<>+=;?*\" nor a final period");
  }
  if (!computer.empty() && EqualsIgnoreCase(name, computer)) {
    findings.Error(key.line->valueAt, u"account name " + Quoted(name) +
                                          u" equals the computer name, which Windows refuses");
  }
}

// A plain password longer than the scrambling commands can bring back.
void CheckPasswordLength(const KnownKey& key, bool scrambled, Findings& findings) {
  if (scrambled || key.value().size() <= accounts::kLongestScrambledPassword) return;
  findings.Error(key.line->valueAt,
                 Format(u"the password is %u characters long; at most %u can be scrambled",
                        {key.value().size(), accounts::kLongestScrambledPassword}));
}

bool GivesNumber(const KnownKey* key) {
  return key != nullptr && ParseNumberAutoBase(TrimBlanks(key->value())) != 0;
}

// The account numbers the section reads: from 0 up to the first without User.n.
uint32_t CountAccounts(const std::vector<KnownKey>& keys) {
  uint32_t count = 0;
  while (true) {
    const KnownKey* user = FindKey(keys, u"User", Format(u"%u", {count}));
    if (user == nullptr || user->value().empty()) return count;
    ++count;
  }
}

}  // namespace

void CheckSettings(const std::vector<KnownKey>& keys, Findings& findings) {
  const KnownKey* computer = FindKey(keys, u"Computer");
  for (const KnownKey& key : keys) {
    const app::ValueKind kind = key.match.rule->kind;
    if (kind == app::ValueKind::kComputerName) CheckComputerValue(key, findings);
    if (kind == app::ValueKind::kAccountName) {
      CheckAccountName(key, computer ? computer->value() : TextView(), findings);
    }
    if (kind == app::ValueKind::kPassword) {
      CheckPasswordLength(key, GivesNumber(FindKey(keys, Text(key.base()) + u"Crypted")), findings);
    }
  }
}

void CheckUsers(const std::vector<KnownKey>& keys, const SettingsFacts& settings,
                Findings& findings) {
  const uint32_t count = CountAccounts(keys);
  std::map<uint32_t, bool> reported;
  for (const KnownKey& key : keys) {
    const app::KeyForm form = key.match.rule->form;
    if (form != app::KeyForm::kAccount && form != app::KeyForm::kShellFolder) continue;
    const uint32_t n = ParseNumberAutoBase(key.match.number);
    if (n >= count) {
      if (!reported.emplace(n, true).second) continue;
      findings.Error(key.line->at,
                     Format(u"account %u is never read: the accounts end where User.%u is missing",
                            {n, count}));
      continue;
    }
    const app::ValueKind kind = key.match.rule->kind;
    if (kind == app::ValueKind::kAccountName) CheckAccountName(key, settings.computer, findings);
    if (kind == app::ValueKind::kPassword) {
      CheckPasswordLength(key, GivesNumber(FindKey(keys, u"crypted", key.match.number)), findings);
    }
  }
  for (TextView selector : {u"primary", u"default"}) {
    const KnownKey* key = FindKey(keys, selector);
    if (key == nullptr || key->value().empty()) continue;
    const auto n = static_cast<int64_t>(static_cast<int32_t>(ParseNumberAutoBase(key->value())));
    if (n >= static_cast<int64_t>(count)) {
      findings.Error(
          key->line->valueAt,
          Format(u"%s names account %d, which the section does not have", {selector, n}));
    }
  }
}

}  // namespace tarn::startup::check
