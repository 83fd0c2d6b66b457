// A volume that stands for a real host folder. Names are matched against the
// host's names ignoring case, so Windows-style paths find Linux files whatever
// their case.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/sim/sim_volume.h"

namespace tarn::sim {
namespace {

namespace fs = std::filesystem;
using platform::kFileAttributeArchive;
using platform::kFileAttributeDirectory;
using platform::kFileAttributeReadOnly;

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr platform::FileTime kUnixEpochAsFileTime = 116444736000000000ULL;

platform::FileTime ToFileTime(fs::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  const auto ticks =
      std::chrono::duration_cast<std::chrono::nanoseconds>(system.time_since_epoch()).count() / 100;
  return kUnixEpochAsFileTime + static_cast<platform::FileTime>(ticks);
}

fs::file_time_type FromFileTime(platform::FileTime time) {
  const auto ticks = static_cast<int64_t>(time) - static_cast<int64_t>(kUnixEpochAsFileTime);
  const std::chrono::sys_time<std::chrono::nanoseconds> system{
      std::chrono::nanoseconds(ticks * 100)};
  return std::chrono::file_clock::from_sys(system);
}

class HostFile : public platform::ReadableFile {
 public:
  HostFile(std::ifstream in, uint64_t size) : in_(std::move(in)), size_(size) {}

  [[nodiscard]] uint64_t Size() const override { return size_; }

  Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
    // A read that met the end leaves the stream failed; each read stands alone.
    in_.clear();
    if (!in_.seekg(static_cast<std::streamoff>(offset))) {
      return Result<size_t>::Failure(kErrorAccessDenied);
    }
    in_.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    if (in_.bad()) return Result<size_t>::Failure(kErrorAccessDenied);
    return static_cast<size_t>(in_.gcount());
  }

 private:
  std::ifstream in_;
  uint64_t size_;
};

class HostVolume : public VolumeStore {
 public:
  explicit HostVolume(fs::path root) : root_(std::move(root)) {}

  Result<platform::FileInfo> Stat(const Names& names) override {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return Result<platform::FileInfo>::Failure(error);
    std::error_code ec;
    const auto status = fs::status(*path, ec);
    if (ec) return Result<platform::FileInfo>::Failure(kErrorAccessDenied);
    platform::FileInfo info;
    const bool directory = fs::is_directory(status);
    info.attributes = directory ? kFileAttributeDirectory : kFileAttributeArchive;
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
      info.attributes |= kFileAttributeReadOnly;
    }
    info.size = directory ? 0 : fs::file_size(*path, ec);
    const auto written = fs::last_write_time(*path, ec);
    if (!ec) info.lastWriteTime = info.creationTime = ToFileTime(written);
    return info;
  }

  Result<std::vector<uint8_t>> Read(const Names& names) override {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return Result<std::vector<uint8_t>>::Failure(error);
    std::ifstream in(*path, std::ios::binary);
    if (!in) return Result<std::vector<uint8_t>>::Failure(kErrorAccessDenied);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

  Result<std::unique_ptr<platform::ReadableFile>> Open(const Names& names) override {
    using Opened = Result<std::unique_ptr<platform::ReadableFile>>;
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return Opened::Failure(error);
    std::error_code ec;
    const uint64_t size = fs::file_size(*path, ec);
    std::ifstream in(*path, std::ios::binary);
    if (ec || !in) return Opened::Failure(kErrorAccessDenied);
    return Opened(std::make_unique<HostFile>(std::move(in), size));
  }

  WinError Write(const Names& names, std::span<const uint8_t> bytes, bool append,
                 platform::FileTime) override {
    auto path = Target(names);
    if (!path) return kErrorPathNotFound;
    std::ofstream out(*path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!out) return kErrorAccessDenied;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out ? kErrorSuccess : kErrorAccessDenied;
  }

  WinError MakeDirectory(const Names& names, platform::FileTime) override {
    auto path = Target(names);
    std::error_code ec;
    if (!path || !fs::create_directory(*path, ec)) return kErrorPathNotFound;
    return kErrorSuccess;
  }

  WinError RemoveDirectory(const Names& names) override { return Remove(names); }
  WinError RemoveFile(const Names& names) override { return Remove(names); }

  Result<std::vector<platform::DirectoryEntry>> List(const Names& names) override {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return Result<std::vector<platform::DirectoryEntry>>::Failure(error);
    std::vector<platform::DirectoryEntry> entries;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(*path, ec)) {
      Names child = names;
      child.push_back(FromUtf8(entry.path().filename().string()));
      auto info = Stat(child);
      if (info) entries.push_back({child.back(), *info});
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return CompareIgnoreCase(a.name, b.name) < 0; });
    return entries;
  }

  WinError Rename(const Names& from, const Names& to) override {
    WinError error = 0;
    auto source = Resolve(from, &error);
    auto target = Target(to);
    if (!source || !target) return kErrorPathNotFound;
    std::error_code ec;
    fs::rename(*source, *target, ec);
    return ec ? kErrorAccessDenied : kErrorSuccess;
  }

  WinError SetAttributes(const Names& names, uint32_t attributes) override {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return error;
    // Only the read-only attribute has a host counterpart.
    std::error_code ec;
    fs::permissions(
        *path, fs::perms::owner_write,
        (attributes & kFileAttributeReadOnly) ? fs::perm_options::remove : fs::perm_options::add,
        ec);
    return ec ? kErrorAccessDenied : kErrorSuccess;
  }

  WinError SetTimes(const Names& names, platform::FileTime, platform::FileTime lastWrite) override {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return error;
    std::error_code ec;
    fs::last_write_time(*path, FromFileTime(lastWrite), ec);
    return ec ? kErrorAccessDenied : kErrorSuccess;
  }

 private:
  // The host entry of `name` in `folder`: the exact name first, else the
  // first whose name equals it ignoring case.
  static std::optional<fs::path> Child(const fs::path& folder, const Text& name) {
    std::error_code ec;
    fs::path exact = folder / ToUtf8(name);
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      if (EqualsIgnoreCase(FromUtf8(entry.path().filename().string()), name)) return entry.path();
    }
    return std::nullopt;
  }

  std::optional<fs::path> Resolve(const Names& names, WinError* error) const {
    fs::path path = root_;
    std::error_code ec;
    for (size_t i = 0; i < names.size(); ++i) {
      if (!fs::is_directory(path, ec)) {
        *error = kErrorPathNotFound;
        return std::nullopt;
      }
      auto child = Child(path, names[i]);
      if (!child) {
        *error = i + 1 == names.size() ? kErrorFileNotFound : kErrorPathNotFound;
        return std::nullopt;
      }
      path = *child;
    }
    return path;
  }

  // The host path for `names`, existing or not, when its folder exists.
  std::optional<fs::path> Target(const Names& names) const {
    if (names.empty()) return std::nullopt;
    WinError error = 0;
    auto folder = Resolve(Names(names.begin(), names.end() - 1), &error);
    if (!folder) return std::nullopt;
    if (auto existing = Child(*folder, names.back())) return existing;
    return *folder / ToUtf8(names.back());
  }

  WinError Remove(const Names& names) {
    WinError error = 0;
    auto path = Resolve(names, &error);
    if (!path) return error;
    std::error_code ec;
    fs::remove(*path, ec);
    return ec ? kErrorAccessDenied : kErrorSuccess;
  }

  fs::path root_;
};

}  // namespace

std::unique_ptr<VolumeStore> MakeHostVolume(std::filesystem::path root) {
  return std::make_unique<HostVolume>(std::move(root));
}

}  // namespace tarn::sim
