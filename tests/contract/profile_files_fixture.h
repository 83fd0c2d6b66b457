// Shared set-up of the profile file contract suites: a backend, its profile
// service, and test files written into its scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/backend.h"
#include "platform/file_system.h"
#include "platform/profile_files.h"

namespace tarn::contract {

inline std::vector<uint8_t> AnsiBytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// UTF-16 LE with its byte-order mark.
inline std::vector<uint8_t> Utf16Bytes(TextView text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

// A list buffer's items with "|" for each zero, for readable failures.
inline std::string ShowList(TextView list) {
  std::string out;
  for (char16_t c : list) out += c == 0 ? std::string("|") : ToUtf8(TextView(&c, 1));
  return out;
}

class ProfileFilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.profiles, nullptr) << backend_->Name();
    ASSERT_NE(platform_.files, nullptr) << backend_->Name();
    scratch_ = backend_->ScratchFolder();
  }

  platform::ProfileFiles& profiles() { return *platform_.profiles; }

  // A path in the scratch folder; every call names a new file, so no cache of
  // an earlier file of the same name can answer.
  Text NewPath() { return scratch_ + u"\\profile" + DecimalText(++files_) + u".ini"; }

  // Writes `bytes` to a new file and returns its path.
  Text Put(const std::vector<uint8_t>& bytes) {
    const Text path = NewPath();
    EXPECT_EQ(platform_.files->WriteAll(path, bytes), kErrorSuccess) << ToUtf8(path);
    return path;
  }

  std::vector<uint8_t> Read(TextView path) {
    auto bytes = platform_.files->ReadAll(path);
    return bytes.ok() ? *bytes : std::vector<uint8_t>();
  }

  bool UnderWine() const { return backend_->UnderWine(); }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  Text scratch_;
  int files_ = 0;
};

}  // namespace tarn::contract
