// The contract suites' backend in the Windows build: the real system, with
// scratch folders under the temporary folder.
#include "contract/backend.h"

#include <cstddef>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
// After windows.h.
#include <tlhelp32.h>

namespace tarn::contract {
namespace {

// Removes `folder` and everything in it, read-only entries included.
void RemoveTree(platform::FileSystem& files, const Text& folder) {
  auto entries = files.ListDirectory(folder);
  if (entries) {
    for (const auto& entry : *entries) {
      const Text path = folder + u'\\' + entry.name;
      (void)files.SetAttributes(path, platform::kFileAttributeNormal);
      if (entry.info.attributes & platform::kFileAttributeDirectory) {
        RemoveTree(files, path);
      } else {
        (void)files.DeleteFile(path);
      }
    }
  }
  (void)files.RemoveDirectory(folder);
}

class Win32Backend : public ContractBackend {
 public:
  ~Win32Backend() override {
    platform::FileSystem& files = *system_.platform().files;
    // A test may have moved into a scratch folder; leave it first.
    (void)files.SetCurrentDirectory(initialDirectory_);
    for (const Text& folder : scratch_) RemoveTree(files, folder);
  }

  platform::Platform platform() override { return system_.platform(); }

  Text ScratchFolder() override {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    Text base = win32::FromWide(temp, length);
    if (!base.empty() && base.back() == u'\\') base.pop_back();
    platform::FileSystem& files = *system_.platform().files;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const Text folder = base + u"\\tarn-contract-" + DecimalText(GetCurrentProcessId()) + u"-" +
                          DecimalText(static_cast<int64_t>(scratch_.size()) * 100 + attempt);
      if (files.CreateDirectory(folder) == kErrorSuccess) {
        scratch_.push_back(folder);
        return folder;
      }
    }
    return base;
  }

  size_t CountRunning(TextView fileName) override {
    win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    size_t count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
      if (EqualsIgnoreCase(win32::FromWide(entry.szExeFile), fileName)) {
        ++count;
      }
    }
    return count;
  }

  bool UnderWine() const override {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }

  bool PrivilegeEnabled(TextView name) override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    (void)GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<std::byte> storage(size);
    const bool read = GetTokenInformation(token, TokenPrivileges, storage.data(), size, &size);
    CloseHandle(token);
    LUID luid{};
    if (!read || !LookupPrivilegeValueW(nullptr, win32::Wide(name).c_str(), &luid)) return false;
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(storage.data());
    for (DWORD i = 0; i < held->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& entry = held->Privileges[i];
      if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
        return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
    return false;
  }

  std::string Name() const override { return "win32"; }

 private:
  win32::Win32Platform system_;
  Text initialDirectory_ = system_.platform().files->CurrentDirectory();
  std::vector<Text> scratch_;
};

}  // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
  return std::make_unique<Win32Backend>();
}

}  // namespace tarn::contract
