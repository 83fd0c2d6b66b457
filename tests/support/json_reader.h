// A small JSON reader for tests that parse back what the program wrote.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tarn::testing {

struct JsonValue {
  bool boolean = false;
  double number = 0;
  Text text;
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  // The member `name`; an empty value when there is none.
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
    JsonValue value;
    if (!reader.Value(value) || (reader.Blanks(), reader.at_ != json.size())) return std::nullopt;
    return value;
  }

 private:
  explicit JsonReader(std::string_view json) : json_(json) {}

  void Blanks() {
    while (at_ < json_.size() &&
           std::string_view(" \t\r\n").find(json_[at_]) != std::string_view::npos)
      ++at_;
  }
  bool Take(std::string_view word) {
    Blanks();
    if (json_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool String(Text& text) {
    if (!Take("\"")) return false;
    std::string raw;
    for (char c; at_ < json_.size() && (c = json_[at_++]) != '"';) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        raw += c;
        continue;
      }
      text += FromUtf8(raw);
      raw.clear();
      const char e = at_ < json_.size() ? json_[at_++] : '?';
      const size_t simple = std::string_view("\"\\/bfnrt").find(e);
      if (e == 'u' && at_ + 4 <= json_.size()) {
        text += static_cast<char16_t>(
            std::strtoul(std::string(json_.substr(at_, 4)).c_str(), nullptr, 16));
        at_ += 4;
      } else if (simple != std::string_view::npos) {
        text += std::u16string_view(u"\"\\/\b\f\n\r\t")[simple];
      } else {
        return false;
      }
    }
    text += FromUtf8(raw);
    return json_[at_ - 1] == '"';
  }
  // The items of an array or the members of an object, up to `close`.
  bool Items(JsonValue& value, bool object) {
    if (Take(object ? "}" : "]")) return true;
    do {
      Text name;
      JsonValue item;
      if ((object && (!String(name) || !Take(":"))) || !Value(item)) return false;
      if (object) {
        value.members[ToUtf8(name)] = item;
      } else {
        value.items.push_back(item);
      }
    } while (Take(","));
    return Take(object ? "}" : "]");
  }
  bool Value(JsonValue& value) {
    Blanks();
    if (at_ >= json_.size()) return false;
    if (json_[at_] == '"') return String(value.text);
    if (Take("[")) return Items(value, false);
    if (Take("{")) return Items(value, true);
    if (Take("true")) return value.boolean = true;
    if (Take("false") || Take("null")) return true;
    const std::string rest(json_.substr(at_, 32));
    char* end = nullptr;
    value.number = std::strtod(rest.c_str(), &end);
    at_ += static_cast<size_t>(end - rest.c_str());
    return end != rest.c_str();
  }

  std::string_view json_;
  size_t at_ = 0;
};

}  // namespace tarn::testing
