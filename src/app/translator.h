// The Translator: every user-visible text by number, from the translation
// file languages.ini (one section per language, keys are the numbers).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "base/text.h"
#include "platform/platform.h"
#include "platform/profile_document.h"

namespace tarn::app {

inline constexpr char16_t kLanguagesFileName[] = u"languages.ini";

// Replaces, in this order and each over the whole text, backslash-n by a line
// feed, backslash-r by a carriage return, backslash-t by a tab and a doubled
// backslash by one backslash.
[[nodiscard]] Text ApplyEscapes(TextView value);

// languages.ini as last read, answering as the profile functions would. A
// page translates dozens of texts; asking the system for each one would
// search the whole file two or three times per text.
struct LoadedLanguages {
  Text path;
  uint64_t size;
  uint64_t lastWriteTime;
  platform::ProfileDocument document;
  // The section chosen for each locale asked about so far.
  std::map<uint32_t, std::optional<Text>> sections;
};

class Translator {
 public:
  // Uses the file system, profile files and system information of `platform`.
  explicit Translator(const platform::Platform& platform);

  // The text of `number` for the thread locale: the ll-CC section of the
  // locale if it has any content, else the ll section; a missing or empty
  // value is not found (the program carries no string table of its own).
  [[nodiscard]] std::optional<Text> Lookup(uint32_t number);
  // Lookup, or an empty text when not found.
  [[nodiscard]] Text Translate(uint32_t number);

  // Stores `code` and makes the first supported locale whose ll-CC or ll
  // name equals it (ignoring case) the thread locale; a code that matches
  // nothing leaves the thread locale unchanged.
  void SelectLanguage(TextView code);
  // The code given to SelectLanguage, "en" until then.
  [[nodiscard]] const Text& language() const { return language_; }

  // True when languages.ini exists and has a non-empty section for the
  // thread locale (ll-CC, or failing that ll).
  [[nodiscard]] bool LanguageAvailable();

  // Start-up's choice of the display language on the user-interface thread:
  // SelectLanguage(code) when a code is given, then English (United States)
  // when languages.ini has no section for the thread locale. The locale it
  // ends with is the wizard's and is kept for the threads that follow.
  void ChooseDisplayLanguage(std::optional<TextView> code);
  // Gives the calling thread the wizard's locale, with the same fallback: a
  // new thread starts with the user's default locale, not with the locale of
  // the thread that started it. Without a choice made, the thread keeps its
  // own locale and only the fallback applies.
  void ApplyDisplayLanguage();

  // Where languages.ini is looked for now: the current directory when the
  // file is there, else the program's folder.
  [[nodiscard]] Text LanguagesFilePath();

 private:
  // The section for `locale` in `document` with content, or nullopt.
  [[nodiscard]] std::optional<Text> SectionFor(const platform::ProfileDocument& document,
                                               uint32_t locale);
  // The document of `file`, read again when the file changed; nullptr when
  // it cannot be read. Call with `mutex_` held.
  [[nodiscard]] LoadedLanguages* Load(const Text& file);
  // The chosen section of the thread locale; call with `mutex_` held.
  [[nodiscard]] std::optional<Text> CurrentSection(LoadedLanguages& loaded);

  // English (United States) for the calling thread when its locale has no
  // section.
  void FallBackToEnglish();

  platform::Platform platform_;
  Text language_ = u"en";
  // The locale the wizard's texts come from, once chosen.
  std::optional<uint32_t> displayLocale_;
  // The installation worker translates too.
  std::mutex mutex_;
  std::unique_ptr<LoadedLanguages> loaded_;
};

}  // namespace tarn::app
