#include "platform/reg_file.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/profile_text_codec.h"

namespace tarn::platform {
namespace {

constexpr TextView kHeader4 = u"REGEDIT4";
constexpr TextView kHeader5 = u"Windows Registry Editor Version 5.00";

bool IsValidUtf8(std::span<const uint8_t> bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const uint8_t b = bytes[i];
    size_t extra = 0;
    if (b >= 0x80) {
      if ((b >> 5) == 6) {
        extra = 1;
      } else if ((b >> 4) == 14) {
        extra = 2;
      } else if ((b >> 3) == 30) {
        extra = 3;
      } else {
        return false;
      }
    }
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= bytes.size() || (bytes[i + k] & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

// The root key of a key path and the rest of the path after the backslash.
std::optional<std::pair<RegKey, TextView>> SplitRoot(TextView path) {
  static constexpr std::array<std::pair<TextView, RegKey>, 8> kRoots = {{
      {u"HKEY_LOCAL_MACHINE", kLocalMachine},
      {u"HKLM", kLocalMachine},
      {u"HKEY_CURRENT_USER", kCurrentUser},
      {u"HKCU", kCurrentUser},
      {u"HKEY_CLASSES_ROOT", kClassesRoot},
      {u"HKCR", kClassesRoot},
      {u"HKEY_USERS", kUsers},
      {u"HKU", kUsers},
  }};
  const size_t slash = path.find(u'\\');
  const TextView root = path.substr(0, slash);
  const TextView rest = slash == TextView::npos ? TextView() : path.substr(slash + 1);
  for (const auto& [name, key] : kRoots) {
    if (EqualsIgnoreCase(root, name)) return std::make_pair(key, rest);
  }
  return std::nullopt;
}

// All of `digits` as a hexadecimal number of one to eight digits.
std::optional<uint32_t> ParseHexNumber(TextView digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char16_t c : digits) {
    const int digit = DigitValue(c);
    if (digit >= 16) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// "01,02, ab" into bytes; nullopt when anything else stands there.
std::optional<std::vector<uint8_t>> ParseHexBytes(TextView text) {
  std::vector<uint8_t> bytes;
  size_t i = 0;
  while (true) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    if (i + 1 >= text.size()) return std::nullopt;
    const auto byte = HexByte(text[i], text[i + 1]);
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    i += 2;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    if (text[i] != u',') return std::nullopt;
    ++i;
  }
  return bytes;
}

// A quoted string starting at text[0] == '"': the unescaped contents and
// the position after the closing quote.
std::optional<std::pair<Text, size_t>> ParseQuoted(TextView text) {
  if (text.empty() || text[0] != u'"') return std::nullopt;
  Text out;
  for (size_t i = 1; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'"') return std::make_pair(std::move(out), i + 1);
    if (c == u'\\' && i + 1 < text.size()) {
      out.push_back(text[++i]);
      continue;
    }
    out.push_back(c);
  }
  return std::nullopt;
}

class Importer {
 public:
  Importer(Registry& registry, bool ansiData) : registry_(registry), ansiData_(ansiData) {}

  void Line(TextView line) {
    line = TrimBlanks(line);
    if (line.empty() || line[0] == u';') return;
    if (line[0] == u'[') {
      KeyLine(line);
    } else if (!ValueLine(line)) {
      ++report_.skippedLines;
    }
  }

  [[nodiscard]] RegImportReport report() const { return report_; }

 private:
  void KeyLine(TextView line) {
    key_.Reset();
    const size_t close = line.rfind(u']');
    if (close == TextView::npos) {
      ++report_.skippedLines;
      return;
    }
    TextView path = line.substr(1, close - 1);
    const bool remove = !path.empty() && path[0] == u'-';
    if (remove) path.remove_prefix(1);
    const auto root = SplitRoot(path);
    if (!root) {
      ++report_.skippedLines;
      return;
    }
    if (remove) {
      if (!root->second.empty() && registry_.DeleteTree(root->first, root->second) == 0) {
        ++report_.deletedKeys;
      }
      return;
    }
    WinError error = 0;
    key_ = ScopedKey::Create(registry_, root->first, root->second, kKeyAllAccess, &error);
    if (key_) {
      ++report_.keys;
    } else {
      ++report_.skippedLines;
    }
  }

  bool ValueLine(TextView line) {
    if (!key_) return false;
    Text name;
    size_t pos = 0;
    if (line[0] == u'@') {
      pos = 1;
    } else {
      auto quoted = ParseQuoted(line);
      if (!quoted) return false;
      name = std::move(quoted->first);
      pos = quoted->second;
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != u'=') return false;
    const TextView data = TrimBlanks(line.substr(pos + 1));
    if (data == u"-") {
      if (registry_.DeleteValue(key_.get(), name) == 0) ++report_.deletedValues;
      return true;
    }
    auto value = ParseData(data);
    if (!value) return false;
    if (registry_.SetValue(key_.get(), name, *value) != 0) return false;
    ++report_.values;
    return true;
  }

  std::optional<RegValue> ParseData(TextView data) const {
    if (!data.empty() && data[0] == u'"') {
      auto quoted = ParseQuoted(data);
      if (!quoted || quoted->second != data.size()) return std::nullopt;
      return RegValue::FromText(quoted->first);
    }
    if (StartsWithIgnoreCase(data, u"dword:")) return ParseDword(data.substr(6));
    if (StartsWithIgnoreCase(data, u"hex:")) return ParseHex(kRegBinary, data.substr(4));
    if (StartsWithIgnoreCase(data, u"hex(")) {
      const size_t close = data.find(u"):");
      if (close == TextView::npos) return std::nullopt;
      const auto type = ParseHexNumber(data.substr(4, close - 4));
      if (!type) return std::nullopt;
      return ParseHex(*type, data.substr(close + 2));
    }
    return std::nullopt;
  }

  static std::optional<RegValue> ParseDword(TextView digits) {
    const auto value = ParseHexNumber(digits);
    if (!value) return std::nullopt;
    return RegValue::FromDword(*value);
  }

  std::optional<RegValue> ParseHex(uint32_t type, TextView list) const {
    auto bytes = ParseHexBytes(list);
    if (!bytes) return std::nullopt;
    RegValue value;
    value.type = type;
    if (ansiData_ && (type == kRegExpandSz || type == kRegMultiSz)) {
      AppendUtf16Le(value.data, DecodeAnsi(*bytes));
    } else {
      value.data = std::move(*bytes);
    }
    return value;
  }

  Registry& registry_;
  bool ansiData_;
  ScopedKey key_;
  RegImportReport report_;
};

// Splits into logical lines: a line whose last non-blank character is a
// backslash outside a quoted string continues on the next line.
std::vector<Text> LogicalLines(TextView text) {
  std::vector<Text> lines;
  Text current;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == TextView::npos) end = text.size();
    TextView line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    const TextView trimmed = TrimBlanks(line);
    const bool continues = !trimmed.empty() && trimmed.back() == u'\\';
    current.append(continues ? trimmed.substr(0, trimmed.size() - 1)
                             : (current.empty() ? line : trimmed));
    if (!continues) {
      lines.push_back(std::move(current));
      current.clear();
    }
    start = end + 1;
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

}  // namespace

Text DecodeRegFileText(std::span<const uint8_t> bytes) {
  DecodedProfileText decoded = DecodeProfileText(bytes);
  // Hand-written and editor-saved files are often UTF-8 without a mark; only
  // unmarked bytes that do not read as UTF-8 are taken as ANSI.
  if (decoded.encoding == ProfileEncoding::kAnsi && IsValidUtf8(bytes)) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  return std::move(decoded.text);
}

Result<RegImportReport> ImportRegFile(Registry& registry, std::span<const uint8_t> bytes) {
  const std::vector<Text> lines = LogicalLines(DecodeRegFileText(bytes));
  size_t first = 0;
  while (first < lines.size() && TrimBlanks(lines[first]).empty()) ++first;
  if (first == lines.size()) return Result<RegImportReport>::Failure(kErrorInvalidData);
  const TextView header = TrimBlanks(lines[first]);
  const bool version4 = header == kHeader4;
  if (!version4 && header != kHeader5) return Result<RegImportReport>::Failure(kErrorInvalidData);
  Importer importer(registry, version4);
  for (size_t i = first + 1; i < lines.size(); ++i) importer.Line(lines[i]);
  return importer.report();
}

}  // namespace tarn::platform
