// A volume held entirely in memory.
#include <algorithm>
#include <map>

#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_volume.h"

namespace tarn::sim {
namespace {

using platform::kFileAttributeArchive;
using platform::kFileAttributeDirectory;

struct Node {
  Text name;
  platform::FileInfo info;
  std::vector<uint8_t> data;
  // NTFS lists a folder sorted by upper-cased name; the map keeps that order.
  std::map<Text, std::unique_ptr<Node>, NameLess> children;
  [[nodiscard]] bool IsDirectory() const {
    return (info.attributes & kFileAttributeDirectory) != 0;
  }
};

class MemoryVolume : public VolumeStore {
 public:
  explicit MemoryVolume(platform::FileTime now) {
    root_.info = {kFileAttributeDirectory, 0, now, now};
  }

  Result<platform::FileInfo> Stat(const Names& names) override {
    WinError error = 0;
    Node* node = Find(names, &error);
    if (!node) return Result<platform::FileInfo>::Failure(error);
    platform::FileInfo info = node->info;
    info.size = node->IsDirectory() ? 0 : node->data.size();
    return info;
  }

  Result<std::vector<uint8_t>> Read(const Names& names) override {
    WinError error = 0;
    Node* node = Find(names, &error);
    if (!node) return Result<std::vector<uint8_t>>::Failure(error);
    return node->data;
  }

  Result<std::unique_ptr<platform::ReadableFile>> Open(const Names& names) override;

  WinError Write(const Names& names, std::span<const uint8_t> bytes, bool append,
                 platform::FileTime now) override {
    Node* parent = Parent(names);
    if (!parent) return kErrorPathNotFound;
    auto& slot = parent->children[names.back()];
    if (!slot) {
      slot = std::make_unique<Node>();
      slot->name = names.back();
      slot->info.creationTime = now;
      slot->info.attributes = kFileAttributeArchive;
    }
    if (!append) slot->data.clear();
    slot->data.insert(slot->data.end(), bytes.begin(), bytes.end());
    slot->info.lastWriteTime = now;
    slot->info.attributes |= kFileAttributeArchive;
    return kErrorSuccess;
  }

  WinError MakeDirectory(const Names& names, platform::FileTime now) override {
    Node* parent = Parent(names);
    if (!parent) return kErrorPathNotFound;
    auto node = std::make_unique<Node>();
    node->name = names.back();
    node->info = {kFileAttributeDirectory, 0, now, now};
    parent->children.emplace(names.back(), std::move(node));
    return kErrorSuccess;
  }

  WinError RemoveDirectory(const Names& names) override { return Remove(names); }
  WinError RemoveFile(const Names& names) override { return Remove(names); }

  Result<std::vector<platform::DirectoryEntry>> List(const Names& names) override {
    WinError error = 0;
    Node* node = Find(names, &error);
    if (!node) return Result<std::vector<platform::DirectoryEntry>>::Failure(error);
    std::vector<platform::DirectoryEntry> entries;
    for (const auto& [key, child] : node->children) {
      platform::FileInfo info = child->info;
      info.size = child->IsDirectory() ? 0 : child->data.size();
      entries.push_back({child->name, info});
    }
    return entries;
  }

  WinError Rename(const Names& from, const Names& to) override {
    Node* source = Parent(from);
    Node* target = Parent(to);
    if (!source || !target) return kErrorPathNotFound;
    auto it = source->children.find(from.back());
    if (it == source->children.end()) return kErrorFileNotFound;
    std::unique_ptr<Node> node = std::move(it->second);
    source->children.erase(it);
    node->name = to.back();
    target->children.emplace(to.back(), std::move(node));
    return kErrorSuccess;
  }

  WinError SetAttributes(const Names& names, uint32_t attributes) override {
    WinError error = 0;
    Node* node = Find(names, &error);
    if (!node) return error;
    node->info.attributes = attributes;
    return kErrorSuccess;
  }

  WinError SetTimes(const Names& names, platform::FileTime creation,
                    platform::FileTime lastWrite) override {
    WinError error = 0;
    Node* node = Find(names, &error);
    if (!node) return error;
    node->info.creationTime = creation;
    node->info.lastWriteTime = lastWrite;
    return kErrorSuccess;
  }

  Node* Find(const Names& names, WinError* error) {
    Node* node = &root_;
    for (size_t i = 0; i < names.size(); ++i) {
      if (!node->IsDirectory()) {
        *error = kErrorPathNotFound;
        return nullptr;
      }
      auto it = node->children.find(names[i]);
      if (it == node->children.end()) {
        *error = i + 1 == names.size() ? kErrorFileNotFound : kErrorPathNotFound;
        return nullptr;
      }
      node = it->second.get();
    }
    return node;
  }

 private:
  Node* Parent(const Names& names) {
    if (names.empty()) return nullptr;
    WinError error = 0;
    Node* parent = Find(Names(names.begin(), names.end() - 1), &error);
    return parent && parent->IsDirectory() ? parent : nullptr;
  }

  WinError Remove(const Names& names) {
    Node* parent = Parent(names);
    if (!parent || parent->children.erase(names.back()) == 0) return kErrorFileNotFound;
    return kErrorSuccess;
  }

  Node root_;
};

// Finds its node again on every read, so a file removed or rewritten while
// open cannot leave it pointing at freed memory.
class MemoryFile : public platform::ReadableFile {
 public:
  MemoryFile(MemoryVolume& volume, Names names, uint64_t size)
      : volume_(volume), names_(std::move(names)), size_(size) {}

  [[nodiscard]] uint64_t Size() const override { return size_; }

  Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
    WinError error = 0;
    const Node* node = volume_.Find(names_, &error);
    if (!node) return Result<size_t>::Failure(error);
    const std::vector<uint8_t>& data = node->data;
    if (offset >= data.size()) return size_t{0};
    const size_t count = std::min<uint64_t>(buffer.size(), data.size() - offset);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    return count;
  }

 private:
  MemoryVolume& volume_;
  Names names_;
  uint64_t size_;
};

Result<std::unique_ptr<platform::ReadableFile>> MemoryVolume::Open(const Names& names) {
  using Opened = Result<std::unique_ptr<platform::ReadableFile>>;
  WinError error = 0;
  const Node* node = Find(names, &error);
  if (!node) return Opened::Failure(error);
  return Opened(std::make_unique<MemoryFile>(*this, names, node->data.size()));
}

}  // namespace

std::unique_ptr<VolumeStore> MakeMemoryVolume(platform::FileTime now) {
  return std::make_unique<MemoryVolume>(now);
}

}  // namespace tarn::sim
