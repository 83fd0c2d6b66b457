// What the account code is given to reach the machine and the translated
// texts: the platform services and a look-up of texts by number.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text.h"
#include "platform/platform.h"

namespace tarn::accounts {

// Text number `id` of the translation file; empty when there is none.
using TextByNumber = std::function<Text(uint32_t id)>;

struct AccountServices {
  platform::Platform platform;
  // May be empty: every text is then empty.
  TextByNumber text;

  [[nodiscard]] Text TextOf(uint32_t id) const { return text ? text(id) : Text(); }
};

}  // namespace tarn::accounts
