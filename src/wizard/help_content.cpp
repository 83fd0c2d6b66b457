#include "wizard/help_content.h"

#include <array>
#include <string_view>

#include "base/paths.h"
#include "platform/environment.h"

namespace tarn::wizard {
namespace {

// ExpandEnvironmentStringsW's buffers: MAX_PATH for a document, and the
// short help's fields.
constexpr uint32_t kPathCapacity = 260;
constexpr uint32_t kShortHelpCapacity = 4095;

// The short help's template (261 bytes, CR LF lines): the title goes to the
// first "%s", the body to the second. \uc1 lets readers skip one fallback
// character after each \u escape.
constexpr std::string_view kTemplate =
    "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}{\\f1\\froman\\fprq2\\fcharset0 "
    "Arial;}}\r\n"
    "{\\colortbl ;\\red51\\green51\\blue153;\\red0\\green0\\blue128;}\r\n"
    "\\viewkind4\\uc1\\pard\\nowidctlpar\\cf1\\lang2057\\b\\f0\\fs20 %s\\cf2\\b0\\par\r\n"
    "\\cf0\\fs16\\par\r\n"
    "%s\\par\r\n"
    "\\par\r\n"
    "\\f1\\fs24\\par\r\n"
    "}";
static_assert(kTemplate.size() == 261);

// The template cut at its placeholders once, so that a "%s" in the title is
// only ever text.
constexpr size_t kFirstSlot = kTemplate.find("%s");
constexpr size_t kSecondSlot = kTemplate.find("%s", kFirstSlot + 2);
static_assert(kSecondSlot != std::string_view::npos);
constexpr std::array<std::string_view, 3> kTemplateParts = {
    kTemplate.substr(0, kFirstSlot),
    kTemplate.substr(kFirstSlot + 2, kSecondSlot - kFirstSlot - 2),
    kTemplate.substr(kSecondSlot + 2),
};

// The document path as the pane opens it: expanded, and a relative path
// taken from the program's folder.
Text DocumentPath(TextView path, platform::Environment& environment, TextView programFolder) {
  Text expanded = environment.Expand(path, kPathCapacity).text;
  if (!PathIsRelative(expanded)) return expanded;
  return PathAppend(programFolder, expanded);
}

HelpContent FileContent(TextView path, platform::Environment& environment, TextView programFolder) {
  HelpContent content;
  content.kind = HelpKind::kFile;
  content.path = DocumentPath(path, environment, programFolder);
  return content;
}

// RTF's \uN takes a signed 16-bit number; "\'3f" is the question mark a
// reader without Unicode shows instead. Escaping every unit shows
// backslashes and braces literally.
void AppendEscaped(std::string& out, TextView text) {
  for (const char16_t unit : text) {
    out += "\\u";
    out += std::to_string(static_cast<int16_t>(unit));
    out += "\\'3f";
  }
}

}  // namespace

HelpContent HelpFor(const catalogue::SoftwareEntry& entry, TextView defaultHelp,
                    platform::Environment& environment, TextView programFolder) {
  if (entry.HelpFile) return FileContent(*entry.HelpFile, environment, programFolder);
  if (entry.HelpText) {
    HelpContent content;
    content.kind = HelpKind::kText;
    content.title = environment.Expand(entry.Description, kShortHelpCapacity).text;
    content.body = environment.Expand(*entry.HelpText, kShortHelpCapacity).text;
    return content;
  }
  return DefaultHelpContent(defaultHelp, environment, programFolder);
}

HelpContent DefaultHelpContent(TextView defaultHelp, platform::Environment& environment,
                               TextView programFolder) {
  if (defaultHelp.empty()) return HelpContent{};
  return FileContent(defaultHelp, environment, programFolder);
}

std::string ShortHelpRtf(TextView title, TextView body, bool systemColours) {
  std::string rtf;
  rtf.reserve(kTemplateParts[0].size() + kTemplateParts[1].size() + kTemplateParts[2].size() +
              (title.size() + body.size()) * 12);
  rtf += kTemplateParts[0];
  AppendEscaped(rtf, title);
  rtf += kTemplateParts[1];
  AppendEscaped(rtf, body);
  rtf += kTemplateParts[2];
  if (systemColours) {
    // Colour 0 is the automatic one, the system's window text. The escaped
    // texts are only \uN sequences, so the template's own colour words are
    // the only ones.
    for (const std::string_view word : {"\\cf1", "\\cf2"}) {
      for (size_t at = rtf.find(word); at != std::string::npos; at = rtf.find(word, at)) {
        rtf.replace(at, word.size(), "\\cf0");
      }
    }
  }
  return rtf;
}

}  // namespace tarn::wizard
