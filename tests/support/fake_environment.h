// A small process environment for start-up tests: %NAME% of a defined
// variable expands, everything else stays; results are cut to the buffer.
#pragma once

#include <map>

#include "platform/environment.h"

namespace tarn::testing {

class FakeEnvironment : public platform::Environment {
 public:
  std::optional<Text> Get(TextView name) override {
    const auto it = variables_.find(ToUpper(name));
    if (it == variables_.end()) return std::nullopt;
    return it->second;
  }
  WinError Set(TextView name, std::optional<TextView> value) override {
    if (value) {
      variables_[ToUpper(name)] = Text(*value);
    } else {
      variables_.erase(ToUpper(name));
    }
    return kErrorSuccess;
  }
  platform::Expansion Expand(TextView text, uint32_t capacity) override {
    Text out;
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t open = text.find(u'%', pos);
      const size_t close = open == TextView::npos ? open : text.find(u'%', open + 1);
      if (close == TextView::npos) break;
      const std::optional<Text> value = Get(text.substr(open + 1, close - open - 1));
      out.append(text.substr(pos, open - pos));
      if (value) {
        out += *value;
        pos = close + 1;
      } else {
        out.push_back(u'%');
        pos = open + 1;
      }
    }
    out.append(text.substr(pos));
    const auto required = static_cast<uint32_t>(out.size() + 1);
    return {CutToCapacity(out, capacity - 1), required};
  }
  platform::EnvironmentBlock CurrentBlock() override { return {}; }
  Result<platform::EnvironmentBlock> ReplaceBlock(const platform::EnvironmentBlock&) override {
    return Result<platform::EnvironmentBlock>::Failure(kErrorNotSupported);
  }

 private:
  std::map<Text, Text> variables_;
};

}  // namespace tarn::testing
