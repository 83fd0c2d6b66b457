#include "platform/registry.h"

namespace tarn::platform {

Text RegValue::AsText() const {
  return TextFromUtf16Le(data, /*stopAtZero=*/true);
}

std::optional<uint32_t> RegValue::AsDword() const {
  if (type != kRegDword || data.size() < 4) return std::nullopt;
  return static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
         (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

RegValue RegValue::FromText(TextView text, uint32_t type) {
  RegValue value;
  value.type = type;
  value.data.reserve((text.size() + 1) * 2);
  AppendUtf16Le(value.data, text);
  value.data.push_back(0);
  value.data.push_back(0);
  return value;
}

RegValue RegValue::FromDword(uint32_t v) {
  RegValue value;
  value.type = kRegDword;
  value.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  return value;
}

ScopedKey ScopedKey::Open(Registry& registry, RegKey parent, TextView subKey, uint32_t access,
                          WinError* error) {
  auto key = registry.OpenKey(parent, subKey, access);
  if (error) *error = key.error();
  return key ? ScopedKey(registry, *key) : ScopedKey();
}

ScopedKey ScopedKey::Create(Registry& registry, RegKey parent, TextView subKey, uint32_t access,
                            WinError* error) {
  auto key = registry.CreateKey(parent, subKey, access);
  if (error) *error = key.error();
  return key ? ScopedKey(registry, *key) : ScopedKey();
}

}  // namespace tarn::platform
