#include "catalogue/item_key_presence.h"

#include <array>

namespace tarn::catalogue {
namespace {

// Every base name the loader asks for below a section. "test" also covers
// "test.eval", which begins with it.
constexpr std::array<TextView, 14> kBases = {
    u"command", u"description", u"selected", u"hidden",    u"collapsed", u"workdir",  u"group",
    u"locked",  u"disabled",    u"test",     u"test.eval", u"help",      u"helptext", u"flags"};

int IndexOf(TextView base) {
  for (size_t i = 0; i < kBases.size(); ++i) {
    if (kBases[i] == base) return static_cast<int>(i);
  }
  return -1;
}

// Bits of the base names that `key` begins with, followed by a dot.
uint32_t BasesOf(TextView key) {
  uint32_t bits = 0;
  if (key.empty()) return bits;
  const char16_t first = FoldCase(key[0]);
  for (size_t i = 0; i < kBases.size(); ++i) {
    const TextView base = kBases[i];
    if (FoldCase(base[0]) != first) continue;
    if (key.size() > base.size() && key[base.size()] == u'.' && StartsWithIgnoreCase(key, base)) {
      bits |= 1u << i;
    }
  }
  return bits;
}

}  // namespace

ItemKeyPresence ItemKeyPresence::FromSectionLines(TextView lines) {
  uint32_t present = 0;
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find(u'\0', start);
    if (end == TextView::npos) end = lines.size();
    TextView line = lines.substr(start, end - start);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    present |= BasesOf(line);
    start = end + 1;
  }
  return ItemKeyPresence(present);
}

bool ItemKeyPresence::MayHave(TextView base) const {
  const int index = IndexOf(base);
  return index < 0 || (present_ & (1u << index)) != 0;
}

}  // namespace tarn::catalogue
