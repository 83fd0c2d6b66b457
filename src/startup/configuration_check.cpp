#include "startup/configuration_check.h"

#include <algorithm>
#include <unordered_map>

#include "app/machine_table.h"
#include "base/edit_distance.h"
#include "base/format.h"
#include "base/shell_folder_names.h"
#include "startup/configuration_check_parts.h"

namespace tarn::startup {
namespace {

using check::Findings;
using check::KnownKey;
using platform::OutlineKey;
using platform::OutlineSection;

Text Folded(TextView name) {
  Text folded(name);
  for (char16_t& c : folded) c = FoldCase(c);
  return folded;
}

// "descripton.0" -> "descripton" and ".0": the numbers a key carries.
std::pair<TextView, TextView> SplitNumbers(TextView key) {
  size_t cut = key.size();
  while (cut > 0 && (key[cut - 1] == u'.' || (key[cut - 1] >= u'0' && key[cut - 1] <= u'9'))) {
    --cut;
  }
  while (cut < key.size() && key[cut] != u'.') ++cut;
  return {key.substr(0, cut), key.substr(cut)};
}

// The known key nearest to `key` as it would be written with the same
// numbers; empty when none is near enough to be what was meant.
Text NearestKey(app::SectionKind kind, TextView key) {
  const auto [stem, numbers] = SplitNumbers(key);
  Text best;
  size_t bestDistance = SIZE_MAX;
  const auto consider = [&](TextView compared, TextView against, Text candidate) {
    const size_t limit = std::max<size_t>(1, std::min<size_t>(3, against.size() / 3));
    const size_t distance = EditDistance(compared, against, limit);
    if (distance <= limit && distance < bestDistance) {
      bestDistance = distance;
      best = std::move(candidate);
    }
  };
  for (const app::KeyRule& rule : app::ConfigurationKeys()) {
    if (rule.section != kind) continue;
    if (rule.form == app::KeyForm::kPlain || rule.form == app::KeyForm::kSection) {
      consider(key, rule.base, Text(rule.base));
    } else if (rule.form == app::KeyForm::kShellFolder) {
      for (TextView folder : ShellFolderNames())
        consider(stem, folder, Text(folder) + Text(numbers));
    } else if (!numbers.empty()) {
      consider(stem, rule.base, Text(rule.base) + Text(numbers));
    }
  }
  return best;
}

// A section where the key would be read, when it is not this one.
std::optional<TextView> SectionThatReads(TextView key) {
  if (app::MatchKey(app::SectionKind::kSettings, key)) return u"[settings]";
  if (app::MatchKey(app::SectionKind::kUsers, key)) return u"[users]";
  return std::nullopt;
}

void ReportUnknown(app::SectionKind kind, const OutlineKey& key, Findings& findings) {
  Text text = u"unknown key " + check::Quoted(key.name) + u": no part of the program reads it";
  const Text nearest = NearestKey(kind, key.name);
  if (!nearest.empty()) {
    text += u"; did you mean " + check::Quoted(nearest) + u"?";
  } else if (kind == app::SectionKind::kSoftware && app::MatchKey(kind, Text(key.name) + u".0")) {
    text += u"; a section itself has no " + Text(key.name) + u", an item does: " +
            check::Quoted(Text(key.name) + u".0");
  } else if (const auto elsewhere = SectionThatReads(key.name)) {
    text += u"; it is read in " + Text(*elsewhere);
  }
  findings.Error(key.at, std::move(text));
}

// The keys of one section that the program reads: the first of each name,
// each value checked against its kind. Later keys of the same name and keys
// nothing reads are reported.
std::vector<KnownKey> KnownKeys(const OutlineSection& section, app::SectionKind kind,
                                Findings& findings) {
  std::vector<KnownKey> known;
  std::unordered_map<Text, uint32_t> firstLine;
  for (const OutlineKey& key : section.keys) {
    const auto [first, added] = firstLine.emplace(Folded(key.name), key.at.line);
    if (!added) {
      findings.Warning(key.at, Format(u"duplicate key %s: the first, at line %u, wins and this "
                                      u"one is ignored",
                                      {check::Quoted(key.name), first->second}));
      continue;
    }
    auto match = app::MatchKey(kind, key.name);
    if (!match) {
      ReportUnknown(kind, key, findings);
      continue;
    }
    known.push_back({&key, std::move(*match)});
    check::CheckValue(known.back(), findings);
  }
  return known;
}

check::SettingsFacts FactsOf(const std::vector<KnownKey>& keys) {
  check::SettingsFacts facts;
  for (const KnownKey& key : keys) {
    if (EqualsIgnoreCase(key.base(), u"HasGaps")) {
      facts.hasGaps = ParseNumberAutoBase(TrimBlanks(key.value())) != 0;
    } else if (EqualsIgnoreCase(key.base(), u"Computer")) {
      facts.computer = Text(key.value());
    }
  }
  return facts;
}

// The installation variables of [environment] as the run sets them, in order.
check::Variables VariablesOf(const OutlineSection* environment, const CheckInput& input) {
  check::Variables variables{{u"INIDIR", input.iniDir}};
  if (environment == nullptr) return variables;
  for (const OutlineKey& key : environment->keys) {
    if (!key.value) continue;
    if (auto expanded = check::ExpandKnown(*key.value, variables)) {
      variables.emplace_back(key.name, std::move(*expanded));
    }
  }
  return variables;
}

class Checker {
 public:
  Checker(const platform::ProfileOutline& outline, Findings& findings)
      : outline_(outline), findings_(findings) {}

  void Run() {
    for (const OutlineKey& key : outline_.preamble) {
      findings_.Warning(key.at, u"key " + check::Quoted(key.name) +
                                    u" stands before the first section: nothing reads it");
    }
    const std::vector<const OutlineSection*> sections = FirstSections();
    const OutlineSection* settings = Find(sections, app::SectionKind::kSettings);
    const std::vector<KnownKey> settingsKeys =
        settings ? KnownKeys(*settings, app::SectionKind::kSettings, findings_)
                 : std::vector<KnownKey>();
    check::CheckSettings(settingsKeys, findings_);
    const check::SettingsFacts facts = FactsOf(settingsKeys);
    const check::Variables variables =
        VariablesOf(Find(sections, app::SectionKind::kEnvironment), findings_.input());
    for (const KnownKey& key : settingsKeys) {
      if (key.match.rule->kind == app::ValueKind::kFile) {
        check::CheckNamedFile(*key.line, key.value(), variables, findings_);
      }
    }
    for (const OutlineSection* section : sections) {
      const app::SectionKind kind = app::SectionKindOf(section->name);
      if (kind == app::SectionKind::kUsers) {
        check::CheckUsers(KnownKeys(*section, kind, findings_), facts, findings_);
      } else if (kind == app::SectionKind::kSoftware) {
        check::CheckSoftware(KnownKeys(*section, kind, findings_), facts, variables, findings_);
      } else if (kind == app::SectionKind::kMachines) {
        check::CheckMachines(KnownKeys(*section, kind, findings_), variables,
                             SelectionNames(sections), findings_);
      }
    }
  }

 private:
  // The sections the profile functions find: the first of each name. The
  // later ones are reported; a later software section would show the first
  // one's entries a second time.
  std::vector<const OutlineSection*> FirstSections() {
    std::vector<const OutlineSection*> first;
    std::unordered_map<Text, uint32_t> seen;
    for (const OutlineSection& section : outline_.sections) {
      const auto [at, added] = seen.emplace(Folded(section.name), section.at.line);
      if (added) {
        first.push_back(&section);
        continue;
      }
      findings_.Error(section.at,
                      Format(u"duplicate section [%s]: the first, at line %u, wins and every key "
                             u"of this one is ignored",
                             {TextView(section.name), at->second}));
    }
    return first;
  }

  // The names of the selections: the sections "machines.<name>".
  static std::vector<Text> SelectionNames(const std::vector<const OutlineSection*>& sections) {
    std::vector<Text> names;
    for (const OutlineSection* section : sections) {
      if (app::SectionKindOf(section->name) == app::SectionKind::kSelection) {
        names.push_back(section->name.substr(std::size(app::kSelectionSectionPrefix) - 1));
      }
    }
    return names;
  }

  static const OutlineSection* Find(const std::vector<const OutlineSection*>& sections,
                                    app::SectionKind kind) {
    for (const OutlineSection* section : sections) {
      if (app::SectionKindOf(section->name) == kind) return section;
    }
    return nullptr;
  }

  const platform::ProfileOutline& outline_;
  Findings& findings_;
};

}  // namespace

std::vector<Diagnostic> CheckConfiguration(std::span<const uint8_t> bytes,
                                           const CheckInput& input) {
  platform::ProfileOutline outline = platform::OutlineProfile(bytes, input.ansiCodePage);
  Findings findings(input);
  Checker(outline, findings).Run();
  platform::WipeOutline(outline);
  std::vector<Diagnostic> list = findings.Take();
  std::stable_sort(list.begin(), list.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return list;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
  return std::any_of(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::kError; });
}

Text FormatDiagnostics(const std::vector<Diagnostic>& diagnostics) {
  Text out;
  for (const Diagnostic& d : diagnostics) {
    out += Format(u"%s:%u:%u: %s: %s\n",
                  {TextView(d.file), d.line, d.column,
                   d.severity == Severity::kError ? TextView(u"error") : TextView(u"warning"),
                   TextView(d.text)});
  }
  return out;
}

}  // namespace tarn::startup
