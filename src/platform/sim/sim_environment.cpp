#include "platform/sim/sim_environment.h"

namespace tarn::sim {

Text ExpandVariables(TextView text, const std::function<std::optional<Text>(TextView)>& lookup) {
  Text out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != u'%') {
      out.push_back(text[i++]);
      continue;
    }
    const size_t close = text.find(u'%', i + 1);
    if (close == TextView::npos) {
      // A lone percent sign stays, with everything after it.
      out.append(text.substr(i));
      break;
    }
    const TextView name = text.substr(i + 1, close - i - 1);
    std::optional<Text> value;
    if (!name.empty()) value = lookup(name);
    // An undefined name stays as written, both percent signs included, and
    // scanning goes on after the closing one.
    out += value ? TextView(*value) : text.substr(i, close - i + 1);
    i = close + 1;
  }
  return out;
}

std::optional<Text> SimEnvironment::Get(TextView name) {
  const auto it = variables_.find(Text(name));
  if (it == variables_.end()) return std::nullopt;
  return it->second;
}

WinError SimEnvironment::Set(TextView name, std::optional<TextView> value) {
  if (auto e = faults_.Check(CallKind::kEnvironmentSet)) return e;
  if (name.empty() || name.find(u'=', 1) != TextView::npos) return kErrorInvalidParameter;
  const Text key(name);
  if (!value) {
    // Removing a variable that does not exist is no error.
    variables_.erase(key);
    return kErrorSuccess;
  }
  auto it = variables_.find(key);
  if (it == variables_.end()) {
    variables_.emplace(key, Text(*value));
  } else {
    it->second = Text(*value);
  }
  return kErrorSuccess;
}

platform::Expansion SimEnvironment::Expand(TextView text, uint32_t capacity) {
  const Text whole = ExpandVariables(text, [this](TextView name) { return Get(name); });
  platform::Expansion result;
  result.required = static_cast<uint32_t>(whole.size() + 1);
  result.text = CutToBuffer(whole, capacity);
  return result;
}

platform::EnvironmentBlock SimEnvironment::CurrentBlock() {
  return platform::BuildEnvironmentBlock(variables_);
}

Result<platform::EnvironmentBlock> SimEnvironment::ReplaceBlock(
    const platform::EnvironmentBlock& block) {
  if (auto e = faults_.Check(CallKind::kEnvironmentBlock)) return e;
  auto entries = platform::ParseEnvironmentBlock(block);
  if (!entries) return Result<platform::EnvironmentBlock>::Failure(kErrorInvalidParameter);
  platform::EnvironmentBlock previous = CurrentBlock();
  variables_.clear();
  for (auto& [name, value] : *entries) {
    // The first of two entries with the same name wins, as lookups in a
    // block find it first.
    variables_.emplace(name, value);
  }
  return previous;
}

}  // namespace tarn::sim
