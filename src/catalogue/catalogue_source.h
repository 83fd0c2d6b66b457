// Where the loader reads the configuration file from. The loading rules see
// only these two questions, so the one-pass reader (the file parsed once into
// a ProfileDocument) and the key-by-key reader (the profile functions) share
// every rule and must give the same catalogue.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/profile_document.h"
#include "platform/profile_files.h"

namespace tarn::catalogue {

class CatalogueSource {
 public:
  virtual ~CatalogueSource() = default;
  // GetPrivateProfileSectionNamesW into a buffer of `capacity` units.
  [[nodiscard]] virtual platform::ProfileBuffer SectionNames(uint32_t capacity) = 0;
  // GetPrivateProfileStringW(section, key, "", buffer[capacity]): a missing
  // key and an empty value both give the empty text.
  [[nodiscard]] virtual Text Value(TextView section, TextView key, uint32_t capacity) = 0;
  // GetPrivateProfileSectionW(section, buffer[capacity]): the section's lines.
  [[nodiscard]] virtual platform::ProfileBuffer SectionLines(TextView section,
                                                             uint32_t capacity) = 0;
};

// Answers from a document parsed once; the document must outlive the source.
class DocumentSource final : public CatalogueSource {
 public:
  explicit DocumentSource(const platform::ProfileDocument& document) : document_(document) {}
  [[nodiscard]] platform::ProfileBuffer SectionNames(uint32_t capacity) override;
  [[nodiscard]] Text Value(TextView section, TextView key, uint32_t capacity) override;
  [[nodiscard]] platform::ProfileBuffer SectionLines(TextView section, uint32_t capacity) override;

 private:
  const platform::ProfileDocument& document_;
};

// Asks the profile functions for every key (each call reads the file again).
class ProfileFilesSource final : public CatalogueSource {
 public:
  ProfileFilesSource(platform::ProfileFiles& profiles, TextView file)
      : profiles_(profiles), file_(file) {}
  [[nodiscard]] platform::ProfileBuffer SectionNames(uint32_t capacity) override;
  [[nodiscard]] Text Value(TextView section, TextView key, uint32_t capacity) override;
  [[nodiscard]] platform::ProfileBuffer SectionLines(TextView section, uint32_t capacity) override;

 private:
  platform::ProfileFiles& profiles_;
  Text file_;
};

}  // namespace tarn::catalogue
