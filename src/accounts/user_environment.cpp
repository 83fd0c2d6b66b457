#include "accounts/user_environment.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "accounts/shell_folder_table.h"
#include "base/format.h"
#include "platform/registry_text.h"

namespace tarn::accounts {

namespace {

// Section text is read from files of any size; beyond this the answer is
// taken as it is rather than doubling without end.
constexpr uint32_t kMaxSectionCapacity = 1u << 24;
constexpr uint32_t kInitialSectionCapacity = 512;
constexpr uint32_t kHiveValueBytes = 522;

// A hive value as the record holds it once read: this is what tells an
// untouched value from an edited one when the key is written back.
UserVariable RecordForm(TextView name, const platform::RegValue& value) {
  Text data = platform::ValueText(value, kHiveValueBytes);
  ToAccountPlaceholders(data, kPathCapacity);
  UserVariable variable;
  variable.name = CutToCapacity(name, kPathCapacity);
  variable.value = data;
  return variable;
}

// Characters that end a path component, or a path within a list of them.
bool IsPathBoundary(char16_t c) {
  return c == u'\\' || c == u'/' || c == u';' || c == u'"';
}

struct Replacement {
  TextView search;
  TextView text;
  // Matched only as whole components, so that the name "ann" leaves
  // "C:\\annals" alone.
  bool wholeComponents;
};

bool Matches(TextView text, size_t at, const Replacement& replacement) {
  const TextView search = replacement.search;
  if (search.empty() || text.size() - at < search.size()) return false;
  if (!EqualsIgnoreCase(text.substr(at, search.size()), search)) return false;
  if (!replacement.wholeComponents) return true;
  const size_t end = at + search.size();
  const bool starts = at == 0 || IsPathBoundary(text[at - 1]) || IsPathBoundary(search.front());
  const bool ends =
      end == text.size() || IsPathBoundary(text[end]) || IsPathBoundary(search.back());
  return starts && ends;
}

}  // namespace

UserVariable& AddVariable(UserAccount& account, TextView name, TextView value) {
  UserVariable& variable = account.Environment.emplace_front();
  variable.name = name;
  variable.value = value;
  return variable;
}

void RemoveVariable(UserAccount& account, const UserVariable* variable) {
  for (auto it = account.Environment.begin(); it != account.Environment.end(); ++it) {
    if (&*it == variable) {
      account.Environment.erase(it);
      return;
    }
  }
}

void ClearVariables(UserAccount& account) {
  account.Environment.clear();
  account.EnvironmentLoaded = 0;
}

bool HasVariable(const UserAccount& account, TextView name) {
  for (const auto& variable : account.Environment) {
    if (EqualsIgnoreCase(variable.name.view(), name)) return true;
  }
  return false;
}

void SyncVariables(UserAccount& target, const UserAccount& source) {
  auto to = target.Environment.begin();
  auto from = source.Environment.begin();
  for (; to != target.Environment.end() && from != source.Environment.end(); ++to, ++from) {
    to->name = from->name.view();
    to->value = from->value.view();
    to->fromHive = from->fromHive;
  }
  target.Environment.erase(to, target.Environment.end());
  for (; from != source.Environment.end(); ++from) {
    AddVariable(target, from->name.view(), from->value.view()).fromHive = from->fromHive;
  }
}

std::vector<Text> ReadWholeSection(platform::ProfileFiles& profiles, TextView file,
                                   TextView section) {
  const platform::ProfileBuffer buffer = platform::ReadWholeList(
      [&](uint32_t capacity) { return profiles.GetSection(file, section, capacity); },
      kInitialSectionCapacity, kMaxSectionCapacity);
  std::vector<Text> lines;
  for (const TextView line : platform::SplitZeroList(buffer.data)) {
    if (!line.empty()) lines.emplace_back(line);
  }
  return lines;
}

void ReadVariableSection(platform::ProfileFiles& profiles, platform::Environment& environment,
                         TextView usersFile, UserAccount& account) {
  const Text section = Format(u"%s.%d", {TextView(u"environment"), account.Index});
  for (const Text& line : ReadWholeSection(profiles, usersFile, section)) {
    const size_t equals = line.find(u'=');
    if (equals == Text::npos) continue;
    const TextView name = TextView(line).substr(0, equals);
    const Text value =
        environment.Expand(TextView(line).substr(equals + 1), kVariableCapacity + 1).text;
    if (!HasVariable(account, name)) AddVariable(account, name, value);
  }
}

void ReadHiveVariables(platform::Registry& registry, platform::RegKey hiveRoot,
                       UserAccount& account) {
  platform::ScopedKey key =
      platform::ScopedKey::Open(registry, hiveRoot, u"environment", platform::kKeyRead);
  if (!key) return;
  account.EnvironmentLoaded = 1;
  for (uint32_t index = 0;; ++index) {
    auto entry = registry.EnumValue(key.get(), index);
    if (!entry) break;
    const UserVariable read = RecordForm(entry->first, entry->second);
    AddVariable(account, read.name.view(), read.value.view()).fromHive = true;
  }
}

Text HiveVariableText(TextView value, const UserAccount& account, size_t capacity) {
  const std::array<Replacement, 6> replacements = {{
      {u"%ThisProfile%", u"%USERPROFILE%", false},
      {u"%ThisHome%", u"%HOMEDRIVE%%HOMEPATH%", false},
      {u"%ThisUser%", u"%USERNAME%", false},
      {account.Profile.view(), u"%USERPROFILE%", true},
      {account.Home.view(), u"%HOMEDRIVE%%HOMEPATH%", true},
      {account.Name.view(), u"%USERNAME%", true},
  }};
  Text out;
  size_t at = 0;
  while (at < value.size()) {
    // A home inside the profile folder is the longer match and the truer one.
    const Replacement* best = nullptr;
    for (const Replacement& replacement : replacements) {
      if (Matches(value, at, replacement) &&
          (best == nullptr || replacement.search.size() > best->search.size())) {
        best = &replacement;
      }
    }
    if (best == nullptr) {
      out += value[at++];
      continue;
    }
    const size_t rest = value.size() - at - best->search.size();
    if (out.size() + best->text.size() + rest > capacity) break;
    out += best->text;
    at += best->search.size();
  }
  out += value.substr(at);
  return CutToCapacity(out, capacity);
}

bool WriteUserEnvironment(platform::Registry& registry, platform::RegKey hiveRoot,
                          const UserAccount& account) {
  platform::ScopedKey key =
      platform::ScopedKey::Create(registry, hiveRoot, u"Environment", platform::kKeyAllAccess);
  if (!key) return false;

  struct Wanted {
    TextView name;
    TextView value;
    bool settled = false;
  };
  // Written from the head, a later entry of the same name would have won.
  std::vector<Wanted> wanted;
  bool whole = true;
  for (const UserVariable& variable : account.Environment) {
    auto same = std::find_if(wanted.begin(), wanted.end(), [&](const Wanted& w) {
      return EqualsIgnoreCase(w.name, variable.name.view());
    });
    if (same == wanted.end()) {
      wanted.push_back({variable.name.view(), variable.value.view()});
    } else {
      same->value = variable.value.view();
    }
  }

  // Taken whole before anything changes: deleting shifts the enumeration.
  std::vector<std::pair<Text, platform::RegValue>> existing;
  for (uint32_t index = 0;; ++index) {
    auto entry = registry.EnumValue(key.get(), index);
    if (!entry) break;
    existing.push_back(std::move(*entry));
  }

  for (const auto& [name, value] : existing) {
    const UserVariable read = RecordForm(name, value);
    auto match = std::find_if(wanted.begin(), wanted.end(), [&](const Wanted& w) {
      return EqualsIgnoreCase(w.name, read.name.view());
    });
    if (match == wanted.end()) {
      // A value is removed only from a list that was read from this hive:
      // otherwise the record never saw it (a new account's TEMP from the
      // Default profile, an existing account given only in the users file).
      if (account.EnvironmentLoaded != 0)
        whole = registry.DeleteValue(key.get(), name) == kErrorSuccess && whole;
      continue;
    }
    match->settled = true;
    if (match->value == read.value.view()) continue;
    const Text text = HiveVariableText(match->value, account);
    // A plain value that still needs no expansion keeps its plain type.
    const uint32_t type = value.type == platform::kRegSz && text.find(u'%') == Text::npos
                              ? platform::kRegSz
                              : platform::kRegExpandSz;
    whole = registry.SetValue(key.get(), name, platform::RegValue::FromText(text, type)) ==
                kErrorSuccess &&
            whole;
  }

  for (const Wanted& w : wanted) {
    if (w.settled) continue;
    const WinError error = registry.SetValue(
        key.get(), w.name,
        platform::RegValue::FromText(HiveVariableText(w.value, account), platform::kRegExpandSz));
    whole = error == kErrorSuccess && whole;
  }
  return whole;
}

bool SetProcessVariables(platform::Environment& environment, const UserAccount& account) {
  bool whole = true;
  for (const UserVariable& variable : account.Environment) {
    if (variable.fromHive) continue;
    const Text value = environment.Expand(variable.value.view(), kVariableCapacity + 1).text;
    whole = environment.Set(variable.name.view(), TextView(value)) == kErrorSuccess && whole;
  }
  return whole;
}

}  // namespace tarn::accounts
