// A text field with a fixed capacity, as the long-lived records hold them.
// Every assignment cuts to the capacity, so no path can write beyond a field.
#pragma once

#include <cstddef>

#include "base/text.h"
#include "base/wipe.h"

namespace tarn {

template <size_t Capacity>
class FixedText {
 public:
  static constexpr size_t kCapacity = Capacity;

  FixedText() = default;
  FixedText(TextView value) { Assign(value); }  // NOLINT: implicit by design
  FixedText& operator=(TextView value) {
    Assign(value);
    return *this;
  }
  FixedText& operator=(const Text& value) { return *this = TextView(value); }
  FixedText& operator=(const char16_t* value) { return *this = TextView(value); }

  // Stores at most Capacity code units of `value`; returns true when nothing was cut.
  bool Assign(TextView value) {
    Text cut = CutToCapacity(value, Capacity);
    const bool whole = cut.size() == value.size();
    WipeText(text_);
    text_ = std::move(cut);
    return whole;
  }

  [[nodiscard]] const Text& str() const { return text_; }
  [[nodiscard]] TextView view() const { return text_; }
  operator TextView() const { return text_; }  // NOLINT: implicit by design
  [[nodiscard]] bool empty() const { return text_.empty(); }
  [[nodiscard]] size_t size() const { return text_.size(); }
  // Overwrites the contents with zeros before forgetting them (passwords).
  void Wipe() { WipeText(text_); }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.text_ == b.text_; }

 private:
  Text text_;
};

}  // namespace tarn
