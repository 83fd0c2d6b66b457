#include "app/translator.h"

#include "app/startup_variables.h"
#include "base/format.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/profile_files.h"
#include "platform/system_info.h"

namespace tarn::app {
namespace {

constexpr uint32_t kValueCapacity = 8192;
constexpr uint32_t kNameCapacity = 8;
// A section probe only needs to tell empty from non-empty.
constexpr uint32_t kSectionProbeCapacity = 3;

Text ReplaceAll(TextView text, TextView from, TextView to) {
  Text result;
  size_t pos = 0;
  for (size_t hit = text.find(from); hit != TextView::npos; hit = text.find(from, pos)) {
    result.append(text.substr(pos, hit - pos));
    result.append(to);
    pos = hit + from.size();
  }
  result.append(text.substr(pos));
  return result;
}

// The ISO 639 language name and ISO 3166 country name of a locale.
struct LocaleNames {
  Text language;
  Text languageCountry;
};

LocaleNames NamesOf(platform::SystemInfo& system, uint32_t locale) {
  LocaleNames names;
  names.language = system.LocaleInfo(locale, platform::kLocaleSIso639LangName, kNameCapacity);
  const Text country = system.LocaleInfo(locale, platform::kLocaleSIso3166CtryName, kNameCapacity);
  names.languageCountry = Format(u"%s-%s", {names.language, country});
  return names;
}

}  // namespace

Text ApplyEscapes(TextView value) {
  Text text = ReplaceAll(value, u"\\n", u"\n");
  text = ReplaceAll(text, u"\\r", u"\r");
  text = ReplaceAll(text, u"\\t", u"\t");
  return ReplaceAll(text, u"\\\\", u"\\");
}

Translator::Translator(const platform::Platform& platform) : platform_(platform) {}

Text Translator::LanguagesFilePath() {
  const Text inCurrent = PathAppend(platform_.files->CurrentDirectory(), kLanguagesFileName);
  if (platform_.files->Exists(inCurrent)) return inCurrent;
  return PathAppend(ProgramFolder(*platform_.system), kLanguagesFileName);
}

std::optional<Text> Translator::SectionFor(TextView file, uint32_t locale) {
  const LocaleNames names = NamesOf(*platform_.system, locale);
  for (const Text& section : {names.languageCountry, names.language}) {
    if (platform_.profiles->GetSection(file, section, kSectionProbeCapacity).returned != 0) {
      return section;
    }
  }
  return std::nullopt;
}

std::optional<Text> Translator::Lookup(uint32_t number) {
  const uint32_t locale = platform_.system->ThreadLocale();
  const Text file = LanguagesFilePath();
  const std::optional<Text> section = SectionFor(file, locale);
  if (!section) return std::nullopt;
  const Text key = Format(u"%u", {number});
  const platform::ProfileBuffer value =
      platform_.profiles->GetString(file, *section, key, u"", kValueCapacity);
  if (value.data.empty()) return std::nullopt;
  return ApplyEscapes(value.data);
}

Text Translator::Translate(uint32_t number) {
  return Lookup(number).value_or(Text());
}

void Translator::SelectLanguage(TextView code) {
  language_ = Text(code);
  for (const uint32_t locale : platform_.system->SupportedLocales()) {
    const LocaleNames names = NamesOf(*platform_.system, locale);
    if (EqualsIgnoreCase(names.languageCountry, code) || EqualsIgnoreCase(names.language, code)) {
      platform_.system->SetThreadLocale(locale);
      return;
    }
  }
}

bool Translator::LanguageAvailable() {
  const Text file = LanguagesFilePath();
  if (!platform_.files->Exists(file)) return false;
  return SectionFor(file, platform_.system->ThreadLocale()).has_value();
}

void Translator::FallBackToEnglish() {
  if (!LanguageAvailable()) platform_.system->SetThreadLocale(platform::kLocaleEnglishUs);
}

void Translator::ChooseDisplayLanguage(std::optional<TextView> code) {
  if (code) SelectLanguage(*code);
  FallBackToEnglish();
  displayLocale_ = platform_.system->ThreadLocale();
}

void Translator::ApplyDisplayLanguage() {
  if (displayLocale_) platform_.system->SetThreadLocale(*displayLocale_);
  FallBackToEnglish();
}

}  // namespace tarn::app
