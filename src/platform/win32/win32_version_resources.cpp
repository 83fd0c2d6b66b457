#include "platform/win32/win32_version_resources.h"

#include <cwchar>
#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_version_dll.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

// The block GetFileVersionInfoW filled, asked through VerQueryValueW.
class Win32VersionResource final : public platform::VersionResource {
 public:
  explicit Win32VersionResource(std::vector<unsigned char> block) : block_(std::move(block)) {}

  [[nodiscard]] std::optional<platform::FixedVersions> Fixed() const override {
    void* data = nullptr;
    UINT size = 0;
    if (!Query(u"\\", &data, &size) || size < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(data);
    platform::FixedVersions versions;
    versions.fileVersion = (uint64_t{info->dwFileVersionMS} << 32) | info->dwFileVersionLS;
    versions.productVersion = (uint64_t{info->dwProductVersionMS} << 32) | info->dwProductVersionLS;
    return versions;
  }

  [[nodiscard]] std::vector<platform::Translation> Translations() const override {
    std::vector<platform::Translation> result;
    void* data = nullptr;
    UINT size = 0;
    if (!Query(u"\\VarFileInfo\\Translation", &data, &size)) return result;
    const auto* words = static_cast<const WORD*>(data);
    for (UINT i = 0; i + 1 < size / sizeof(WORD); i += 2) {
      result.push_back({words[i], words[i + 1]});
    }
    return result;
  }

  [[nodiscard]] std::optional<Text> String(TextView subBlock) const override {
    void* data = nullptr;
    UINT size = 0;
    if (!Query(subBlock, &data, &size)) return std::nullopt;
    if (data == nullptr || size == 0) return Text();
    const auto* text = static_cast<const char16_t*>(data);
    size_t length = 0;
    while (length < size && text[length] != 0) ++length;
    return Text(text, length);
  }

 private:
  bool Query(TextView subBlock, void** data, UINT* size) const {
    // VerQueryValueW takes a non-const block but only reads it.
    auto* block = const_cast<unsigned char*>(block_.data());
    return VersionDllFunctions().queryValue(block, Wide(subBlock).c_str(), data, size) != FALSE;
  }

  std::vector<unsigned char> block_;
};

}  // namespace

Result<std::unique_ptr<platform::VersionResource>> Win32VersionResources::Read(TextView path) {
  using R = Result<std::unique_ptr<platform::VersionResource>>;
  const std::wstring file = Wide(path);
  DWORD ignored = 0;
  const DWORD size = VersionDllFunctions().infoSize(file.c_str(), &ignored);
  if (size == 0) return R::Failure(GetLastError());
  std::vector<unsigned char> block(size);
  if (!VersionDllFunctions().info(file.c_str(), 0, size, block.data())) {
    return R::Failure(GetLastError());
  }
  return R(std::make_unique<Win32VersionResource>(std::move(block)));
}

}  // namespace tarn::win32
