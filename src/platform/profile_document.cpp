#include "platform/profile_document.h"

#include <utility>

#include "base/wipe.h"

#include "platform/folded_name_index.h"
#include "platform/profile_struct_value.h"
#include "platform/profile_syntax.h"
#include "platform/profile_text_codec.h"

namespace tarn::platform {
namespace {

constexpr TextView kLineBreak = u"\r\n";

// A piece of the document's text, kept as offsets so that indexing a large
// file copies no names or values.
struct TextSpan {
  size_t start = 0;
  size_t length = 0;
};

TextSpan SpanOf(TextView text, TextView piece) {
  return {static_cast<size_t>(piece.data() - text.data()), piece.size()};
}

struct Entry {
  TextSpan name;
  TextSpan value;
  bool hasValue = false;
  uint32_t line = 0;
};

struct Section {
  TextSpan name;
  uint32_t headerLine = 0;
  // One past the last line of the section: the next header or the end.
  uint32_t endLine = 0;
  std::vector<Entry> entries;
  // Name -> index of the first entry of that name (no comments).
  FoldedNameIndex firstEntry;
};

}  // namespace

struct ProfileDocument::Impl {
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  // Saving writes ANSI text back in the page it was read in.
  uint32_t ansiCodePage = kCodePageWindows1252;
  Text text;
  std::vector<ProfileLine> lines;
  std::vector<Section> sections;
  // Name -> index of the first section of that name.
  FoldedNameIndex firstSection;

  TextView View(TextSpan span) const { return TextView(text).substr(span.start, span.length); }
  TextView LineText(uint32_t line) const {
    return TextView(text).substr(lines[line].start, lines[line].length);
  }
  TextView SectionName(uint32_t index) const { return View(sections[index].name); }

  void Index();
  void AddLine(uint32_t line);
  // Names a caller passes are matched without their surrounding spaces.
  const Section* FindSection(TextView name) const;
  const Entry* FindEntry(TextView section, TextView key) const;
  std::optional<TextView> ValueOf(TextView section, TextView key) const;
  Text SectionList(const Section& section) const;

  // Built anew and the old text wiped: a replacement that grew the text in
  // place would leave its old buffer, passwords included, in freed memory.
  void Replace(size_t start, size_t length, TextView with) {
    Text replaced;
    replaced.reserve(text.size() - length + with.size());
    replaced.append(TextView(text).substr(0, start));
    replaced.append(with);
    replaced.append(TextView(text).substr(start + length));
    WipeText(text);
    text = std::move(replaced);
    Index();
  }
  void DeleteSection(TextView name);
  void DeleteKey(TextView section, TextView key);
  void SetValue(TextView section, TextView key, TextView value);
  void InsertAfterLine(uint32_t line, const Text& newLine);
  uint32_t LastNonBlankLine(const Section& section) const;
};

void ProfileDocument::Impl::Index() {
  lines = SplitProfileLines(text);
  sections.clear();
  firstSection.Clear();
  for (uint32_t line = 0; line < lines.size(); ++line) AddLine(line);
}

void ProfileDocument::Impl::AddLine(uint32_t line) {
  const TextView lineText = LineText(line);
  if (const auto header = ParseSectionHeader(lineText)) {
    if (!sections.empty()) sections.back().endLine = line;
    const auto index = static_cast<uint32_t>(sections.size());
    sections.push_back({SpanOf(text, *header), line, static_cast<uint32_t>(lines.size()), {}, {}});
    firstSection.AddFirst(*header, index, [this](uint32_t id) { return SectionName(id); });
    return;
  }
  // Lines before the first section belong to no section: no function reads them.
  if (sections.empty()) return;
  const auto parsed = ParseKeyLine(lineText);
  if (!parsed) return;
  Section& section = sections.back();
  const auto index = static_cast<uint32_t>(section.entries.size());
  Entry entry{SpanOf(text, parsed->name), {}, parsed->value.has_value(), line};
  if (parsed->value) entry.value = SpanOf(text, *parsed->value);
  section.entries.push_back(entry);
  if (IsCommentKey(parsed->name)) return;
  section.firstEntry.AddFirst(parsed->name, index,
                              [&](uint32_t id) { return View(section.entries[id].name); });
}

const Section* ProfileDocument::Impl::FindSection(TextView name) const {
  const auto found =
      firstSection.Find(TrimSpaces(name), [this](uint32_t id) { return SectionName(id); });
  return found ? &sections[*found] : nullptr;
}

const Entry* ProfileDocument::Impl::FindEntry(TextView section, TextView key) const {
  const Section* owner = FindSection(section);
  if (owner == nullptr) return nullptr;
  const auto found = owner->firstEntry.Find(
      TrimSpaces(key), [&](uint32_t id) { return View(owner->entries[id].name); });
  return found ? &owner->entries[*found] : nullptr;
}

std::optional<TextView> ProfileDocument::Impl::ValueOf(TextView section, TextView key) const {
  const Entry* entry = FindEntry(section, key);
  if (entry == nullptr || !entry->hasValue) return std::nullopt;
  return View(entry->value);
}

Text ProfileDocument::Impl::SectionList(const Section& section) const {
  Text list;
  for (const Entry& entry : section.entries) {
    const TextView name = View(entry.name);
    if (IsCommentKey(name)) continue;
    list += name;
    if (entry.hasValue) {
      list.push_back(u'=');
      list += View(entry.value);
    }
    list.push_back(u'\0');
  }
  return list;
}

void ProfileDocument::Impl::DeleteSection(TextView name) {
  const Section* section = FindSection(name);
  if (section == nullptr) return;
  const size_t start = lines[section->headerLine].start;
  const size_t end = section->endLine < lines.size() ? lines[section->endLine].start : text.size();
  Replace(start, end - start, {});
}

void ProfileDocument::Impl::DeleteKey(TextView section, TextView key) {
  const Entry* entry = FindEntry(section, key);
  if (entry == nullptr) return;
  const ProfileLine& line = lines[entry->line];
  Replace(line.start, line.next - line.start, {});
}

uint32_t ProfileDocument::Impl::LastNonBlankLine(const Section& section) const {
  uint32_t last = section.headerLine;
  for (uint32_t line = section.headerLine + 1; line < section.endLine; ++line) {
    if (!TrimProfileBlanks(LineText(line)).empty()) last = line;
  }
  return last;
}

void ProfileDocument::Impl::InsertAfterLine(uint32_t line, const Text& newLine) {
  const ProfileLine& after = lines[line];
  const bool hasBreak = after.next > after.start + after.length;
  Text insert = hasBreak ? Text() : Text(kLineBreak);
  insert += newLine;
  insert += kLineBreak;
  Replace(after.next, 0, insert);
}

void ProfileDocument::Impl::SetValue(TextView section, TextView key, TextView value) {
  const Section* owner = FindSection(section);
  if (owner == nullptr) {
    Text append;
    if (!text.empty() && text.back() != u'\r' && text.back() != u'\n') append += kLineBreak;
    append += u'[' + Text(section) + u']' + Text(kLineBreak);
    append += Text(key) + u'=' + Text(value) + Text(kLineBreak);
    Replace(text.size(), 0, append);
    return;
  }
  if (const Entry* entry = FindEntry(section, key)) {
    const ProfileLine& line = lines[entry->line];
    Replace(line.start, line.length, Text(View(entry->name)) + u'=' + Text(value));
    return;
  }
  InsertAfterLine(LastNonBlankLine(*owner), Text(key) + u'=' + Text(value));
}

ProfileDocument::ProfileDocument() : impl_(std::make_unique<Impl>()) {}
// A configuration holds passwords: its text is wiped before it is freed.
ProfileDocument::~ProfileDocument() {
  if (impl_) WipeText(impl_->text);
}
ProfileDocument::ProfileDocument(ProfileDocument&&) noexcept = default;
ProfileDocument& ProfileDocument::operator=(ProfileDocument&&) noexcept = default;

ProfileDocument ProfileDocument::Parse(std::span<const uint8_t> bytes, uint32_t ansiCodePage) {
  ProfileDocument document;
  DecodedProfileText decoded = DecodeProfileText(bytes, ansiCodePage);
  document.impl_->encoding = decoded.encoding;
  document.impl_->ansiCodePage = ansiCodePage;
  document.impl_->text = std::move(decoded.text);
  document.impl_->Index();
  return document;
}

ProfileBuffer ProfileDocument::GetString(TextView section, TextView key, TextView defaultValue,
                                         uint32_t capacity) const {
  if (const auto value = impl_->ValueOf(section, key)) {
    return FillStringBuffer(StripEnclosingQuotes(*value), capacity);
  }
  return FillStringBuffer(TrimTrailingSpaces(defaultValue), capacity);
}

int32_t ProfileDocument::GetInt(TextView section, TextView key, int32_t defaultValue) const {
  const auto found = impl_->ValueOf(section, key);
  if (!found) return defaultValue;
  const TextView value = StripEnclosingQuotes(*found);
  return value.empty() ? defaultValue : ParseProfileInt(value);
}

ProfileBuffer ProfileDocument::GetSection(TextView section, uint32_t capacity) const {
  const Section* found = impl_->FindSection(section);
  return FillListBuffer(found == nullptr ? Text() : impl_->SectionList(*found), capacity);
}

ProfileBuffer ProfileDocument::GetSectionNames(uint32_t capacity) const {
  Text list;
  for (const Section& section : impl_->sections) {
    // An empty name would end the list early; the functions leave it out.
    if (section.name.length == 0) continue;
    list += impl_->View(section.name);
    list.push_back(u'\0');
  }
  return FillListBuffer(std::move(list), capacity);
}

std::optional<std::vector<uint8_t>> ProfileDocument::GetStruct(TextView section, TextView key,
                                                               uint32_t size) const {
  const auto value = impl_->ValueOf(section, key);
  if (!value) return std::nullopt;
  return ParseStructValue(*value, size);
}

std::optional<Text> ProfileDocument::FindValue(TextView section, TextView key) const {
  const auto value = impl_->ValueOf(section, key);
  if (!value) return std::nullopt;
  return Text(StripEnclosingQuotes(*value));
}

bool ProfileDocument::HasSection(TextView section) const {
  return impl_->FindSection(section) != nullptr;
}

void ProfileDocument::WriteString(TextView section, std::optional<TextView> key,
                                  std::optional<TextView> value) {
  const TextView sectionName = TrimSpaces(section);
  if (!key) return impl_->DeleteSection(sectionName);
  const TextView keyName = TrimSpaces(*key);
  if (!value) return impl_->DeleteKey(sectionName, keyName);
  impl_->SetValue(sectionName, keyName, TrimSpaces(*value));
}

std::vector<uint8_t> ProfileDocument::Serialize() const {
  return EncodeProfileText(impl_->text, impl_->encoding, impl_->ansiCodePage);
}

}  // namespace tarn::platform
