// Hostile hive environments: any bytes become the values of an account's
// Environment key. Reading them into a record and writing the record back
// unedited must leave every value exactly as it was, and the text written
// for each variable must stay within its capacity.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "accounts/user_environment.h"
#include "platform/sim/machine.h"

namespace {

using namespace tarn;
using namespace tarn::accounts;

constexpr char16_t kRoot[] = u"FuzzHive";
constexpr char16_t kKey[] = u"FuzzHive\\Environment";

// Each value: a type byte, a name length byte, the name (one character per
// byte), a data length byte and the data. Names stay within the record's 127
// characters so that no two of them are told apart only beyond the cut.
std::vector<std::pair<Text, platform::RegValue>> ParseValues(const uint8_t* data, size_t size) {
  std::vector<std::pair<Text, platform::RegValue>> values;
  size_t at = 0;
  while (at + 3 <= size) {
    platform::RegValue value;
    value.type = data[at++] % 12;
    const size_t nameLength = std::min<size_t>(data[at] % 128, size - at - 1);
    ++at;
    Text name;
    for (size_t i = 0; i < nameLength; ++i) name += static_cast<char16_t>(data[at++]);
    if (at >= size) break;
    const size_t dataLength = std::min<size_t>(data[at], size - at - 1);
    ++at;
    value.data.assign(data + at, data + at + dataLength);
    at += dataLength;
    values.emplace_back(std::move(name), std::move(value));
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A machine per input: the bare one, as the layout of a whole system
  // would only slow every run down.
  sim::Machine machine(sim::MachineShape::kBare);
  auto& registry = machine.registry();
  auto created = registry.CreateKey(platform::kCurrentUser, kKey, platform::kKeyAllAccess);
  if (!created) std::abort();
  registry.CloseKey(*created);
  for (const auto& [name, value] : ParseValues(data, size)) {
    (void)registry.Put(platform::kCurrentUser, kKey, name, value);
  }
  auto root = registry.OpenKey(platform::kCurrentUser, kRoot, platform::kKeyAllAccess);
  if (!root) std::abort();
  auto key = registry.OpenKey(platform::kCurrentUser, kKey, platform::kKeyRead);
  if (!key) std::abort();
  std::vector<std::pair<Text, platform::RegValue>> before;
  for (uint32_t index = 0;; ++index) {
    auto entry = registry.EnumValue(*key, index);
    if (!entry) break;
    before.push_back(std::move(*entry));
  }

  UserAccount account;
  account.Name = u"anna";
  account.Profile = u"C:\\P\\anna";
  account.Home = u"C:\\P\\anna\\home";
  account.Exists = 1;
  ReadHiveVariables(registry, *root, account);
  for (const UserVariable& variable : account.Environment) {
    if (HiveVariableText(variable.value.view(), account).size() > kVariableCapacity - 1) {
      std::abort();
    }
  }
  if (!WriteUserEnvironment(registry, *root, account)) std::abort();

  for (const auto& [name, value] : before) {
    auto after = registry.QueryValue(*key, name);
    if (!after || after->type != value.type || after->data != value.data) std::abort();
  }
  if (registry.EnumValue(*key, static_cast<uint32_t>(before.size()))) std::abort();
  registry.CloseKey(*key);
  registry.CloseKey(*root);
  return 0;
}
