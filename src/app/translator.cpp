#include "app/translator.h"

#include "app/startup_variables.h"
#include "base/format.h"
#include "base/paths.h"
#include "platform/file_system.h"
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

std::optional<Text> Translator::SectionFor(const platform::ProfileDocument& document,
                                           uint32_t locale) {
  const LocaleNames names = NamesOf(*platform_.system, locale);
  for (const Text& section : {names.languageCountry, names.language}) {
    if (document.GetSection(section, kSectionProbeCapacity).returned != 0) return section;
  }
  return std::nullopt;
}

LoadedLanguages* Translator::Load(const Text& file) {
  const Result<platform::FileInfo> info = platform_.files->GetInfo(file);
  if (!info) {
    loaded_.reset();
    return nullptr;
  }
  if (loaded_ && loaded_->path == file && loaded_->size == info->size &&
      loaded_->lastWriteTime == info->lastWriteTime) {
    return loaded_.get();
  }
  loaded_.reset();
  const Result<std::vector<uint8_t>> bytes = platform_.files->ReadAll(file);
  if (!bytes) return nullptr;
  loaded_ = std::make_unique<LoadedLanguages>();
  LoadedLanguages& loaded = *loaded_;
  loaded.path = file;
  loaded.size = info->size;
  loaded.lastWriteTime = info->lastWriteTime;
  loaded.document = platform::ProfileDocument::Parse(*bytes, platform_.system->AnsiCodePage());
  return &loaded;
}

std::optional<Text> Translator::CurrentSection(LoadedLanguages& loaded) {
  const uint32_t locale = platform_.system->ThreadLocale();
  const auto known = loaded.sections.find(locale);
  if (known != loaded.sections.end()) return known->second;
  const std::optional<Text> section = SectionFor(loaded.document, locale);
  loaded.sections.emplace(locale, section);
  return section;
}

std::optional<Text> Translator::Lookup(uint32_t number) {
  const Text file = LanguagesFilePath();
  const std::lock_guard<std::mutex> lock(mutex_);
  LoadedLanguages* loaded = Load(file);
  if (!loaded) return std::nullopt;
  const std::optional<Text> section = CurrentSection(*loaded);
  if (!section) return std::nullopt;
  const Text key = Format(u"%u", {number});
  const platform::ProfileBuffer value =
      loaded->document.GetString(*section, key, u"", kValueCapacity);
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
  const std::lock_guard<std::mutex> lock(mutex_);
  LoadedLanguages* loaded = Load(file);
  return loaded && CurrentSection(*loaded).has_value();
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
