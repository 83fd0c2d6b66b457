#include "accounts/user_environment.h"

#include <iterator>

#include "accounts/registry_text.h"
#include "accounts/shell_folder_table.h"
#include "base/format.h"

namespace tarn::accounts {

namespace {

// Section text is read from files of any size; beyond this the answer is
// taken as it is rather than doubling without end.
constexpr uint32_t kMaxSectionCapacity = 1u << 24;
constexpr uint32_t kHiveValueBytes = 522;

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
  }
  target.Environment.erase(to, target.Environment.end());
  for (; from != source.Environment.end(); ++from) {
    AddVariable(target, from->name.view(), from->value.view());
  }
}

std::vector<Text> ReadWholeSection(platform::ProfileFiles& profiles, TextView file,
                                   TextView section) {
  uint32_t capacity = 512;
  platform::ProfileBuffer buffer = profiles.GetSection(file, section, capacity);
  while (buffer.returned == capacity - 2 && capacity < kMaxSectionCapacity) {
    capacity *= 2;
    buffer = profiles.GetSection(file, section, capacity);
  }
  std::vector<Text> lines;
  size_t start = 0;
  const Text& data = buffer.data;
  while (start < data.size()) {
    size_t end = data.find(u'\0', start);
    if (end == Text::npos) end = data.size();
    if (end > start) lines.emplace_back(data.substr(start, end - start));
    start = end + 1;
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
  for (uint32_t index = 0;; ++index) {
    auto entry = registry.EnumValue(key.get(), index);
    if (!entry) break;
    Text data = ValueText(entry->second, kHiveValueBytes);
    ToAccountPlaceholders(data, kPathCapacity);
    AddVariable(account, CutToCapacity(entry->first, kPathCapacity), data);
  }
}

}  // namespace tarn::accounts
