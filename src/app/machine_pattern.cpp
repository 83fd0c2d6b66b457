#include "app/machine_pattern.h"

#include <algorithm>
#include <optional>

#include "app/name_rules.h"

namespace tarn::app {
namespace {

// A number of a cut: an optional '-' and digits; nullopt for anything else.
std::optional<int64_t> CutNumber(TextView text) {
  const bool negative = !text.empty() && text.front() == u'-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

// `fact` cut by ":~start[,length]" (the part after the name), or nullopt
// when the cut does not read.
std::optional<Text> Cut(const Text& fact, TextView cut) {
  const size_t comma = cut.find(u',');
  const std::optional<int64_t> start = CutNumber(cut.substr(0, comma));
  if (!start) return std::nullopt;
  const auto size = static_cast<int64_t>(fact.size());
  const int64_t from = std::clamp(*start < 0 ? size + *start : *start, int64_t{0}, size);
  int64_t to = size;
  if (comma != TextView::npos) {
    const std::optional<int64_t> length = CutNumber(cut.substr(comma + 1));
    if (!length) return std::nullopt;
    to = std::clamp(*length < 0 ? size + *length : from + *length, from, size);
  }
  return fact.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// The value of one "%...%" body, or nullopt when it is not ours.
std::optional<Text> Resolve(TextView body, const MachineFacts& facts) {
  const size_t colon = body.find(u":~");
  const Text* fact = MachineFact(facts, body.substr(0, colon));
  if (fact == nullptr) return std::nullopt;
  if (colon == TextView::npos) return *fact;
  return Cut(*fact, body.substr(colon + 2));
}

bool IsNameCharacter(char16_t c) {
  return CheckComputerName(TextView(&c, 1)) == NameCheck::kValid;
}

}  // namespace

const Text* MachineFact(const MachineFacts& facts, TextView name) {
  const Text* fields[] = {&facts.serial, &facts.uuid, &facts.mac, &facts.maker, &facts.model};
  for (size_t i = 0; i < kMachineVariableNames.size(); ++i) {
    if (EqualsIgnoreCase(name, kMachineVariableNames[i])) return fields[i];
  }
  return nullptr;
}

bool UsesMachineVariables(TextView text) {
  const MachineFacts none;
  for (size_t open = text.find(u'%'); open != TextView::npos;) {
    const size_t close = text.find(u'%', open + 1);
    if (close == TextView::npos) return false;
    if (Resolve(text.substr(open + 1, close - open - 1), none)) return true;
    open = text.find(u'%', close + 1);
  }
  return false;
}

Text ExpandMachinePattern(TextView pattern, const MachineFacts& facts) {
  Text out;
  size_t at = 0;
  while (at < pattern.size()) {
    const size_t open = pattern.find(u'%', at);
    const size_t close = open == TextView::npos ? open : pattern.find(u'%', open + 1);
    if (close == TextView::npos) break;
    out += pattern.substr(at, open - at);
    const std::optional<Text> value = Resolve(pattern.substr(open + 1, close - open - 1), facts);
    // Percent signs pair up from the left, as everywhere in the file: a
    // pair that is not ours stays whole.
    out += value ? *value : Text(pattern.substr(open, close - open + 1));
    at = close + 1;
  }
  out += pattern.substr(std::min(at, pattern.size()));
  return out;
}

FittedName FitComputerName(TextView name) {
  FittedName fitted;
  for (const char16_t c : TrimBlanks(name)) {
    if (IsNameCharacter(c)) {
      fitted.name += c;
      continue;
    }
    fitted.changed = true;
    if (c == u' ') fitted.name += u'-';
  }
  if (fitted.name.size() > kComputerNameMaxLength) {
    fitted.name.resize(kComputerNameMaxLength);
    fitted.cut = true;
  }
  return fitted;
}

}  // namespace tarn::app
