// The pieces of the configuration check, one file per kind of section; only
// configuration_check*.cpp include this.
#pragma once

#include <optional>
#include <vector>

#include "app/configuration_keys.h"
#include "platform/profile_outline.h"
#include "startup/configuration_check.h"

namespace tarn::startup::check {

// A key line that some part of the program reads, with what its name
// carries.
struct KnownKey {
  const platform::OutlineKey* line = nullptr;
  app::KeyMatch match;

  [[nodiscard]] TextView value() const { return line->value ? TextView(*line->value) : TextView(); }
  [[nodiscard]] TextView base() const { return match.rule->base; }
};

// Where findings go, and what one section's check needs from the others.
class Findings {
 public:
  explicit Findings(const CheckInput& input) : input_(input) {}

  void Error(platform::TextPosition at, Text text) { Add(at, Severity::kError, std::move(text)); }
  void Warning(platform::TextPosition at, Text text) {
    Add(at, Severity::kWarning, std::move(text));
  }
  // The position `offset` characters into a key's value.
  [[nodiscard]] static platform::TextPosition Into(const platform::OutlineKey& key, size_t offset) {
    return {key.valueAt.line, key.valueAt.column + static_cast<uint32_t>(offset)};
  }

  [[nodiscard]] const CheckInput& input() const { return input_; }
  [[nodiscard]] std::vector<Diagnostic> Take() { return std::move(list_); }

 private:
  void Add(platform::TextPosition at, Severity severity, Text text) {
    list_.push_back({input_.file, at.line, at.column, severity, std::move(text)});
  }
  const CheckInput& input_;
  std::vector<Diagnostic> list_;
};

// What the settings section tells the other checks.
struct SettingsFacts {
  bool hasGaps = false;
  Text computer;
};

// The environment section's variables, in order, for the files a value
// names through them; %INIDIR% among them.
using Variables = std::vector<std::pair<Text, Text>>;

// The value of a key checked against its kind (numbers, seconds, exit codes,
// switches, ranges of the keys that have one, tokens).
void CheckValue(const KnownKey& key, Findings& findings);

// Identity and password values of [settings].
void CheckSettings(const std::vector<KnownKey>& keys, Findings& findings);
// Accounts of [users]: numbering, names, passwords.
void CheckUsers(const std::vector<KnownKey>& keys, const SettingsFacts& settings,
                Findings& findings);
// One software section: numbering, tests, expressions, conditional values,
// radio groups, files.
void CheckSoftware(const std::vector<KnownKey>& keys, const SettingsFacts& settings,
                   const Variables& variables, Findings& findings);

// `value` with %NAME% of `variables` put in; nullopt when a variable it uses
// is not among them.
[[nodiscard]] std::optional<Text> ExpandKnown(TextView value, const Variables& variables);

// The rows of [machines]: each must read, its names must be ones Windows
// takes (patterns are fitted at the run), its selection one of
// `selections` (the names after "machines."); File= must be there.
void CheckMachines(const std::vector<KnownKey>& keys, const Variables& variables,
                   const std::vector<Text>& selections, Findings& findings);

// Warns when a file a value names below %INIDIR% is not there.
void CheckNamedFile(const platform::OutlineKey& key, TextView path, const Variables& variables,
                    Findings& findings);

// Quotes a name or value for a message.
[[nodiscard]] Text Quoted(TextView text);

}  // namespace tarn::startup::check
