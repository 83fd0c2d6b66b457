#include "platform/sim/sim_profile_files.h"

#include <utility>

#include "platform/profile_struct_value.h"

namespace tarn::sim {

SimProfileFiles::SimProfileFiles(platform::FileSystem& files) : files_(files) {}
SimProfileFiles::SimProfileFiles(platform::FileSystem& files, platform::SystemInfo& system)
    : files_(files), system_(&system) {}
SimProfileFiles::~SimProfileFiles() = default;

uint32_t SimProfileFiles::AnsiCodePage() {
  return system_ ? system_->AnsiCodePage() : platform::kCodePageWindows1252;
}

const platform::ProfileDocument& SimProfileFiles::Load(TextView file) {
  const Text key = ToUpper(file);
  auto bytes = files_.ReadAll(file);
  if (!bytes.ok()) {
    cache_.erase(key);
    return missing_;
  }
  const uint32_t codePage = AnsiCodePage();
  const auto cached = cache_.find(key);
  if (cached != cache_.end() && cached->second.bytes == *bytes &&
      cached->second.ansiCodePage == codePage) {
    return cached->second.document;
  }
  auto document = platform::ProfileDocument::Parse(*bytes, codePage);
  auto& entry = cache_[key];
  entry.bytes = std::move(*bytes);
  entry.ansiCodePage = codePage;
  entry.document = std::move(document);
  return entry.document;
}

platform::ProfileBuffer SimProfileFiles::GetString(TextView file, TextView section, TextView key,
                                                   TextView defaultValue, uint32_t capacity) {
  return Query(
      file, [&](const auto& doc) { return doc.GetString(section, key, defaultValue, capacity); });
}

int32_t SimProfileFiles::GetInt(TextView file, TextView section, TextView key,
                                int32_t defaultValue) {
  return Query(file, [&](const auto& doc) { return doc.GetInt(section, key, defaultValue); });
}

platform::ProfileBuffer SimProfileFiles::GetSection(TextView file, TextView section,
                                                    uint32_t capacity) {
  return Query(file, [&](const auto& doc) { return doc.GetSection(section, capacity); });
}

platform::ProfileBuffer SimProfileFiles::GetSectionNames(TextView file, uint32_t capacity) {
  return Query(file, [&](const auto& doc) { return doc.GetSectionNames(capacity); });
}

std::optional<std::vector<uint8_t>> SimProfileFiles::GetStruct(TextView file, TextView section,
                                                               TextView key, uint32_t size) {
  return Query(file, [&](const auto& doc) { return doc.GetStruct(section, key, size); });
}

WinError SimProfileFiles::WriteString(TextView file, TextView section, std::optional<TextView> key,
                                      std::optional<TextView> value) {
  if (auto e = faults_.Check(CallKind::kProfileFileWrite)) return e;
  std::lock_guard<std::mutex> lock(mutex_);
  auto bytes = files_.ReadAll(file);
  const std::vector<uint8_t> before = bytes.ok() ? std::move(*bytes) : std::vector<uint8_t>();
  auto document = platform::ProfileDocument::Parse(before, AnsiCodePage());
  document.WriteString(section, key, value);
  const std::vector<uint8_t> after = document.Serialize();
  if (bytes.ok() && after == before) return kErrorSuccess;
  if (!bytes.ok() && (!key || !value)) return kErrorSuccess;
  return files_.WriteAll(file, after);
}

WinError SimProfileFiles::WriteStruct(TextView file, TextView section, TextView key,
                                      const std::vector<uint8_t>& bytes) {
  if (auto e = faults_.Check(CallKind::kProfileFileWrite)) return e;
  return WriteString(file, section, key, platform::FormatStructValue(bytes));
}

}  // namespace tarn::sim
