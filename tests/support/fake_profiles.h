// An in-memory profile store for start-up tests: sections and keys compare
// ignoring case, values are cut to the caller's buffer, integers read their
// leading decimal digits. Every request is recorded.
#pragma once

#include <map>
#include <vector>

#include "platform/profile_files.h"

namespace tarn::testing {

class FakeProfiles : public platform::ProfileFiles {
 public:
  struct Request {
    Text file, section, key;
    uint32_t capacity = 0;
  };

  void Set(TextView file, TextView section, TextView key, TextView value) {
    files_[Fold(file)][Fold(section)][Fold(key)] = Text(value);
  }
  // A section that exists but has no keys.
  void AddEmptySection(TextView file, TextView section) { (void)files_[Fold(file)][Fold(section)]; }

  [[nodiscard]] const std::vector<Request>& requests() const { return requests_; }
  [[nodiscard]] bool WasRead(TextView key) const {
    for (const Request& request : requests_) {
      if (EqualsIgnoreCase(request.key, key)) return true;
    }
    return false;
  }

  platform::ProfileBuffer GetString(TextView file, TextView section, TextView key,
                                    TextView defaultValue, uint32_t capacity) override {
    requests_.push_back({Text(file), Text(section), Text(key), capacity});
    const Text* value = Find(file, section, key);
    Text data = CutToCapacity(value ? TextView(*value) : defaultValue, capacity - 1);
    const auto size = static_cast<uint32_t>(data.size());
    return {std::move(data), size};
  }
  int32_t GetInt(TextView file, TextView section, TextView key, int32_t defaultValue) override {
    requests_.push_back({Text(file), Text(section), Text(key), 0});
    const Text* value = Find(file, section, key);
    return value ? ParseDecimalPrefix(*value) : defaultValue;
  }
  platform::ProfileBuffer GetSection(TextView file, TextView section, uint32_t capacity) override {
    requests_.push_back({Text(file), Text(section), Text(), capacity});
    const auto fileIt = files_.find(Fold(file));
    if (fileIt == files_.end()) return {};
    const auto sectionIt = fileIt->second.find(Fold(section));
    if (sectionIt == fileIt->second.end() || sectionIt->second.empty()) return {};
    Text lines;
    for (const auto& [key, value] : sectionIt->second) lines += key + u"=" + value + u'\0';
    if (lines.size() + 1 <= capacity) {
      const auto size = static_cast<uint32_t>(lines.size());
      return {lines, size};
    }
    return {CutToCapacity(lines, capacity - 1), capacity - 2};
  }
  platform::ProfileBuffer GetSectionNames(TextView, uint32_t) override { return {}; }
  std::optional<std::vector<uint8_t>> GetStruct(TextView, TextView, TextView, uint32_t) override {
    return std::nullopt;
  }
  WinError WriteString(TextView file, TextView section, std::optional<TextView> key,
                       std::optional<TextView> value) override {
    if (key && value) Set(file, section, *key, *value);
    return kErrorSuccess;
  }
  WinError WriteStruct(TextView, TextView, TextView, const std::vector<uint8_t>&) override {
    return kErrorNotSupported;
  }

 private:
  static Text Fold(TextView text) { return ToUpper(text); }
  const Text* Find(TextView file, TextView section, TextView key) const {
    const auto fileIt = files_.find(Fold(file));
    if (fileIt == files_.end()) return nullptr;
    const auto sectionIt = fileIt->second.find(Fold(section));
    if (sectionIt == fileIt->second.end()) return nullptr;
    const auto keyIt = sectionIt->second.find(Fold(key));
    return keyIt == sectionIt->second.end() ? nullptr : &keyIt->second;
  }

  std::map<Text, std::map<Text, std::map<Text, Text>>> files_;
  std::vector<Request> requests_;
};

}  // namespace tarn::testing
