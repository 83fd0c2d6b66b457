#include "catalogue/catalogue_loader.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "app/machine_table.h"
#include "app/outcome_keys.h"
#include "app/restart_keys.h"
#include "catalogue/catalogue_navigation.h"
#include "catalogue/conditional_text.h"
#include "catalogue/entry_attributes.h"
#include "catalogue/exit_code_list.h"
#include "catalogue/installation_tests.h"
#include "catalogue/item_index_map.h"
#include "platform/profile_files.h"

namespace tarn::catalogue {
namespace {

constexpr uint32_t kSectionNamesInitial = 512;
constexpr uint32_t kSectionBuffer = kSectionValueCapacity + 1;
constexpr uint32_t kItemBuffer = kItemValueCapacity + 1;
constexpr int kLastIndex = 254;
constexpr int kMaxTests = 65535;
constexpr TextView kMissingDescription = u"<missing description>";
// The longest base name; when its key does not fit, no key of the item does.
constexpr TextView kLongestBase = u"description";

constexpr uint32_t kSectionLinesInitial = 32768;
constexpr uint32_t kListBufferLimit = 1u << 30;

std::vector<Text> ReadSectionNames(CatalogueSource& source) {
  const platform::ProfileBuffer names =
      platform::ReadWholeList([&](uint32_t capacity) { return source.SectionNames(capacity); },
                              kSectionNamesInitial, kListBufferLimit);
  std::vector<Text> list;
  for (const TextView name : platform::SplitZeroList(names.data)) list.emplace_back(name);
  return list;
}

class Loader {
 public:
  Loader(CatalogueSource& source, const TestEvaluator& evaluateTest, const LoadOptions& options,
         SoftwareCatalogue& catalogue)
      : source_(source), evaluateTest_(evaluateTest), options_(options), catalogue_(catalogue) {}

  // False when an entry could not be allocated: loading ends.
  bool ReadSection(const Text& name) {
    section_ = name;
    gaps_.reset();
    if (options_.hasGaps) {
      gaps_ = ItemIndexMap::FromSectionLines(
          platform::ReadWholeList(
              [&](uint32_t capacity) { return source_.SectionLines(section_, capacity); },
              kSectionLinesInitial, kListBufferLimit)
              .data);
    }
    SoftwareEntry* entry = catalogue_.AllocEntry();
    if (!entry) return false;
    entry->Key = name;
    entry->TimeoutSeconds = sectionTimeout_ = Seconds(SectionValue(u"timeout"));
    ReadSectionOutcomeKeys(*entry);
    entry->RestartAfter = sectionRestartAfter_ = Switch(SectionValue(app::kKeyRestartAfter), false);
    for (Attribute attribute : kAttributeOrder) {
      ApplySectionAttribute(*entry, attribute, AttributeValue(attribute, Text()));
    }
    ApplySectionStyles(*entry, SectionValue(u"flags"));
    entry->HelpFile = NonEmpty(SectionValue(u"help"));
    entry->HelpText = NonEmpty(SectionValue(u"helptext"));
    Text description = SectionValue(u"description");
    entry->Description = description.empty() ? name : std::move(description);
    entry->Flags |= EF_NO_COMMAND;
    entry->SnapshotState = entry->InitialState = entry->State;
    ReadItemLevel(*entry, Text());
    AggregateAtLoad(entry);
    entry->RememberedState = entry->State;
    return true;
  }

 private:
  static std::optional<Text> NonEmpty(Text value) {
    if (value.empty()) return std::nullopt;
    return value;
  }

  // "1" on, any other number off; `otherwise` when the key is not given.
  static bool Switch(TextView value, bool otherwise) {
    if (TrimBlanks(value).empty()) return otherwise;
    return ParseNumberAutoBase(TrimBlanks(value)) == 1;
  }
  // A time limit in seconds; none when the value does not start with a digit
  // (an empty or missing key). Saturates rather than wrapping.
  static std::optional<uint32_t> Seconds(TextView value) {
    const TextView trimmed = TrimBlanks(value);
    if (trimmed.empty() || DigitValue(trimmed[0]) > 9) return std::nullopt;
    uint64_t seconds = 0;
    for (size_t i = 0; i < trimmed.size() && DigitValue(trimmed[i]) <= 9; ++i) {
      seconds = std::min<uint64_t>(seconds * 10 + DigitValue(trimmed[i]), UINT32_MAX);
    }
    return static_cast<uint32_t>(seconds);
  }

  Text SectionValue(TextView key) { return source_.Value(section_, key, kSectionBuffer); }

  // An attribute of the section (`path` empty) or of an item. The machine's
  // selection, where it names the entry, stands in for its own `selected`.
  Text AttributeValue(Attribute attribute, const Text& path) {
    if (attribute == Attribute::kSelected && !options_.selection.empty()) {
      const Text chosen = source_.Value(Text(app::kSelectionSectionPrefix) + options_.selection,
                                        section_ + path, kItemBuffer);
      if (!chosen.empty()) return TrimBlanks(chosen) == u"1" ? u"1" : u"0";
    }
    return path.empty() ? SectionValue(AttributeKey(attribute))
                        : ItemValue(AttributeKey(attribute), path);
  }

  // How the section's items are judged when they say nothing themselves:
  // their exit codes and their detection.
  void ReadSectionOutcomeKeys(SoftwareEntry& section) {
    section.SuccessCodes = ParseExitCodeList(SectionValue(app::keys::kSuccessCodes));
    section.RestartCodes = ParseExitCodeList(SectionValue(app::keys::kRestartCodes));
    section.Detect = NonEmpty(SectionValue(app::keys::kDetect));
    sectionOutcome_ = &section;
  }

  // An item's own exit-code lists and detection, else its section's.
  void ReadItemOutcomeKeys(SoftwareEntry& item, TextView path) {
    item.SuccessCodes = ParseExitCodeList(ItemValue(app::keys::kSuccessCodes, path));
    if (!item.SuccessCodes) item.SuccessCodes = sectionOutcome_->SuccessCodes;
    item.RestartCodes = ParseExitCodeList(ItemValue(app::keys::kRestartCodes, path));
    if (!item.RestartCodes) item.RestartCodes = sectionOutcome_->RestartCodes;
    item.Detect = NonEmpty(ItemValue(app::keys::kDetect, path));
    if (!item.Detect) item.Detect = sectionOutcome_->Detect;
  }

  Text ItemValue(TextView base, TextView path) {
    key_.assign(base);
    key_.append(path);
    return source_.Value(section_, key_, kItemBuffer);
  }

  static void AppendDecimal(Text& text, int value) {
    char16_t digits[12];
    size_t count = 0;
    do {
      digits[count++] = static_cast<char16_t>(u'0' + value % 10);
      value /= 10;
    } while (value > 0 && count < 12);
    while (count > 0) text.push_back(digits[--count]);
  }

  static Text ChildPath(TextView parentPath, int index) {
    Text path(parentPath);
    path.push_back(u'.');
    AppendDecimal(path, index);
    return path;
  }

  // Key names live in buffers of fixed size; an index whose keys would not
  // fit has no keys at all. Without this, a cut name would repeat the
  // parent's key and the nesting would never end.
  static bool KeysFit(TextView path) {
    return kLongestBase.size() + path.size() <= kKeyNameCapacity;
  }

  // The next index from `from` on whose command is not empty, or -1.
  int NextItem(TextView parentPath, int from, Text& command) {
    if (!gaps_) return ItemAt(parentPath, from, command) ? from : -1;
    for (auto index = gaps_->NextIndex(parentPath, from); index;
         index = gaps_->NextIndex(parentPath, *index + 1)) {
      const Text path = ChildPath(parentPath, *index);
      if (!KeysFit(path)) return -1;
      command = ItemValue(u"command", path);
      if (!command.empty()) return *index;
    }
    return -1;
  }

  // Whether item `index` below `parentPath` has a command; it lands in `command`.
  bool ItemAt(TextView parentPath, int index, Text& command) {
    if (index > kLastIndex) return false;
    const Text path = ChildPath(parentPath, index);
    if (!KeysFit(path)) return false;
    command = ItemValue(u"command", path);
    return !command.empty();
  }

  std::optional<bool> Condition(TextView path) {
    size_t count = 0;
    for (int n = 0; n < kMaxTests; ++n) {
      key_.assign(u"test");
      key_.append(path);
      key_.push_back(u'.');
      AppendDecimal(key_, n);
      if (key_.size() > kTestKeyNameCapacity) break;
      const Text test = source_.Value(section_, key_, kItemBuffer);
      if (test.empty()) break;
      const bool outcome = evaluateTest_(test);
      if (count == outcomes_.size()) outcomes_.resize(count * 2 + 4);
      outcomes_[count++] = outcome ? 1 : 0;
    }
    const Text expression = ItemValue(u"test.eval", path);
    if (expression.empty()) return std::nullopt;
    std::unique_ptr<bool[]> results(new bool[count + 1]);
    for (size_t i = 0; i < count; ++i) results[i] = outcomes_[i] != 0;
    return EvaluateTestExpression(expression, std::span<const bool>(results.get(), count));
  }

  std::optional<Text> ConditionalValue(TextView base, TextView path, bool condition) {
    Text value = ItemValue(base, path);
    if (value.empty()) return std::nullopt;
    ApplyConditionalText(value, condition);
    return value;
  }

  void ReadItemLevel(SoftwareEntry& parent, TextView parentPath) {
    Text command;
    for (int index = NextItem(parentPath, 0, command); index >= 0;
         index = NextItem(parentPath, index + 1, command)) {
      if (!ReadItem(parent, ChildPath(parentPath, index), std::move(command))) return;
    }
  }

  // False when the item could not be allocated: its level ends.
  bool ReadItem(SoftwareEntry& parent, const Text& path, Text command) {
    const std::optional<bool> tested = Condition(path);
    const bool condition = tested.value_or(true);
    SoftwareEntry* item = catalogue_.AllocEntry();
    if (!item) return false;
    item->Condition = tested;
    ApplyConditionalText(command, condition);
    if (command == u"*") {
      item->Flags |= EF_NO_COMMAND;
    } else {
      item->Command = std::move(command);
    }
    item->Level = parent.Level + 1;
    TakeOverFromParent(*item, parent);
    ApplyItemStyles(*item, ItemValue(u"flags", path), condition);
    item->WorkDir = ConditionalValue(u"workdir", path, condition);
    item->Key = section_ + path;
    const std::optional<uint32_t> timeout = Seconds(ItemValue(u"timeout", path));
    item->TimeoutSeconds = timeout ? timeout : sectionTimeout_;
    ReadItemOutcomeKeys(*item, path);
    item->RestartAfter = Switch(ItemValue(app::kKeyRestartAfter, path), sectionRestartAfter_);
    item->HelpFile = ConditionalValue(u"help", path, condition);
    item->HelpText = ConditionalValue(u"helptext", path, condition);
    Text description = ItemValue(u"description", path);
    if (description.empty()) description = kMissingDescription;
    ApplyConditionalText(description, condition);
    item->Description = CutToCapacity(description, kItemDescriptionCapacity);
    for (Attribute attribute : kAttributeOrder) {
      ApplyItemAttribute(*item, attribute, AttributeValue(attribute, path), condition);
    }
    item->SnapshotState = item->InitialState = item->State;
    ReadItemLevel(*item, path);
    AggregateAtLoad(item);
    item->RememberedState = item->State;
    return true;
  }

  CatalogueSource& source_;
  const TestEvaluator& evaluateTest_;
  const LoadOptions& options_;
  SoftwareCatalogue& catalogue_;
  Text section_;
  // The section entry's own "timeout", which its items take unless they give one.
  std::optional<uint32_t> sectionTimeout_;
  // The section entry being read, whose exit-code lists and detection its
  // items take unless they give their own.
  const SoftwareEntry* sectionOutcome_ = nullptr;
  // The section entry's own "restartafter", which its items take unless they give one.
  bool sectionRestartAfter_ = false;
  // With HasGaps: the indexes that can have items, per index path.
  std::optional<ItemIndexMap> gaps_;
  Text key_;
  // Outcomes of the current item's tests (the item is finished with them
  // before any child is read).
  std::vector<uint8_t> outcomes_;
};

}  // namespace

bool IsSoftwareSection(TextView name) {
  if (StartsWithIgnoreCase(name, u"environment")) return false;
  if (EqualsIgnoreCase(name, u"machines") || StartsWithIgnoreCase(name, u"machines.")) return false;
  for (TextView reserved : {u"users", u"users.operation", u"settings"}) {
    if (EqualsIgnoreCase(name, reserved)) return false;
  }
  return true;
}

void LoadCatalogue(CatalogueSource& source, const TestEvaluator& evaluateTest,
                   const LoadOptions& options, SoftwareCatalogue& catalogue) {
  Loader loader(source, evaluateTest, options, catalogue);
  for (const Text& name : ReadSectionNames(source)) {
    if (!IsSoftwareSection(name)) continue;
    if (!loader.ReadSection(name)) return;
  }
}

}  // namespace tarn::catalogue
