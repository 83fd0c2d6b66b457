#include "app/translator.h"

#include <gtest/gtest.h>

#include "support/startup_machine.h"

namespace tarn::app {
namespace {

using testing::kProgramLanguages;
constexpr uint32_t kGermanGermany = 1031;
constexpr uint32_t kGermanAustria = 3079;
constexpr uint32_t kPortugueseBrazil = 1046;

class TranslatorTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  app::Translator translator_{services_};
};

TEST_F(TranslatorTest, NoLanguagesFileMeansNothingIsFound) {
  EXPECT_EQ(translator_.Lookup(203), std::nullopt);
  EXPECT_EQ(translator_.Translate(203), u"");
  EXPECT_FALSE(translator_.LanguageAvailable());
}

TEST_F(TranslatorTest, CountrySectionWinsAndIsNotMixedWithTheLanguageSection) {
  Languages(kProgramLanguages, u"de-DE", {{203, u"Hilfe (DE)"}});
  Languages(kProgramLanguages, u"de", {{203, u"Hilfe"}, {204, u"nur de"}});
  machine_.system().SetThreadLocale(kGermanGermany);
  EXPECT_EQ(translator_.Translate(203), u"Hilfe (DE)");
  EXPECT_EQ(translator_.Lookup(204), std::nullopt)
      << "a number missing in de-DE is not taken from de";
}

TEST_F(TranslatorTest, LanguageSectionServesOtherCountries) {
  machine_.system().AddLocale({kGermanAustria, u"de", u"AT", u"German"});
  Languages(kProgramLanguages, u"de", {{203, u"Hilfe"}});
  machine_.system().SetThreadLocale(kGermanAustria);
  EXPECT_EQ(translator_.Translate(203), u"Hilfe");
  EXPECT_TRUE(translator_.LanguageAvailable());
}

TEST_F(TranslatorTest, BrazilianPortugueseComesFromItsCountrySection) {
  Languages(kProgramLanguages, u"pt-BR", {{203, u"Ajuda"}});
  machine_.system().SetThreadLocale(kPortugueseBrazil);
  EXPECT_EQ(translator_.Translate(203), u"Ajuda");
}

TEST_F(TranslatorTest, AChangedFileIsReadAgain) {
  Languages(kProgramLanguages, u"en", {{203, u"Help"}});
  ASSERT_EQ(translator_.Translate(203), u"Help");
  Languages(kProgramLanguages, u"de", {{203, u"Hilfe"}});
  machine_.system().SetThreadLocale(kGermanGermany);
  EXPECT_EQ(translator_.Translate(203), u"Hilfe") << "a section added later is found";
}

TEST_F(TranslatorTest, EmptyCountrySectionFallsBackToLanguageSection) {
  Languages(kProgramLanguages, u"de-DE", {});
  Languages(kProgramLanguages, u"de", {{203, u"Hilfe"}});
  machine_.system().SetThreadLocale(kGermanGermany);
  EXPECT_EQ(translator_.Translate(203), u"Hilfe");
}

TEST_F(TranslatorTest, EscapesAreReplacedInOrder) {
  struct Row {
    const char16_t* raw;
    const char16_t* text;
  } rows[] = {
      {u"one\\ntwo", u"one\ntwo"},
      {u"a\\\\b", u"a\\b"},
      {u"a\\\\nb", u"a\\\nb"},
      {u"x\\r\\n\\ty", u"x\r\n\ty"},
      {u"trail\\", u"trail\\"},
      {u"\\\\\\\\", u"\\\\"},
      // Doubled backslashes before n or t are taken apart by the earlier escapes.
      {u"C:\\\\temp\\\\new", u"C:\\\temp\\\new"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(app::ApplyEscapes(row.raw), Text(row.text)) << ToUtf8(row.raw);
  }
  Languages(kProgramLanguages, u"en-US", {{300, u"Usage:\\n  tarn"}});
  EXPECT_EQ(translator_.Translate(300), u"Usage:\n  tarn");
}

TEST_F(TranslatorTest, ControlWithMinusOneIdentifierUsesKey65535) {
  Languages(kProgramLanguages, u"en", {{65535, u"static text"}});
  EXPECT_EQ(translator_.Translate(65535), u"static text");
}

TEST_F(TranslatorTest, CurrentDirectoryFileWinsOverProgramFolder) {
  Languages(kProgramLanguages, u"en", {{1, u"program folder"}});
  EXPECT_EQ(translator_.Translate(1), u"program folder");
  (void)machine_.files().MakeDirectories(u"C:\\work");
  ASSERT_EQ(machine_.files().SetCurrentDirectory(u"C:\\work"), kErrorSuccess);
  Languages(u"C:\\work\\languages.ini", u"en", {{1, u"current directory"}});
  EXPECT_EQ(translator_.LanguagesFilePath(), u"C:\\work\\languages.ini");
  EXPECT_EQ(translator_.Translate(1), u"current directory");
}

TEST_F(TranslatorTest, LongValuesAreCutToTheValueBuffer) {
  Languages(kProgramLanguages, u"en", {{5, Text(9000, u'v')}});
  EXPECT_EQ(translator_.Translate(5).size(), 8191u);
}

TEST_F(TranslatorTest, SelectLanguageTakesTheFirstMatchingLocale) {
  struct Row {
    const char16_t* code;
    uint32_t locale;
  } rows[] = {{u"de", kGermanGermany},
              {u"DE-ch", 2055},
              {u"en-GB", 2057},
              {u"fr", 1036},
              {u"xx", 1033},
              {u"", 1033},
              {u"pt-br", kPortugueseBrazil}};
  for (const Row& row : rows) {
    machine_.system().SetThreadLocale(1033);
    translator_.SelectLanguage(row.code);
    EXPECT_EQ(machine_.system().ThreadLocale(), row.locale) << ToUtf8(row.code);
    EXPECT_EQ(translator_.language(), Text(row.code));
  }
}

}  // namespace
}  // namespace tarn::app
