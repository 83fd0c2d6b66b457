#include "platform/profile_outline.h"

#include "base/wipe.h"
#include "platform/profile_syntax.h"
#include "platform/profile_text_codec.h"

namespace tarn::platform {
namespace {

TextPosition PositionOf(TextView line, TextView piece, uint32_t lineNumber) {
  return {lineNumber, static_cast<uint32_t>(piece.data() - line.data()) + 1};
}

// The column of the value when the value is empty: just after the "=".
TextPosition ValuePosition(TextView line, const ProfileKeyLine& parsed, uint32_t lineNumber) {
  if (!parsed.value) return PositionOf(line, parsed.name, lineNumber);
  if (!parsed.value->empty()) return PositionOf(line, *parsed.value, lineNumber);
  const size_t equals = line.find(u'=');
  return {lineNumber, static_cast<uint32_t>(equals == TextView::npos ? 0 : equals + 1) + 1};
}

OutlineKey KeyOf(TextView line, const ProfileKeyLine& parsed, uint32_t lineNumber) {
  OutlineKey key;
  key.name = Text(parsed.name);
  if (parsed.value) key.value = Text(StripEnclosingQuotes(*parsed.value));
  key.at = PositionOf(line, parsed.name, lineNumber);
  key.valueAt = ValuePosition(line, parsed, lineNumber);
  return key;
}

}  // namespace

ProfileOutline OutlineProfile(std::span<const uint8_t> bytes, uint32_t ansiCodePage) {
  DecodedProfileText decoded = DecodeProfileText(bytes, ansiCodePage);
  const TextView text = decoded.text;
  ProfileOutline outline;
  const std::vector<ProfileLine> lines = SplitProfileLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const TextView line = text.substr(lines[i].start, lines[i].length);
    const auto lineNumber = static_cast<uint32_t>(i + 1);
    if (const auto header = ParseSectionHeader(line)) {
      const size_t bracket = line.find(u'[');
      outline.sections.push_back(
          {Text(*header), {lineNumber, static_cast<uint32_t>(bracket) + 1}, {}});
      continue;
    }
    const auto parsed = ParseKeyLine(line);
    if (!parsed || IsCommentKey(parsed->name)) continue;
    auto& keys = outline.sections.empty() ? outline.preamble : outline.sections.back().keys;
    keys.push_back(KeyOf(line, *parsed, lineNumber));
  }
  WipeText(decoded.text);
  return outline;
}

void WipeOutline(ProfileOutline& outline) {
  const auto wipeKeys = [](std::vector<OutlineKey>& keys) {
    for (OutlineKey& key : keys) {
      if (key.value) WipeText(*key.value);
    }
  };
  wipeKeys(outline.preamble);
  for (OutlineSection& section : outline.sections) wipeKeys(section.keys);
}

}  // namespace tarn::platform
