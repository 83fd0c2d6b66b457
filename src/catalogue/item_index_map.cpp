#include "catalogue/item_index_map.h"

#include <algorithm>

#include "platform/profile_files.h"

namespace tarn::catalogue {
namespace {

constexpr TextView kCommand = u"command";
constexpr int kLastIndex = 254;

// One ".n" component written as "%d" writes a number from 0 to 254.
std::optional<int> CanonicalIndex(TextView digits) {
  if (digits.empty() || digits.size() > 3) return std::nullopt;
  if (digits.size() > 1 && digits[0] == u'0') return std::nullopt;
  int value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  if (value > kLastIndex) return std::nullopt;
  return value;
}

TextView KeyOfLine(TextView line) {
  const size_t equals = line.find(u'=');
  return TrimBlanks(equals == TextView::npos ? line : line.substr(0, equals));
}

}  // namespace

ItemIndexMap ItemIndexMap::FromSectionLines(TextView lines) {
  ItemIndexMap map;
  for (const TextView line : platform::SplitZeroList(lines)) {
    const TextView key = KeyOfLine(line);
    if (key.size() <= kCommand.size() || !StartsWithIgnoreCase(key, kCommand)) continue;
    const TextView path = key.substr(kCommand.size());
    const size_t lastDot = path.rfind(u'.');
    if (path[0] != u'.' || lastDot == TextView::npos) continue;
    bool canonical = true;
    for (size_t i = 0; i < path.size() && canonical;) {
      const size_t next = path.find(u'.', i + 1);
      const size_t stop = next == TextView::npos ? path.size() : next;
      canonical = CanonicalIndex(path.substr(i + 1, stop - i - 1)).has_value();
      i = stop;
    }
    if (!canonical) continue;
    const int index = *CanonicalIndex(path.substr(lastDot + 1));
    auto& children = map.children_[Text(path.substr(0, lastDot))];
    const auto at = std::lower_bound(children.begin(), children.end(), index);
    if (at == children.end() || *at != index) children.insert(at, static_cast<uint8_t>(index));
  }
  return map;
}

std::optional<int> ItemIndexMap::NextIndex(TextView parentPath, int from) const {
  const auto found = children_.find(Text(parentPath));
  if (found == children_.end()) return std::nullopt;
  const auto& children = found->second;
  const auto at = std::lower_bound(children.begin(), children.end(), from);
  if (at == children.end()) return std::nullopt;
  return *at;
}

}  // namespace tarn::catalogue
