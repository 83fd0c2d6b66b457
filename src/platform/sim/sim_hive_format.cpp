// The simulated registry's hive files: a small tagged binary format of its
// own. Layout (little-endian): "TARNHIVE", u32 version 1, then the root key.
// A key is: u32 name length, name (UTF-16 units), u32 value count, values
// (u32 name length, name, u32 type, u32 data length, data), the access
// list (u32 entry count, 0xFFFFFFFF when the key has none of its own; each
// entry u32 SID length, SID bytes, u32 flags, u32 mask), u32 subkey count,
// subkeys. Version 1 files have no access lists. Reading trusts nothing: every length is checked
// against the bytes left, and nesting is limited as the system limits key depth.
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_registry_key.h"

namespace tarn::sim {
namespace {

constexpr char kMagic[8] = {'T', 'A', 'R', 'N', 'H', 'I', 'V', 'E'};
constexpr uint32_t kVersion = 2;
constexpr uint32_t kNoAccessList = 0xFFFFFFFF;
constexpr int kMaxDepth = 512;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutText(std::vector<uint8_t>& out, const Text& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  AppendUtf16Le(out, text);
}

void PutKey(std::vector<uint8_t>& out, const SimRegistry::Key& key) {
  PutText(out, key.name);
  PutU32(out, static_cast<uint32_t>(key.values.size()));
  for (const auto& [name, value] : key.values) {
    PutText(out, name);
    PutU32(out, value.type);
    PutU32(out, static_cast<uint32_t>(value.data.size()));
    out.insert(out.end(), value.data.begin(), value.data.end());
  }
  if (!key.accessList) {
    PutU32(out, kNoAccessList);
  } else {
    PutU32(out, static_cast<uint32_t>(key.accessList->size()));
    for (const platform::AccessEntry& entry : *key.accessList) {
      const std::vector<uint8_t> sid = entry.sid.ToBytes();
      PutU32(out, static_cast<uint32_t>(sid.size()));
      out.insert(out.end(), sid.begin(), sid.end());
      PutU32(out, entry.flags);
      PutU32(out, entry.mask);
    }
  }
  PutU32(out, static_cast<uint32_t>(key.subkeys.size()));
  for (const auto& [name, subkey] : key.subkeys) PutKey(out, *subkey);
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool U32(uint32_t& v) {
    if (bytes_.size() - pos_ < 4) return false;
    v = static_cast<uint32_t>(bytes_[pos_]) | (static_cast<uint32_t>(bytes_[pos_ + 1]) << 8) |
        (static_cast<uint32_t>(bytes_[pos_ + 2]) << 16) |
        (static_cast<uint32_t>(bytes_[pos_ + 3]) << 24);
    pos_ += 4;
    return true;
  }

  bool TextOf(Text& text) {
    uint32_t length = 0;
    if (!U32(length) || (bytes_.size() - pos_) / 2 < length) return false;
    const size_t size = size_t{length} * 2;
    text = TextFromUtf16Le(bytes_.subspan(pos_, size), /*stopAtZero=*/false);
    pos_ += size;
    return true;
  }

  bool Bytes(std::vector<uint8_t>& out) {
    uint32_t length = 0;
    if (!U32(length) || bytes_.size() - pos_ < length) return false;
    out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
               bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
    pos_ += length;
    return true;
  }

  bool Magic() {
    if (bytes_.size() < sizeof(kMagic)) return false;
    for (size_t i = 0; i < sizeof(kMagic); ++i) {
      if (bytes_[i] != static_cast<uint8_t>(kMagic[i])) return false;
    }
    pos_ = sizeof(kMagic);
    return U32(version_) && (version_ == 1 || version_ == kVersion);
  }

  [[nodiscard]] bool HasAccessLists() const { return version_ >= 2; }

  [[nodiscard]] bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  uint32_t version_ = 0;
};

bool ValidName(const Text& name) {
  return name.find(u'\\') == Text::npos && !name.empty();
}

std::shared_ptr<SimRegistry::Key> ReadKey(Reader& in, int depth) {
  if (depth > kMaxDepth) return nullptr;
  auto key = std::make_shared<SimRegistry::Key>();
  uint32_t count = 0;
  if (!in.TextOf(key->name) || !in.U32(count)) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    Text name;
    platform::RegValue value;
    if (!in.TextOf(name) || !in.U32(value.type) || !in.Bytes(value.data)) return nullptr;
    if (key->FindValue(name) != key->values.end()) return nullptr;
    key->values.emplace_back(std::move(name), std::move(value));
  }
  if (in.HasAccessLists()) {
    if (!in.U32(count)) return nullptr;
    if (count != kNoAccessList) {
      key->accessList.emplace();
      for (uint32_t i = 0; i < count; ++i) {
        std::vector<uint8_t> sidBytes;
        uint32_t flags = 0;
        platform::AccessEntry entry;
        if (!in.Bytes(sidBytes) || !in.U32(flags) || !in.U32(entry.mask) || flags > 0xFF) {
          return nullptr;
        }
        auto sid = platform::Sid::FromBytes(sidBytes);
        if (!sid) return nullptr;
        entry.sid = std::move(*sid);
        entry.flags = static_cast<uint8_t>(flags);
        key->accessList->push_back(std::move(entry));
      }
    }
  }
  if (!in.U32(count)) return nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    auto subkey = ReadKey(in, depth + 1);
    if (!subkey || !ValidName(subkey->name)) return nullptr;
    if (!key->subkeys.emplace(subkey->name, subkey).second) return nullptr;
  }
  return key;
}

}  // namespace

std::vector<uint8_t> SerializeHive(const SimRegistry::Key& key) {
  std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
  PutU32(out, kVersion);
  PutKey(out, key);
  return out;
}

std::shared_ptr<SimRegistry::Key> ParseHive(std::span<const uint8_t> bytes, TextView name) {
  Reader in(bytes);
  if (!in.Magic()) return nullptr;
  auto key = ReadKey(in, 0);
  if (!key || !in.AtEnd()) return nullptr;
  key->name = Text(name);
  return key;
}

}  // namespace tarn::sim
