#include "platform/profile_snapshot.h"

#include "base/wipe.h"
#include "platform/file_system.h"

namespace tarn::platform {

ProfileSnapshot::ProfileSnapshot(ProfileFiles& system, FileSystem& files, TextView file,
                                 uint32_t ansiCodePage)
    : system_(system), file_(file) {
  Result<std::vector<uint8_t>> bytes = files.ReadAll(file);
  if (!bytes) return;
  document_ = ProfileDocument::Parse(*bytes, ansiCodePage);
  // The file may hold passwords: only the parsed document, which wipes
  // them, keeps a copy.
  SecureZero(bytes->data(), bytes->size());
}

const ProfileDocument* ProfileSnapshot::CopyOf(TextView file) const {
  if (!document_ || !EqualsIgnoreCase(file, file_)) return nullptr;
  return &*document_;
}

ProfileBuffer ProfileSnapshot::GetString(TextView file, TextView section, TextView key,
                                         TextView defaultValue, uint32_t capacity) {
  if (const ProfileDocument* copy = CopyOf(file)) {
    return copy->GetString(section, key, defaultValue, capacity);
  }
  return system_.GetString(file, section, key, defaultValue, capacity);
}

int32_t ProfileSnapshot::GetInt(TextView file, TextView section, TextView key,
                                int32_t defaultValue) {
  if (const ProfileDocument* copy = CopyOf(file)) return copy->GetInt(section, key, defaultValue);
  return system_.GetInt(file, section, key, defaultValue);
}

ProfileBuffer ProfileSnapshot::GetSection(TextView file, TextView section, uint32_t capacity) {
  if (const ProfileDocument* copy = CopyOf(file)) return copy->GetSection(section, capacity);
  return system_.GetSection(file, section, capacity);
}

ProfileBuffer ProfileSnapshot::GetSectionNames(TextView file, uint32_t capacity) {
  if (const ProfileDocument* copy = CopyOf(file)) return copy->GetSectionNames(capacity);
  return system_.GetSectionNames(file, capacity);
}

std::optional<std::vector<uint8_t>> ProfileSnapshot::GetStruct(TextView file, TextView section,
                                                               TextView key, uint32_t size) {
  if (const ProfileDocument* copy = CopyOf(file)) return copy->GetStruct(section, key, size);
  return system_.GetStruct(file, section, key, size);
}

WinError ProfileSnapshot::WriteString(TextView file, TextView section, std::optional<TextView> key,
                                      std::optional<TextView> value) {
  return system_.WriteString(file, section, key, value);
}

WinError ProfileSnapshot::WriteStruct(TextView file, TextView section, TextView key,
                                      const std::vector<uint8_t>& bytes) {
  return system_.WriteStruct(file, section, key, bytes);
}

}  // namespace tarn::platform
