// Text from UTF-8 literals, so tables of cases can be written as plain strings.
#pragma once

#include <string_view>

#include "base/text.h"

namespace tarn::testing {

[[nodiscard]] inline Text T(std::string_view utf8) {
  return FromUtf8(utf8);
}

}  // namespace tarn::testing
