#include "wizard/link_targets.h"

namespace tarn::wizard {
namespace {

bool StartsWithIgnoreCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool HoldsControlCharacter(TextView text) {
  for (const char16_t unit : text) {
    if (unit < u' ' || unit == u'\x7F') return true;
  }
  return false;
}

}  // namespace

bool IsOpenableLink(TextView target) {
  if (HoldsControlCharacter(target)) return false;
  for (const TextView web : {TextView(u"http://"), TextView(u"https://")}) {
    if (StartsWithIgnoreCase(target, web)) return target.size() > web.size();
  }
  constexpr TextView kMail = u"mailto:";
  return StartsWithIgnoreCase(target, kMail) && target.size() > kMail.size();
}

}  // namespace tarn::wizard
