#include "catalogue/version_compare.h"

#include <algorithm>
#include <vector>

namespace tarn::catalogue {
namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The pieces of `text` between any of `separators`, without empty pieces.
std::vector<TextView> SplitPieces(TextView text, TextView separators, bool keepEmpty) {
  std::vector<TextView> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find_first_of(separators, start), text.size());
    if (keepEmpty || end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// A number with automatic base at the start of `piece` (as wcstoul reads it:
// blanks and a sign may come first); 0 when it has no digits.
uint32_t PieceNumber(TextView piece) {
  return ParseNumberAutoBase(piece);
}

}  // namespace

VersionParts ParseVersionText(TextView text) {
  VersionParts parts{};
  const std::vector<TextView> pieces = SplitPieces(text, u".,", true);
  for (size_t i = 0; i < parts.size() && i < pieces.size(); ++i) {
    parts[i] = static_cast<uint16_t>(PieceNumber(pieces[i]) & 0xFFFF);
  }
  return parts;
}

int CompareVersions(const VersionParts& a, const VersionParts& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

Text FormatFixedVersion(uint64_t version) {
  Text text;
  for (int shift = 48; shift >= 0; shift -= 16) {
    if (!text.empty()) text.push_back(u'.');
    text += DecimalText(static_cast<int64_t>((version >> shift) & 0xFFFF));
  }
  return text;
}

Text NormaliseVersionString(TextView text) {
  if (std::none_of(text.begin(), text.end(), IsDigit)) return {};
  Text result;
  size_t count = 0;
  for (TextView piece : SplitPieces(text, u" .,_", false)) {
    if (count++ > 0) result.push_back(u'.');
    result += DecimalText(PieceNumber(piece));
  }
  for (; count < 4; ++count) result += u".0";
  return result;
}

}  // namespace tarn::catalogue
