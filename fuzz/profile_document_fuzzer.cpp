// Arbitrary bytes as a profile (INI) file: parsing, lookups with small
// buffers, section reads, edits and saving must never crash, never exceed a
// buffer, and stay linear in the size of the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/profile_document.h"
#include "platform/profile_syntax.h"

namespace {

using namespace tarn;
using namespace tarn::platform;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckString(const ProfileBuffer& got, uint32_t capacity) {
  Require(got.returned == got.data.size());
  Require(capacity == 0 ? got.data.empty() : got.data.size() <= capacity - 1);
}

void CheckList(const ProfileBuffer& got, uint32_t capacity) {
  Require(capacity < 2 ? got.data.empty() : got.data.size() <= capacity - 1);
  Require(got.returned <= got.data.size());
  Require(got.data.empty() || got.data.back() == u'\0');
}

// The items of a list buffer (each ended by its zero).
std::vector<Text> Items(const Text& list) {
  std::vector<Text> items;
  size_t start = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] != u'\0') continue;
    items.push_back(list.substr(start, i - start));
    start = i + 1;
  }
  return items;
}

void ExerciseKey(const ProfileDocument& doc, TextView section, TextView key) {
  for (uint32_t capacity : {0u, 1u, 2u, 3u, 8u, 64u}) {
    CheckString(doc.GetString(section, key, u"default  ", capacity), capacity);
  }
  (void)doc.GetInt(section, key, -1);
  (void)doc.GetStruct(section, key, 4);
  const auto value = doc.FindValue(section, key);
  const ProfileBuffer whole = doc.GetString(section, key, u"", 1u << 30);
  Require(!value || *value == whole.data);
}

void ExerciseSections(const ProfileDocument& doc) {
  for (uint32_t capacity : {0u, 1u, 2u, 3u, 5u, 17u}) {
    CheckList(doc.GetSectionNames(capacity), capacity);
  }
  const ProfileBuffer names = doc.GetSectionNames(1u << 30);
  const std::vector<Text> sections = Items(names.data);
  for (size_t s = 0; s < sections.size() && s < 16; ++s) {
    Require(doc.HasSection(sections[s]));
    for (uint32_t capacity : {2u, 3u, 9u})
      CheckList(doc.GetSection(sections[s], capacity), capacity);
    const std::vector<Text> lines = Items(doc.GetSection(sections[s], 1u << 30).data);
    for (size_t l = 0; l < lines.size() && l < 16; ++l) {
      ExerciseKey(doc, sections[s], lines[l].substr(0, lines[l].find(u'=')));
    }
  }
}

// Names and values for edits, made of harmless characters taken from the input.
Text Word(std::span<const uint8_t> data, size_t at) {
  Text word;
  for (size_t i = at; i < data.size() && word.size() < 6; ++i) {
    word.push_back(static_cast<char16_t>(u'a' + data[i] % 26));
  }
  return word.empty() ? Text(u"w") : word;
}

bool StartsLikeByteOrderMark(std::span<const uint8_t> bytes) {
  const bool utf16 = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool utf8 = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
  return utf16 || utf8;
}

void ExerciseWrites(ProfileDocument& doc, std::span<const uint8_t> data) {
  const Text section = Word(data, 1);
  const Text key = Word(data, 3);
  const Text value = Word(data, 5);
  doc.WriteString(section, key, value);
  Require(doc.FindValue(section, key) == value);
  doc.WriteString(section, key, std::nullopt);
  doc.WriteString(section, key, value);
  doc.WriteString(section, std::nullopt, std::nullopt);
  const std::vector<uint8_t> saved = doc.Serialize();
  // An ANSI file whose edited text starts like a byte-order mark is read back
  // in that encoding, by the system as well; saving is stable otherwise.
  if (StartsLikeByteOrderMark(saved) && !StartsLikeByteOrderMark(data)) return;
  Require(ProfileDocument::Parse(saved).Serialize() == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  ProfileDocument doc = ProfileDocument::Parse(bytes);
  ExerciseSections(doc);
  ExerciseKey(doc, u"settings", u"Computer");
  ExerciseWrites(doc, bytes);
  return 0;
}
