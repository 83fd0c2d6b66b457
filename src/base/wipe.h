// Overwriting secrets before their memory is released.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarn {

// Zeroes `size` bytes through a volatile pointer so the store is not elided.
void SecureZero(void* data, size_t size);

// Zeroes the whole capacity of `text` and leaves it empty.
inline void WipeText(std::u16string& text) {
  text.resize(text.capacity());
  SecureZero(text.data(), text.size() * sizeof(char16_t));
  text.clear();
}

inline void WipeBytes(std::vector<unsigned char>& bytes) {
  SecureZero(bytes.data(), bytes.size());
  bytes.clear();
}

// Holds a secret and wipes it when it goes out of scope.
class SecretText {
 public:
  SecretText() = default;
  explicit SecretText(std::u16string value) : text_(std::move(value)) {}
  SecretText(const SecretText&) = delete;
  SecretText& operator=(const SecretText&) = delete;
  ~SecretText() { WipeText(text_); }
  [[nodiscard]] const std::u16string& str() const { return text_; }

 private:
  std::u16string text_;
};

}  // namespace tarn
