// The window text of a link control: either plain text, shown whole and
// leading nowhere, or markup of the form <A HREF="target">shown</A> (or
// ID="target"), written by translators and so read defensively.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace tarn::wizard {

// The URL field of the click notification (L_MAX_URL_LENGTH units with the
// terminator); a target is never handed on longer than that.
inline constexpr size_t kLinkTargetCapacity = 2048 + 32 + sizeof("://");

struct LinkMarkup {
  // What the control draws.
  Text shown;
  // Where a click leads; empty when the text names no target.
  Text target;
};

// Splits a link control's window text. Shown text: with "<A " present (any
// case), what lies between the next ">" and the following "</A>", nothing
// when either is missing; without it the whole text. Target: what follows
// the first `<A HREF="` or, failing that, the first `<A ID="` (any case) up
// to the next double quote; none without a closing quote. The target is cut
// to fit kLinkTargetCapacity with its terminator.
[[nodiscard]] LinkMarkup ParseLinkMarkup(TextView windowText);

// The window text of a link that keeps the target of `windowText` (a
// template's markup) and shows `shown` (a translator's words) instead. The
// words can't add markup of their own: angle brackets are left out of them.
// Without a target in `windowText`, the words alone.
[[nodiscard]] Text LinkWithShownText(TextView windowText, TextView shown);

}  // namespace tarn::wizard
