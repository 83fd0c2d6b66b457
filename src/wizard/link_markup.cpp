#include "wizard/link_markup.h"

#include <optional>

namespace tarn::wizard {
namespace {

Text ShownText(TextView text) {
  const size_t open = FindIgnoreCase(text, u"<A ");
  if (open == TextView::npos) return Text(text);
  const size_t tagEnd = text.find(u'>', open);
  if (tagEnd == TextView::npos) return Text();
  const size_t close = FindIgnoreCase(text, u"</A>", tagEnd + 1);
  if (close == TextView::npos) return Text();
  return Text(text.substr(tagEnd + 1, close - tagEnd - 1));
}

// The value after the first `prefix` up to the next double quote; nullopt
// when the prefix is missing, an empty value when the quote is.
std::optional<Text> QuotedAfter(TextView text, TextView prefix) {
  const size_t start = FindIgnoreCase(text, prefix);
  if (start == TextView::npos) return std::nullopt;
  const size_t valueStart = start + prefix.size();
  const size_t quote = text.find(u'"', valueStart);
  if (quote == TextView::npos) return Text();
  return CutToBuffer(text.substr(valueStart, quote - valueStart), kLinkTargetCapacity);
}

Text Target(TextView text) {
  if (auto href = QuotedAfter(text, u"<A HREF=\"")) return std::move(*href);
  if (auto id = QuotedAfter(text, u"<A ID=\"")) return std::move(*id);
  return Text();
}

}  // namespace

LinkMarkup ParseLinkMarkup(TextView windowText) {
  return LinkMarkup{ShownText(windowText), Target(windowText)};
}

Text LinkWithShownText(TextView windowText, TextView shown) {
  Text words;
  for (const char16_t unit : shown) {
    if (unit != u'<' && unit != u'>') words.push_back(unit);
  }
  const Text target = Target(windowText);
  if (target.empty()) return words;
  return u"<a href=\"" + target + u"\">" + words + u"</a>";
}

}  // namespace tarn::wizard
