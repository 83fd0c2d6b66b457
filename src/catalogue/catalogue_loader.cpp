#include "catalogue/catalogue_loader.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "catalogue/catalogue_navigation.h"
#include "catalogue/conditional_text.h"
#include "catalogue/entry_attributes.h"
#include "catalogue/installation_tests.h"
#include "catalogue/item_key_presence.h"

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

// Reads a zero-separated list, doubling the buffer while the answer says it
// was cut (capacity - 2).
template <class Read>
platform::ProfileBuffer ReadWholeList(uint32_t capacity, Read read) {
  platform::ProfileBuffer list = read(capacity);
  while (list.returned == capacity - 2 && capacity < kListBufferLimit) {
    capacity *= 2;
    list = read(capacity);
  }
  return list;
}

std::vector<Text> ReadSectionNames(CatalogueSource& source) {
  const platform::ProfileBuffer names = ReadWholeList(
      kSectionNamesInitial, [&](uint32_t capacity) { return source.SectionNames(capacity); });
  std::vector<Text> list;
  size_t start = 0;
  for (size_t i = 0; i < names.data.size(); ++i) {
    if (names.data[i] != 0) continue;
    list.emplace_back(names.data.substr(start, i - start));
    start = i + 1;
  }
  if (start < names.data.size()) list.emplace_back(names.data.substr(start));
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
    presence_ = ItemKeyPresence::FromSectionLines(
        ReadWholeList(kSectionLinesInitial, [&](uint32_t capacity) {
          return source_.SectionLines(section_, capacity);
        }).data);
    SoftwareEntry* entry = catalogue_.AllocEntry();
    if (!entry) return false;
    for (Attribute attribute : kAttributeOrder) {
      ApplySectionAttribute(*entry, attribute, SectionValue(AttributeKey(attribute)));
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

  Text SectionValue(TextView key) { return source_.Value(section_, key, kSectionBuffer); }

  Text ItemValue(TextView base, TextView path) {
    if (!presence_.MayHave(base)) return Text();
    key_.assign(base);
    key_.append(path);
    return source_.Value(section_, key_, kItemBuffer);
  }

  static Text ChildPath(TextView parentPath, int index) {
    Text path(parentPath);
    path.push_back(u'.');
    path.append(DecimalText(index));
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
    for (int index = from; index <= kLastIndex; ++index) {
      const Text path = ChildPath(parentPath, index);
      if (!KeysFit(path)) return -1;
      command = ItemValue(u"command", path);
      if (!command.empty()) return index;
      if (!options_.hasGaps) return -1;
    }
    return -1;
  }

  bool Condition(TextView path) {
    std::vector<bool> outcomes;
    const Text testBase = Text(u"test") + Text(path) + u".";
    for (int n = 0; n < kMaxTests && presence_.MayHave(u"test"); ++n) {
      key_ = testBase + DecimalText(n);
      if (key_.size() > kTestKeyNameCapacity) break;
      const Text test = source_.Value(section_, key_, kItemBuffer);
      if (test.empty()) break;
      outcomes.push_back(evaluateTest_(test));
    }
    const Text expression = ItemValue(u"test.eval", path);
    if (expression.empty()) return true;
    const std::vector<bool>::size_type count = outcomes.size();
    std::unique_ptr<bool[]> results(new bool[count == 0 ? 1 : count]);
    for (size_t i = 0; i < count; ++i) results[i] = outcomes[i];
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
    const bool condition = Condition(path);
    SoftwareEntry* item = catalogue_.AllocEntry();
    if (!item) return false;
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
    item->HelpFile = ConditionalValue(u"help", path, condition);
    item->HelpText = ConditionalValue(u"helptext", path, condition);
    Text description = ItemValue(u"description", path);
    if (description.empty()) description = kMissingDescription;
    ApplyConditionalText(description, condition);
    item->Description = CutToCapacity(description, kItemDescriptionCapacity);
    for (Attribute attribute : kAttributeOrder) {
      ApplyItemAttribute(*item, attribute, ItemValue(AttributeKey(attribute), path), condition);
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
  ItemKeyPresence presence_;
  Text key_;
};

}  // namespace

bool IsSoftwareSection(TextView name) {
  if (StartsWithIgnoreCase(name, u"environment")) return false;
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
