// A printf-style formatter that checks every conversion against the argument
// it is given. Formats come from languages.ini and the configuration file and
// are therefore untrusted: a wrong, extra or missing conversion must never
// crash or read beyond the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "base/text.h"

namespace tarn {

// One argument of a format. Holds a view: the referenced text must outlive
// the FormatText call.
class FormatArg {
 public:
  enum class Kind { kSigned, kUnsigned, kText };

  FormatArg(int value) : kind_(Kind::kSigned), signed_(value) {}                        // NOLINT
  FormatArg(long value) : kind_(Kind::kSigned), signed_(value) {}                       // NOLINT
  FormatArg(long long value) : kind_(Kind::kSigned), signed_(value) {}                  // NOLINT
  FormatArg(unsigned value) : kind_(Kind::kUnsigned), unsigned_(value) {}               // NOLINT
  FormatArg(unsigned long value) : kind_(Kind::kUnsigned), unsigned_(value) {}          // NOLINT
  FormatArg(unsigned long long value) : kind_(Kind::kUnsigned), unsigned_(value) {}     // NOLINT
  FormatArg(TextView value) : kind_(Kind::kText), text_(value) {}                       // NOLINT
  FormatArg(const Text& value) : kind_(Kind::kText), text_(value) {}                    // NOLINT
  FormatArg(const char16_t* value) : kind_(Kind::kText), text_(value ? value : u"") {}  // NOLINT

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] int64_t as_signed() const {
    return kind_ == Kind::kSigned ? signed_ : static_cast<int64_t>(unsigned_);
  }
  [[nodiscard]] uint64_t as_unsigned() const {
    return kind_ == Kind::kUnsigned ? unsigned_ : static_cast<uint64_t>(signed_);
  }
  [[nodiscard]] TextView text() const { return text_; }

 private:
  Kind kind_;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
  TextView text_;
};

// Formats `format` with `args` in the manner of swprintf for the conversions
// d, i, u, x, X, o, c, s, S (with flags "-+ 0#", width, precision and the size
// prefixes h, l, ll, I64, which are accepted and ignored), and "%%".
// Safety rules, in place of undefined behaviour:
// - A conversion whose argument is missing, or of the wrong kind (a number
//   for %s, a text for %d), is written out literally, unchanged.
// - "*" widths and precisions, %n and %p are written out literally.
// - Widths and precisions are limited to 1024.
// - Arguments left over are ignored.
// Never throws, never reads beyond `args`.
[[nodiscard]] Text FormatText(TextView format, std::span<const FormatArg> args);

[[nodiscard]] inline Text Format(TextView format, std::initializer_list<FormatArg> args) {
  return FormatText(format, std::span<const FormatArg>(args.begin(), args.size()));
}

}  // namespace tarn
