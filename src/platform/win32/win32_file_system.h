// Files, folders and volumes through the system's W functions.
#pragma once

#include "platform/file_system.h"

namespace tarn::win32 {

class Win32FileSystem : public platform::FileSystem {
 public:
  [[nodiscard]] uint32_t GetAttributes(TextView path) override;
  [[nodiscard]] WinError SetAttributes(TextView path, uint32_t attributes) override;
  [[nodiscard]] Result<platform::FileInfo> GetInfo(TextView path) override;
  [[nodiscard]] Result<std::vector<uint8_t>> ReadAll(TextView path) override;
  [[nodiscard]] Result<std::unique_ptr<platform::ReadableFile>> OpenForReading(
      TextView path) override;
  [[nodiscard]] WinError WriteAll(TextView path, std::span<const uint8_t> bytes) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> CreateAlways(
      TextView path, bool writeThrough) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> CreateNew(
      TextView path, bool writeThrough) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> OpenToAppend(
      TextView path, bool writeThrough) override;
  [[nodiscard]] WinError CreateDirectory(TextView path) override;
  [[nodiscard]] WinError RemoveDirectory(TextView path) override;
  [[nodiscard]] WinError DeleteFile(TextView path) override;
  [[nodiscard]] WinError CopyFile(TextView from, TextView to, bool failIfExists) override;
  [[nodiscard]] WinError MoveFile(TextView from, TextView to) override;
  [[nodiscard]] WinError ReplaceFile(TextView from, TextView to) override;
  [[nodiscard]] Result<std::vector<platform::DirectoryEntry>> ListDirectory(
      TextView folder) override;
  [[nodiscard]] Text CurrentDirectory() override;
  [[nodiscard]] WinError SetCurrentDirectory(TextView path) override;
  [[nodiscard]] uint32_t DriveType(TextView root) override;
  [[nodiscard]] std::vector<Text> LogicalDrives() override;

  // Volumes and formatting.
  [[nodiscard]] WinError VolumeState(TextView root) override;
  [[nodiscard]] Result<Text> VolumeLabel(TextView root) override;
  [[nodiscard]] Result<platform::PartitionFacts> DescribePartition(TextView root) override;
  [[nodiscard]] Result<platform::VolumeFacts> DescribeVolume(TextView path) override;
  [[nodiscard]] WinError FormatVolume(const platform::FormatRequest& request,
                                      const platform::FormatProgress& progress) override;

  // Owners and access lists.
  [[nodiscard]] WinError SetOwner(TextView path, const platform::Sid& owner) override;
  [[nodiscard]] WinError SetAccessList(TextView path,
                                       std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] WinError CreateProtectedDirectory(
      TextView path, std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] Result<platform::Sid> GetOwner(TextView path) override;
  [[nodiscard]] Result<std::vector<platform::AccessEntry>> GetAccessList(TextView path) override;
};

}  // namespace tarn::win32
