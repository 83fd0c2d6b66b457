// Writes arbitrary UTF-16 units as a JSON string: the output must be valid
// UTF-8 JSON without raw control characters, and a small independent decoder
// must read back the same units, with each lone surrogate as U+FFFD. The
// journal's own reader must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "run/json_text.h"

namespace {

bool IsHigh(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

tarn::Text Expected(const tarn::Text& units) {
  tarn::Text out;
  for (size_t i = 0; i < units.size(); ++i) {
    if (IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1])) {
      out += units[i];
      out += units[++i];
    } else {
      out += IsHigh(units[i]) || IsLow(units[i]) ? u'\uFFFD' : units[i];
    }
  }
  return out;
}

// Strict UTF-8 (shortest form, no surrogates) plus the JSON escapes.
bool Decode(const std::string& json, tarn::Text& out) {
  if (json.size() < 2 || json.front() != '"' || json.back() != '"') return false;
  for (size_t i = 1; i + 1 < json.size();) {
    const auto byte = static_cast<unsigned char>(json[i++]);
    if (byte < 0x20 || byte == '"') return false;
    if (byte == '\\') {
      if (i + 1 >= json.size()) return false;
      const char e = json[i++];
      if (e == 'u') {
        if (i + 4 >= json.size()) return false;
        out += static_cast<char16_t>(std::strtoul(json.substr(i, 4).c_str(), nullptr, 16));
        i += 4;
        continue;
      }
      const char* from = "\"\\/bfnrt";
      const char* at = std::strchr(from, e);
      if (e == 0 || at == nullptr) return false;
      out += u"\"\\/\b\f\n\r\t"[at - from];
      continue;
    }
    const int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC2 ? 1 : -1;
    if (extra < 0 || byte > 0xF4 || i + static_cast<size_t>(extra) >= json.size()) return false;
    uint32_t point = extra == 0 ? byte : byte & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
      const auto next = static_cast<unsigned char>(json[i++]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
      return false;
    }
    if (point >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  std::string json;
  tarn::run::AppendJsonString(json, units);
  tarn::Text decoded;
  if (!Decode(json, decoded) || decoded != Expected(units)) std::abort();
  const auto items = tarn::run::ParseJsonStringArray("[" + json + "]");
  if (!items || items->size() != 1 || (*items)[0] != decoded) std::abort();
  return 0;
}
