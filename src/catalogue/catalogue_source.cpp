#include "catalogue/catalogue_source.h"

namespace tarn::catalogue {

platform::ProfileBuffer DocumentSource::SectionNames(uint32_t capacity) {
  return document_.GetSectionNames(capacity);
}

Text DocumentSource::Value(TextView section, TextView key, uint32_t capacity) {
  return document_.GetString(section, key, u"", capacity).data;
}

platform::ProfileBuffer DocumentSource::SectionLines(TextView section, uint32_t capacity) {
  return document_.GetSection(section, capacity);
}

platform::ProfileBuffer ProfileFilesSource::SectionLines(TextView section, uint32_t capacity) {
  return profiles_.GetSection(file_, section, capacity);
}

platform::ProfileBuffer ProfileFilesSource::SectionNames(uint32_t capacity) {
  return profiles_.GetSectionNames(file_, capacity);
}

Text ProfileFilesSource::Value(TextView section, TextView key, uint32_t capacity) {
  return profiles_.GetString(file_, section, key, u"", capacity).data;
}

}  // namespace tarn::catalogue
