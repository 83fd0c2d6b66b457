// The configuration check of one software section: which numbered items and
// tests the loader reaches, test.eval expressions, conditional values, radio
// groups and the files that items name.
#include <algorithm>
#include <map>
#include <set>

#include "base/command_line_rules.h"
#include "base/format.h"
#include "catalogue/conditional_text.h"
#include "catalogue/token_list.h"
#include "startup/configuration_check_parts.h"

namespace tarn::startup::check {
namespace {

constexpr uint32_t kLastIndex = 254;

// An item's index path split at its last number: "1.0" -> "1" and 0.
struct PathParts {
  Text parent;
  uint32_t index = 0;
};

PathParts Split(TextView path) {
  const size_t dot = path.rfind(u'.');
  if (dot == TextView::npos) return {Text(), ParseNumberAutoBase(path)};
  return {Text(path.substr(0, dot)), ParseNumberAutoBase(path.substr(dot + 1))};
}

Text Child(TextView parent, uint32_t index) {
  return parent.empty() ? Format(u"%u", {index}) : Format(u"%s.%u", {parent, index});
}

// The keys of one item, in file order.
struct Item {
  std::vector<const KnownKey*> keys;
  std::map<uint32_t, const KnownKey*> tests;  // non-empty test.P.N

  const KnownKey* Find(TextView base) const {
    for (const KnownKey* key : keys) {
      if (EqualsIgnoreCase(key->base(), base)) return key;
    }
    return nullptr;
  }
  TextView Value(TextView base) const {
    const KnownKey* key = Find(base);
    return key ? key->value() : TextView();
  }
  bool HasCommand() const { return !Value(u"command").empty(); }
};

// Whether `rest`, what follows "if.true" or "if.false", completes the
// construct: ("text") with a non-empty text, as conditional text finds it.
bool IsCompleteConstruct(TextView rest) {
  if (rest.size() < 2 || rest[0] != u'(' || rest[1] != u'"') return false;
  const size_t close = rest.find(u'"', 2);
  return close != TextView::npos && close > 2 && close + 1 < rest.size() && rest[close + 1] == u')';
}

void CheckConstructs(const KnownKey& key, bool conditional, Findings& findings) {
  const TextView value = key.value();
  for (size_t at = 0; at + 3 < value.size(); ++at) {
    if (!StartsWithIgnoreCase(value.substr(at), u"if.")) continue;
    const TextView rest = value.substr(at + 3);
    size_t word = 0;
    if (StartsWithIgnoreCase(rest, u"true")) word = 4;
    if (StartsWithIgnoreCase(rest, u"false")) word = 5;
    if (word == 0) continue;
    const bool complete = IsCompleteConstruct(rest.substr(word));
    if (!conditional) {
      if (complete) {
        findings.Warning(Findings::Into(*key.line, at),
                         u"a section's values are not conditional: this construct stays as text");
      }
    } else if (!complete) {
      findings.Warning(Findings::Into(*key.line, at),
                       u"incomplete conditional value: it stays as text; write " +
                           Text(value.substr(at, 3 + word)) + u"(\"text\")");
    }
  }
}

class SoftwareCheck {
 public:
  SoftwareCheck(const std::vector<KnownKey>& keys, const SettingsFacts& settings,
                const Variables& variables, Findings& findings)
      : settings_(settings), variables_(variables), findings_(findings) {
    for (const KnownKey& key : keys) Sort(key);
  }

  void Run() {
    for (const auto& [path, item] : items_) {
      const PathParts parts = Split(path);
      if (item.HasCommand() && Child(parts.parent, parts.index) == path) {
        commanded_[parts.parent].insert(parts.index);
      }
    }
    Walk(Text());
    for (const auto& [path, item] : items_) {
      if (!reached_.count(path)) {
        ReportUnread(path, item);
        continue;
      }
      CheckTests(path, item);
      CheckGroup(path, item.Find(u"group"));
      CheckFiles(item);
    }
    CheckGroup(Text(), section_.Find(u"group"));
    CheckFiles(section_);
  }

 private:
  void Sort(const KnownKey& key) {
    const app::KeyForm form = key.match.rule->form;
    if (form == app::KeyForm::kSection) {
      section_.keys.push_back(&key);
      CheckConstructs(key, false, findings_);
      return;
    }
    Item& item = items_[key.match.number];
    item.keys.push_back(&key);
    if (form == app::KeyForm::kItemTest) {
      const uint32_t number = ParseNumberAutoBase(key.match.testNumber);
      if (Format(u"%u", {number}) != key.match.testNumber) {
        findings_.Error(key.line->at, key.line->name +
                                          u" is never read: tests are numbered "
                                          u"without leading zeros");
      } else if (!key.value().empty()) {
        item.tests[number] = &key;
      }
      return;
    }
    CheckConstructs(
        key, key.match.rule->kind == app::ValueKind::kCommand || IsConditionalText(key.base()),
        findings_);
  }

  static bool IsConditionalText(TextView base) {
    for (TextView name : {u"description", u"workdir", u"help", u"helptext"}) {
      if (EqualsIgnoreCase(base, name)) return true;
    }
    return false;
  }

  // The items the loader reads: from 0 on up to the first without a command,
  // or with HasGaps every number up to 254 that has one.
  void Walk(const Text& parent) {
    const auto found = commanded_.find(parent);
    if (found == commanded_.end()) return;
    uint32_t expected = 0;
    for (const uint32_t index : found->second) {
      if (index > kLastIndex || (!settings_.hasGaps && index != expected)) return;
      expected = index + 1;
      const Text path = Child(parent, index);
      reached_.insert(path);
      members_[parent].push_back(path);
      Walk(path);
    }
  }

  void ReportUnread(const Text& path, const Item& item) {
    const platform::TextPosition at = item.keys.front()->line->at;
    const PathParts parts = Split(path);
    if (!item.HasCommand()) {
      findings_.Error(
          at, Format(u"the keys of item %s are never read: it has no command.%s", {path, path}));
    } else if (!parts.parent.empty() && !reached_.count(parts.parent)) {
      findings_.Error(at, Format(u"item %s is never read: the item %s above it is not read",
                                 {path, parts.parent}));
    } else if (parts.index > kLastIndex || Child(parts.parent, parts.index) != path) {
      findings_.Error(at, Format(u"item %s is never read: items are numbered 0 to %u without "
                                 u"leading zeros",
                                 {path, kLastIndex}));
    } else {
      uint32_t gap = 0;
      const std::set<uint32_t>& numbers = commanded_[parts.parent];
      while (numbers.count(gap)) ++gap;
      findings_.Error(at, Format(u"item %s is never read: command.%s is missing and the numbers "
                                 u"after a gap are not read (HasGaps=1 reads them)",
                                 {path, Child(parts.parent, gap)}));
    }
  }

  void CheckTests(const Text& path, const Item& item) {
    uint32_t count = 0;
    while (item.tests.count(count)) ++count;
    for (const auto& [number, key] : item.tests) {
      if (number < count) continue;
      findings_.Error(key->line->at,
                      Format(u"test.%s.%u is never read: the tests end where test.%s.%u is missing",
                             {path, number, path, count}));
    }
    if (const KnownKey* eval = item.Find(u"test.eval")) CheckExpression(*eval, path, count);
  }

  // Test numbers joined by & | = !, as the loader evaluates them.
  void CheckExpression(const KnownKey& key, const Text& path, uint32_t tests) {
    const TextView text = key.value();
    size_t pos = 0;
    bool expectNumber = true;
    const auto fail = [&](size_t at, Text message) {
      findings_.Error(Findings::Into(*key.line, at), std::move(message));
    };
    while (true) {
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
      if (pos >= text.size()) {
        if (expectNumber && pos > 0) fail(pos, u"the expression ends after an operator");
        return;
      }
      if (!expectNumber) {
        if (text[pos] == u'&' || text[pos] == u'|' || text[pos] == u'=' || text[pos] == u'!') {
          ++pos;
          expectNumber = true;
          continue;
        }
        return fail(pos, Quoted(text.substr(pos, 1)) +
                             u" is not an operator (& | = !): the rest of the expression is "
                             u"not read");
      }
      const AutoBaseNumber number = ScanNumberAutoBase(text.substr(pos), INT32_MAX);
      if (number.length == 0 || number.negative) {
        return fail(pos,
                    u"a test number is expected here: the rest of the expression is not "
                    u"read");
      }
      if (number.magnitude >= tests) {
        fail(pos, Format(u"test %u does not exist (test.%s.%u is missing): the whole condition "
                         u"is then true",
                         {number.magnitude, path, number.magnitude}));
      }
      pos += number.length;
      expectNumber = false;
    }
  }

  const Item* ItemAt(const Text& path) const {
    if (path.empty()) return &section_;
    const auto found = items_.find(path);
    return found == items_.end() ? nullptr : &found->second;
  }

  void CheckGroup(const Text& path, const KnownKey* group) {
    if (group == nullptr || !catalogue::HasToken(group->value(), u"1")) return;
    std::vector<const Item*> members;
    for (const Text& child : members_[path]) members.push_back(ItemAt(child));
    if (members.empty()) {
      findings_.Error(group->line->at, u"radio group with no member: no item below it is read");
      return;
    }
    const KnownKey* first = nullptr;
    for (const Item* member : members) {
      const KnownKey* selected = member->Find(u"selected");
      if (selected == nullptr || !catalogue::HasToken(selected->value(), u"1")) continue;
      if (first == nullptr) {
        first = selected;
        continue;
      }
      findings_.Error(selected->line->at,
                      Format(u"a second member of the radio group is selected (the first at line "
                             u"%u): only one can be",
                             {first->line->at.line}));
    }
  }

  void CheckFiles(const Item& item) {
    for (const KnownKey* key : item.keys) {
      Text value(key->value());
      if (key->match.rule->form == app::KeyForm::kItem) {
        (void)catalogue::ApplyConditionalText(value, true);
      }
      if (key->match.rule->kind == app::ValueKind::kCommand) {
        const std::vector<Text> arguments = SplitCommandLine(value);
        if (!arguments.empty())
          CheckNamedFile(*key->line, arguments.front(), variables_, findings_);
      } else if (key->match.rule->kind == app::ValueKind::kFile) {
        CheckNamedFile(*key->line, value, variables_, findings_);
      }
    }
  }

  const SettingsFacts& settings_;
  const Variables& variables_;
  Findings& findings_;
  Item section_;
  std::map<Text, Item> items_;
  std::set<Text> reached_;
  // Per parent path: the numbers of its items that have a command, and the
  // paths of those the loader reads, in order.
  std::map<Text, std::set<uint32_t>> commanded_;
  std::map<Text, std::vector<Text>> members_;
};

}  // namespace

void CheckSoftware(const std::vector<KnownKey>& keys, const SettingsFacts& settings,
                   const Variables& variables, Findings& findings) {
  SoftwareCheck(keys, settings, variables, findings).Run();
}

}  // namespace tarn::startup::check
