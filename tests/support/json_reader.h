// A small JSON reader for tests that parse back what the program wrote:
// objects, arrays, strings (escapes included), numbers, true, false, null.
#pragma once

#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tarn::testing {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  Text text;
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  // The member `name`; a null value when there is none.
  [[nodiscard]] const JsonValue& operator[](const std::string& name) const {
    static const JsonValue kNone;
    const auto found = members.find(name);
    return found == members.end() ? kNone : found->second;
  }
  [[nodiscard]] std::string str() const { return ToUtf8(text); }
};

class JsonReader {
 public:
  // The value that is the whole of `json`, or nullopt.
  static std::optional<JsonValue> Parse(std::string_view json) {
    JsonReader reader(json);
    auto value = reader.Value();
    reader.Blanks();
    if (!value || reader.at_ != json.size()) return std::nullopt;
    return value;
  }

 private:
  explicit JsonReader(std::string_view json) : json_(json) {}

  void Blanks() {
    while (at_ < json_.size() && std::isspace(static_cast<unsigned char>(json_[at_]))) ++at_;
  }
  bool Take(char c) {
    Blanks();
    if (at_ >= json_.size() || json_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Word(std::string_view word) {
    if (json_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  std::optional<Text> String() {
    if (!Take('"')) return std::nullopt;
    Text text;
    std::string raw;
    while (at_ < json_.size() && json_[at_] != '"') {
      const char c = json_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        raw += c;
        continue;
      }
      text += FromUtf8(raw);
      raw.clear();
      if (at_ >= json_.size()) return std::nullopt;
      const char e = json_[at_++];
      if (e == 'u') {
        if (at_ + 4 > json_.size()) return std::nullopt;
        text += static_cast<char16_t>(
            std::strtoul(std::string(json_.substr(at_, 4)).c_str(), nullptr, 16));
        at_ += 4;
        continue;
      }
      const std::string_view from = "\"\\/bfnrt";
      const std::u16string_view to = u"\"\\/\b\f\n\r\t";
      if (from.find(e) == std::string_view::npos) return std::nullopt;
      text += to[from.find(e)];
    }
    if (at_ >= json_.size()) return std::nullopt;
    ++at_;
    return text + FromUtf8(raw);
  }

  std::optional<JsonValue> Value() {
    Blanks();
    JsonValue value;
    if (at_ >= json_.size()) return std::nullopt;
    const char c = json_[at_];
    if (c == '"') {
      auto text = String();
      if (!text) return std::nullopt;
      value.kind = JsonValue::Kind::kString;
      value.text = *text;
    } else if (c == '[' || c == '{') {
      ++at_;
      const bool object = c == '{';
      value.kind = object ? JsonValue::Kind::kObject : JsonValue::Kind::kArray;
      if (Take(object ? '}' : ']')) return value;
      do {
        std::optional<Text> name;
        if (object && (!(name = String()) || !Take(':'))) return std::nullopt;
        auto item = Value();
        if (!item) return std::nullopt;
        if (object) {
          value.members[ToUtf8(*name)] = *item;
        } else {
          value.items.push_back(*item);
        }
      } while (Take(','));
      if (!Take(object ? '}' : ']')) return std::nullopt;
    } else if (Word("true") || Word("false")) {
      value.kind = JsonValue::Kind::kBool;
      value.boolean = c == 't';
    } else if (!Word("null")) {
      char* end = nullptr;
      const std::string rest(json_.substr(at_, 32));
      value.number = std::strtod(rest.c_str(), &end);
      if (end == rest.c_str()) return std::nullopt;
      value.kind = JsonValue::Kind::kNumber;
      at_ += static_cast<size_t>(end - rest.c_str());
    }
    return value;
  }

  std::string_view json_;
  size_t at_ = 0;
};

}  // namespace tarn::testing
