// The configuration check: values against the kind of their key.
#include <algorithm>
#include <array>

#include "base/format.h"
#include "base/shell_folder_names.h"
#include "catalogue/token_list.h"
#include "startup/configuration_check_parts.h"

namespace tarn::startup::check {
namespace {

// Keys whose number has a range the program keeps to (it clamps or ignores
// anything else).
struct NumberRange {
  TextView key;
  int64_t low;
  int64_t high;
};

constexpr auto kRanges = std::to_array<NumberRange>({
    {u"BusyRetries", 0, 20},
    {u"BusyPause", 1, 3600},
    {u"MaxRestarts", 0, 100},
    {u"RestartIfPending", 0, 2},
    {u"RestartOnRequest", 0, 1},
    {u"InstallerCodes", 0, 1},
    {u"restartafter", 0, 1},
    {u"AutoLogon", 0, 2},
    {u"Group", 0, 2},
    {u"SplitterPos", 0, 100},
});

// Keys that take one word or nothing.
struct Word {
  TextView key;
  TextView word;
};
constexpr auto kWords = std::to_array<Word>({{u"ExitCode", u"result"}, {u"LogFormat", u"cmtrace"}});

constexpr auto kAttributeWords = std::to_array<TextView>({u"1", u"0", u"inherit"});
constexpr auto kConditionWords = std::to_array<TextView>({u"if.true", u"if.false"});
constexpr auto kStyleWords =
    std::to_array<TextView>({u"bold", u"italic", u"underline", u"striked"});

bool IsOneOf(TextView word, std::span<const TextView> words) {
  for (TextView known : words) {
    if (EqualsIgnoreCase(word, known)) return true;
  }
  return false;
}

// A whole number as the profile functions read it: a sign, then digits with
// automatic base, nothing after them. nullopt for anything else.
std::optional<int64_t> WholeNumber(TextView text) {
  text = TrimBlanks(text);
  const AutoBaseNumber number = ScanNumberAutoBase(text, UINT32_MAX);
  if (number.length == 0 || number.length != text.size()) return std::nullopt;
  const auto magnitude = static_cast<int64_t>(number.magnitude);
  return number.negative ? -magnitude : magnitude;
}

bool IsDigits(TextView text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

void CheckRange(const KnownKey& key, int64_t number, Findings& findings) {
  for (const NumberRange& range : kRanges) {
    if (!EqualsIgnoreCase(key.base(), range.key)) continue;
    if (number < range.low || number > range.high) {
      findings.Error(key.line->valueAt,
                     Format(u"%s takes %d to %d, not %s",
                            {key.line->name, range.low, range.high, Quoted(key.value())}));
    }
  }
}

void CheckNumber(const KnownKey& key, Findings& findings) {
  const auto number = WholeNumber(key.value());
  if (!number) {
    findings.Error(key.line->valueAt, Quoted(key.value()) + u" is not a number; " + key.line->name +
                                          u" reads only the digits at its start");
    return;
  }
  CheckRange(key, *number, findings);
}

void CheckExitCodes(const KnownKey& key, Findings& findings) {
  const TextView value = key.value();
  catalogue::ForEachToken(value, [&](TextView token) {
    if (WholeNumber(token)) return;
    findings.Error(Findings::Into(*key.line, static_cast<size_t>(token.data() - value.data())),
                   Quoted(token) + u" is not an exit code and is passed over");
  });
}

bool TokenMeansSomething(const KnownKey& key, TextView token) {
  const bool item = key.match.rule->form == app::KeyForm::kItem;
  if (EqualsIgnoreCase(key.base(), u"flags")) {
    if (IsOneOf(token, kStyleWords)) return true;
    const size_t colon = token.find(u':');
    return item && colon != TextView::npos && IsOneOf(token.substr(0, colon), kStyleWords) &&
           IsOneOf(token.substr(colon + 1), kConditionWords);
  }
  if (StartsWithIgnoreCase(key.base(), u"ShellFolderModify.")) {
    return FindShellFolder(token).has_value() || (token[0] >= u'0' && token[0] <= u'9');
  }
  return IsOneOf(token, kAttributeWords) || (item && IsOneOf(token, kConditionWords));
}

void CheckTokens(const KnownKey& key, Findings& findings) {
  const TextView value = key.value();
  // Folder names hold blanks: that list is split at commas only.
  if (StartsWithIgnoreCase(key.base(), u"ShellFolderModify.")) {
    size_t start = 0;
    while (start <= value.size()) {
      size_t comma = value.find(u',', start);
      if (comma == TextView::npos) comma = value.size();
      const TextView item = TrimBlanks(value.substr(start, comma - start));
      if (!item.empty() && !TokenMeansSomething(key, item)) {
        findings.Warning(Findings::Into(*key.line, static_cast<size_t>(item.data() - value.data())),
                         Quoted(item) + u" is no shell folder and is ignored");
      }
      start = comma + 1;
    }
    return;
  }
  catalogue::ForEachToken(value, [&](TextView token) {
    if (TokenMeansSomething(key, token)) return;
    findings.Warning(Findings::Into(*key.line, static_cast<size_t>(token.data() - value.data())),
                     Quoted(token) + u" means nothing in " + key.line->name + u" and is ignored");
  });
}

void CheckWord(const KnownKey& key, Findings& findings) {
  for (const Word& word : kWords) {
    if (!EqualsIgnoreCase(key.base(), word.key)) continue;
    if (!EqualsIgnoreCase(TrimBlanks(key.value()), word.word)) {
      findings.Error(key.line->valueAt, key.line->name + u" takes only " + Quoted(word.word) +
                                            u" or nothing, not " + Quoted(key.value()));
    }
  }
}

}  // namespace

Text Quoted(TextView text) {
  return u"'" + Text(text) + u"'";
}

void CheckValue(const KnownKey& key, Findings& findings) {
  if (TrimBlanks(key.value()).empty()) return;
  switch (key.match.rule->kind) {
    case app::ValueKind::kNumber:
    case app::ValueKind::kSwitch:
      return CheckNumber(key, findings);
    case app::ValueKind::kSeconds:
      if (!IsDigits(TrimBlanks(key.value()))) {
        findings.Error(key.line->valueAt,
                       Quoted(key.value()) + u" is not a number of seconds (digits only)");
      }
      return CheckRange(key, ParseNumberAutoBase(TrimBlanks(key.value())), findings);
    case app::ValueKind::kExitCodes:
      return CheckExitCodes(key, findings);
    case app::ValueKind::kTokens:
      return CheckTokens(key, findings);
    case app::ValueKind::kText:
      return CheckWord(key, findings);
    default:
      return;
  }
}

std::optional<Text> ExpandKnown(TextView value, const Variables& variables) {
  Text out;
  size_t pos = 0;
  while (pos < value.size()) {
    const size_t open = value.find(u'%', pos);
    if (open == TextView::npos) break;
    const size_t close = value.find(u'%', open + 1);
    if (close == TextView::npos) break;
    out.append(value.substr(pos, open - pos));
    const TextView name = value.substr(open + 1, close - open - 1);
    const Text* found = nullptr;
    // The last definition of a name is the one in force.
    for (const auto& [known, text] : variables) {
      if (EqualsIgnoreCase(known, name)) found = &text;
    }
    if (found == nullptr) return std::nullopt;
    out += *found;
    pos = close + 1;
  }
  out.append(value.substr(std::min(pos, value.size())));
  return out;
}

void CheckNamedFile(const platform::OutlineKey& key, TextView path, const Variables& variables,
                    Findings& findings) {
  const CheckInput& input = findings.input();
  if (!input.fileExists || input.iniDir.empty()) return;
  const TextView trimmed = TrimBlanks(path);
  // Only what lies beside the configuration can be looked up here; other
  // paths belong to the machine the run will find.
  const auto expanded = ExpandKnown(trimmed, variables);
  if (!expanded || !StartsWithIgnoreCase(*expanded, input.iniDir)) return;
  if (input.fileExists(*expanded)) return;
  findings.Warning(key.valueAt,
                   Quoted(trimmed) + u" names a file that is not there (" + *expanded + u")");
}

}  // namespace tarn::startup::check
