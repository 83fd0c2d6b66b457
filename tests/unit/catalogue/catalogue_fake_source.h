// An in-memory configuration file for loader tests: "[section]" headers and
// "key=value" lines, names compared ignoring case, values trimmed of blanks
// and one pair of enclosing quotes, as the profile functions read them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "catalogue/catalogue_source.h"

namespace tarn::catalogue::testing {

class FakeIniSource final : public CatalogueSource {
 public:
  explicit FakeIniSource(std::string_view utf8) {
    Text text = FromUtf8(utf8);
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(u'\n', start);
      if (end == Text::npos) end = text.size();
      AddLine(TrimBlanks(TextView(text).substr(start, end - start)));
      start = end + 1;
    }
  }

  platform::ProfileBuffer SectionNames(uint32_t capacity) override {
    ++sectionNameCalls;
    Text all;
    for (const auto& section : sections_) {
      all += section.first;
      all.push_back(0);
    }
    if (all.size() + 1 <= capacity) return {all, static_cast<uint32_t>(all.size())};
    Text cut = all.substr(0, capacity - 2);
    cut.push_back(0);
    return {cut, capacity - 2};
  }

  Text Value(TextView section, TextView key, uint32_t capacity) override {
    ++valueCalls;
    for (const auto& s : sections_) {
      if (!EqualsIgnoreCase(s.first, section)) continue;
      for (const auto& kv : s.second) {
        if (EqualsIgnoreCase(kv.first, key)) return CutToCapacity(kv.second, capacity - 1);
      }
      return Text();
    }
    return Text();
  }

  platform::ProfileBuffer SectionLines(TextView section, uint32_t capacity) override {
    Text all;
    for (const auto& s : sections_) {
      if (!EqualsIgnoreCase(s.first, section)) continue;
      for (const auto& kv : s.second) {
        all += kv.first + u"=" + kv.second;
        all.push_back(0);
      }
      break;
    }
    if (all.size() + 1 <= capacity) return {all, static_cast<uint32_t>(all.size())};
    Text cut = all.substr(0, capacity - 2);
    cut.push_back(0);
    return {cut, capacity - 2};
  }

  int sectionNameCalls = 0;
  int valueCalls = 0;

 private:
  void AddLine(TextView line) {
    if (line.empty() || line[0] == u';') return;
    if (line[0] == u'[') {
      const size_t close = line.find(u']');
      sections_.push_back(
          {Text(line.substr(1, close == TextView::npos ? TextView::npos : close - 1)), {}});
      return;
    }
    const size_t eq = line.find(u'=');
    if (sections_.empty() || eq == TextView::npos) return;
    TextView value = TrimBlanks(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
      value = value.substr(1, value.size() - 2);
    }
    sections_.back().second.push_back({Text(TrimBlanks(line.substr(0, eq))), Text(value)});
  }

  std::vector<std::pair<Text, std::vector<std::pair<Text, Text>>>> sections_;
};

}  // namespace tarn::catalogue::testing
